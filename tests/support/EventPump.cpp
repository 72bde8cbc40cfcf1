#include "support/EventPump.h"

#include "audio/Player.h"

#include <SDL.h>

namespace {

constexpr int POLL_INTERVAL_MS = 5;

} // namespace

EventPump::EventPump() {
    SDL_InitSubSystem(SDL_INIT_EVENTS);
}

EventPump::~EventPump() {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool EventPump::pumpUntil(const std::function<void()>& frame, const std::function<bool()>& done,
                          int timeoutMs) {
    Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
    for (frame(); !done(); frame()) {
        if (SDL_GetTicks64() > deadline) {
            return false;
        }
        SDL_Event event;
        SDL_WaitEventTimeout(&event, POLL_INTERVAL_MS);
    }
    return true;
}

bool EventPump::pumpUntil(Player& player, const std::function<bool()>& done, int timeoutMs) {
    return pumpUntil([&] { player.update(); }, done, timeoutMs);
}

void EventPump::pumpFor(Player& player, int milliseconds) {
    pumpUntil(
        player, [] { return false; }, milliseconds);
}
