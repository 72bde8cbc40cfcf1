#pragma once

#include "core/SdlHandles.h"

#include <string>

class Config;

// The pictures that depend on the now-playing skin and that several pages draw: the frame laid
// over an album or artist cover, and the cover shown when a song has none of its own. The tape
// skin's pictures are plain images under icons/; the record skin's are stored scrambled under
// icons/record/ and read through the theme-asset codec. Covers are scaled once, to the size
// they are drawn, so a large picture never stays in memory at full size.
namespace SkinArt {

constexpr int TAPE_THEME_ID = 1;

bool isTape(int themeId);

// "icons/zg.png" (the cassette shell) or "icons/record/zjzz.png" (the record mask).
const char* framePath(int themeId);
// "icons/ty.png" or "icons/record/rtfm.png".
const char* defaultCoverPath(int themeId);

// A picture of icons/ or of a skin folder, plain or scrambled; null (and logged) when it cannot
// be read.
SurfacePtr loadPicture(const std::string& path);

// The song cover at path, or null; a cover file the scan wrote that cannot be read, or is cut
// short, is noted for the next scan to write afresh.
SurfacePtr loadSongCover(const std::string& path);

// The picture at coverPath, or the skin's default cover when that cannot be read; null when
// neither can.
SurfacePtr loadCover(const std::string& coverPath, int themeId);

// The source rectangle (or the whole picture when null) scaled into a texture of width × height
// with alpha blending; null when the renderer cannot make it.
TexturePtr scaledTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height,
                         const SDL_Rect* source = nullptr);

// The centre strip of a square picture that a cassette insert shows: the full height, and the
// width that keeps the insert's proportions (stripWidth : stripHeight).
SDL_Rect centreStrip(const SDL_Surface& picture, int stripWidth, int stripHeight);

// The cover a now-playing skin shows when a song has none: "icons/<folder>/tfm.png" for the tape,
// "icons/<folder>/rtfm.png" for the record player.
std::string skinDefaultCoverPath(int themeId, const std::string& folder);

// The picture scaled into a new 32-bit surface of width × height; null when that fails.
SurfacePtr scaledSurface(SDL_Surface* picture, int width, int height);

// The picture itself when it fits within maxWidth × maxHeight, otherwise a copy scaled down, with
// its proportions kept, to fit; so a huge cover is held at full size only while it loads.
SurfacePtr shrinkToFit(SurfacePtr picture, int maxWidth, int maxHeight);
// Takes the skin chosen in the settings (the settings page may change it at any time); true
// when it differs from themeId, which then holds the new skin.
bool takeDefaultSkin(const Config& config, int& themeId);

// "icons/bg.png" in the tape skin or "icons/record/bg.png".
const char* backgroundPath(int themeId);

// A picture of icons/ or of a skin folder as a texture; null (and logged) when it cannot be read.
TexturePtr loadPictureTexture(SDL_Renderer* renderer, const std::string& path);

// A cover as the skin shows it at width × height: in the tape skin the centre strip that keeps
// the cassette insert's proportions (so the picture is never distorted), in the record skin the
// whole picture. Null when the renderer cannot make it.
TexturePtr coverTexture(SDL_Renderer* renderer, SDL_Surface* picture, int themeId, int width,
                        int height);

} // namespace SkinArt
