#pragma once

#include "core/SdlHandles.h"

#include <SDL.h>

#include <future>
#include <optional>
#include <string>
#include <vector>

// The song's cover as the now-playing page shows it: read (the skin's default cover when the
// song's own cannot be read), its accent colour taken and scaled to the size it is drawn at.
struct PreparedCover {
    SurfacePtr picture; // size × size; null when neither picture could be read
    SDL_Color accent{0, 0, 0, SDL_ALPHA_OPAQUE};
};

// Prepares covers on a thread of their own, so that showing a song never waits for a picture
// to be decoded and scaled. Only the latest cover asked for is handed out.
class CoverPreparer {
public:
    CoverPreparer() = default;
    ~CoverPreparer();
    CoverPreparer(const CoverPreparer&) = delete;
    CoverPreparer& operator=(const CoverPreparer&) = delete;

    // Starts preparing a cover; one asked for earlier and not yet taken is dropped.
    void prepare(const std::string& coverPath, const std::string& fallbackPath, int size);
    // Whether a cover asked for has not been taken yet.
    bool isPreparing() const { return latest.valid(); }
    // The latest cover asked for, once it is ready.
    std::optional<PreparedCover> takeReady();

private:
    static PreparedCover prepareNow(const std::string& coverPath, const std::string& fallbackPath,
                                    int size);
    void forgetFinished();

    std::future<PreparedCover> latest;
    std::vector<std::future<PreparedCover>> dropped; // kept until they finish
};
