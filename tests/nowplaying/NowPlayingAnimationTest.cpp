// The moving parts of the now-playing screens, driven by a clock the test sets.
#include "nowplaying/LyricsView.h"
#include "nowplaying/RecordAnimation.h"
#include "nowplaying/ScrollingTitle.h"
#include "nowplaying/TapeAnimation.h"

#include <gtest/gtest.h>

TEST(TapeAnimationTest, ReelsTradeSpeedsOverTheSongAndStandStillWhenNotPlaying) {
    EXPECT_DOUBLE_EQ(TapeAnimation::leftReelSpeed(0.0), -0.192);
    EXPECT_DOUBLE_EQ(TapeAnimation::rightReelSpeed(1.0), -0.192);
    EXPECT_NEAR(TapeAnimation::leftReelSpeed(1.0), -0.292, 1e-3);
    EXPECT_NEAR(TapeAnimation::rightReelSpeed(0.0), -0.292, 1e-3);
    EXPECT_DOUBLE_EQ(TapeAnimation::leftReelSpeed(0.5), TapeAnimation::rightReelSpeed(0.5));

    TapeAnimation tape(1000);
    tape.advance(1100, 0.0f, true); // 100 ms anticlockwise from 0 degrees
    EXPECT_NEAR(tape.getLeftAngle(), 360.0 - 19.2, 1e-9);
    EXPECT_NEAR(tape.getRightAngle(), 360.0 - 29.189187, 1e-6);
    double left = tape.getLeftAngle();
    tape.advance(5000, 0.0f, false);
    EXPECT_EQ(tape.getLeftAngle(), left);
    tape.advance(5000 + 3600000, 0.3f, true); // an hour away: still a proper angle
    EXPECT_GE(tape.getLeftAngle(), 0.0);
    EXPECT_LT(tape.getLeftAngle(), 360.0);
}

TEST(TapeAnimationTest, TapePictureFollowsProgress) {
    TapeAnimation tape;
    tape.advance(10, 0.5f, false);
    EXPECT_EQ(tape.getPictureIndex(), 15);
    tape.advance(20, 0.999f, true);
    EXPECT_EQ(tape.getPictureIndex(), 29);
    tape.advance(30, 1.0f, true);
    EXPECT_EQ(tape.getPictureIndex(), TapeAnimation::TAPE_PICTURE_COUNT); // drawn as none
}

TEST(RecordAnimationTest, DiscTurnsOncePerSevenSecondsWhilePlaying) {
    RecordAnimation record(0);
    for (uint64_t t = 0; t <= 3500; t += 50) {
        record.advance(t, true, 100);
    }
    EXPECT_NEAR(record.getDiscAngle(), 180.0, 1e-6);
    for (uint64_t t = 3550; t <= 7350; t += 50) {
        record.advance(t, true, 100);
    }
    EXPECT_NEAR(record.getDiscAngle(), 18.0, 1e-6);
    record.advance(60000, true, 100); // back after a minute: one ordinary step
    double afterGap = 18.0 + 33 * 360.0 / 7000.0;
    EXPECT_NEAR(record.getDiscAngle(), afterGap, 1e-6);
    record.advance(61000, false, 100);
    EXPECT_NEAR(record.getDiscAngle(), afterGap, 1e-6);
}

TEST(RecordAnimationTest, ArmSwingsInEasedThenSwaysAndSwingsOutWhenPaused) {
    RecordAnimation record(0);
    record.advance(1000, true, 100);
    EXPECT_EQ(record.getArmAngle(), 0.0);
    record.advance(1500, true, 100);
    EXPECT_DOUBLE_EQ(record.getArmAngle(), 15.0 * (2 - 0.5) * 0.5);
    record.advance(2001, true, 100);
    EXPECT_DOUBLE_EQ(record.getArmAngle(), 15.0);
    EXPECT_FALSE(record.isArmSwinging());
    record.advance(2500, true, 100); // the sway's clock started with the swing, 1.5 s ago
    EXPECT_NEAR(record.getArmAngle(), 15.0 - 1.0, 1e-9);
    record.advance(3500, true, 100);
    EXPECT_NEAR(record.getArmAngle(), 15.0 + 1.0, 1e-9);

    record.advance(4000, false, 100);
    EXPECT_DOUBLE_EQ(record.getArmAngle(), 15.0);
    record.advance(4500, false, 100);
    EXPECT_DOUBLE_EQ(record.getArmAngle(), 15.0 * (1 - 0.75));
    record.advance(5001, false, 100);
    EXPECT_EQ(record.getArmAngle(), 0.0);
    EXPECT_FALSE(record.isArmSwinging());
}

TEST(ScrollingTitleTest, OnlyAWideTitleScrollsAPixelPerFiftyMillisecondsAndWraps) {
    ScrollingTitle title;
    title.setText("short", ScrollingTitle::WINDOW_WIDTH, 0);
    title.advance(1000);
    EXPECT_FALSE(title.scrolls());
    EXPECT_EQ(title.getOffset(), 0.0f);

    title.setText("long", 300, 1000);
    EXPECT_TRUE(title.scrolls());
    title.advance(1049);
    EXPECT_EQ(title.getOffset(), 0.0f);
    title.advance(1050);
    title.advance(1099);
    EXPECT_EQ(title.getOffset(), 1.0f);
    title.advance(1500);
    EXPECT_EQ(title.getOffset(), 2.0f);
    uint64_t t = 1500;
    while (title.getOffset() <= ScrollingTitle::OFFSET_LIMIT - 1.0f) {
        title.advance(t += ScrollingTitle::STEP_MS);
    }
    title.advance(t += ScrollingTitle::STEP_MS); // 10001 comes back into one turn of 310
    EXPECT_EQ(title.getOffset(), 10001.0f - 32 * 310.0f);

    title.setText("other", 400, t);
    EXPECT_EQ(title.getOffset(), 0.0f);
}

TEST(LyricsScrollTest, ApproachesTheCurrentLineWithoutOvershooting) {
    float scroll = LyricsView::scrollTowards(0.0f, 100.0f, 16);
    EXPECT_NEAR(scroll, 28.8f, 1e-4f);
    float previous = scroll;
    for (int frame = 0; frame < 30; ++frame) {
        scroll = LyricsView::scrollTowards(scroll, 100.0f, 16);
        EXPECT_GE(scroll, previous);
        EXPECT_LE(scroll, 100.0f);
        previous = scroll;
    }
    EXPECT_NEAR(scroll, 100.0f, 0.1f); // comes to rest
    EXPECT_EQ(LyricsView::scrollTowards(0.0f, 1000.0f, 60000), 1000.0f);
    EXPECT_EQ(LyricsView::scrollTowards(99.95f, 100.0f, 16), 99.95f);
}
