#pragma once

#include "core/SdlHandles.h"
#include "pages/PageServices.h"
#include "ui/BackgroundImage.h"
#include "ui/ListSelection.h"
#include "ui/ListView.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Dialog;
class Player;
class PlayList;
class TopBar;

// The start page: seven entries with icons, a side panel that slides in from the right
// (rescan, key guide, exit) and a full-screen key guide of two images.
class MainPage : public UIBase {
public:
    static constexpr float SLIDE_OPEN_X = 235.0f;
    static constexpr float SLIDE_CLOSED_X = 640.0f;
    static constexpr float SLIDE_EASING = 0.2f;

    struct MenuItem {
        std::string label;
        std::string iconPath;
        std::string highlightedIconPath;
        TexturePtr icon;
        TexturePtr highlightedIcon;
    };

    MainPage(const PageServices& services, Player* player, PlayList* playList, Dialog* dialog);
    ~MainPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;
    bool wantsFrame() const override;

    void setMenuCallback(std::function<void(int)> callback) { menuCallback = std::move(callback); }
    void rescanMusicFiles();

private:
    std::string text(const char* key) const;
    void buildLabels();
    void loadMenuIcons(const char* iconFailure, const char* highlightedFailure, bool withReason);
    void toggleSlideMenu();
    void handleMenuButton(const SDL_Event& event);
    void handleMenuKey(const SDL_Event& event);
    void handleChordRelease(const SDL_Event& event);
    void handleSlideMenuInput(const SDL_Event& event);
    void handleKeyGuideInput(const SDL_Event& event);
    void activateSlideItem();
    void chooseSelectedEntry();
    void stepSlideAnimation();
    void relabelOnLanguageChange();
    void renderMenu();
    void renderSlideMenu();
    void renderKeyGuide();

    PageServices services;
    PlayList* playList;
    std::unique_ptr<TopBar> topBar;
    std::vector<MenuItem> menuItems;
    std::function<void(int)> menuCallback;
    ListSelection menu;
    BackgroundImage background;
    bool slideMenuOpen = false;
    float slideX = SLIDE_CLOSED_X;
    float slideTargetX = SLIDE_CLOSED_X;
    ListSelection slide;
    std::vector<std::string> slideItems;
    TexturePtr slideBackground;
    bool keyGuideVisible = false;
    int keyGuideIndex = 0;
    std::array<TexturePtr, 2> keyGuideImages;
    Dialog* dialog;
    bool l1Held = false;
    bool r1Held = false;
    std::string labelLanguage; // the language the labels were built in
    ListView menuList;
    TextCache texts{16};
};
