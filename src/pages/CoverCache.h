#pragma once

#include "core/SdlHandles.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Covers as textures of the sizes a page draws them, in the current skin: one size, or two when
// the page also draws covers smaller (the carousel's cards beside the selected one). A cover is
// read and scaled on a thread of its own, ahead of its showing or when it is first asked for, and
// kept until the page lets it go, so a large picture never stays in memory at full size and
// only the covers a page shows cost memory. Covers are keyed by path: albums that share a
// picture (or the placeholder) share their textures. A cover that cannot be read shows the
// skin's default cover, which is read once.
class CoverCache {
public:
    CoverCache();
    ~CoverCache();
    CoverCache(const CoverCache&) = delete;
    CoverCache& operator=(const CoverCache&) = delete;

    // Forgets every texture; later covers are made for this skin at width × height, and also at
    // smallWidth × smallHeight when those are not 0.
    void configure(SDL_Renderer* renderer, int themeId, int width, int height, int smallWidth = 0,
                   int smallHeight = 0);
    void clear();

    // The texture of the cover at path once it is made; until then (it is asked for on the
    // reading thread, so the drawing thread never waits for a picture) the default cover. Null
    // when neither the cover nor the default cover can be shown.
    SDL_Texture* get(const std::string& path);
    // The same at the small size (made with the large one); null without a small size.
    SDL_Texture* getSmall(const std::string& path);
    // Starts reading the cover at path on the reading thread, unless it is there already.
    void readAhead(const std::string& path);
    // Makes the textures of one cover read ahead, when one is waiting; whether it did.
    bool takeReadAhead();
    bool contains(const std::string& path) const { return covers.count(path) != 0; }
    // Whether get shows the cover at path itself (or the default cover, for no path).
    bool isReady(const std::string& path) const { return path.empty() || contains(path); }
    // Releases the covers whose paths are not wanted, and stops reading those ahead.
    void keepOnly(const std::unordered_set<std::string>& wanted);
    size_t size() const { return covers.size(); }
    // Whether covers asked for ahead are still being read or waiting to be made.
    bool readingAhead() const { return !asked.empty(); }

private:
    // Null textures stand for "use the default cover".
    struct Textures {
        TexturePtr large;
        TexturePtr small;
    };
    // The sizes covers are made at; small ones when smallWidth and smallHeight are not 0.
    struct Sizes {
        int width = 0;
        int height = 0;
        int smallWidth = 0;
        int smallHeight = 0;
    };
    // A cover scaled to the drawn sizes, ready to become textures.
    struct Pictures {
        SurfacePtr large;
        SurfacePtr small;
    };

    const Textures& texturesOf(const std::string& path);
    Textures make(SDL_Surface* picture) const;
    Textures texturesFrom(const Pictures& pictures) const;
    // The cover at path read and scaled (on any thread); no pictures when it cannot be read.
    static Pictures read(const std::string& path, const Sizes& sizes);
    static Pictures scaled(SDL_Surface* picture, const Sizes& sizes);
    const Textures& defaultCover();
    void readWaitingCovers();
    void stopReading(const std::unordered_set<std::string>& paths);

    SDL_Renderer* renderer = nullptr;
    int themeId = 0;
    Sizes sizes;
    std::unordered_map<std::string, Textures> covers;
    std::unordered_set<std::string> asked; // read ahead and not yet made
    Textures fallback;
    bool fallbackTried = false;

    // The reading thread: paths waiting, pictures read (with the configuration they were read
    // for, so that a cover read for an earlier skin is dropped).
    std::mutex mutex;
    std::condition_variable wake;
    struct Reading {
        std::string path;
        Sizes sizes;
        unsigned configuration;
    };
    std::deque<Reading> waiting;
    std::vector<std::pair<std::string, Pictures>> readCovers;
    unsigned configuration = 0;
    bool stopping = false;
    std::thread reader;
};
