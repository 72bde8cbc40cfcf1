#include "pages/PlaylistsPage.h"

#include "core/Log.h"
#include "library/PlayList.h"
#include "pages/FavouriteToggle.h"
#include "ui/Dialog.h"
#include "ui/Image.h"

namespace {

constexpr int LIST_BOTTOM_MARGIN = 30;
constexpr SDL_Rect PAGE_BOUNDS = UIBase::contentAreaAbove(LIST_BOTTOM_MARGIN);
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

PlaylistsPage::PlaylistsPage(const PageServices& services, PlayList* playlist, Player* player,
                             Dialog* dialog)
    : SongListPage(services, playlist, player, dialog, Page::PLAYLISTS, favouriteRows(),
                   favouriteScrollBar()) {
    bindings.add("start", {SDLK_DELETE}, [this] { removeSong(list.selectedIndex); });
    bindAlbumJumps();
}

PlaylistsPage::~PlaylistsPage() = default;

void PlaylistsPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    initListPage(renderer, font, PAGE_BOUNDS);
    background.load(renderer);
    songIcon = Image::loadTextureOrReport(renderer, "icons/gequ.png", "无法加载歌曲图标: ");
    selectedSongIcon =
        Image::loadTextureOrReport(renderer, "icons/gequ_l.png", "无法加载选中歌曲图标: ");
}

void PlaylistsPage::removeSong(int index) {
    if (!playlist || !dialog || index < 0 || index >= static_cast<int>(songs.size())) {
        return;
    }
    std::string filepath = songs[index].filepath;
    dialog->showConfirm(
        REMOVE_TITLE, REMOVE_QUESTION,
        [this, filepath] {
            const bool saved =
                playlist->removeFavourite(filepath) != Favourites::Change::SAVE_FAILED;
            playlist->loadFavourites();
            takeFavourites();
            dialog->hide();
            if (!saved) {
                FavouriteToggle::reportNotSaved(services.languages, dialog);
            }
        },
        [this] { dialog->hide(); });
}

void PlaylistsPage::takeFavourites() {
    showSongs(playlist->getLikedSongs());
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
    drawTopBar();
    if (songs.empty()) {
        drawEmptyMessage();
        return;
    }
    drawSongRows([this](const Song&, bool selected) {
        return selected ? selectedSongIcon.get() : songIcon.get();
    });
    if (isScrollBarShown()) {
        drawScrollBar();
    }
    drawJumpOverlay();
}

void PlaylistsPage::drawEmptyMessage() {
    TextImage empty = texts.get(renderer, font, EMPTY_MESSAGE, EMPTY_TEXT);
    if (empty.texture) {
        SDL_Rect destination{(SCREEN_WIDTH - empty.width) / 2,
                             (EMPTY_AREA_HEIGHT - empty.height) / 2, empty.width, empty.height};
        SDL_RenderCopy(renderer, empty.texture, nullptr, &destination);
    }
}
