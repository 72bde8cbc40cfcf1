#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>

// Milliseconds since a fixed start. The program reads SDL's tick counter; tests hand in a clock
// they move themselves, so timed behaviour is checked without waiting.
using Clock = std::function<uint64_t()>;

inline Clock sdlClock() {
    return [] { return SDL_GetTicks64(); };
}
