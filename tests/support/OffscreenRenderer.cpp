#include "support/OffscreenRenderer.h"

#include <stdexcept>
#include <string>

OffscreenRenderer::OffscreenRenderer()
    : surface(SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_RGBA32)) {
    if (surface) {
        renderer.reset(SDL_CreateSoftwareRenderer(surface.get()));
    }
    if (!renderer) {
        throw std::runtime_error(std::string("software renderer: ") + SDL_GetError());
    }
}

SDL_Point OffscreenRenderer::textureSize(SDL_Texture* texture) {
    SDL_Point size{-1, -1};
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, &size.x, &size.y);
    }
    return size;
}
