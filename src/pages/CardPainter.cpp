#include "pages/CardPainter.h"

#include "core/Log.h"
#include "ui/SkinArt.h"

namespace {

// The screen's channel order, so that drawing converts nothing.
constexpr Uint32 FRAME_FORMAT = SDL_PIXELFORMAT_ARGB8888;
constexpr Uint32 COVER_SCRATCH_FORMAT = SDL_PIXELFORMAT_XRGB8888;
constexpr int ALPHA_SHIFT = 24; // of ARGB8888
constexpr Uint32 COLOUR_MASK = 0x00ffffff;
constexpr int FIXED_POINT = 16;

void copy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* part, const SDL_Rect& area,
          SDL_BlendMode blend, Uint8 alpha) {
    SDL_SetTextureBlendMode(texture, blend);
    SDL_SetTextureAlphaMod(texture, alpha);
    SDL_RenderCopy(renderer, texture, part, &area);
}

// The ARGB8888 picture scaled to width × height into pixels, each pixel's alpha multiplied by
// alpha / 255 as SDL's alpha modulation rounds it. It samples the nearest pixel in the same
// 16.16 steps as SDL's own scaling, so a card looks as it did when SDL scaled and faded it.
void scaleAndFade(const SDL_Surface& picture, void* pixels, int pitch, int width, int height,
                  Uint8 alpha) {
    const Uint32 stepX = (static_cast<Uint32>(picture.w) << FIXED_POINT) / width;
    const Uint32 stepY = (static_cast<Uint32>(picture.h) << FIXED_POINT) / height;
    Uint32 sourceY = stepY / 2;
    for (int y = 0; y < height; ++y, sourceY += stepY) {
        const auto* from = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(picture.pixels) + (sourceY >> FIXED_POINT) * picture.pitch);
        auto* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(pixels) + y * pitch);
        Uint32 sourceX = stepX / 2;
        for (int x = 0; x < width; ++x, sourceX += stepX) {
            Uint32 pixel = from[sourceX >> FIXED_POINT];
            Uint32 faded = (pixel >> ALPHA_SHIFT) * alpha / SDL_ALPHA_OPAQUE;
            to[x] = (pixel & COLOUR_MASK) | (faded << ALPHA_SHIFT);
        }
    }
}

} // namespace

void CardPainter::configure(SDL_Renderer* newRenderer, SDL_Surface* framePicture,
                            SDL_Point frameSize, SDL_Point smallFrameSize, SDL_Point coverSize,
                            Uint8 otherAlpha) {
    renderer = newRenderer;
    auto frameAt = [&](SDL_Point size, Uint8 fadedAlpha) {
        FrameArt art;
        SurfacePtr scaled = SkinArt::scaledSurface(framePicture, size.x, size.y);
        art.pixels.reset(scaled ? SDL_ConvertSurfaceFormat(scaled.get(), FRAME_FORMAT, 0)
                                : nullptr);
        if (!art.pixels) {
            return art;
        }
        art.texture = SkinArt::screenTexture(renderer, art.pixels.get());
        SurfacePtr faded(SDL_CreateRGBSurfaceWithFormat(0, size.x, size.y, 32, FRAME_FORMAT));
        if (faded) {
            scaleAndFade(*art.pixels, faded->pixels, faded->pitch, size.x, size.y, fadedAlpha);
            art.faded = SkinArt::screenTexture(renderer, faded.get());
            art.fadedAlpha = fadedAlpha;
        }
        return art;
    };
    large = frameAt(frameSize, SDL_ALPHA_OPAQUE);
    small = frameAt(smallFrameSize, otherAlpha);
    frameScratch.reset(SDL_CreateTexture(renderer, FRAME_FORMAT, SDL_TEXTUREACCESS_STREAMING,
                                         frameSize.x, frameSize.y));
    coverScratch.reset(SDL_CreateTexture(renderer, COVER_SCRATCH_FORMAT, SDL_TEXTUREACCESS_TARGET,
                                         coverSize.x, coverSize.y));
    if (!frameScratch || !coverScratch) {
        logError(std::string("无法创建卡片纹理: ") + SDL_GetError());
    }
}

void CardPainter::drawCover(SDL_Texture* cover, const SDL_Rect& area, Uint8 alpha) {
    Uint32 format = SDL_PIXELFORMAT_UNKNOWN;
    int width = 0;
    int height = 0;
    if (!cover || SDL_QueryTexture(cover, &format, nullptr, &width, &height) != 0) {
        return;
    }
    if (SDL_ISPIXELFORMAT_ALPHA(format)) {
        copy(renderer, cover, nullptr, area, SDL_BLENDMODE_BLEND, alpha);
    } else if (alpha == SDL_ALPHA_OPAQUE) {
        copy(renderer, cover, nullptr, area, SDL_BLENDMODE_NONE, alpha);
    } else if ((width == area.w && height == area.h) ||
               !stretchIntoScratch(cover, area.w, area.h)) {
        copy(renderer, cover, nullptr, area, SDL_BLENDMODE_BLEND, alpha);
    } else {
        const SDL_Rect part{0, 0, area.w, area.h};
        copy(renderer, coverScratch.get(), &part, area, SDL_BLENDMODE_BLEND, alpha);
    }
}

// Stretches the cover, opaque, into the top left corner of the cover scratch texture; false when
// it does not fit there or the renderer cannot draw into a texture.
bool CardPainter::stretchIntoScratch(SDL_Texture* cover, int width, int height) {
    int scratchWidth = 0;
    int scratchHeight = 0;
    if (!coverScratch ||
        SDL_QueryTexture(coverScratch.get(), nullptr, nullptr, &scratchWidth, &scratchHeight) !=
            0 ||
        width > scratchWidth || height > scratchHeight) {
        return false;
    }
    SDL_Texture* target = SDL_GetRenderTarget(renderer);
    if (SDL_SetRenderTarget(renderer, coverScratch.get()) != 0) {
        return false;
    }
    copy(renderer, cover, nullptr, {0, 0, width, height}, SDL_BLENDMODE_NONE, SDL_ALPHA_OPAQUE);
    SDL_SetRenderTarget(renderer, target);
    return true;
}

void CardPainter::drawFrame(const SDL_Rect& area, Uint8 alpha) {
    const FrameArt& source = small.pixels && area.w == small.pixels->w ? small : large;
    if (!source.texture) {
        return;
    }
    const bool unscaled = area.w == source.pixels->w && area.h == source.pixels->h;
    if (unscaled && alpha == SDL_ALPHA_OPAQUE) {
        copy(renderer, source.texture.get(), nullptr, area, SDL_BLENDMODE_BLEND, alpha);
    } else if (unscaled && source.faded && alpha == source.fadedAlpha) {
        copy(renderer, source.faded.get(), nullptr, area, SDL_BLENDMODE_BLEND, SDL_ALPHA_OPAQUE);
    } else {
        drawScaledFadedFrame(source, area, alpha);
    }
}

void CardPainter::drawScaledFadedFrame(const FrameArt& source, const SDL_Rect& area, Uint8 alpha) {
    int scratchWidth = 0;
    int scratchHeight = 0;
    const SDL_Rect part{0, 0, area.w, area.h};
    void* pixels = nullptr;
    int pitch = 0;
    if (!frameScratch || area.w <= 0 || area.h <= 0 ||
        SDL_QueryTexture(frameScratch.get(), nullptr, nullptr, &scratchWidth, &scratchHeight) !=
            0 ||
        area.w > scratchWidth || area.h > scratchHeight ||
        SDL_LockTexture(frameScratch.get(), &part, &pixels, &pitch) != 0) {
        copy(renderer, source.texture.get(), nullptr, area, SDL_BLENDMODE_BLEND, alpha);
        return;
    }
    scaleAndFade(*source.pixels, pixels, pitch, area.w, area.h, alpha);
    SDL_UnlockTexture(frameScratch.get());
    copy(renderer, frameScratch.get(), &part, area, SDL_BLENDMODE_BLEND, SDL_ALPHA_OPAQUE);
}
