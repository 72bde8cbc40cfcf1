#pragma once

#include "core/SdlHandles.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

// Covers as textures of the size a page draws them, in the current skin. A cover is read and
// scaled the first time it is asked for and kept until the page lets it go, so a large picture
// never stays in memory at full size and only the covers a page shows cost memory. Covers are
// keyed by path: albums that share a picture (or the placeholder) share one texture. A cover
// that cannot be read shows the skin's default cover, which is read once.
class CoverCache {
public:
    // Forgets every texture; later covers are made for this skin at width × height.
    void configure(SDL_Renderer* renderer, int themeId, int width, int height);
    void clear();

    // The texture of the cover at path, made now when needed; null when neither the cover nor
    // the default cover can be shown.
    SDL_Texture* get(const std::string& path);
    bool contains(const std::string& path) const { return covers.count(path) != 0; }
    // Releases the covers whose paths are not wanted.
    void keepOnly(const std::unordered_set<std::string>& wanted);
    size_t size() const { return covers.size(); }

private:
    SDL_Texture* defaultCover();

    SDL_Renderer* renderer = nullptr;
    int themeId = 0;
    int width = 0;
    int height = 0;
    // A null texture stands for "use the default cover".
    std::unordered_map<std::string, TexturePtr> covers;
    TexturePtr fallback;
    bool fallbackTried = false;
};
