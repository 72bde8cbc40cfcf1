#include "support/SyntheticMedia.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

namespace SyntheticMedia {

namespace {

std::string output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        throw std::runtime_error("cannot run: " + command);
    }
    std::string text;
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        text.append(buffer.data(), got);
    }
    return text;
}

void makeParent(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        fs::create_directories(parent);
    }
}

} // namespace

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

void run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        throw std::runtime_error("command failed: " + command);
    }
}

void makeTone(const std::string& path, const Tone& tone) {
    makeParent(path);
    std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " +
                          quoted("sine=frequency=" + std::to_string(tone.frequency) +
                                 ":sample_rate=" + std::to_string(tone.sampleRate) +
                                 ":duration=" + std::to_string(tone.seconds));
    if (!tone.cover.empty()) {
        command += " -i " + quoted(tone.cover) + " -map 0:a -map 1:v -c:v " + tone.coverCodec +
                   " -disposition:v attached_pic";
    }
    command += " -ac " + std::to_string(tone.channels) + " -c:a " + tone.codec;
    for (const auto& [key, value] : tone.tags) {
        command += " -metadata " + quoted(key + "=" + value);
    }
    run(command + " " + quoted(path));
}

void makePicture(const std::string& path, int width, int height, int seed) {
    makeParent(path);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    run("ffmpeg -nostdin -v error -y -f lavfi -i " +
        quoted("testsrc2=size=" + size + ":rate=1,hue=h=" + std::to_string(seed * 37 % 360)) +
        " -ss " + std::to_string(seed % 5) + " -frames:v 1 " + quoted(path));
}

Json::Value probe(const std::string& path) {
    const std::string text = output("ffprobe -v error -print_format json -show_format "
                                    "-show_streams " +
                                    quoted(path));
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string error;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &error)) {
        throw std::runtime_error("ffprobe gave no JSON for " + path + ": " + error);
    }
    return root;
}

} // namespace SyntheticMedia
