#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

constexpr int OPERATIONS = 300;
constexpr int PUMP_MS = 2;

// While the decoding thread fills the ring and the audio callback drains it, the main thread
// seeks, changes gains, pauses, stops, loads and prepares songs, and the continuation prepares
// the next song at every change and loads one at every end. Nothing may crash, deadlock or
// race, and the player must still play a song through afterwards.
TEST(PlayerThreadTest, MainThreadOperationsDuringPlayback) {
    PlayerRig rig(1, "/dev/null");
    std::vector<std::string> paths = {
        rig.media.make("one.mp3", {1.5, 44100, "stereo", "-c:a libmp3lame", ""}),
        rig.media.make("two.flac", {0.3, 48000, "mono", "-c:a flac", ""}),
        rig.media.make("three.ogg", {1.0, 44100, "5.1", "-c:a libvorbis", ""}),
    };
    std::mt19937 random(7);
    auto anySong = [&] { return PlayerRig::songAt(paths[random() % paths.size()]); };
    rig.player->setSongChangeCallback([&] { rig.player->prepareNextSong(anySong()); });
    rig.player->setSongEndCallback([&] {
        rig.player->loadSong(anySong());
        rig.player->play();
    });
    ASSERT_TRUE(rig.load(paths[0]));
    rig.player->play();

    std::uniform_real_distribution<float> gain(-12.0f, 12.0f);
    auto someGains = [&] {
        std::vector<float> gains(10, 0.0f); // flat half the time: no equalizer at all
        for (float& band : gains) {
            band = random() % 2 ? gain(random) : 0.0f;
        }
        return gains;
    };
    const std::vector<std::function<void()>> operations = {
        [&] { rig.player->fastForward(1); },
        [&] { rig.player->rewind(1); },
        [&] { rig.player->setEQGains(someGains()); },
        [&] { rig.player->pause(); },
        [&] { rig.player->stop(); },
        [&] { rig.player->setVolume(static_cast<int>(random() % 101)); },
        [&] { rig.player->prepareNextSong(anySong()); },
        [&] { rig.player->loadSongAt(anySong(), 0.2); },
        [&] { rig.player->loadSong(anySong()); },
        [&] { rig.player->play(); },
        [&] { rig.player->play(); },
    };
    for (int step = 0; step < OPERATIONS; ++step) {
        operations[random() % operations.size()]();
        rig.pump.pumpFor(*rig.player, PUMP_MS);
        (void)rig.player->getProgress();
    }

    rig.player->setSongChangeCallback(nullptr);
    rig.player->setSongEndCallback([&] { ++rig.songEnds; });
    rig.player->setEQGains({3.0f, 3.0f});
    int ends = rig.songEnds;
    ASSERT_TRUE(rig.load(paths[1]));
    ASSERT_TRUE(rig.playToEnd());
    rig.pump.pumpFor(*rig.player, 100);
    EXPECT_EQ(rig.songEnds, ends + 1);
}

} // namespace
