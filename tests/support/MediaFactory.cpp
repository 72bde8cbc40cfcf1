#include "support/MediaFactory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

constexpr int REFERENCE_RATE = 44100;

int channelCountOf(const std::string& layout) {
    if (layout == "mono") {
        return 1;
    }
    if (layout == "stereo") {
        return 2;
    }
    if (layout == "5.1") {
        return 6;
    }
    ADD_FAILURE() << "MediaFactory knows no layout " << layout;
    return 2;
}

// Channel c: a tone rising from 220*(c+1) Hz by 150 Hz per second, plus 60 Hz and 9 kHz.
std::string toneExpressions(int channels) {
    std::ostringstream text;
    for (int channel = 0; channel < channels; ++channel) {
        if (channel > 0) {
            text << "|";
        }
        text << "0.35*sin(2*PI*t*(" << 220 * (channel + 1)
             << "+75*t))+0.2*sin(2*PI*60*t)+0.08*sin(2*PI*9000*t)";
    }
    return text.str();
}

} // namespace

MediaFactory::MediaFactory(std::string folder) : folder(std::move(folder)) {
    std::filesystem::create_directories(this->folder);
}

std::string MediaFactory::quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string MediaFactory::run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    char chunk[1 << 16];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        output.append(chunk, count);
    }
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed: " << command;
    return output;
}

std::string MediaFactory::make(const std::string& fileName, const Options& options) const {
    std::string path = folder + "/" + fileName;
    std::ostringstream source;
    source << "aevalsrc=exprs=" << toneExpressions(channelCountOf(options.channelLayout))
           << ":s=" << options.sampleRate << ":d=" << options.seconds
           << ":c=" << options.channelLayout;
    run("ffmpeg -nostdin -v error -y -f lavfi -i " + quote(source.str()) + " " +
        options.extraInput + " " + options.encoder + " " + quote(path));
    return path;
}

std::vector<int16_t> MediaFactory::reference(const std::string& path,
                                             const std::string& audioFilter) {
    std::string filter = audioFilter.empty() ? "" : " -af " + quote(audioFilter);
    std::string bytes = run("ffmpeg -nostdin -v error -i " + quote(path) + filter + " -ar " +
                            std::to_string(REFERENCE_RATE) + " -ac 2 -f s16le -");
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
}
