#pragma once

#include <cstdint>

// The moving parts of the cassette: two reels turning anticlockwise, at speeds that trade places
// over the song (the left reel speeds up as the right one slows down), and the tape picture, one
// of TAPE_PICTURE_COUNT, chosen by how far the song has played.
class TapeAnimation {
public:
    static constexpr int TAPE_PICTURE_COUNT = 30;

    explicit TapeAnimation(uint64_t now = 0) { reset(now); }

    // Reels back to 0 degrees, first picture, the clock at now.
    void reset(uint64_t now);

    // Moves on to now. The reels turn only while playing; progress is the played share of the
    // song (0 at the start, 1 at the end).
    void advance(uint64_t now, float progress, bool playing);

    // Degrees per millisecond of each reel at a progress; negative turns anticlockwise.
    static double leftReelSpeed(double progress);
    static double rightReelSpeed(double progress);

    // Angles in degrees, 0 up to below 360.
    double getLeftAngle() const { return leftAngle; }
    double getRightAngle() const { return rightAngle; }
    // May reach TAPE_PICTURE_COUNT at the very end of a song, where no picture is drawn.
    int getPictureIndex() const { return pictureIndex; }

private:
    double leftAngle = 0.0;
    double rightAngle = 0.0;
    int pictureIndex = 0;
    uint64_t lastTick = 0;
};
