#pragma once

#include "core/SdlHandles.h"

#include <string>

// A full-screen backdrop image. It is loaded on first use and tried again every frame while it
// is missing (only the first failure is logged, as "无法加载背景图: " with SDL's reason); the
// screen is cleared to the fallback colour meanwhile.
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

private:
    std::string path;
    SDL_Color fallback;
    TexturePtr texture;
    bool failureReported = false;
};
