// The demo library in the runtime folder's music/: what a first start scans and plays.
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t MAX_LIBRARY_BYTES = 5 * 1024 * 1024;

bool hasStream(const Json::Value& probe, const std::string& type, int attachedPicture) {
    for (const Json::Value& stream : probe["streams"]) {
        if (stream["codec_type"].asString() == type &&
            stream["disposition"]["attached_pic"].asInt() == attachedPicture) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(DemoLibraryTest, AlbumsPlayWithTagsCoversAndLyrics) {
    const fs::path music = fs::path(MP_RUNTIME_DIR) / "music";
    ASSERT_TRUE(fs::is_directory(music));
    std::uintmax_t bytes = 0;
    std::set<std::string> artists, albums;
    int songs = 0;
    for (const auto& entry : fs::recursive_directory_iterator(music)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        bytes += entry.file_size();
        const fs::path path = entry.path();
        if (path.extension() == ".lrc") {
            continue;
        }
        ++songs;
        const Json::Value probe = SyntheticMedia::probe(path.string());
        const Json::Value& tags = probe["format"]["tags"];
        EXPECT_TRUE(hasStream(probe, "audio", 0)) << path;
        EXPECT_TRUE(hasStream(probe, "video", 1)) << path;
        EXPECT_FALSE(tags["title"].asString().empty()) << path;
        artists.insert(tags["artist"].asString());
        albums.insert(tags["album"].asString());
        fs::path lyrics = path;
        EXPECT_TRUE(fs::exists(lyrics.replace_extension(".lrc"))) << path;
    }
    EXPECT_GE(songs, 6);
    EXPECT_GE(artists.size(), 2u);
    EXPECT_GE(albums.size(), 2u);
    EXPECT_LT(bytes, MAX_LIBRARY_BYTES);
}
