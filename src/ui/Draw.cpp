#include "ui/Draw.h"

namespace Draw {

void setColor(SDL_Renderer* renderer, SDL_Color color) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
}

void fillRect(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color) {
    setColor(renderer, color);
    SDL_RenderFillRect(renderer, &rect);
}

void outlineRect(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color) {
    setColor(renderer, color);
    SDL_RenderDrawRect(renderer, &rect);
}

void fillScreen(SDL_Renderer* renderer, SDL_Color color) {
    setColor(renderer, color);
    SDL_RenderFillRect(renderer, nullptr);
}

} // namespace Draw
