#pragma once

#include <SDL.h>

// Small drawing helpers shared by the screen elements.
namespace Draw {

constexpr SDL_Color WHITE{255, 255, 255, 255};
constexpr SDL_Color BLACK{0, 0, 0, 255};
constexpr SDL_Color RED{255, 0, 0, 255};
constexpr SDL_Color GREEN{0, 255, 0, 255};
constexpr SDL_Color YELLOW{255, 255, 0, 255};

void setColor(SDL_Renderer* renderer, SDL_Color color);
void fillRect(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color);
void outlineRect(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color);
// Fills the whole render target.
void fillScreen(SDL_Renderer* renderer, SDL_Color color);

} // namespace Draw
