#include "nowplaying/SkinText.h"

#include <algorithm>

namespace SkinText {

void draw(SDL_Renderer* renderer, TextCache& texts, TTF_Font* font, const std::string& text,
          SDL_Color colour, int x, int y, Anchor anchor) {
    TextImage image = texts.get(renderer, font, text, colour);
    if (!image.texture) {
        return;
    }
    if (anchor == Anchor::CENTRE) {
        x -= image.width / 2;
    } else if (anchor == Anchor::RIGHT) {
        x -= image.width;
    }
    SDL_Rect place{x, y, image.width, image.height};
    SDL_RenderCopy(renderer, image.texture, nullptr, &place);
}

void drawFitted(SDL_Renderer* renderer, TextCache& texts, TTF_Font* font, const std::string& text,
                SDL_Color colour, const SDL_Rect& area, Anchor anchor) {
    TextImage image = texts.get(renderer, font, text, colour);
    if (!image.texture || image.width <= 0 || image.height <= 0) {
        return;
    }
    double scale = std::min({1.0, static_cast<double>(area.w) / image.width,
                             static_cast<double>(area.h) / image.height});
    int width = static_cast<int>(image.width * scale);
    int height = static_cast<int>(image.height * scale);
    int x = area.x;
    if (anchor == Anchor::CENTRE) {
        x += (area.w - width) / 2;
    } else if (anchor == Anchor::RIGHT) {
        x += area.w - width;
    }
    SDL_Rect place{x, area.y + (area.h - height) / 2, width, height};
    SDL_RenderCopy(renderer, image.texture, nullptr, &place);
}

} // namespace SkinText
