#pragma once

#include <SDL.h>

// The colours pages draw with. A default-constructed set is all zeros (transparent black).
struct ThemeColors {
    SDL_Color primary{};
    SDL_Color secondary{};
    SDL_Color background{};
    SDL_Color text{};
    SDL_Color topbarBackground{};
    SDL_Color topbarText{};
    SDL_Color volumeBackground{};
    SDL_Color volumeForeground{};
    SDL_Color batteryHigh{};
    SDL_Color batteryMedium{};
    SDL_Color batteryLow{};
};
