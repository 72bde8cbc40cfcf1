#pragma once

#include "ui/SdlHandles.h"

// A software renderer drawing into a 640×480 surface, for tests that make textures or draw.
// It needs no window and no GL driver, so it behaves the same on every machine.
class OffscreenRenderer {
public:
    OffscreenRenderer();

    SDL_Renderer* get() const { return renderer.get(); }
    SDL_Surface* target() const { return surface.get(); }

    // Size of a texture, {-1, -1} for none.
    static SDL_Point textureSize(SDL_Texture* texture);

private:
    SurfacePtr surface;
    RendererPtr renderer;
};
