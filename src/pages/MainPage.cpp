#include "pages/MainPage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "pages/LibraryRescan.h"
#include "settings/LanguageManager.h"
#include "ui/Dialog.h"
#include "ui/Draw.h"
#include "ui/Image.h"
#include "ui/Input.h"
#include "ui/TopBar.h"

#include <cmath>

namespace {

struct MenuEntry {
    const char* labelKey;
    const char* icon;
    const char* highlightedIcon;
};

// The order is the index the menu callback receives.
constexpr MenuEntry MENU_ENTRIES[] = {
    {"main_menu_songs", "icons/gequ.png", "icons/gequ_l.png"},
    {"main_menu_albums", "icons/zhuanji.png", "icons/zhuanji_l.png"},
    {"main_menu_artists", "icons/yishujia.png", "icons/yishujia_l.png"},
    {"main_menu_playlists", "icons/shoucang.png", "icons/shoucang_l.png"},
    {"main_menu_equalizer", "icons/eq.png", "icons/eq_l.png"},
    {"main_menu_settings", "icons/shezhi.png", "icons/shezhi_l.png"},
    {"main_menu_now_playing", "icons/bofang.png", "icons/bofang_l.png"},
};
constexpr int MENU_COUNT = static_cast<int>(std::size(MENU_ENTRIES));

enum SlideEntry { SLIDE_RESCAN = 0, SLIDE_KEY_GUIDE = 1, SLIDE_EXIT = 2 };
constexpr const char* SLIDE_LABEL_KEYS[] = {"slide_menu_rescan", "slide_menu_key_guide",
                                            "slide_menu_exit"};
constexpr int SLIDE_COUNT = static_cast<int>(std::size(SLIDE_LABEL_KEYS));

constexpr const char* SLIDE_BACKGROUND_PATH = "icons/tbg.png";
constexpr const char* KEY_GUIDE_PATHS[] = {"icons/1.png", "icons/2.png"};
constexpr const char* KEY_GUIDE_MISSING = "按键说明图片加载失败";

constexpr SDL_Rect PAGE_BOUNDS = UIBase::CONTENT_AREA;
constexpr int MENU_ROW_HEIGHT = 60;
constexpr int MENU_ICON_OFFSET_Y = 14;

constexpr int SLIDE_TOP = 8;
constexpr int SLIDE_WIDTH = 400;
constexpr int SLIDE_HEIGHT = 466;
constexpr int SLIDE_ITEM_INSET_X = 10;
constexpr int SLIDE_ITEM_TOP = 18;
constexpr int SLIDE_ITEM_PITCH = 50;
constexpr int SLIDE_ITEM_WIDTH = 380;
constexpr int SLIDE_ITEM_HEIGHT = 40;
constexpr int SLIDE_LABEL_INSET_X = 20;
constexpr SDL_Color SLIDE_FILL{40, 40, 40, 240};
constexpr SDL_Color SLIDE_SELECTED_FILL{60, 60, 60, 255};
constexpr SDL_Color SLIDE_TEXT{200, 200, 200, 255};

ListRowStyle menuRowStyle() {
    ListRowStyle style;
    style.firstRowTop = PAGE_BOUNDS.y;
    style.rowHeight = MENU_ROW_HEIGHT;
    style.iconOffsetY = MENU_ICON_OFFSET_Y;
    return style;
}

} // namespace

MainPage::MainPage(const PageServices& services, Player* player, PlayList* playList, Dialog* dialog)
    : services(services), playList(playList),
      topBar(std::make_unique<TopBar>([player] { return player && player->isPlaying(); },
                                      services.battery)),
      menu(MENU_COUNT), slide(SLIDE_COUNT), dialog(dialog), menuList(menuRowStyle()) {
    for (const MenuEntry& entry : MENU_ENTRIES) {
        menuItems.push_back({"", entry.icon, entry.highlightedIcon, nullptr, nullptr});
    }
    buildLabels();
}

MainPage::~MainPage() = default;

std::string MainPage::text(const char* key) const {
    return services.languages.getText(key);
}

void MainPage::buildLabels() {
    for (int i = 0; i < MENU_COUNT; ++i) {
        menuItems[i].label = text(MENU_ENTRIES[i].labelKey);
    }
    slideItems.clear();
    for (const char* key : SLIDE_LABEL_KEYS) {
        slideItems.push_back(text(key));
    }
}

void MainPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    this->renderer = renderer;
    this->font = font;
    if (topBar) {
        topBar->init(renderer, font);
    }
    bounds = PAGE_BOUNDS;
    loadMenuIcons("无法加载普通图标: ", "无法加载高亮图标: ", false);
    slideBackground = Image::loadTexture(renderer, SLIDE_BACKGROUND_PATH);
    if (!slideBackground) {
        logError("无法加载侧滑菜单背景: icons/tgb.png");
    }
    for (size_t i = 0; i < keyGuideImages.size(); ++i) {
        keyGuideImages[i] = Image::loadTexture(renderer, KEY_GUIDE_PATHS[i]);
        if (!keyGuideImages[i]) {
            logError(std::string("无法加载按键说明图片: ") + KEY_GUIDE_PATHS[i]);
        }
    }
}

void MainPage::loadMenuIcons(const char* iconFailure, const char* highlightedFailure,
                             bool withReason) {
    auto report = [withReason](const char* message, const std::string& path) {
        logError(message + path + (withReason ? std::string(", 错误: ") + SDL_GetError() : ""));
    };
    for (MenuItem& item : menuItems) {
        item.icon = Image::loadTexture(renderer, item.iconPath);
        if (!item.icon) {
            report(iconFailure, item.iconPath);
        }
        item.highlightedIcon = Image::loadTexture(renderer, item.highlightedIconPath);
        if (!item.highlightedIcon) {
            report(highlightedFailure, item.highlightedIconPath);
        }
    }
}

void MainPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (Input::isKeyDown(*event, SDLK_TAB) || services.input.isButtonDown(*event, "menu")) {
        toggleSlideMenu();
    } else if (keyGuideVisible) {
        handleKeyGuideInput(*event);
    } else if (slideMenuOpen) {
        handleSlideMenuInput(*event);
    } else {
        topBar->handleEvent(event);
        if (event->type == SDL_KEYDOWN) {
            handleMenuKey(*event);
        } else if (event->type == SDL_CONTROLLERBUTTONDOWN) {
            handleMenuButton(*event);
        } else if (event->type == SDL_CONTROLLERBUTTONUP) {
            handleChordRelease(*event);
        }
    }
}

void MainPage::toggleSlideMenu() {
    slideMenuOpen = !slideMenuOpen;
    slideTargetX = slideMenuOpen ? SLIDE_OPEN_X : SLIDE_CLOSED_X;
}

void MainPage::handleMenuButton(const SDL_Event& event) {
    if (services.input.isButtonDown(event, "up")) {
        menu.moveWrapping(-1, MENU_COUNT);
    } else if (services.input.isButtonDown(event, "down")) {
        menu.moveWrapping(+1, MENU_COUNT);
    } else if (services.input.isButtonDown(event, "a")) {
        chooseSelectedEntry();
    }
    // Holding both shoulder buttons rescans the library.
    if (services.input.isButtonDown(event, "l1")) {
        l1Held = true;
    } else if (services.input.isButtonDown(event, "r1")) {
        r1Held = true;
    } else {
        return;
    }
    if (l1Held && r1Held) {
        l1Held = r1Held = false;
        rescanMusicFiles();
    }
}

void MainPage::handleChordRelease(const SDL_Event& event) {
    if (services.input.isButtonUp(event, "l1")) {
        l1Held = false;
    } else if (services.input.isButtonUp(event, "r1")) {
        r1Held = false;
    }
}

void MainPage::handleMenuKey(const SDL_Event& event) {
    switch (event.key.keysym.sym) {
    case SDLK_UP:
        menu.moveWrapping(-1, MENU_COUNT);
        break;
    case SDLK_DOWN:
        menu.moveWrapping(+1, MENU_COUNT);
        break;
    case SDLK_RETURN:
        chooseSelectedEntry();
        break;
    case SDLK_F5:
        rescanMusicFiles();
        break;
    default:
        break;
    }
}

void MainPage::chooseSelectedEntry() {
    if (menuCallback) {
        menuCallback(menu.selectedIndex);
    }
}

void MainPage::handleSlideMenuInput(const SDL_Event& event) {
    if (services.input.isButtonDown(event, "up") || Input::isKeyDown(event, SDLK_UP)) {
        slide.moveWrapping(-1, SLIDE_COUNT);
    } else if (services.input.isButtonDown(event, "down") || Input::isKeyDown(event, SDLK_DOWN)) {
        slide.moveWrapping(+1, SLIDE_COUNT);
    } else if (services.input.isButtonDown(event, "a") || Input::isKeyDown(event, SDLK_RETURN)) {
        activateSlideItem();
    } else if (services.input.isButtonDown(event, "b") || Input::isKeyDown(event, SDLK_ESCAPE)) {
        toggleSlideMenu();
    }
}

void MainPage::activateSlideItem() {
    switch (slide.selectedIndex) {
    case SLIDE_RESCAN:
        rescanMusicFiles();
        toggleSlideMenu();
        break;
    case SLIDE_KEY_GUIDE:
        keyGuideVisible = true;
        keyGuideIndex = 0;
        toggleSlideMenu();
        break;
    case SLIDE_EXIT: {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        break;
    }
    default:
        break;
    }
}

void MainPage::handleKeyGuideInput(const SDL_Event& event) {
    if (services.input.isButtonDown(event, "left") || services.input.isButtonDown(event, "right") ||
        Input::isKeyDown(event, SDLK_LEFT) || Input::isKeyDown(event, SDLK_RIGHT)) {
        keyGuideIndex = (keyGuideIndex + 1) % static_cast<int>(keyGuideImages.size());
    } else if (services.input.isButtonDown(event, "a") || services.input.isButtonDown(event, "b") ||
               services.input.isButtonDown(event, "back") || Input::isKeyDown(event, SDLK_RETURN) ||
               Input::isKeyDown(event, SDLK_ESCAPE)) {
        keyGuideVisible = false;
    }
}

void MainPage::rescanMusicFiles() {
    LibraryRescan::start(services, dialog, playList);
}

void MainPage::update() {
    topBar->update();
    stepSlideAnimation();
    relabelOnLanguageChange();
}

bool MainPage::wantsFrame() const {
    return UIBase::wantsFrame() || topBar->wantsFrame();
}

void MainPage::stepSlideAnimation() {
    if (slideX == slideTargetX) {
        return;
    }
    notePictureChanged();
    float distance = slideTargetX - slideX;
    slideX += SLIDE_EASING * distance;
    if (std::fabs(distance) < 1.0f) {
        slideX = slideTargetX;
        if (slideTargetX >= SLIDE_CLOSED_X) {
            slideMenuOpen = false;
        }
    }
}

void MainPage::relabelOnLanguageChange() {
    const std::string& current = services.languages.getCurrentLanguage();
    if (labelLanguage.empty()) {
        labelLanguage = current;
        return;
    }
    if (current == labelLanguage) {
        return;
    }
    notePictureChanged();
    buildLabels();
    loadMenuIcons("无法重新加载普通图标: ", "无法重新加载高亮图标: ", true);
    labelLanguage = current;
}

void MainPage::render() {
    if (!renderer) {
        return;
    }
    background.draw(renderer);
    topBar->render();
    renderMenu();
    if (slideX < SLIDE_CLOSED_X) {
        renderSlideMenu();
    }
    if (keyGuideVisible) {
        renderKeyGuide();
    }
}

void MainPage::renderMenu() {
    menuList.drawRows(renderer, font, menu, MENU_COUNT, [this](int index, bool selected) {
        const MenuItem& item = menuItems[index];
        return ListRow{selected ? item.highlightedIcon.get() : item.icon.get(), item.label};
    });
}

void MainPage::renderSlideMenu() {
    SDL_Rect panel{static_cast<int>(slideX), SLIDE_TOP, SLIDE_WIDTH, SLIDE_HEIGHT};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    if (slideBackground) {
        SDL_RenderCopy(renderer, slideBackground.get(), nullptr, &panel);
    } else {
        Draw::fillRect(renderer, panel, SLIDE_FILL);
    }
    for (int j = 0; j < static_cast<int>(slideItems.size()); ++j) {
        SDL_Rect item{panel.x + SLIDE_ITEM_INSET_X, SLIDE_ITEM_TOP + SLIDE_ITEM_PITCH * j,
                      SLIDE_ITEM_WIDTH, SLIDE_ITEM_HEIGHT};
        bool selected = j == slide.selectedIndex;
        if (selected) {
            Draw::fillRect(renderer, item, SLIDE_SELECTED_FILL);
        }
        TextImage label =
            texts.get(renderer, font, slideItems[j], selected ? Draw::WHITE : SLIDE_TEXT);
        if (label.texture) {
            SDL_Rect destination{item.x + SLIDE_LABEL_INSET_X, item.y + (item.h - label.height) / 2,
                                 label.width, label.height};
            SDL_RenderCopy(renderer, label.texture, nullptr, &destination);
        }
    }
}

void MainPage::renderKeyGuide() {
    if (SDL_Texture* image = keyGuideImages[keyGuideIndex].get()) {
        Image::drawFullScreen(renderer, image);
        return;
    }
    Draw::setColor(renderer, Draw::BLACK);
    SDL_RenderClear(renderer);
    TextImage message = texts.get(renderer, font, KEY_GUIDE_MISSING, Draw::WHITE);
    if (message.texture) {
        SDL_Rect destination{(SCREEN_WIDTH - message.width) / 2,
                             (SCREEN_HEIGHT - message.height) / 2, message.width, message.height};
        SDL_RenderCopy(renderer, message.texture, nullptr, &destination);
    }
}
