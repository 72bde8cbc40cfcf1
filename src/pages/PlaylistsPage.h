#pragma once

#include "library/Song.h"
#include "ui/BackgroundImage.h"
#include "ui/ListSelection.h"
#include "ui/ListView.h"
#include "core/SdlHandles.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Dialog;
class Player;
class PlayList;
class TopBar;

// The favourites list, eight songs at a time: play a favourite (the queue becomes the
// favourites) or remove one after a confirmation. It refreshes itself from the favourites file
// whenever the main menu opens it.
class PlaylistsPage : public UIBase {
public:
    static constexpr int VISIBLE_ITEMS = 8;
    static constexpr uint32_t SCROLL_BAR_SHOWN_MS = 3000;

    PlaylistsPage(PlayList* playlist, Player* player, Dialog* dialog);
    ~PlaylistsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // Asks for confirmation and removes the favourite at index.
    void removeSong(int index);
    // Makes the next drawing reload the favourites and start at the first row.
    void markForRefresh() { needsRefresh = true; }

    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }
    void setSongPlayedCallback(std::function<void()> callback) {
        songPlayedCallback = std::move(callback);
    }

    const std::vector<Song>& getFavourites() const { return favourites; }
    int getSelectedIndex() const { return list.selectedIndex; }
    int getScrollOffset() const { return list.scrollOffset; }
    bool isScrollBarShown() const { return recentlyMoved; }

private:
    void move(int step);
    void playSelected();
    void refresh();
    void takeFavourites();

    bool needsRefresh = true;
    PlayList* playlist;
    Player* player;
    std::unique_ptr<TopBar> topBar;
    std::vector<Song> favourites;
    ListSelection list{VISIBLE_ITEMS};
    bool recentlyMoved = false;
    uint64_t lastMoveTicks = 0;
    std::function<void()> backCallback;
    std::function<void()> songPlayedCallback;
    BackgroundImage background;
    TexturePtr songIcon;
    TexturePtr selectedSongIcon;
    Dialog* dialog;
    ListView listView;
    TextCache texts{4};
};
