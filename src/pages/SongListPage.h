#pragma once

#include "model/Song.h"
#include "pages/Page.h"
#include "pages/PageServices.h"
#include "ui/BackgroundImage.h"
#include "ui/JumpOverlay.h"
#include "ui/KeyBindings.h"
#include "ui/ListJumps.h"
#include "ui/ListSelection.h"
#include "ui/ListView.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Dialog;
class Player;
class PlayList;
class TopBar;

// What the pages that list songs and play from their list share: the songs page, the
// favourites, an album's songs and an artist's songs. The page owns a top bar, the backdrop, its
// own copy of the songs it lists, the selection and the navigation callbacks. Playing a row
// makes the page's list the queue, so playback continues through it in the play mode's order.
//
// A page configures the rows' geometry, adds its own key bindings after the shared ones (move
// up and down, play, back) and draws what else it shows.
class SongListPage : public UIBase {
public:
    static constexpr int VISIBLE_ITEMS = 8;
    // How long the scroll bar stays after a move on the pages that show it only then.
    static constexpr uint64_t SCROLL_BAR_SHOWN_MS = 3000;

    ~SongListPage() override;

    void handleEvent(SDL_Event* event) override;
    void update() override;
    bool wantsFrame() const override;

    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }
    void setSongPlayedCallback(std::function<void()> callback) {
        songPlayedCallback = std::move(callback);
    }
    void setPageChangeCallback(std::function<void(Page)> callback) {
        pageChangeCallback = std::move(callback);
    }

    const std::vector<Song>& getSongs() const { return songs; }
    int getSelectedIndex() const { return list.selectedIndex; }
    // True from a move of the selection until SCROLL_BAR_SHOWN_MS have passed.
    bool isScrollBarShown() const { return recentlyMoved; }
    // True while a held direction scrolls the list or a jump's overlay is shown: the list
    // changes from frame to frame without input.
    bool isMovingOnItsOwn() const { return heldScroll.isHeld() || jumpOverlay.isShown(now()); }

protected:
    // listPage is the page the navigation is told about when a song starts here.
    SongListPage(const PageServices& services, PlayList* playlist, Player* player, Dialog* dialog,
                 Page listPage, const ListRowStyle& rows, const ScrollBarStyle& bar);

    // Keeps the renderer and font, sets the bounds and creates the top bar.
    void initListPage(SDL_Renderer* renderer, TTF_Font* font, const SDL_Rect& pageBounds);

    // Replaces the songs shown; the selection is brought inside the new list.
    void showSongs(std::vector<Song> newSongs);
    bool hasSelection() const;

    // The queue becomes the page's songs and the song at index plays; on success the navigation
    // hears of it (page change, then song played). False when nothing started.
    bool playSong(int index);
    void playSelected();
    void goBack();
    // Moves without wrapping around; true when the selection changed.
    bool moveSelection(int step);
    // Left and right (keys and buttons) jump to the previous and next album, showing its name.
    void bindAlbumJumps();
    void jumpToAlbum(int direction);

    // Called when playing the song at index failed (it has been logged by the play list).
    virtual void reportPlayFailure(int index) { (void)index; }

    void drawTopBar();
    // The visible rows: marker and highlight on the selection, icon, title.
    void drawSongRows(const std::function<SDL_Texture*(const Song& song, bool selected)>& iconFor);
    void drawScrollBar();
    void drawJumpOverlay();

    PageServices services;
    PlayList* playlist;
    Player* player;
    Dialog* dialog;
    std::unique_ptr<TopBar> topBar;
    BackgroundImage background;
    std::vector<Song> songs;
    ListSelection list{VISIBLE_ITEMS};
    ListView listView;
    // Up, down, play and back are bound by the constructor; pages add theirs.
    KeyBindings bindings;
    bool acceptKeyRepeats = true;
    std::function<void()> backCallback;
    std::function<void()> songPlayedCallback;
    std::function<void(Page)> pageChangeCallback;

private:
    void pressDirection(int direction);

    HeldScroll heldScroll;
    JumpOverlay jumpOverlay;
    Page listPage;
    bool recentlyMoved = false;
    uint64_t lastMoveTicks = 0;
};
