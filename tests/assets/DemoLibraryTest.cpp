// The demo library in the runtime folder's music/: what a first start scans and plays.
#include "core/FfmpegHandles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t MAX_LIBRARY_BYTES = 5 * 1024 * 1024;

struct Tags {
    std::string title, artist, album;
    double seconds = 0;
    bool audio = false;
    bool coverPicture = false;
};

Tags probe(const fs::path& path) {
    Tags tags;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        return tags;
    }
    FormatContext format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return tags;
    }
    auto tag = [&](const char* key) {
        const AVDictionaryEntry* entry = av_dict_get(format->metadata, key, nullptr, 0);
        return entry != nullptr ? std::string(entry->value) : std::string();
    };
    tags.title = tag("title");
    tags.artist = tag("artist");
    tags.album = tag("album");
    tags.seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        tags.audio |= stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
        tags.coverPicture |= stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
                             (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
    }
    return tags;
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
        const Tags tags = probe(path);
        EXPECT_TRUE(tags.audio) << path;
        EXPECT_TRUE(tags.coverPicture) << path;
        EXPECT_FALSE(tags.title.empty()) << path;
        artists.insert(tags.artist);
        albums.insert(tags.album);
        fs::path lyrics = path;
        EXPECT_TRUE(fs::exists(lyrics.replace_extension(".lrc"))) << path;
    }
    EXPECT_GE(songs, 6);
    EXPECT_GE(artists.size(), 2u);
    EXPECT_GE(albums.size(), 2u);
    EXPECT_LT(bytes, MAX_LIBRARY_BYTES);
}
