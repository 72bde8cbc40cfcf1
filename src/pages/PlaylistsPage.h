#pragma once

#include "core/SdlHandles.h"
#include "pages/SongListPage.h"
#include "ui/TextCache.h"

// The favourites list, eight songs at a time: play a favourite (the queue becomes the
// favourites) or remove one after a confirmation. It refreshes itself from the favourites file
// whenever the main menu opens it.
class PlaylistsPage : public SongListPage {
public:
    PlaylistsPage(const PageServices& services, PlayList* playlist, Player* player, Dialog* dialog);
    ~PlaylistsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void render() override;

    // Asks for confirmation and removes the favourite at index.
    void removeSong(int index);
    // Makes the next drawing reload the favourites and start at the first row.
    void markForRefresh() { needsRefresh = true; }

private:
    void refresh();
    void takeFavourites();
    void drawEmptyMessage();

    bool needsRefresh = true;
    TexturePtr songIcon;
    TexturePtr selectedSongIcon;
    TextCache texts{4};
};
