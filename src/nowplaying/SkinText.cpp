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

} // namespace SkinText
