// The console links an FFmpeg built with only what tools/ffmpeg/components.txt names. Every file
// format the shipped settings accept must have a row there, and every component the table names
// (demuxers and decoders of the formats, the covers' decoders, the cover cache's encoder, the
// equalizer chain's filters) must be found in the FFmpeg this program is linked with.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
}

#include "core/JsonFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

bool found(const std::string& kind, const std::string& name) {
    if (kind == "demuxer") {
        return av_find_input_format(name.c_str()) != nullptr;
    }
    if (kind == "decoder") {
        return avcodec_find_decoder_by_name(name.c_str()) != nullptr;
    }
    if (kind == "encoder") {
        return avcodec_find_encoder_by_name(name.c_str()) != nullptr;
    }
    if (kind == "filter") {
        return avfilter_get_by_name(name.c_str()) != nullptr;
    }
    void* opaque = nullptr;
    while (const char* protocol = avio_enum_protocols(&opaque, 0)) {
        if (name == protocol) {
            return true;
        }
    }
    return false;
}

void expectFound(const std::string& kind, const std::string& names, const std::string& row) {
    std::stringstream list(names);
    for (std::string name; std::getline(list, name, ',');) {
        EXPECT_TRUE(found(kind, name)) << row << ": " << kind << " " << name;
    }
}

} // namespace

TEST(FfmpegComponentsTest, EveryShippedFormatAndComponentIsInTheLinkedFfmpeg) {
    std::ifstream table(MP_SOURCE_DIR "/tools/ffmpeg/components.txt");
    std::set<std::string> formatsWithRows;
    for (std::string line; std::getline(table, line);) {
        std::stringstream fields(line);
        std::string first, second, third;
        if (!(fields >> first >> second) || first[0] == '#') {
            continue;
        }
        if (first[0] == '.') { // a file format: extension, demuxer, decoders
            fields >> third;
            formatsWithRows.insert(first);
            expectFound("demuxer", second, line);
            expectFound("decoder", third, line);
        } else {
            expectFound(first, second, line);
        }
    }
    const JsonFile::ReadResult settings =
        JsonFile::read(MP_SOURCE_DIR "/assets/config/settings.json");
    ASSERT_FALSE(settings.root["music"]["supported_formats"].empty());
    for (const Json::Value& format : settings.root["music"]["supported_formats"]) {
        EXPECT_EQ(formatsWithRows.count(format.asString()), 1u) << format << " has no row";
    }
}
