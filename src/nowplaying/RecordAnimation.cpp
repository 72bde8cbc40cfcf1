#include "nowplaying/RecordAnimation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double FULL_TURN = 360.0;
constexpr double TWO_PI = 6.283185307179586;
constexpr double PERCENT = 100.0;

} // namespace

void RecordAnimation::reset(uint64_t now) {
    discAngle = armAngle = wobble = 0.0;
    thumbYNow = THUMB_Y_FULL;
    wasPlaying = armSwinging = false;
    swingStart = wobbleStart = lastTick = now;
}

double RecordAnimation::swingShare(double elapsedMs) {
    double f = std::clamp(elapsedMs / ARM_SWING_MS, 0.0, 1.0);
    return (2.0 - f) * f;
}

double RecordAnimation::thumbY(int volume) {
    return THUMB_Y_SILENT - (volume / PERCENT) * (THUMB_Y_SILENT - THUMB_Y_FULL);
}

void RecordAnimation::advance(uint64_t now, bool playing, int volume) {
    uint64_t step = now >= lastTick ? now - lastTick : 0;
    if (step > LONGEST_STEP_MS) {
        step = STEP_AFTER_GAP_MS;
    }
    lastTick = now;
    double sinceSwing = static_cast<double>(now - std::min(now, swingStart));
    if (playing) {
        if (!wasPlaying) {
            swingIn(now);
            sinceSwing = 0.0;
        }
        discAngle += FULL_TURN / DISC_REVOLUTION_MS * static_cast<double>(step);
        if (discAngle >= FULL_TURN) {
            discAngle -= FULL_TURN;
        }
        if (armSwinging) {
            armSwinging = sinceSwing <= ARM_SWING_MS;
            armAngle = ARM_PLAYING_ANGLE * swingShare(sinceSwing);
        } else {
            double t = std::fmod(static_cast<double>(now - std::min(now, wobbleStart)),
                                 ARM_SWAY_PERIOD_MS);
            wobble = std::sin(TWO_PI * t / ARM_SWAY_PERIOD_MS);
            armAngle = ARM_PLAYING_ANGLE + wobble;
        }
    } else {
        if (wasPlaying) {
            swingOut(now);
        } else if (armSwinging) {
            if (sinceSwing <= ARM_SWING_MS) {
                armAngle = ARM_PLAYING_ANGLE * (1.0 - swingShare(sinceSwing));
            } else {
                armSwinging = false;
                armAngle = 0.0;
            }
        }
        wobble = 0.0;
    }
    thumbYNow = thumbY(volume);
}

void RecordAnimation::swingIn(uint64_t now) {
    wasPlaying = true;
    armSwinging = true;
    swingStart = now;
    wobble = 0.0;
    wobbleStart = now;
}

void RecordAnimation::swingOut(uint64_t now) {
    wasPlaying = false;
    armSwinging = true;
    swingStart = now;
    armAngle = ARM_PLAYING_ANGLE;
}
