#include "library/LibraryCache.h"

#include "library/PlayList.h"
#include "core/JsonFile.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

Song fullSong(const std::string& path) {
    Song song;
    song.title = "Title 标题";
    song.artist = "Artist";
    song.album = "Album";
    song.filepath = path;
    song.coverPath = "covers/1.png";
    song.duration = 123.456;
    song.sampleRate = 44100;
    song.channels = 2;
    song.bitrate = 5000000000LL; // beyond 32 bits
    song.fileSize = 18000000000000000000ULL;
    return song;
}

Library twoSongLibrary(ScratchDir& scratch) {
    scratch.writeFile("music/a.mp3", "");
    scratch.writeFile("music/b.mp3", "");
    Library library;
    library.songs = {fullSong("music/a.mp3"), fullSong("music/b.mp3")};
    Album album;
    album.name = "Album";
    album.artist = "Artist";
    album.coverPath = "covers/1.png";
    album.songs = library.songs;
    library.albums.push_back(album);
    return library;
}

void expectSameSong(const Song& actual, const Song& expected) {
    EXPECT_EQ(actual.title, expected.title);
    EXPECT_EQ(actual.artist, expected.artist);
    EXPECT_EQ(actual.album, expected.album);
    EXPECT_EQ(actual.filepath, expected.filepath);
    EXPECT_EQ(actual.coverPath, expected.coverPath);
    EXPECT_DOUBLE_EQ(actual.duration, expected.duration);
    EXPECT_EQ(actual.sampleRate, expected.sampleRate);
    EXPECT_EQ(actual.channels, expected.channels);
    EXPECT_EQ(actual.bitrate, expected.bitrate);
    EXPECT_EQ(actual.fileSize, expected.fileSize);
}

// A cache text with one song object per entry of paths (the entry's text spliced in as is).
std::string cacheWithSongs(const std::vector<std::string>& songObjects,
                           const std::string& albums = "[]") {
    std::string text = R"({"songs": [)";
    for (size_t i = 0; i < songObjects.size(); ++i) {
        text += (i ? ", " : "") + songObjects[i];
    }
    return text + "], \"albums\": " + albums + "}";
}

} // namespace

TEST(LibraryCacheTest, FileKeepsItsExactFormat) {
    ScratchDir scratch;
    Library library = twoSongLibrary(scratch);
    library.songs[0].songs.push_back(fullSong("nested.mp3")); // never written to the cache
    ASSERT_TRUE(LibraryCache::save("config.json", library));
    const std::string text = scratch.readFile("config.json");

    const std::string firstSong = "\n"
                                  "    \"songs\" : \n"
                                  "    [\n"
                                  "        {\n"
                                  "            \"album\" : \"Album\",\n"
                                  "            \"artist\" : \"Artist\",\n"
                                  "            \"bitrate\" : 5000000000,\n"
                                  "            \"channels\" : 2,\n"
                                  "            \"coverPath\" : \"covers/1.png\",\n"
                                  "            \"duration\" : 123.456,\n"
                                  "            \"file_size\" : 18000000000000000000,\n"
                                  "            \"filepath\" : \"music/a.mp3\",\n"
                                  "            \"sample_rate\" : 44100,\n"
                                  "            \"title\" : \"Title \\u6807\\u9898\"\n"
                                  "        },\n";
    EXPECT_NE(text.find(firstSong), std::string::npos) << text;
    EXPECT_EQ(text.rfind("{\n    \"albums\" : \n    [\n        {\n            \"artist\"", 0), 0u)
        << text;
    Json::Value root;
    std::string error;
    ASSERT_TRUE(JsonFile::parse(text, root, error));
    EXPECT_EQ(root.getMemberNames(), (std::vector<std::string>{"albums", "songs"}));
    EXPECT_EQ(root["albums"][0].getMemberNames(),
              (std::vector<std::string>{"artist", "coverPath", "name", "songs"}));
    EXPECT_FALSE(root["songs"][0].isMember("songs"));
    EXPECT_TRUE(root["songs"][0]["duration"].isDouble());
    EXPECT_TRUE(root["songs"][0]["file_size"].isUInt64());
    EXPECT_EQ(text, JsonFile::toIndentedText(root, "    "));
}

TEST(LibraryCacheTest, RoundTripThroughThePlayList) {
    ScratchDir scratch;
    const Library library = twoSongLibrary(scratch);
    PlayList writer;
    writer.setLibrary(library);
    saveLibrary(&writer, "music_library");
    ASSERT_TRUE(fs::exists("config/music_library.json"));

    PlayList reader;
    ASSERT_TRUE(reader.loadFromFile("config/music_library.json"));
    EXPECT_EQ(reader.getLibraryVersion(), 1u);
    ASSERT_EQ(reader.getLibrarySongs().size(), 2u);
    ASSERT_EQ(reader.getSongs().size(), 2u);
    expectSameSong(reader.getLibrarySongs()[1], library.songs[1]);
    ASSERT_EQ(reader.getAlbums().size(), 1u);
    EXPECT_EQ(reader.getAlbums()[0].name, "Album");
    EXPECT_EQ(reader.getAlbums()[0].coverPath, "covers/1.png");
    ASSERT_EQ(reader.getAlbums()[0].songs.size(), 2u);
    expectSameSong(reader.getAlbums()[0].songs[0], library.songs[0]);

    StderrCapture errors;
    saveLibrary(nullptr, "music_library");
    EXPECT_EQ(errors.take(), "[ERROR] 播放列表为空，无法保存\n");
}

TEST(LibraryCacheTest, UnusableFilesAreRefusedAndLeaveTheLibraryAlone) {
    ScratchDir scratch;
    PlayList playList;
    playList.setLibrary(twoSongLibrary(scratch));
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {nullptr, "[ERROR] 播放列表文件不存在: cache.json\n"},
        {"{\"songs\": [", "[ERROR] JSON解析失败: "},
        {R"({"songs": {"0": {}}})", "[ERROR] songs 不是有效的数组\n"},
        {R"({"albums": []})", "[ERROR] songs 不是有效的数组\n"},
        {"[1, 2]", "[ERROR] songs 不是有效的数组\n"},
    };
    for (const Case& c : cases) {
        fs::remove("cache.json");
        if (c.text) {
            scratch.writeFile("cache.json", c.text);
        }
        StderrCapture errors;
        EXPECT_FALSE(playList.loadFromFile("cache.json"));
        EXPECT_EQ(errors.take().rfind(c.message, 0), 0u) << (c.text ? c.text : "(missing)");
        EXPECT_EQ(playList.getLibrarySongs().size(), 2u);
        EXPECT_EQ(playList.getLibraryVersion(), 1u);
    }
}

TEST(LibraryCacheTest, EntriesThatCannotBeUsedAreSkipped) {
    ScratchDir scratch;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) {
        scratch.writeFile(name, "");
    }
    const std::string albums = R"([
        {"name": "Gone", "songs": [{"filepath": "deleted.mp3"}]},
        {"name": "NoSongs"},
        {"name": "Kept", "artist": "X", "songs": [{"filepath": "deleted.mp3"}, 7,
                                                  {"filepath": "d.mp3", "title": "D"}]},
        "not an album"
    ])";
    scratch.writeFile("cache.json", cacheWithSongs(
                                        {
                                            R"({"filepath": "a.mp3", "title": "A"})",
                                            R"({"filepath": "deleted.mp3"})",
                                            R"({"filepath": ""})",
                                            R"("a string")",
                                            R"({"filepath": "b.mp3", "duration": "3:20"})",
                                            R"({"filepath": "c.mp3", "sample_rate": 44100})",
                                        },
                                        albums));
    Library library;
    StderrCapture errors;
    ASSERT_TRUE(LibraryCache::load("cache.json", library));
    const std::string log = errors.take();
    EXPECT_EQ(log.rfind("[ERROR] 解析歌曲信息失败，索引: 4, 错误: ", 0), 0u) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    ASSERT_EQ(library.songs.size(), 2u);
    EXPECT_EQ(library.songs[0].title, "A");
    EXPECT_EQ(library.songs[1].sampleRate, 44100);
    ASSERT_EQ(library.albums.size(), 1u);
    EXPECT_EQ(library.albums[0].name, "Kept");
    ASSERT_EQ(library.albums[0].songs.size(), 1u);
    EXPECT_EQ(library.albums[0].songs[0].title, "D");

    // Without an albums member the songs still load.
    scratch.writeFile("cache.json", R"({"songs": [{"filepath": "a.mp3"}]})");
    ASSERT_TRUE(LibraryCache::load("cache.json", library));
    EXPECT_EQ(library.songs.size(), 1u);
    EXPECT_TRUE(library.albums.empty());
}
