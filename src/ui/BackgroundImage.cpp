#include "ui/BackgroundImage.h"

#include "core/Log.h"
#include "ui/Draw.h"
#include "ui/Image.h"

BackgroundImage::BackgroundImage(std::string path, SDL_Color fallback)
    : path(std::move(path)), fallback(fallback) {
}

bool BackgroundImage::load(SDL_Renderer* renderer) {
    tried = true;
    texture = Image::loadTexture(renderer, path);
    if (!texture) {
        logError(std::string("无法加载背景图: ") + SDL_GetError());
    }
    return texture != nullptr;
}

void BackgroundImage::draw(SDL_Renderer* renderer) {
    if (!renderer) {
        return;
    }
    if (texture || (!tried && load(renderer))) {
        Image::drawFullScreen(renderer, texture.get());
    } else {
        Draw::setColor(renderer, fallback);
        SDL_RenderClear(renderer);
    }
}
