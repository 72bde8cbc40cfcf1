#pragma once

#include "core/Clock.h"

#include <cstdint>

class Player;

// Stops the music after a chosen time: over the last FADE_MS the volume falls to nothing, then
// playback pauses and the volume is put back for the next play. A key press during the fade
// cancels the timer and restores the volume at once. Nothing of it is saved; it is off at every
// start. Main thread only; update() runs once per frame whatever page is on screen.
class SleepTimer {
public:
    static constexpr uint64_t FADE_MS = 10000;

    explicit SleepTimer(Player* player, Clock clock = sdlClock());

    // Runs out durationMs from now (replacing an earlier run); 0 turns the timer off.
    void start(uint64_t durationMs);
    // Turns the timer off; a fade in progress gives the volume back.
    void cancel();
    // Fades and, at the end, pauses. Call once per frame.
    void update();
    // A key or button was pressed on the device: during the fade, that cancels the timer.
    void onKeyPress();

    bool isRunning() const { return running; }
    bool isFading() const { return fading; }
    // Milliseconds until the music stops; 0 when the timer is off.
    uint64_t remainingMs() const;

private:
    void beginFade();
    void finish();

    Player* player;
    Clock clock;
    bool running = false;
    bool fading = false;
    uint64_t deadline = 0;
    int volumeBeforeFade = 0;
};
