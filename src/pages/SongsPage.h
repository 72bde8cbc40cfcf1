#pragma once

#include "core/SdlHandles.h"
#include "pages/SongListPage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// The flat list of every song of the library, eight rows at a time: play the highlighted song,
// page through the list, add or (after a confirmation) remove favourites. On first use it loads
// the library cache, or scans the music folders behind the loading dialog when there is none.
class SongsPage : public SongListPage {
public:
    static constexpr const char* LIBRARY_CACHE_PATH = "config/music_library.json";

    SongsPage(const PageServices& services, PlayList* playlist, Player* player, Dialog* dialog);
    ~SongsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void update() override;
    void render() override;

    // Installs a back action that also marks the list for a refresh on the page's next use.
    void setBackCallback(std::function<void()> callback);
    // Blocks until the cache read started by init has ended; the list shows it at the next
    // update after the play list's.
    void waitForCacheLoad();

private:
    enum class CacheLoad { NONE, RUNNING, FAILED, DONE };

    void startCacheLoad();
    void toggleFavourite();
    void removeSelectedFavourite();
    void startLoadingScan();
    void loadIcons();
    void takeLibrary();
    void reportPlayFailure(int index) override;
    SDL_Texture* rowIcon(const Song& song, bool selected) const;

    uint64_t shownLibraryVersion = 0;
    bool libraryShown = false;
    std::thread cacheLoader;
    std::atomic<CacheLoad> cacheLoad{CacheLoad::NONE};
    TexturePtr songIcon, songIconSelected;
    TexturePtr playingIcon, playingIconSelected;
    TexturePtr favouriteIcon, favouriteIconSelected;
};
