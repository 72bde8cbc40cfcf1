#pragma once

#include "ui/TextCache.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

// Placing cached texts on the now-playing screens.
namespace SkinText {

enum class Anchor { LEFT, CENTRE, RIGHT }; // what x names: the left edge, the centre, the right

// Draws text with its top at y; nothing for an empty text or a missing font.
void draw(SDL_Renderer* renderer, TextCache& texts, TTF_Font* font, const std::string& text,
          SDL_Color colour, int x, int y, Anchor anchor);

} // namespace SkinText
