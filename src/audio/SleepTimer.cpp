#include "audio/SleepTimer.h"

#include "audio/Player.h"

#include <utility>

SleepTimer::SleepTimer(Player* player, Clock clock) : player(player), clock(std::move(clock)) {
}

void SleepTimer::start(uint64_t durationMs) {
    cancel();
    if (durationMs == 0) {
        return;
    }
    running = true;
    deadline = clock() + durationMs;
}

void SleepTimer::cancel() {
    if (fading && player) {
        player->setVolume(volumeBeforeFade);
    }
    running = false;
    fading = false;
}

void SleepTimer::onKeyPress() {
    if (fading) {
        cancel();
    }
}

uint64_t SleepTimer::remainingMs() const {
    if (!running) {
        return 0;
    }
    uint64_t time = clock();
    return time >= deadline ? 0 : deadline - time;
}

void SleepTimer::update() {
    if (!running) {
        return;
    }
    uint64_t remaining = remainingMs();
    if (remaining == 0) {
        finish();
        return;
    }
    if (remaining > FADE_MS) {
        return;
    }
    if (!fading) {
        beginFade();
    }
    if (player) {
        // The share of the fade still to go, in whole volume steps, rounded up so the music is
        // silent only at the very end.
        uint64_t scaled = static_cast<uint64_t>(volumeBeforeFade) * remaining;
        player->setVolume(static_cast<int>((scaled + FADE_MS - 1) / FADE_MS));
    }
}

void SleepTimer::beginFade() {
    fading = true;
    volumeBeforeFade = player ? player->getVolume() : 0;
}

void SleepTimer::finish() {
    if (!fading) {
        beginFade(); // a frame can be late enough to skip the whole fade
    }
    if (player) {
        player->pause();
    }
    cancel();
}
