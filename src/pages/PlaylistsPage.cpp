#include "pages/PlaylistsPage.h"

#include "core/Log.h"
#include "library/PlayList.h"
#include "ui/Dialog.h"
#include "ui/Image.h"
#include "ui/Input.h"
#include "ui/TopBar.h"

namespace {

constexpr SDL_Rect PAGE_BOUNDS{0, 30, 640, 420};
constexpr int LIST_INSET = 5;
constexpr int ROW_HEIGHT = 55;
constexpr SDL_Color ROW_TEXT{180, 180, 180, 255};
constexpr SDL_Color SCROLL_THUMB{100, 100, 100, 200};
constexpr int SCROLL_BAR_WIDTH = 4;
constexpr int SCROLL_BAR_RIGHT_INSET = 6;
constexpr SDL_Color EMPTY_TEXT{180, 180, 180, 255};
constexpr int EMPTY_AREA_HEIGHT = 450;

constexpr const char* EMPTY_MESSAGE = "喜爱列表为空";
constexpr const char* REMOVE_TITLE = "删除确认";
constexpr const char* REMOVE_QUESTION = "确定要从喜爱列表中删除这首歌吗？";

ListRowStyle favouriteRows() {
    ListRowStyle style;
    style.firstRowTop = PAGE_BOUNDS.y + LIST_INSET;
    style.rowHeight = ROW_HEIGHT;
    style.markerX = PAGE_BOUNDS.x + 5;
    style.highlightX = PAGE_BOUNDS.x + 15;
    style.highlightWidth = PAGE_BOUNDS.w - 20;
    style.iconX = PAGE_BOUNDS.x + 25;
    style.textX = PAGE_BOUNDS.x + 75;
    style.textColor = ROW_TEXT;
    return style;
}

ScrollBarStyle favouriteScrollBar() {
    ScrollBarStyle style;
    style.track = {PAGE_BOUNDS.x + PAGE_BOUNDS.w - SCROLL_BAR_RIGHT_INSET,
                   PAGE_BOUNDS.y + LIST_INSET, SCROLL_BAR_WIDTH, PAGE_BOUNDS.h - 2 * LIST_INSET};
    style.thumbColor = SCROLL_THUMB;
    return style;
}

} // namespace

PlaylistsPage::PlaylistsPage(PlayList* playlist, Player* player, Dialog* dialog)
    : playlist(playlist), player(player), dialog(dialog),
      listView(favouriteRows(), favouriteScrollBar()) {
}

PlaylistsPage::~PlaylistsPage() = default;

void PlaylistsPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    this->renderer = renderer;
    this->font = font;
    topBar = std::make_unique<TopBar>(player);
    topBar->init(renderer, font);
    bounds = PAGE_BOUNDS;
    background.load(renderer);
    songIcon = Image::loadTextureOrReport(renderer, "icons/gequ.png", "无法加载歌曲图标: ");
    selectedSongIcon =
        Image::loadTextureOrReport(renderer, "icons/gequ_l.png", "无法加载选中歌曲图标: ");
}

void PlaylistsPage::update() {
    if (topBar) {
        topBar->update();
    }
    if (recentlyMoved && now() - lastMoveTicks > SCROLL_BAR_SHOWN_MS) {
        recentlyMoved = false;
    }
}

void PlaylistsPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (topBar) {
        topBar->handleEvent(event);
    }
    const SDL_Event& e = *event;
    if (Input::isButtonDown(e, "up") || Input::isKeyDown(e, SDLK_UP)) {
        move(-1);
    } else if (Input::isButtonDown(e, "down") || Input::isKeyDown(e, SDLK_DOWN)) {
        move(+1);
    } else if (Input::isButtonDown(e, "a") || Input::isKeyDown(e, SDLK_RETURN) ||
               Input::isKeyDown(e, SDLK_KP_ENTER)) {
        playSelected();
    } else if (Input::isButtonDown(e, "b") || Input::isKeyDown(e, SDLK_ESCAPE)) {
        if (backCallback) {
            backCallback();
        }
    } else if (Input::isButtonDown(e, "start") || Input::isKeyDown(e, SDLK_DELETE)) {
        removeSong(list.selectedIndex);
    }
}

void PlaylistsPage::move(int step) {
    if (list.moveClamped(step, static_cast<int>(favourites.size()))) {
        lastMoveTicks = now();
        recentlyMoved = true;
    }
}

void PlaylistsPage::playSelected() {
    if (!player || !playlist || !list.isSelectionValid(static_cast<int>(favourites.size()))) {
        return;
    }
    playlist->clear();
    for (const Song& song : favourites) {
        playlist->addSong(song);
    }
    int index = list.selectedIndex;
    playlist->setCurrentIndex(index);
    playlist->setPlayer(player);
    if (!playlist->play(index)) {
        logError("加载歌曲失败: " + favourites[index].filepath);
        return;
    }
    if (songPlayedCallback) {
        songPlayedCallback();
    }
}

void PlaylistsPage::removeSong(int index) {
    if (!playlist || !dialog || index < 0 || index >= static_cast<int>(favourites.size())) {
        return;
    }
    std::string filepath = favourites[index].filepath;
    dialog->showConfirm(
        REMOVE_TITLE, REMOVE_QUESTION,
        [this, filepath] {
            playlist->removeFavourite(filepath);
            playlist->loadFavourites();
            takeFavourites();
            dialog->hide();
        },
        [this] { dialog->hide(); });
}

void PlaylistsPage::takeFavourites() {
    favourites = playlist->getLikedSongs();
    list.clampTo(static_cast<int>(favourites.size()));
}

void PlaylistsPage::refresh() {
    needsRefresh = false;
    if (playlist) {
        playlist->loadFavourites();
        takeFavourites();
    }
    list.reset();
}

void PlaylistsPage::render() {
    if (needsRefresh) {
        refresh();
    }
    if (!renderer) {
        return;
    }
    if (background.isLoaded()) {
        background.draw(renderer);
    }
    if (topBar) {
        topBar->render();
    }
    int count = static_cast<int>(favourites.size());
    if (count == 0) {
        TextImage empty = texts.get(renderer, font, EMPTY_MESSAGE, EMPTY_TEXT);
        if (empty.texture) {
            SDL_Rect destination{(SCREEN_WIDTH - empty.width) / 2,
                                 (EMPTY_AREA_HEIGHT - empty.height) / 2, empty.width, empty.height};
            SDL_RenderCopy(renderer, empty.texture, nullptr, &destination);
        }
        return;
    }
    listView.drawRows(renderer, font, list, count, [this](int index, bool selected) {
        return ListRow{selected ? selectedSongIcon.get() : songIcon.get(), favourites[index].title};
    });
    if (recentlyMoved) {
        listView.drawScrollBar(renderer, list, count);
    }
}
