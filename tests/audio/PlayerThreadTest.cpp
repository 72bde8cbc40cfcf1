#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int OPERATIONS = 250;
constexpr int PUMP_MS = 2;

// While the audio thread decodes flat out, the main thread seeks, changes gains, pauses,
// resumes, stops and loads songs, and the play list's continuation loads the next song at every
// end. Nothing may crash, deadlock or race, and the player must still play a song through.
TEST(PlayerThreadTest, MainThreadOperationsDuringPlayback) {
    PlayerRig rig(0);
    std::vector<std::string> paths = {
        rig.media.make("one.mp3", {1.5, 44100, "stereo", "-c:a libmp3lame", ""}),
        rig.media.make("two.flac", {1.0, 48000, "mono", "-c:a flac", ""}),
        rig.media.make("three.ogg", {1.0, 44100, "5.1", "-c:a libvorbis", ""}),
    };
    std::mt19937 random(7);
    size_t next = 0;
    rig.player->setSongEndCallback([&] {
        ++rig.songEnds;
        rig.load(paths[next++ % paths.size()], "/dev/null");
        rig.player->play();
    });
    ASSERT_TRUE(rig.load(paths[0], "/dev/null"));
    rig.player->play();

    std::uniform_int_distribution<int> operation(0, 9);
    std::uniform_real_distribution<float> gain(-12.0f, 12.0f);
    for (int step = 0; step < OPERATIONS; ++step) {
        switch (operation(random)) {
        case 0:
            rig.player->fastForward(1);
            break;
        case 1:
            rig.player->rewind(1);
            break;
        case 2: {
            std::vector<float> gains(10);
            for (float& band : gains) {
                band = gain(random);
            }
            rig.player->setEQGains(gains);
            break;
        }
        case 3:
            rig.player->setEQGains(std::vector<float>(10, 0.0f));
            break;
        case 4:
            rig.player->pause();
            break;
        case 5:
            rig.player->stop();
            break;
        case 6:
            rig.player->setVolume(static_cast<int>(random() % 101));
            break;
        case 7:
            rig.load(paths[random() % paths.size()], "/dev/null");
            [[fallthrough]];
        default:
            rig.player->play();
            break;
        }
        rig.pump.pumpFor(*rig.player, PUMP_MS);
        (void)rig.player->getProgress();
    }

    rig.player->setSongEndCallback([&] { ++rig.songEnds; });
    rig.player->setEQGains({3.0f, 3.0f});
    int ends = rig.songEnds;
    ASSERT_TRUE(rig.load(paths[1], "/dev/null"));
    ASSERT_TRUE(rig.playToEnd());
    rig.pump.pumpFor(*rig.player, 100);
    EXPECT_EQ(rig.songEnds, ends + 1);
}

} // namespace
