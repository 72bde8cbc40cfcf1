#pragma once

#include "core/SdlHandles.h"

// SDL video and SDL_ttf for a test, with a software renderer drawing into a 640×480 surface
// whose pixels the test can read back, and the program's font at 24 points.
class SdlTestContext {
public:
    static constexpr int WIDTH = 640;
    static constexpr int HEIGHT = 480;

    SdlTestContext();
    SdlTestContext(const SdlTestContext&) = delete;
    SdlTestContext& operator=(const SdlTestContext&) = delete;
    ~SdlTestContext();

    SDL_Renderer* renderer() const { return rendererHandle.get(); }
    TTF_Font* font() const { return fontHandle.get(); }
    SDL_Surface* target() const { return surface.get(); }

    SDL_Color pixel(int x, int y) const;
    void clear(SDL_Color color);

private:
    SurfacePtr surface;
    RendererPtr rendererHandle;
    FontPtr fontHandle;
};

bool operator==(const SDL_Color& a, const SDL_Color& b);
bool operator!=(const SDL_Color& a, const SDL_Color& b);
void PrintTo(const SDL_Color& color, std::ostream* out);
