#include "library/MusicScanner.h"
#include "library/PlayList.h"

#include "audio/Player.h"
#include "support/PlayerRig.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace fs = std::filesystem;

// A scan runs on the loading thread while the main thread keeps running frames: it reads the
// scanning flag, the library and the queue, and plays and queues songs. A frame must see the
// old library or the new one, never a part of the new one, and the same one all through.
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
    playList.update();
    Player player;
    playList.setPlayer(&player);
    StderrCapture errors;

    MusicScanner scanner;
    std::atomic<bool> finished{false};
    std::thread loading([&] {
        scanner.scanMusicFiles(&playList, {{"music"}, {".mp3"}});
        finished.store(true);
    });

    int frames = 0;
    bool sawScanning = false;
    while (!finished.load()) {
        playList.update();
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
        EXPECT_EQ(playList.getLibrarySongs().size(), count); // no getter took a library over
        ++frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    loading.join();
    playList.update();

    EXPECT_TRUE(sawScanning || frames < 3);
    EXPECT_FALSE(playList.isScanning());
    EXPECT_EQ(playList.getLibrarySongs().size(), static_cast<size_t>(ALBUMS * SONGS_PER_ALBUM));
    EXPECT_EQ(playList.getAlbums().size(), static_cast<size_t>(ALBUMS));
}

// The decoding thread reports what is heard; the play list, updated every frame on the main
// thread, follows it and prepares what comes next as its play mode says.
TEST(PlayListThreadTest, SongsFollowEachOtherByThePlayMode) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(rig.media.make("song" + std::to_string(i) + ".wav",
                                       {0.3, 44100, "stereo", "-c:a pcm_s16le", ""}));
    }
    PlayMode mode = PlayMode::SEQUENCE;
    PlayList playList;
    for (const std::string& path : paths) {
        playList.addSong(PlayerRig::songAt(path));
    }
    playList.setPlayer(rig.player.get());
    playList.setPlayModeSource([&] { return mode; });
    Player& player = *rig.player;
    auto pumpUntil = [&](const std::function<bool()>& done) {
        return rig.pump.pumpUntil([&] { playList.update(); }, done, PlayerRig::SONG_TIMEOUT_MS);
    };
    auto reached = [&](size_t index) {
        return pumpUntil([&] {
            return playList.getCurrentIndex() == index &&
                   player.getCurrentFilePath() == paths[index];
        });
    };

    mode = PlayMode::SEQUENCE; // on to the last song, and silence after it
    ASSERT_TRUE(playList.play(0));
    ASSERT_TRUE(reached(1));
    ASSERT_TRUE(reached(2));
    ASSERT_TRUE(pumpUntil([&] { return player.isStopped(); }));

    mode = PlayMode::SEQUENCE_LOOP; // from the last song back to the first
    ASSERT_TRUE(playList.play(2));
    ASSERT_TRUE(reached(0));

    mode = PlayMode::SINGLE_LOOP; // the song starts again, and again
    ASSERT_TRUE(playList.play(1));
    int starts = 0;
    double last = 0.0;
    ASSERT_TRUE(pumpUntil([&] {
        double now = player.getCurrentTime();
        starts += now < last ? 1 : 0;
        last = now;
        return starts == 3;
    }));
    EXPECT_EQ(playList.getCurrentIndex(), 1u);

    mode = PlayMode::SINGLE; // the end of the song is the end
    ASSERT_TRUE(playList.play(0));
    ASSERT_TRUE(pumpUntil([&] { return player.isStopped(); }));
    EXPECT_EQ(playList.getCurrentIndex(), 0u);
}
