#pragma once

#include <cstdint>

// The moving parts of the record player: the disc (and the cover on it) turning once every
// DISC_REVOLUTION_MS while music plays; the tone arm swinging in over ARM_SWING_MS when playback
// starts, then swaying by a degree with a two-second period, and swinging back out over the same
// time when playback stops; the volume thumb following the volume.
class RecordAnimation {
public:
    static constexpr double DISC_REVOLUTION_MS = 7000.0;
    static constexpr double ARM_PLAYING_ANGLE = 15.0;
    static constexpr double ARM_SWING_MS = 1000.0;
    static constexpr double ARM_SWAY_PERIOD_MS = 2000.0;
    static constexpr double THUMB_Y_SILENT = 260.0;
    static constexpr double THUMB_Y_FULL = 68.0;
    // A longer gap between two steps (the page was not on screen) counts as one ordinary frame.
    static constexpr uint64_t LONGEST_STEP_MS = 1000;
    static constexpr uint64_t STEP_AFTER_GAP_MS = 33;

    explicit RecordAnimation(uint64_t now = 0) { reset(now); }

    // Disc and arm at rest at 0 degrees, thumb at full volume, the clock at now.
    void reset(uint64_t now);

    // Moves on to now; playing means playing and not paused; volume is 0 to 100.
    void advance(uint64_t now, bool playing, int volume);

    // Share of the swing done after elapsed milliseconds of a swing: eases out, (2 - f) f.
    static double swingShare(double elapsedMs);
    static double thumbY(int volume);

    double getDiscAngle() const { return discAngle; }
    double getArmAngle() const { return armAngle; }
    double getThumbY() const { return thumbYNow; }

private:
    void swingIn(uint64_t now);
    void swingOut(uint64_t now);

    double discAngle = 0.0;
    double armAngle = 0.0;
    double wobble = 0.0;
    double thumbYNow = THUMB_Y_FULL;
    bool wasPlaying = false;
    bool armSwinging = false;
    uint64_t swingStart = 0;
    uint64_t wobbleStart = 0;
    uint64_t lastTick = 0;
};
