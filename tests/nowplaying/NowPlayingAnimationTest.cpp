// The moving parts of the now-playing screens, driven by a clock the test sets.
#include "nowplaying/LyricsView.h"
#include "nowplaying/RecordAnimation.h"
#include "nowplaying/ScrollingTitle.h"
#include "nowplaying/TapeAnimation.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TapeAnimationTest, ReelsTurnOnlyWhilePlayingAndTheTapeFollowsProgress) {
    TapeAnimation tape(1000);
    tape.advance(1100, 0.0f, true); // anticlockwise: down from 0 degrees, that is below 360
    EXPECT_GT(tape.getLeftAngle(), 180.0);
    EXPECT_LT(tape.getLeftAngle(), 360.0);
    const double left = tape.getLeftAngle();
    tape.advance(5000, 0.0f, false);
    EXPECT_EQ(tape.getLeftAngle(), left);
    tape.advance(5000 + 3600000, 0.3f, true); // an hour away: still a proper angle
    EXPECT_GE(tape.getLeftAngle(), 0.0);
    EXPECT_LT(tape.getLeftAngle(), 360.0);

    constexpr int COUNT = TapeAnimation::TAPE_PICTURE_COUNT;
    tape.advance(5000 + 3600010, 0.5f, false);
    EXPECT_EQ(tape.getPictureIndex(), COUNT / 2);
    tape.advance(5000 + 3600020, 0.999f, true);
    EXPECT_EQ(tape.getPictureIndex(), COUNT - 1);
    tape.advance(5000 + 3600030, 1.0f, true);
    EXPECT_EQ(tape.getPictureIndex(), COUNT); // drawn as none
}

TEST(RecordAnimationTest, DiscTurnsOnlyWhilePlayingAndTheArmSwingsInAndOut) {
    const double revolution = RecordAnimation::DISC_REVOLUTION_MS;
    RecordAnimation record(0);
    for (uint64_t t = 0; t <= revolution / 2; t += 50) {
        record.advance(t, true, 100);
    }
    EXPECT_NEAR(record.getDiscAngle(), 180.0, 1e-6);
    EXPECT_NEAR(record.getArmAngle(), RecordAnimation::ARM_PLAYING_ANGLE, 1.0 + 1e-9);

    record.advance(60000, true, 100); // back after a minute: one ordinary step, not a spin
    const double afterGap = record.getDiscAngle();
    EXPECT_LT(afterGap - 180.0, 10.0);
    const uint64_t pausedAt = 61000;
    const auto swing = static_cast<uint64_t>(RecordAnimation::ARM_SWING_MS);
    record.advance(pausedAt, false, 100);
    EXPECT_EQ(record.getDiscAngle(), afterGap);
    record.advance(pausedAt + swing / 2, false, 100);
    EXPECT_LT(record.getArmAngle(), RecordAnimation::ARM_PLAYING_ANGLE);
    EXPECT_GT(record.getArmAngle(), 0.0);
    record.advance(pausedAt + swing + 1, false, 100);
    EXPECT_EQ(record.getArmAngle(), 0.0);
}

TEST(ScrollingTitleTest, OnlyAWideTitleScrollsAStepAtATimeAndWraps) {
    ScrollingTitle title;
    title.setText("short", ScrollingTitle::WINDOW_WIDTH, 0);
    title.advance(1000);
    EXPECT_FALSE(title.scrolls());
    EXPECT_EQ(title.getOffset(), 0.0f);

    uint64_t t = 1000;
    title.setText("long", 300, t);
    EXPECT_TRUE(title.scrolls());
    title.advance(t + ScrollingTitle::STEP_MS - 1);
    EXPECT_EQ(title.getOffset(), 0.0f);
    title.advance(t += ScrollingTitle::STEP_MS);
    EXPECT_EQ(title.getOffset(), 1.0f);
    // Past its limit the offset comes back by whole turns: the same place of the title shows.
    const float turn = 300 + ScrollingTitle::WRAP_MARGIN;
    bool wrapped = false;
    for (int step = 0; step < 20000 && !wrapped; ++step) {
        const float before = title.getOffset();
        title.advance(t += ScrollingTitle::STEP_MS);
        ASSERT_LE(title.getOffset(), ScrollingTitle::OFFSET_LIMIT);
        wrapped = title.getOffset() < before;
        if (wrapped) {
            EXPECT_EQ(std::fmod(title.getOffset(), turn), std::fmod(before + 1.0f, turn));
        }
    }
    EXPECT_TRUE(wrapped);
    title.setText("other", 400, t);
    EXPECT_EQ(title.getOffset(), 0.0f);
}

TEST(LyricsScrollTest, ApproachesTheCurrentLineWithoutOvershooting) {
    float scroll = 0.0f;
    for (int frame = 0; frame < 60; ++frame) {
        const float next = LyricsView::scrollTowards(scroll, 100.0f, 16);
        EXPECT_GE(next, scroll);
        EXPECT_LE(next, 100.0f);
        scroll = next;
    }
    EXPECT_NEAR(scroll, 100.0f, LyricsView::SCROLL_AT_REST);
    EXPECT_EQ(LyricsView::scrollTowards(0.0f, 1000.0f, 60000), 1000.0f);
}
