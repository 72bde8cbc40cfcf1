#pragma once

#include "core/SdlHandles.h"
#include "model/Song.h"
#include "pages/LibraryBrowsePage.h"
#include "ui/BackgroundImage.h"
#include "ui/JumpOverlay.h"
#include "ui/ListJumps.h"
#include "ui/ListSelection.h"
#include "ui/ListView.h"
#include "ui/TextCache.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Player;
class PlayList;

// The library's songs grouped by artist, eight artists at a time with their numbers of songs,
// in byte order of the names (so upper-case Latin names come before lower-case ones and before
// Chinese names). The selection wraps from one end of the list to the other. Choosing an artist
// hands the artist, songs included, to the artist detail page.
class ArtistsPage : public LibraryBrowsePage {
public:
    struct Artist {
        std::string name;      // the songs' artist text, exactly
        std::string coverPath; // of the first song found for the artist
        std::vector<Song> songs;
        uint64_t songCount = 0;
    };

    static constexpr int VISIBLE_ITEMS = 8;
    static constexpr const char* EMPTY_MESSAGE = "暂无艺术家";

    // The artists of the songs, in byte order of their names; songs without an artist belong to
    // none.
    static std::vector<Artist> groupByArtist(const std::vector<Song>& songs);

    ArtistsPage(const PageServices& services, PlayList* playlist, Player* player);
    ~ArtistsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // True while a held direction scrolls the list or a jump's overlay is shown: the list
    // changes from frame to frame without input.
    bool isMovingOnItsOwn() const { return heldScroll.isHeld() || jumpOverlay.isShown(now()); }

    void setArtistSelectedCallback(std::function<void(const Artist&)> callback) {
        artistSelectedCallback = std::move(callback);
    }

private:
    // Groups the library's songs anew.
    void rebuildFromLibrary() override;
    void moveSelection(int step);
    void pressDirection(int direction);
    // To the first artist of the next or previous initial, showing the initial.
    void jumpToInitial(int direction);
    void chooseSelected();

    std::vector<Artist> artists;
    BackgroundImage background;
    TexturePtr artistIcon;
    TexturePtr selectedArtistIcon;
    ListSelection list{VISIBLE_ITEMS};
    ListView listView;
    TextCache texts{4};
    HeldScroll heldScroll;
    JumpOverlay jumpOverlay;
    std::function<void(const Artist&)> artistSelectedCallback;
};
