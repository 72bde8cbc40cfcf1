#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>

// Owners of SDL handles: each frees its handle when it goes out of scope and can only be moved.
struct SdlDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
    void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using FontPtr = std::unique_ptr<TTF_Font, SdlDeleter>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, SdlDeleter>;

// Frees what SDL keeps for a thread it did not start (such as its error text) when that thread
// ends: SDL cleans up only after threads of its own. One lives at the top of such a thread.
struct SdlThreadCleanup {
    SdlThreadCleanup() = default;
    SdlThreadCleanup(const SdlThreadCleanup&) = delete;
    SdlThreadCleanup& operator=(const SdlThreadCleanup&) = delete;
    ~SdlThreadCleanup() { SDL_TLSCleanup(); }
};
