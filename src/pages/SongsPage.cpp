#include "pages/SongsPage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "core/SdlHandles.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"
#include "pages/FavouriteToggle.h"
#include "pages/LibraryRescan.h"
#include "settings/ThemeManager.h"
#include "ui/Dialog.h"
#include "ui/Image.h"

#include <filesystem>

namespace {

constexpr SDL_Rect PAGE_BOUNDS = UIBase::CONTENT_AREA;
constexpr int LIST_TOP = 35;
constexpr int LIST_BOTTOM_MARGIN = 10;
constexpr int LIST_HEIGHT = UIBase::contentAreaAbove(LIST_BOTTOM_MARGIN).h;
constexpr int SCROLL_BAR_WIDTH = 4;
constexpr int SCROLL_BAR_RIGHT_INSET = 6;
constexpr Uint8 SCROLL_BAR_ALPHA = 128;

ScrollBarStyle songsScrollBar() {
    ScrollBarStyle style;
    style.track = {PAGE_BOUNDS.x + PAGE_BOUNDS.w - SCROLL_BAR_RIGHT_INSET, LIST_TOP,
                   SCROLL_BAR_WIDTH, LIST_HEIGHT};
    return style;
}

} // namespace

SongsPage::SongsPage(const PageServices& services, PlayList* playlist, Player* player,
                     Dialog* dialog)
    : SongListPage(services, playlist, player, dialog, Page::SONGS, {}, songsScrollBar()) {
    acceptKeyRepeats = false;
    bindings.add("y", {SDLK_f}, [this] { toggleFavourite(); });
    bindings.add("l1", {SDLK_PAGEUP}, [this] { moveSelection(-list.visibleItems); });
    bindings.add("r1", {SDLK_PAGEDOWN}, [this] { moveSelection(+list.visibleItems); });
    bindAlbumJumps();
}

SongsPage::~SongsPage() {
    waitForCacheLoad();
}

void SongsPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    if (!renderer || !font) {
        logError("初始化失败：无效的渲染器或字体");
        return;
    }
    initListPage(renderer, font, PAGE_BOUNDS);
    loadIcons();
    if (playlist) {
        if (!std::filesystem::exists(LIBRARY_CACHE_PATH)) {
            startLoadingScan();
        } else {
            startCacheLoad();
        }
        playlist->loadFavourites();
    }
}

// Reading a large cache takes a while: the menu keeps answering meanwhile, and the list shows
// as soon as the play list has adopted the library (see update).
void SongsPage::startCacheLoad() {
    waitForCacheLoad();
    cacheLoad = CacheLoad::RUNNING;
    MusicScanner* scanner = &services.scanner;
    PlayList* target = playlist;
    cacheLoader = std::thread([this, scanner, target] {
        SdlThreadCleanup sdlThread;
        cacheLoad = scanner->loadCache(target) ? CacheLoad::DONE : CacheLoad::FAILED;
    });
}

void SongsPage::waitForCacheLoad() {
    if (cacheLoader.joinable()) {
        cacheLoader.join();
    }
}

void SongsPage::loadIcons() {
    auto load = [this](const std::string& path) {
        return Image::loadTextureOrReport(renderer, path, "无法加载图标: " + path + ", ");
    };
    songIcon = load("icons/song.png");
    songIconSelected = load("icons/song_l.png");
    playingIcon = load("icons/bofang.png");
    playingIconSelected = load("icons/bofang_l.png");
    favouriteIcon = load("icons/shoucang.png");
    favouriteIconSelected = load("icons/shoucang_l.png");
}

// The scan runs on the dialog's loading thread and publishes the new library to the play list;
// the page takes it over on the main thread, in update(), once the library's version changes.
void SongsPage::startLoadingScan() {
    LibraryRescan::start(services, dialog, playlist);
}

void SongsPage::takeLibrary() {
    showSongs(playlist->getLibrarySongs());
    shownLibraryVersion = playlist->getLibraryVersion();
    libraryShown = true;
}

void SongsPage::setBackCallback(std::function<void()> callback) {
    SongListPage::setBackCallback([this, callback = std::move(callback)] {
        if (callback) {
            callback();
        }
        libraryShown = false; // refresh from the library when the page is next used
    });
}

void SongsPage::update() {
    if (cacheLoad == CacheLoad::FAILED) {
        cacheLoad = CacheLoad::DONE;
        logError("加载缓存文件失败，将重新扫描音乐文件");
        startLoadingScan();
    }
    if (playlist && !playlist->isScanning() &&
        (!libraryShown || playlist->getLibraryVersion() != shownLibraryVersion)) {
        takeLibrary();
    }
    SongListPage::update();
}

void SongsPage::reportPlayFailure(int index) {
    logError("播放失败，索引: " + std::to_string(index));
}

void SongsPage::toggleFavourite() {
    if (!playlist || !hasSelection()) {
        return;
    }
    const Song& song = songs[list.selectedIndex];
    if (playlist->isFavourite(song)) {
        FavouriteToggle::askToRemove(dialog, [this] { removeSelectedFavourite(); });
    } else {
        FavouriteToggle::add(services.languages, *playlist, dialog, song);
    }
}

// Removes the song highlighted at the moment of confirmation.
void SongsPage::removeSelectedFavourite() {
    if (playlist && hasSelection()) {
        FavouriteToggle::remove(services.languages, *playlist, dialog,
                                songs[list.selectedIndex].filepath);
    }
}

SDL_Texture* SongsPage::rowIcon(const Song& song, bool selected) const {
    bool favourite = playlist && playlist->isFavourite(song);
    bool playing = player && playlist && player->isPlaying() &&
                   playlist->getCurrentSong().filepath == song.filepath;
    if (favourite) {
        return (selected ? favouriteIconSelected : favouriteIcon).get();
    }
    if (playing) {
        return (selected ? playingIconSelected : playingIcon).get();
    }
    return (selected ? songIconSelected : songIcon).get();
}

void SongsPage::render() {
    if (!renderer) {
        return;
    }
    background.draw(renderer);
    drawTopBar();
    drawSongRows([this](const Song& song, bool selected) { return rowIcon(song, selected); });
    SDL_Color thumb = services.themes.getCurrentColors().secondary;
    thumb.a = SCROLL_BAR_ALPHA;
    listView.scrollBarStyle().thumbColor = thumb;
    drawScrollBar();
    drawJumpOverlay();
}
