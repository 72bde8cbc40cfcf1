#include "support/SyntheticMedia.h"

#include "support/MediaFactory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace SyntheticMedia {

namespace {

void makeParent(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        fs::create_directories(parent);
    }
}

} // namespace

void makeTone(const std::string& path, const Tone& tone) {
    makeParent(path);
    MediaFactory::Options options;
    options.seconds = tone.seconds;
    options.sampleRate = tone.sampleRate;
    options.channelLayout = tone.channels == 1 ? "mono" : "stereo";
    options.encoder.clear();
    if (!tone.cover.empty()) {
        options.extraInput = "-i " + MediaFactory::quote(tone.cover);
        options.encoder = "-map 0:a -map 1:v -c:v copy -disposition:v attached_pic ";
    }
    options.encoder += "-c:a " + tone.codec;
    for (const auto& [key, value] : tone.tags) {
        options.encoder += " -metadata " + MediaFactory::quote(key + "=" + value);
    }
    MediaFactory(".").make(path, options);
}

void makePicture(const std::string& path, int width, int height, int seed) {
    makeParent(path);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    MediaFactory::run("ffmpeg -nostdin -v error -y -f lavfi -i " +
                      MediaFactory::quote("testsrc2=size=" + size +
                                          ":rate=1,hue=h=" + std::to_string(seed * 37 % 360)) +
                      " -ss " + std::to_string(seed % 5) + " -frames:v 1 " +
                      MediaFactory::quote(path));
}

Json::Value probe(const std::string& path) {
    const std::string text =
        MediaFactory::run("ffprobe -v error -print_format json -show_format -show_streams " +
                          MediaFactory::quote(path));
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string error;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &error))
        << "ffprobe gave no JSON for " << path << ": " << error;
    return root;
}

} // namespace SyntheticMedia
