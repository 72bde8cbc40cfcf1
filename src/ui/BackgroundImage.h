#pragma once

#include "core/SdlHandles.h"

#include <string>

// A full-screen backdrop image. It is read once, on first use (a failure is logged as
// "无法加载背景图: " with SDL's reason); without it the screen is cleared to the fallback colour.
class BackgroundImage {
public:
    static constexpr const char* DEFAULT_PATH = "icons/bg.png";
    static constexpr SDL_Color DEFAULT_FALLBACK{20, 20, 20, 255};

    explicit BackgroundImage(std::string path = DEFAULT_PATH,
                             SDL_Color fallback = DEFAULT_FALLBACK);

    // Loads the image now (for pages that load their images when they initialise).
    bool load(SDL_Renderer* renderer);
    void draw(SDL_Renderer* renderer);
    bool isLoaded() const { return texture != nullptr; }
    void setFallback(SDL_Color colour) { fallback = colour; }

private:
    std::string path;
    SDL_Color fallback;
    TexturePtr texture;
    bool tried = false;
};
