#include "library/LibraryCache.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"

#include "audio/Player.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

// A scan runs on the loading thread while the main thread keeps running frames: it reads the
// scanning flag, the library and the queue, and plays and queues songs. A frame must see the
// old library or the new one, never a part of the new one.
TEST(PlayListThreadTest, ScanOnALoadingThreadWhileTheMainThreadUsesThePlayList) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/cover.jpg", 96, 96, 4);
    SyntheticMedia::Tone tone;
    tone.seconds = 0.3;
    tone.cover = "art/cover.jpg";
    SyntheticMedia::makeTone("template/with-cover.mp3", tone);
    tone.cover.clear();
    SyntheticMedia::makeTone("template/plain.mp3", tone);
    constexpr int ALBUMS = 6;
    constexpr int SONGS_PER_ALBUM = 5;
    for (int album = 0; album < ALBUMS; ++album) {
        const std::string folder = "music/Artist/Album " + std::to_string(album);
        fs::create_directories(folder);
        for (int song = 0; song < SONGS_PER_ALBUM; ++song) {
            fs::copy_file(album % 2 ? "template/with-cover.mp3" : "template/plain.mp3",
                          folder + "/" + std::to_string(song) + ".mp3");
        }
    }

    PlayList playList;
    Library old;
    old.songs.resize(3);
    old.songs[0].filepath = "old/0.mp3";
    playList.setLibrary(old);
    Player player;
    playList.setPlayer(&player);
    StderrCapture errors;

    std::atomic<bool> finished{false};
    std::thread loading([&] {
        MusicScanner::getInstance().scanMusicFiles(&playList);
        finished.store(true);
    });

    int frames = 0;
    bool sawScanning = false;
    while (!finished.load()) {
        sawScanning = sawScanning || playList.isScanning();
        const size_t count = playList.getLibrarySongs().size();
        EXPECT_TRUE(count == old.songs.size() || count == ALBUMS * SONGS_PER_ALBUM) << count;
        size_t albumSongs = 0;
        for (const Album& album : playList.getAlbums()) {
            albumSongs += album.songs.size();
        }
        EXPECT_TRUE(albumSongs == 0 || albumSongs == ALBUMS * SONGS_PER_ALBUM) << albumSongs;
        // An album page replaces the queue and plays from it.
        if (frames % 10 == 0) {
            playList.clear();
            playList.addSong(playList.getLibrarySongs().front());
            playList.setCurrentIndex(0);
            playList.play(0);
        }
        playList.getCurrentSong();
        playList.getNextIndex();
        ++frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    loading.join();

    EXPECT_GT(frames, 0);
    EXPECT_TRUE(sawScanning || frames < 3);
    EXPECT_FALSE(playList.isScanning());
    EXPECT_EQ(playList.getLibraryVersion(), 2u);
    EXPECT_EQ(playList.getLibrarySongs().size(), static_cast<size_t>(ALBUMS * SONGS_PER_ALBUM));
    EXPECT_EQ(playList.getSongs().size(), playList.getLibrarySongs().size());
    EXPECT_EQ(playList.getAlbums().size(), static_cast<size_t>(ALBUMS));
    Library cached;
    ASSERT_TRUE(LibraryCache::load("config/music_library.json", cached));
    EXPECT_EQ(cached.songs.size(), playList.getLibrarySongs().size());
}
