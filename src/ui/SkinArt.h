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

// The source rectangle (or the whole picture when null) scaled smoothly into a texture of
// width × height with alpha blending: a picture made smaller averages the area each new pixel
// covers, one made larger is interpolated. Null when the renderer cannot make it.
TexturePtr scaledTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height,
                         const SDL_Rect* source = nullptr);

// The largest centred part of the picture with the proportions width : height: what a frame of
// that shape shows of a cover, so that no cover is distorted to fill it.
SDL_Rect centreCrop(const SDL_Surface& picture, int width, int height);

// The cover a now-playing skin shows when a song has none: "icons/<folder>/tfm.png" for the tape,
// "icons/<folder>/rtfm.png" for the record player.
std::string skinDefaultCoverPath(int themeId, const std::string& folder);

// The picture scaled smoothly (as scaledTexture) into a new 32-bit surface of width × height;
// null when that fails.
SurfacePtr scaledSurface(SDL_Surface* picture, int width, int height);

// The picture itself when it fits within maxWidth × maxHeight, otherwise a copy scaled down, with
// its proportions kept, to fit; so a huge cover is held at full size only while it loads.
SurfacePtr shrinkToFit(SurfacePtr picture, int maxWidth, int maxHeight);
// Takes the skin chosen in the settings (the settings page may change it at any time); true
// when it differs from themeId, which then holds the new skin.
bool takeDefaultSkin(const Config& config, int& themeId);

// "icons/bg.png" in the tape skin or "icons/record/bg.png".
const char* backgroundPath(int themeId);

// A picture of icons/ or of a skin folder as a texture (as screenTexture makes it); null (and
// logged) when it cannot be read.
TexturePtr loadPictureTexture(SDL_Renderer* renderer, const std::string& path);

// The picture as a texture in the screen's channel order. One without a transparent pixel (a
// backdrop, nearly every cover) has no alpha channel and is drawn without blending: SDL's
// software renderer then copies it, or fades it as a whole, instead of blending each pixel.
// Null (and logged) when the renderer cannot make it.
TexturePtr screenTexture(SDL_Renderer* renderer, SDL_Surface* picture);

// A cover as a frame of width × height shows it: its centre crop of the frame's proportions,
// scaled smoothly, as screenTexture makes it. Null when the renderer cannot make it.
TexturePtr coverTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height);
// The same as a surface, for drawing that works on the cover's pixels.
SurfacePtr coverSurface(SDL_Surface* picture, int width, int height);

} // namespace SkinArt
