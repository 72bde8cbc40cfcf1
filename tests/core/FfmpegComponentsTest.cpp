// The console links an FFmpeg built with only what tools/ffmpeg/components.txt names. Every file
// format the shipped settings accept must find its demuxer and decoders in the FFmpeg this
// program is linked with, and so must the covers, the cover cache and the equalizer chain.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> splitNames(const std::string& names) {
    std::vector<std::string> result;
    std::stringstream stream(names);
    std::string name;
    while (std::getline(stream, name, ',')) {
        result.push_back(name);
    }
    return result;
}

struct ComponentTable {
    std::multimap<std::string, std::pair<std::string, std::string>> formats; // demuxer, decoders
    std::map<std::string, std::vector<std::string>> components;              // kind -> names
};

ComponentTable readTable() {
    std::ifstream file(MP_SOURCE_DIR "/tools/ffmpeg/components.txt");
    ComponentTable table;
    std::string line;
    while (std::getline(file, line)) {
        std::stringstream fields(line);
        std::string first, second, third;
        if (!(fields >> first >> second) || first[0] == '#') {
            continue;
        }
        if (first[0] == '.') {
            fields >> third;
            table.formats.emplace(first, std::make_pair(second, third));
        } else {
            table.components[first] = splitNames(second);
        }
    }
    return table;
}

std::vector<std::string> shippedFormats() {
    std::ifstream file(MP_SOURCE_DIR "/assets/config/settings.json");
    Json::Value root;
    file >> root;
    std::vector<std::string> formats;
    for (const Json::Value& format : root["music"]["supported_formats"]) {
        formats.push_back(format.asString());
    }
    return formats;
}

bool hasFileProtocol() {
    void* opaque = nullptr;
    while (const char* name = avio_enum_protocols(&opaque, 0)) {
        if (std::string(name) == "file") {
            return true;
        }
    }
    return false;
}

TEST(FfmpegComponentsTest, EveryShippedFormatFindsItsDemuxerAndDecoders) {
    const ComponentTable table = readTable();
    const std::vector<std::string> formats = shippedFormats();
    ASSERT_FALSE(formats.empty());
    for (const std::string& extension : formats) {
        auto [first, last] = table.formats.equal_range(extension);
        EXPECT_NE(first, last) << extension << " has no row in the component table";
        for (auto row = first; row != last; ++row) {
            const auto& [demuxer, decoders] = row->second;
            EXPECT_NE(av_find_input_format(demuxer.c_str()), nullptr)
                << extension << " " << demuxer;
            for (const std::string& decoder : splitNames(decoders)) {
                EXPECT_NE(avcodec_find_decoder_by_name(decoder.c_str()), nullptr)
                    << extension << " " << decoder;
            }
        }
    }
}

TEST(FfmpegComponentsTest, CoversCacheAndEqualizerFindWhatTheyBuild) {
    ComponentTable table = readTable();
    for (const std::string& name : table.components["decoder"]) {
        EXPECT_NE(avcodec_find_decoder_by_name(name.c_str()), nullptr) << name;
    }
    for (const std::string& name : table.components["encoder"]) {
        EXPECT_NE(avcodec_find_encoder_by_name(name.c_str()), nullptr) << name;
    }
    for (const std::string& name : table.components["filter"]) {
        EXPECT_NE(avfilter_get_by_name(name.c_str()), nullptr) << name;
    }
    EXPECT_TRUE(hasFileProtocol());
}

} // namespace
