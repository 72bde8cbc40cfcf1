#include "pages/SkinLayer.h"

#include "core/Log.h"
#include "ui/Image.h"
#include "ui/SkinArt.h"
#include "ui/ThemeAssetCodec.h"

bool SkinLayer::load(SDL_Renderer* renderer, const ThemeAssetCodec& codec,
                     const std::string& path) {
    release();
    bool ok = false;
    SurfacePtr picture = renderer ? codec.loadSurface(path, &ok) : nullptr;
    if (!picture || !ok) {
        logError("加载加密纹理失败");
        return false;
    }
    fullWidth = picture->w;
    fullHeight = picture->h;
    visible = SkinArt::visibleBounds(*picture);
    if (visible.w == 0) {
        visible = {0, 0, 1, 1}; // nothing to see; keep a texture so the picture counts as loaded
    }
    SurfacePtr kept(
        SDL_CreateRGBSurfaceWithFormat(0, visible.w, visible.h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (kept) {
        SDL_SetSurfaceBlendMode(picture.get(), SDL_BLENDMODE_NONE);
        SDL_BlitSurface(picture.get(), &visible, kept.get(), nullptr);
    }
    texture = Image::textureFromSurface(renderer, kept.get());
    if (!texture) {
        logError(std::string("创建纹理失败: ") + SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    return true;
}

void SkinLayer::release() {
    texture.reset();
    visible = {};
    fullWidth = fullHeight = 0;
}

void SkinLayer::draw(SDL_Renderer* renderer, SDL_Point origin) const {
    if (!renderer || !texture) {
        return;
    }
    SDL_Rect place{origin.x + visible.x, origin.y + visible.y, visible.w, visible.h};
    SDL_RenderCopy(renderer, texture.get(), nullptr, &place);
}

void SkinLayer::drawRotated(SDL_Renderer* renderer, const SDL_Rect& place, double angle,
                            SDL_Point centre) const {
    if (!renderer || !texture || fullWidth <= 0 || fullHeight <= 0) {
        return;
    }
    // The kept part keeps its share of the place, so the picture turns as a whole.
    double scaleX = static_cast<double>(place.w) / fullWidth;
    double scaleY = static_cast<double>(place.h) / fullHeight;
    SDL_FRect part{static_cast<float>(place.x + visible.x * scaleX),
                   static_cast<float>(place.y + visible.y * scaleY),
                   static_cast<float>(visible.w * scaleX), static_cast<float>(visible.h * scaleY)};
    SDL_FPoint pivot{static_cast<float>(place.x + centre.x - part.x),
                     static_cast<float>(place.y + centre.y - part.y)};
    SDL_RenderCopyExF(renderer, texture.get(), nullptr, &part, angle, &pivot, SDL_FLIP_NONE);
}
