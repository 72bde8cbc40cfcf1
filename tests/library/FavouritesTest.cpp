#include "library/Favourites.h"

#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using Change = Favourites::Change;

namespace {

Song songAt(const std::string& path) {
    Song song;
    song.filepath = path;
    return song;
}

std::vector<std::string> pathsOf(const std::vector<Song>& songs) {
    std::vector<std::string> paths;
    for (const Song& song : songs) {
        paths.push_back(song.filepath);
    }
    return paths;
}

} // namespace

TEST(FavouritesTest, OneEntryPerFileAndRemovalByTheWholePath) {
    ScratchDir scratch;
    scratch.writeFile("one/01.mp3", "");
    scratch.writeFile("two/01.mp3", "");
    Favourites favourites;
    EXPECT_EQ(favourites.add(songAt("one/01.mp3")), Change::DONE);
    fs::remove("config/like.json");
    EXPECT_EQ(favourites.add(songAt("one/01.mp3")), Change::UNCHANGED);
    EXPECT_FALSE(fs::exists("config/like.json"));         // nothing changed, nothing written
    EXPECT_EQ(favourites.add(Song()), Change::UNCHANGED); // nothing playing: nothing to keep
    EXPECT_EQ(favourites.add(songAt("two/01.mp3")), Change::DONE);
    EXPECT_EQ(favourites.remove("01.mp3"), Change::UNCHANGED);
    EXPECT_EQ(favourites.remove("two/01.mp3"), Change::DONE);

    Favourites reloaded;
    reloaded.load();
    EXPECT_EQ(pathsOf(reloaded.getSongs()), std::vector<std::string>{"one/01.mp3"});
}

// A start with the card not mounted must not cost the favourites on it.
TEST(FavouritesTest, FavouritesOfAMissingCardAreKeptAndShownWhenItIsBack) {
    ScratchDir scratch;
    scratch.writeFile("card/a.mp3", "");
    scratch.writeFile("music/b.mp3", "");
    scratch.writeFile("music/c.mp3", "");
    Favourites before;
    before.add(songAt("card/a.mp3"));
    before.add(songAt("music/b.mp3"));
    fs::rename("card", "unmounted");

    Favourites favourites;
    favourites.load();
    EXPECT_EQ(pathsOf(favourites.getSongs()), std::vector<std::string>{"music/b.mp3"});
    EXPECT_EQ(favourites.add(songAt("music/c.mp3")), Change::DONE);
    EXPECT_EQ(favourites.remove("music/b.mp3"), Change::DONE);
    EXPECT_EQ(pathsOf(favourites.getSongs()), std::vector<std::string>{"music/c.mp3"});

    fs::rename("unmounted", "card");
    favourites.load();
    EXPECT_EQ(pathsOf(favourites.getSongs()),
              (std::vector<std::string>{"card/a.mp3", "music/c.mp3"}));
}

// What cannot be read is reported, never fatal, and kept aside before a save replaces it.
TEST(FavouritesTest, AnUnusableFileIsReportedAndKeptAside) {
    ScratchDir scratch;
    scratch.writeFile("a.mp3", "");
    fs::create_directories("config/like.json");
    Favourites favourites;
    StderrCapture errors;
    favourites.load();
    EXPECT_NE(errors.take().find("config/like.json"), std::string::npos);
    EXPECT_EQ(favourites.add(songAt("a.mp3")), Change::SAVE_FAILED);
    fs::remove("config/like.json");

    const std::string broken = R"({"songs": [{"filepath": "a.mp3"},)";
    scratch.writeFile("config/like.json", broken);
    favourites.load();
    EXPECT_NE(errors.take(), "");
    EXPECT_TRUE(favourites.getSongs().empty());
    EXPECT_EQ(favourites.add(songAt("a.mp3")), Change::DONE);
    EXPECT_EQ(scratch.readFile("config/like.json.bak"), broken);
}
