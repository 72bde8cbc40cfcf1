#pragma once

#include "pages/PageServices.h"
#include "ui/KeyBindings.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <memory>

class Player;
class PlayList;
class TopBar;

// What the albums and artists pages share: the top bar, a table of key bindings, the back
// callback, and a list built from the library that is rebuilt whenever a scan or a cache load
// has replaced the library since the page last took it (an unchanged library costs one
// comparison per update).
class LibraryBrowsePage : public UIBase {
public:
    ~LibraryBrowsePage() override;

    void handleEvent(SDL_Event* event) override;
    void update() override;
    bool wantsFrame() const override;

    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }

protected:
    LibraryBrowsePage(const PageServices& services, PlayList* playlist, Player* player);

    // Keeps the renderer and font, sets the bounds and creates the top bar (once). False, with
    // the failure logged, when either argument is missing.
    bool initBrowsePage(SDL_Renderer* renderer, TTF_Font* font, const SDL_Rect& pageBounds,
                        const char* failure);
    // Builds the page's list from the play list's library.
    virtual void rebuildFromLibrary() = 0;
    // Rebuilds the list when the library changed since it was built; true when it did.
    bool takeLibraryChanges();
    void drawTopBar();
    void goBack();

    PageServices services;
    PlayList* playlist;
    Player* player;
    std::unique_ptr<TopBar> topBar;
    KeyBindings bindings;

private:
    std::function<void()> backCallback;
    uint64_t shownLibraryVersion = 0;
    bool libraryShown = false;
};
