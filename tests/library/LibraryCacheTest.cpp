#include "library/LibraryCache.h"

#include "library/PlayList.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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
    song.modifiedNs = 1700000000123456789LL;
    song.track = 7;
    song.disc = 2;
    return song;
}

// Every field the cache stores.
auto fieldsOf(const Song& song) {
    return std::make_tuple(song.title, song.artist, song.album, song.filepath, song.coverPath,
                           song.duration, song.sampleRate, song.channels, song.bitrate,
                           song.fileSize, song.modifiedNs, song.track, song.disc);
}

} // namespace

TEST(LibraryCacheTest, RoundTripThroughThePlayList) {
    ScratchDir scratch;
    scratch.writeFile("music/a.mp3", "");
    scratch.writeFile("music/b\xe9.mp3", ""); // a Latin-1 name
    Library library;
    library.songs = {fullSong("music/a.mp3"), fullSong("music/b\xe9.mp3")};
    library.albums.push_back({"Album", "Artist", "covers/1.png", library.songs});
    PlayList writer;
    writer.setLibrary(library);
    writer.update();
    ASSERT_TRUE(writer.saveToFile("cache.json"));

    PlayList reader;
    ASSERT_TRUE(reader.loadFromFile("cache.json"));
    ASSERT_EQ(reader.getSongs().size(), 2u);
    EXPECT_EQ(fieldsOf(reader.getLibrarySongs()[1]), fieldsOf(library.songs[1]));
    ASSERT_EQ(reader.getAlbums().size(), 1u);
    EXPECT_EQ(reader.getAlbums()[0].coverPath, "covers/1.png");
    ASSERT_EQ(reader.getAlbums()[0].songs.size(), 2u);
    EXPECT_EQ(fieldsOf(reader.getAlbums()[0].songs[1]), fieldsOf(library.songs[1]));
}

TEST(LibraryCacheTest, UnusableFilesAreRefusedAndLeaveTheLibraryAlone) {
    ScratchDir scratch;
    scratch.writeFile("a.mp3", "");
    PlayList playList;
    playList.setLibrary({{fullSong("a.mp3")}, {}});
    playList.update();
    // Missing, a folder in its place, cut short, songs not an array, not an object.
    const char* const cases[] = {nullptr, "", "{\"songs\": [", R"({"songs": {"0": {}}})", "[1, 2]"};
    for (const char* text : cases) {
        fs::remove_all("cache.json");
        if (text && *text) {
            scratch.writeFile("cache.json", text);
        } else if (text) {
            fs::create_directory("cache.json");
        }
        StderrCapture errors;
        EXPECT_FALSE(playList.loadFromFile("cache.json"));
        EXPECT_NE(errors.take(), "") << (text ? text : "(missing)");
        EXPECT_EQ(playList.getLibrarySongs().size(), 1u);
        EXPECT_EQ(playList.getLibraryVersion(), 1u);
    }
}

TEST(LibraryCacheTest, EntriesThatCannotBeUsedAreSkipped) {
    ScratchDir scratch;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) {
        scratch.writeFile(name, "");
    }
    scratch.writeFile("cache.json", R"({"songs": [{"filepath": "a.mp3", "title": "A"},
        {"filepath": "deleted.mp3"}, {"filepath": ""}, "a string",
        {"filepath": "b.mp3", "duration": "3:20"}, {"filepath": "c.mp3", "sample_rate": 44100}],
      "albums": [{"name": "Gone", "songs": [{"filepath": "deleted.mp3"}]}, {"name": "NoSongs"},
        {"name": "Kept", "songs": [{"filepath": "deleted.mp3"}, 7, {"filepath": "d.mp3"}]}, 5]})");
    Library library;
    StderrCapture errors;
    ASSERT_TRUE(LibraryCache::load("cache.json", library));
    const std::string log = errors.take();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log; // the badly typed entry
    ASSERT_EQ(library.songs.size(), 2u);
    EXPECT_EQ(library.songs[0].title, "A");
    EXPECT_EQ(library.songs[1].sampleRate, 44100);
    ASSERT_EQ(library.albums.size(), 1u);
    EXPECT_EQ(library.albums[0].name, "Kept");
    EXPECT_EQ(library.albums[0].songs.size(), 1u);
}
