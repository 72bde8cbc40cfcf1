#include "pages/LibraryBrowsePage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "library/PlayList.h"
#include "ui/TopBar.h"

LibraryBrowsePage::LibraryBrowsePage(const PageServices& services, PlayList* playlist,
                                     Player* player)
    : services(services), playlist(playlist), player(player), bindings(services.input) {
}

LibraryBrowsePage::~LibraryBrowsePage() = default;

bool LibraryBrowsePage::initBrowsePage(SDL_Renderer* newRenderer, TTF_Font* newFont,
                                       const SDL_Rect& pageBounds, const char* failure) {
    if (!newRenderer || !newFont) {
        logError(failure);
        return false;
    }
    renderer = newRenderer;
    font = newFont;
    bounds = pageBounds;
    if (!topBar) {
        Player* shown = player;
        topBar = std::make_unique<TopBar>([shown] { return shown && shown->isPlaying(); },
                                          services.battery);
        topBar->init(renderer, font);
    }
    return true;
}

void LibraryBrowsePage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (topBar) {
        topBar->handleEvent(event);
    }
    bindings.dispatch(*event);
}

void LibraryBrowsePage::update() {
    if (topBar) {
        topBar->update();
    }
    takeLibraryChanges();
}

bool LibraryBrowsePage::takeLibraryChanges() {
    if (!playlist) {
        return false;
    }
    uint64_t version = playlist->getLibraryVersion();
    if (libraryShown && version == shownLibraryVersion) {
        return false;
    }
    libraryShown = true;
    shownLibraryVersion = version;
    rebuildFromLibrary();
    notePictureChanged();
    return true;
}

bool LibraryBrowsePage::wantsFrame() const {
    return UIBase::wantsFrame() || (topBar && topBar->wantsFrame());
}

void LibraryBrowsePage::drawTopBar() {
    if (topBar) {
        topBar->render();
    }
}

void LibraryBrowsePage::goBack() {
    if (backCallback) {
        backCallback();
    }
}
