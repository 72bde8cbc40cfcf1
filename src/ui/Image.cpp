#include "ui/Image.h"

#include "core/Log.h"

#include <SDL_image.h>

namespace Image {

TexturePtr loadTexture(SDL_Renderer* renderer, const std::string& path) {
    if (!renderer) {
        return nullptr;
    }
    return TexturePtr(IMG_LoadTexture(renderer, path.c_str()));
}

TexturePtr loadTextureOrReport(SDL_Renderer* renderer, const std::string& path,
                               const std::string& failure) {
    TexturePtr texture = loadTexture(renderer, path);
    if (!texture) {
        logError(failure + SDL_GetError());
    }
    return texture;
}

SurfacePtr loadSurface(const std::string& path) {
    return SurfacePtr(IMG_Load(path.c_str()));
}

TexturePtr textureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface) {
    if (!renderer || !surface) {
        return nullptr;
    }
    return TexturePtr(SDL_CreateTextureFromSurface(renderer, surface));
}

void drawFullScreen(SDL_Renderer* renderer, SDL_Texture* texture) {
    if (renderer && texture) {
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    }
}

} // namespace Image
