#pragma once

#include "core/SdlHandles.h"

// Draws the albums carousel's cards, a cover with the skin's frame over it, at any size and
// opacity, in ways SDL's software renderer has fast paths for. Its generic path, which scales,
// multiplies each pixel's alpha by the card's and blends, costs several times more than copying
// the backdrop; so:
//  - a cover without an alpha channel is copied when it is opaque and faded as a whole when it
//    is not; when it is also scaled, it is stretched into a scratch texture first;
//  - the frame is drawn with its own pixels' alpha alone (the card's already multiplied in):
//    as it is at full opacity, from a copy faded once at the size and opacity of the cards
//    beside the selection, or otherwise scaled and faded anew into a scratch texture.
class CardPainter {
public:
    // The frame made at its two drawn sizes, and faded to otherAlpha at the small one; the
    // scratch textures for a frame and a cover up to their large sizes.
    void configure(SDL_Renderer* renderer, SDL_Surface* framePicture, SDL_Point frameSize,
                   SDL_Point smallFrameSize, SDL_Point coverSize, Uint8 otherAlpha);
    bool hasFrame() const { return large.texture != nullptr; }

    void drawCover(SDL_Texture* cover, const SDL_Rect& area, Uint8 alpha);
    void drawFrame(const SDL_Rect& area, Uint8 alpha);

private:
    // The frame at one size: its pixels (ARGB8888) and texture, and a faded texture when the
    // cards show it faded at that size.
    struct FrameArt {
        SurfacePtr pixels;
        TexturePtr texture;
        TexturePtr faded;
        Uint8 fadedAlpha = SDL_ALPHA_OPAQUE;
    };

    bool stretchIntoScratch(SDL_Texture* cover, int width, int height);
    void drawScaledFadedFrame(const FrameArt& source, const SDL_Rect& area, Uint8 alpha);

    SDL_Renderer* renderer = nullptr;
    FrameArt large;
    FrameArt small;
    TexturePtr frameScratch; // streaming, ARGB8888
    TexturePtr coverScratch; // a render target without alpha
};
