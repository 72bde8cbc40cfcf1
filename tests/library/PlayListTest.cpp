#include "library/PlayList.h"

#include "audio/Player.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <set>

namespace {

Song songAt(const std::string& path) {
    Song song;
    song.filepath = path;
    song.title = path;
    return song;
}

Library libraryOf(std::initializer_list<const char*> paths) {
    Library library;
    for (const char* path : paths) {
        library.songs.push_back(songAt(path));
    }
    Album album;
    album.name = "All";
    album.songs = library.songs;
    library.albums.push_back(album);
    return library;
}

void queue(PlayList& playList, int count) {
    playList.clear();
    for (int i = 0; i < count; ++i) {
        playList.addSong(songAt("song" + std::to_string(i) + ".mp3"));
    }
}

} // namespace

// The mode is asked for at every lookup.
TEST(PlayListTest, NeighboursFollowThePlayModeTables) {
    PlayList playList;
    PlayMode mode = PlayMode::SEQUENCE;
    playList.setPlayModeSource([&] { return mode; });
    queue(playList, 3);
    struct Row {
        PlayMode mode;
        int current;
        int next;
        int previous;
    };
    const Row rows[] = {
        {PlayMode::SEQUENCE, 0, 1, -1},     {PlayMode::SEQUENCE, 1, 2, 0},
        {PlayMode::SEQUENCE, 2, -1, 1},     {PlayMode::SEQUENCE_LOOP, 0, 1, 2},
        {PlayMode::SEQUENCE_LOOP, 2, 0, 1}, {PlayMode::SINGLE, 1, -1, -1},
        {PlayMode::SINGLE_LOOP, 2, 2, 2},   {PlayMode::SINGLE_LOOP, 0, 0, 0},
    };
    for (const Row& row : rows) {
        mode = row.mode;
        playList.setCurrentIndex(row.current);
        const char* text = playModeText(row.mode);
        EXPECT_EQ(playList.getNextIndex(), row.next) << text << " at " << row.current;
        EXPECT_EQ(playList.getPrevIndex(), row.previous) << text << " at " << row.current;
    }
}

TEST(PlayListTest, RandomNeverRepeatsTheCurrentSongUnlessItIsTheOnlyOne) {
    PlayList playList;
    playList.setPlayModeSource([] { return PlayMode::RANDOM; });
    queue(playList, 1);
    EXPECT_EQ(playList.getNextIndex(), 0);
    EXPECT_EQ(playList.getPrevIndex(), 0);

    queue(playList, 5);
    playList.setCurrentIndex(3);
    std::set<int> seen;
    for (int draw = 0; draw < 200; ++draw) {
        const int index = playList.getNextIndex();
        EXPECT_NE(index, 3);
        seen.insert(index);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 4}));
}

TEST(PlayListTest, IndicesOutOfRangeAndAMissingPlayerAreRefused) {
    ScratchDir scratch;
    PlayList playList;
    EXPECT_EQ(playList.getNextIndex(), -1);
    EXPECT_EQ(playList.getCurrentSong().filepath, "");
    queue(playList, 3);
    playList.setCurrentIndex(5); // ignored
    playList.setCurrentIndex(-1);
    EXPECT_EQ(playList.getCurrentIndex(), 0u);
    StderrCapture errors;
    EXPECT_FALSE(playList.play(0)); // no player yet
    Player player;
    playList.setPlayer(&player);
    EXPECT_FALSE(playList.play(3));
    EXPECT_FALSE(playList.play(-1));
    EXPECT_EQ(playList.playNext(), -1); // the next song's file is not there
}

TEST(PlayListTest, QueueAndLibraryAreSeparate) {
    ScratchDir scratch;
    PlayList playList;
    EXPECT_EQ(playList.getLibraryVersion(), 0u);
    playList.setLibrary(libraryOf({"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(playList.getLibrarySongs().size(), 0u); // adopted at the frame's update only
    playList.update();
    EXPECT_EQ(playList.getLibraryVersion(), 1u);
    EXPECT_EQ(playList.getSongs().size(), 3u); // the queue is the whole library
    EXPECT_EQ(playList.getCurrentIndex(), 0u);

    // An album page replaces the queue only.
    playList.clear();
    playList.addSong(songAt("b.mp3"));
    playList.setCurrentIndex(0);
    EXPECT_EQ(playList.getLibrarySongs().size(), 3u);
    EXPECT_EQ(playList.getLibraryVersion(), 1u);

    // A new library keeps the current song current where it still exists...
    playList.setLibrary(libraryOf({"z.mp3", "a.mp3", "b.mp3"}));
    playList.update();
    EXPECT_EQ(playList.getCurrentSong().filepath, "b.mp3");
    EXPECT_EQ(playList.getCurrentIndex(), 2u);
    EXPECT_EQ(playList.getLibraryVersion(), 2u);
    // ...and starts from the top where it does not.
    playList.setLibrary(libraryOf({"x.mp3", "y.mp3"}));
    playList.update();
    EXPECT_EQ(playList.getCurrentIndex(), 0u);
    EXPECT_EQ(playList.getSongs().size(), 2u);
}
