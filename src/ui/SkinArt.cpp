#include "ui/SkinArt.h"

#include "core/Log.h"
#include "library/CoverExtractor.h"
#include "settings/Config.h"
#include "ui/Image.h"
#include "ui/ThemeAssetCodec.h"

#include <algorithm>

namespace SkinArt {

namespace {

constexpr const char* TAPE_FRAME = "icons/zg.png";
constexpr const char* RECORD_FRAME = "icons/record/zjzz.png";
constexpr const char* TAPE_DEFAULT_COVER = "icons/ty.png";
constexpr const char* RECORD_DEFAULT_COVER = "icons/record/rtfm.png";
constexpr const char* TAPE_SKIN_COVER = "/tfm.png";
constexpr const char* RECORD_SKIN_COVER = "/rtfm.png";
constexpr const char* TAPE_BACKGROUND = "icons/bg.png";
constexpr const char* RECORD_BACKGROUND = "icons/record/bg.png";

} // namespace

bool isTape(int themeId) {
    return themeId == TAPE_THEME_ID;
}

const char* framePath(int themeId) {
    return isTape(themeId) ? TAPE_FRAME : RECORD_FRAME;
}

const char* defaultCoverPath(int themeId) {
    return isTape(themeId) ? TAPE_DEFAULT_COVER : RECORD_DEFAULT_COVER;
}

SurfacePtr loadPicture(const std::string& path) {
    // The codec takes plain PNG files as they are, so both kinds of file are read the same way.
    return ThemeAssetCodec().loadSurface(path);
}

SurfacePtr loadSongCover(const std::string& path) {
    SurfacePtr cover = Image::loadSurface(path);
    if (!cover || !CoverExtractor::isWhole(path)) {
        CoverExtractor::noteUnreadableCover(path);
    }
    return cover;
}

SurfacePtr loadCover(const std::string& coverPath, int themeId) {
    if (!coverPath.empty()) {
        if (SurfacePtr cover = loadSongCover(coverPath)) {
            return cover;
        }
    }
    SurfacePtr fallback = loadPicture(defaultCoverPath(themeId));
    if (!fallback) {
        logError(std::string("无法加载默认封面: ") + SDL_GetError());
    }
    return fallback;
}

TexturePtr scaledTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height,
                         const SDL_Rect* source) {
    if (!renderer || !picture || width <= 0 || height <= 0) {
        return nullptr;
    }
    SurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    if (!scaled) {
        logError(std::string("无法创建缩放surface: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    SDL_Rect area{0, 0, width, height};
    SDL_Rect from = source ? *source : SDL_Rect{0, 0, picture->w, picture->h};
    if (SDL_BlitScaled(picture, &from, scaled.get(), &area) != 0) {
        logError(std::string("无法缩放图片: ") + SDL_GetError());
        return nullptr;
    }
    TexturePtr texture = Image::textureFromSurface(renderer, scaled.get());
    if (!texture) {
        logError(std::string("无法创建纹理: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    return texture;
}

SDL_Rect centreStrip(const SDL_Surface& picture, int stripWidth, int stripHeight) {
    int width = std::min(picture.w, picture.h * stripWidth / std::max(1, stripHeight));
    return {(picture.w - width) / 2, 0, width, picture.h};
}

std::string skinDefaultCoverPath(int themeId, const std::string& folder) {
    return "icons/" + folder + (isTape(themeId) ? TAPE_SKIN_COVER : RECORD_SKIN_COVER);
}

SurfacePtr scaledSurface(SDL_Surface* picture, int width, int height) {
    if (!picture || width <= 0 || height <= 0) {
        return nullptr;
    }
    SurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    if (!scaled) {
        logError(std::string("无法创建缩放surface: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    if (SDL_BlitScaled(picture, nullptr, scaled.get(), nullptr) != 0) {
        logError(std::string("无法缩放图片: ") + SDL_GetError());
        return nullptr;
    }
    return scaled;
}

SurfacePtr shrinkToFit(SurfacePtr picture, int maxWidth, int maxHeight) {
    if (!picture || (picture->w <= maxWidth && picture->h <= maxHeight)) {
        return picture;
    }
    double scale = std::min(static_cast<double>(maxWidth) / picture->w,
                            static_cast<double>(maxHeight) / picture->h);
    int width = std::max(1, static_cast<int>(picture->w * scale));
    int height = std::max(1, static_cast<int>(picture->h * scale));
    SurfacePtr smaller = scaledSurface(picture.get(), width, height);
    return smaller ? std::move(smaller) : std::move(picture);
}

bool takeDefaultSkin(const Config& config, int& themeId) {
    int chosen = config.getDefaultThemeId();
    if (chosen == themeId) {
        return false;
    }
    themeId = chosen;
    return true;
}

const char* backgroundPath(int themeId) {
    return isTape(themeId) ? TAPE_BACKGROUND : RECORD_BACKGROUND;
}

TexturePtr loadPictureTexture(SDL_Renderer* renderer, const std::string& path) {
    SurfacePtr picture = loadPicture(path);
    return picture ? Image::textureFromSurface(renderer, picture.get()) : nullptr;
}

TexturePtr coverTexture(SDL_Renderer* renderer, SDL_Surface* picture, int themeId, int width,
                        int height) {
    if (!picture || !isTape(themeId)) {
        return scaledTexture(renderer, picture, width, height);
    }
    SDL_Rect strip = centreStrip(*picture, width, height);
    return scaledTexture(renderer, picture, width, height, &strip);
}

} // namespace SkinArt
