#include "nowplaying/TapeAnimation.h"

#include <cmath>

namespace {

constexpr double FULL_TURN = 360.0;
constexpr double SLOW_REEL = 0.192;         // degrees per millisecond
constexpr double SPEED_SPREAD = 0.09989187; // gained or lost over the song
constexpr double FAST_REEL = SLOW_REEL + SPEED_SPREAD;

double wrapped(double angle) {
    angle = std::fmod(angle, FULL_TURN);
    return angle < 0.0 ? angle + FULL_TURN : angle;
}

} // namespace

void TapeAnimation::reset(uint64_t now) {
    leftAngle = rightAngle = 0.0;
    pictureIndex = 0;
    lastTick = now;
}

double TapeAnimation::leftReelSpeed(double progress) {
    return -SLOW_REEL - SPEED_SPREAD * progress;
}

double TapeAnimation::rightReelSpeed(double progress) {
    return -FAST_REEL + SPEED_SPREAD * progress;
}

void TapeAnimation::advance(uint64_t now, float progress, bool playing) {
    double elapsed = now >= lastTick ? static_cast<double>(now - lastTick) : 0.0;
    lastTick = now;
    if (playing) {
        leftAngle = wrapped(leftAngle + leftReelSpeed(progress) * elapsed);
        rightAngle = wrapped(rightAngle + rightReelSpeed(progress) * elapsed);
    }
    pictureIndex = progress > 0.0f ? static_cast<int>(progress * TAPE_PICTURE_COUNT) : 0;
}
