#include "support/SdlTestContext.h"

#include <ostream>
#include <stdexcept>
#include <string>

SdlTestContext::SdlTestContext() {
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() < 0) {
        throw std::runtime_error(std::string("SDL start-up failed: ") + SDL_GetError());
    }
    surface.reset(SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888));
    rendererHandle.reset(SDL_CreateSoftwareRenderer(surface.get()));
    fontHandle.reset(TTF_OpenFont(MP_RUNTIME_DIR "/resources/font.ttf", 24));
    if (!surface || !rendererHandle || !fontHandle) {
        throw std::runtime_error(std::string("SDL test context failed: ") + SDL_GetError());
    }
}

SdlTestContext::~SdlTestContext() {
    fontHandle.reset();
    rendererHandle.reset();
    surface.reset();
    TTF_Quit();
    SDL_Quit();
}

SDL_Color SdlTestContext::pixel(int x, int y) const {
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t value = reinterpret_cast<const uint32_t*>(row)[x];
    SDL_Color color{};
    SDL_GetRGBA(value, surface->format, &color.r, &color.g, &color.b, &color.a);
    return color;
}

void SdlTestContext::clear(SDL_Color color) {
    SDL_SetRenderDrawColor(renderer(), color.r, color.g, color.b, color.a);
    SDL_RenderClear(renderer());
}

bool operator==(const SDL_Color& a, const SDL_Color& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

bool operator!=(const SDL_Color& a, const SDL_Color& b) {
    return !(a == b);
}

void PrintTo(const SDL_Color& color, std::ostream* out) {
    *out << "(" << int(color.r) << ", " << int(color.g) << ", " << int(color.b) << ", "
         << int(color.a) << ")";
}
