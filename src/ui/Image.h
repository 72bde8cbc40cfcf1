#pragma once

#include "core/SdlHandles.h"

#include <string>

// Loading plain image files (PNG and the other formats SDL_image reads).
namespace Image {

// The image as a texture, or null (SDL_GetError tells why).
TexturePtr loadTexture(SDL_Renderer* renderer, const std::string& path);

// The image as a texture; when it cannot be loaded, the error line failure + SDL's reason is
// written and null returned.
TexturePtr loadTextureOrReport(SDL_Renderer* renderer, const std::string& path,
                               const std::string& failure);

// The image as a surface, or null.
SurfacePtr loadSurface(const std::string& path);

// A texture made from a surface, or null.
TexturePtr textureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface);

// Copies a texture over the whole render target.
void drawFullScreen(SDL_Renderer* renderer, SDL_Texture* texture);

} // namespace Image
