#pragma once

#include "core/SdlHandles.h"

#include <string>
#include <vector>

class SkinPictures;
class ThemeAssetCodec;

// One picture of a now-playing skin, drawn at its place on the screen (full-screen pictures at
// the origin). Only the parts that hold visible pixels are kept, as separate pieces when empty
// stretches lie between them: most skin layers are mostly transparent, and blending their empty
// parts would cost every frame without changing a pixel. Pieces without any transparency are
// copied without blending, which gives the same pixels faster.
class SkinLayer {
public:
    // Takes the skin's picture at path; false (and logged) when it cannot be read.
    bool load(SDL_Renderer* renderer, SkinPictures& pictures, const std::string& path);
    void release();
    bool isLoaded() const { return !pieces.empty(); }

    // A skin picture as a surface; null (and logged) when it cannot be read.
    static SurfacePtr readPicture(const ThemeAssetCodec& codec, const std::string& path);

    // Draws the picture with its top-left corner at origin.
    void draw(SDL_Renderer* renderer, SDL_Point origin = {0, 0}) const;

private:
    struct Piece {
        TexturePtr texture;
        SDL_Rect area; // in the picture's own pixels
    };

    bool addPiece(SDL_Renderer* renderer, SDL_Surface& picture, const SDL_Rect& area);

    std::vector<Piece> pieces;
};
