#pragma once

#include "pages/Page.h"
#include "library/Song.h"
#include "ui/BackgroundImage.h"
#include "ui/ListSelection.h"
#include "ui/ListView.h"
#include "core/SdlHandles.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Dialog;
class Player;
class PlayList;
class TopBar;

// The flat list of every song of the library, eight rows at a time: play the highlighted song,
// page through the list, add or (after a confirmation) remove favourites. On first use it loads
// the library cache, or scans the music folders behind the loading dialog when there is none.
class SongsPage : public UIBase {
public:
    static constexpr const char* LIBRARY_CACHE_PATH = "config/music_library.json";
    static constexpr int VISIBLE_ITEMS = 8;

    SongsPage(PlayList* playlist, Player* player, Dialog* dialog);
    ~SongsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // Installs a back action that also marks the list for a refresh on the page's next use.
    void setBackCallback(std::function<void()> callback);
    void setSongPlayedCallback(std::function<void()> callback) {
        songPlayedCallback = std::move(callback);
    }
    void setPageChangeCallback(std::function<void(Page)> callback) {
        pageChangeCallback = std::move(callback);
    }

    const std::vector<Song>& getSongs() const { return songs; }
    int getSelectedIndex() const { return list.selectedIndex; }
    int getScrollOffset() const { return list.scrollOffset; }

private:
    void handleKeyboard(const SDL_KeyboardEvent& key);
    void handleControllerButton(const SDL_ControllerButtonEvent& button);
    void moveSelection(int step);
    void playSong(int index);
    void toggleFavourite();
    void removeSelectedFavourite();
    void startLoadingScan();
    void loadIcons();
    void takeLibrary();
    SDL_Texture* rowIcon(const Song& song, bool selected) const;

    PlayList* playlist;
    Player* player;
    std::unique_ptr<TopBar> topBar;
    std::vector<Song> songs; // the page's copy of the library, in library order
    ListSelection list{VISIBLE_ITEMS};
    std::function<void()> backCallback;
    std::function<void()> songPlayedCallback;
    std::function<void(Page)> pageChangeCallback;
    bool initialising = false;
    BackgroundImage background;
    Dialog* dialog;
    uint64_t shownLibraryVersion = 0;
    bool libraryShown = false;
    TexturePtr songIcon, songIconSelected;
    TexturePtr playingIcon, playingIconSelected;
    TexturePtr favouriteIcon, favouriteIconSelected;
    ListView listView;
};
