#include "audio/SleepTimer.h"

#include "support/PlayerRig.h"

#include <gtest/gtest.h>

TEST(SleepTimerTest, FadesOverTheLastTenSecondsThenPausesUnlessAKeyIsPressedDuringTheFade) {
    constexpr uint64_t MINUTE = 60000;
    PlayerRig rig;
    uint64_t now = 0;
    SleepTimer timer(rig.player.get(), [&now] { return now; });
    auto at = [&](uint64_t time) {
        now = time;
        timer.update();
        return rig.player->getVolume();
    };
    ASSERT_TRUE(
        rig.load(rig.media.make("tone.wav", {20.0, 44100, "stereo", "-c:a pcm_s16le", ""})));
    rig.player->setVolume(80);
    rig.player->play();

    timer.start(MINUTE);
    EXPECT_EQ(at(MINUTE - SleepTimer::FADE_MS - 1), 80);
    timer.onKeyPress(); // before the fade a key changes nothing
    EXPECT_EQ(at(MINUTE - SleepTimer::FADE_MS / 2), 40);
    EXPECT_EQ(at(MINUTE - SleepTimer::FADE_MS / 10), 8);
    EXPECT_TRUE(rig.player->isPlaying());
    EXPECT_EQ(at(MINUTE), 80); // paused, with the volume back for the next play
    EXPECT_TRUE(rig.player->isPaused());
    EXPECT_FALSE(timer.isRunning());

    rig.player->play();
    timer.start(MINUTE);
    EXPECT_EQ(at(2 * MINUTE - SleepTimer::FADE_MS / 4), 20);
    timer.onKeyPress();
    EXPECT_EQ(rig.player->getVolume(), 80);
    EXPECT_FALSE(timer.isRunning());
    at(3 * MINUTE);
    EXPECT_TRUE(rig.player->isPlaying());
}
