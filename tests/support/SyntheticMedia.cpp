#include "support/SyntheticMedia.h"

#include "support/SoundCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace SyntheticMedia {

namespace {

constexpr int REFERENCE_RATE = 44100;

int channelCountOf(const std::string& layout) {
    return layout == "mono" ? 1 : layout == "5.1" ? 6 : 2;
}

// Channel c: a tone rising from 220*(c+1) Hz by 150 Hz per second, plus 60 Hz and 9 kHz.
std::string toneSource(const Tone& tone) {
    std::ostringstream text;
    text << "aevalsrc=exprs=";
    for (int channel = 0; channel < channelCountOf(tone.channels.layout); ++channel) {
        text << (channel > 0 ? "|" : "") << "0.35*sin(2*PI*t*(" << 220 * (channel + 1)
             << "+75*t))+0.2*sin(2*PI*60*t)+0.08*sin(2*PI*9000*t)";
    }
    text << ":s=" << tone.sampleRate << ":d=" << tone.seconds << ":c=" << tone.channels.layout;
    return text.str();
}

std::string encoderOptions(const std::string& codec) {
    if (codec.empty() || codec[0] == '-') {
        return codec;
    }
    return "-c:a " + codec;
}

void makeParent(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        fs::create_directories(parent);
    }
}

} // namespace

std::string quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string run(const std::string& command) {
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

std::string makeTone(const std::string& path, const Tone& tone) {
    makeParent(path);
    std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " + quote(toneSource(tone));
    if (!tone.cover.empty()) {
        command +=
            " -i " + quote(tone.cover) + " -map 0:a -map 1:v -c:v copy -disposition:v attached_pic";
    }
    command += " " + encoderOptions(tone.codec);
    for (const auto& [key, value] : tone.tags) {
        command += " -metadata " + quote(key + "=" + value);
    }
    run(command + " " + quote(path));
    return path;
}

void makePicture(const std::string& path, int width, int height, int seed) {
    makeParent(path);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    run("ffmpeg -nostdin -v error -y -f lavfi -i " +
        quote("testsrc2=size=" + size + ":rate=1,hue=h=" + std::to_string(seed * 37 % 360)) +
        " -ss " + std::to_string(seed % 5) + " -frames:v 1 " + quote(path));
}

Json::Value probe(const std::string& path) {
    const std::string text =
        run("ffprobe -v error -print_format json -show_format -show_streams " + quote(path));
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string error;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &error))
        << "ffprobe gave no JSON for " << path << ": " << error;
    return root;
}

std::vector<int16_t> reference(const std::string& path, const std::string& audioFilter) {
    std::string filter = audioFilter.empty() ? "" : " -af " + quote(audioFilter);
    return SoundCapture::samplesOf(run("ffmpeg -nostdin -v error -i " + quote(path) + filter +
                                       " -ar " + std::to_string(REFERENCE_RATE) +
                                       " -ac 2 -f s16le -"));
}

} // namespace SyntheticMedia
