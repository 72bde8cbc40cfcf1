#include "nowplaying/LayerCache.h"

#include "ui/Draw.h"
#include "ui/UIBase.h"

void LayerCache::draw(SDL_Renderer* renderer, const Key& key,
                      const std::function<void()>& drawLayers) {
    if (!renderer) {
        return;
    }
    if ((!valid || key != drawnKey) && !redraw(renderer, drawLayers)) {
        drawLayers();
        return;
    }
    drawnKey = key;
    SDL_RenderCopy(renderer, texture.get(), nullptr, nullptr);
}

bool LayerCache::redraw(SDL_Renderer* renderer, const std::function<void()>& drawLayers) {
    valid = false;
    if (!texture && SDL_RenderTargetSupported(renderer)) {
        texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                        SDL_TEXTUREACCESS_TARGET, UIBase::SCREEN_WIDTH,
                                        UIBase::SCREEN_HEIGHT));
        if (texture) {
            SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);
        }
    }
    SDL_Texture* screen = SDL_GetRenderTarget(renderer);
    if (!texture || SDL_SetRenderTarget(renderer, texture.get()) != 0) {
        return false;
    }
    // As the screen is before a page draws: cleared to black.
    Draw::setColor(renderer, Draw::BLACK);
    SDL_RenderClear(renderer);
    drawLayers();
    SDL_SetRenderTarget(renderer, screen);
    valid = true;
    return true;
}
