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
    void operator()(SDL_mutex* mutex) const { SDL_DestroyMutex(mutex); }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using FontPtr = std::unique_ptr<TTF_Font, SdlDeleter>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, SdlDeleter>;
using MutexPtr = std::unique_ptr<SDL_mutex, SdlDeleter>;

// Holds an SDL mutex for the lifetime of the scope.
class MutexLock {
public:
    explicit MutexLock(SDL_mutex* mutex) : mutex(mutex) { SDL_LockMutex(mutex); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() { SDL_UnlockMutex(mutex); }

private:
    SDL_mutex* mutex;
};

// Holds an SDL mutex for the lifetime of the scope when a non-blocking attempt to take it
// succeeded; for code that must not wait for another thread.
class MutexTryLock {
public:
    explicit MutexTryLock(SDL_mutex* mutex) : mutex(mutex) { retry(); }
    MutexTryLock(const MutexTryLock&) = delete;
    MutexTryLock& operator=(const MutexTryLock&) = delete;
    ~MutexTryLock() {
        if (owned) {
            SDL_UnlockMutex(mutex);
        }
    }

    // Tries once more when the mutex is not held yet; true when it is held now.
    bool retry() {
        if (!owned) {
            owned = SDL_TryLockMutex(mutex) == 0;
        }
        return owned;
    }
    bool ownsLock() const { return owned; }

private:
    SDL_mutex* mutex;
    bool owned = false;
};
