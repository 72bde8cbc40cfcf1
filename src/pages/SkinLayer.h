#pragma once

#include "core/SdlHandles.h"

#include <string>

class ThemeAssetCodec;

// One picture of a now-playing skin, drawn at its place on the screen (full-screen pictures at
// the origin). Only the part that holds visible pixels is kept: most skin layers are mostly
// transparent, and blending their empty parts would cost every frame without changing a pixel.
class SkinLayer {
public:
    // Reads the picture through the codec; false (and logged) when it cannot be read.
    bool load(SDL_Renderer* renderer, const ThemeAssetCodec& codec, const std::string& path);
    void release();
    bool isLoaded() const { return texture != nullptr; }

    // Draws the picture with its top-left corner at origin.
    void draw(SDL_Renderer* renderer, SDL_Point origin = {0, 0}) const;
    // Draws the picture into place rotated by angle degrees about centre (relative to place).
    void drawRotated(SDL_Renderer* renderer, const SDL_Rect& place, double angle,
                     SDL_Point centre) const;

private:
    TexturePtr texture;
    SDL_Rect visible{}; // the kept part, in the picture's own pixels
    int fullWidth = 0;
    int fullHeight = 0;
};
