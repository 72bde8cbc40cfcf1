#include "audio/SleepTimer.h"

#include "support/PlayerRig.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t MINUTE_MS = 60000;
constexpr int VOLUME = 80;

class SleepTimerTest : public ::testing::Test {
protected:
    SleepTimerTest() : timer(rig.player.get(), [this] { return clockMs; }) {
        MediaFactory::Options options;
        options.seconds = 20;
        EXPECT_TRUE(rig.load(rig.media.make("tone.wav", options), "capture.raw"));
        rig.player->setVolume(VOLUME);
        rig.player->play();
    }

    void at(uint64_t milliseconds) {
        clockMs = milliseconds;
        timer.update();
    }

    PlayerRig rig;
    uint64_t clockMs = 0;
    SleepTimer timer;
};

TEST_F(SleepTimerTest, FadesOverTheLastTenSecondsThenPausesWithTheVolumeBack) {
    timer.start(MINUTE_MS);
    at(MINUTE_MS - SleepTimer::FADE_MS - 1);
    EXPECT_EQ(rig.player->getVolume(), VOLUME);
    EXPECT_FALSE(timer.isFading());

    timer.onKeyPress(); // before the fade a key press changes nothing
    at(MINUTE_MS - SleepTimer::FADE_MS / 2);
    EXPECT_TRUE(timer.isFading());
    EXPECT_EQ(rig.player->getVolume(), VOLUME / 2);
    at(MINUTE_MS - SleepTimer::FADE_MS / 10);
    EXPECT_EQ(rig.player->getVolume(), VOLUME / 10);
    EXPECT_TRUE(rig.player->isPlaying());

    at(MINUTE_MS);
    EXPECT_TRUE(rig.player->isPaused());
    EXPECT_EQ(rig.player->getVolume(), VOLUME);
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(timer.remainingMs(), 0u);
}

TEST_F(SleepTimerTest, AKeyPressDuringTheFadeCancelsItAndRestoresTheVolume) {
    timer.start(MINUTE_MS);
    at(MINUTE_MS - SleepTimer::FADE_MS / 4);
    EXPECT_EQ(rig.player->getVolume(), VOLUME / 4);
    timer.onKeyPress();
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(rig.player->getVolume(), VOLUME);
    at(2 * MINUTE_MS);
    EXPECT_TRUE(rig.player->isPlaying());

    // A late frame that skips the fade still pauses; starting with 0 turns the timer off.
    timer.start(MINUTE_MS);
    at(4 * MINUTE_MS);
    EXPECT_TRUE(rig.player->isPaused());
    EXPECT_EQ(rig.player->getVolume(), VOLUME);
    timer.start(0);
    EXPECT_FALSE(timer.isRunning());
}

} // namespace
