#include "pages/SongsPage.h"

#include "core/Log.h"
#include "audio/Player.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"
#include "settings/ThemeManager.h"
#include "ui/Dialog.h"
#include "ui/Image.h"
#include "ui/Input.h"
#include "ui/TopBar.h"

#include <filesystem>

namespace {

constexpr SDL_Rect PAGE_BOUNDS{0, 30, 640, 450};
constexpr int LIST_TOP = 35;
constexpr int LIST_HEIGHT = 440;
constexpr int SCROLL_BAR_WIDTH = 4;
constexpr int SCROLL_BAR_RIGHT_INSET = 6;
constexpr Uint8 SCROLL_BAR_ALPHA = 128;

constexpr const char* TIP_TITLE = "提示";
constexpr const char* LOADING_MESSAGE = "歌曲载入中...请稍后...";
constexpr const char* REMOVE_QUESTION = "是否从喜爱列表里删除歌曲？";
constexpr const char* ADDED_MESSAGE = "添加成功！";

ScrollBarStyle songsScrollBar() {
    ScrollBarStyle style;
    style.track = {PAGE_BOUNDS.x + PAGE_BOUNDS.w - SCROLL_BAR_RIGHT_INSET, LIST_TOP,
                   SCROLL_BAR_WIDTH, LIST_HEIGHT};
    return style;
}

} // namespace

SongsPage::SongsPage(PlayList* playlist, Player* player, Dialog* dialog)
    : playlist(playlist), player(player), dialog(dialog), listView({}, songsScrollBar()) {
    if (playlist && player) {
        playlist->setPlayer(player);
    } else {
        logError("SongsPage: playlist 或 player 为空");
    }
}

SongsPage::~SongsPage() = default;

void SongsPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    if (!renderer || !font) {
        logError("初始化失败：无效的渲染器或字体");
        return;
    }
    this->renderer = renderer;
    this->font = font;
    initialising = true;
    topBar = std::make_unique<TopBar>(player);
    topBar->init(renderer, font);
    bounds = PAGE_BOUNDS;
    loadIcons();
    if (playlist) {
        if (!std::filesystem::exists(LIBRARY_CACHE_PATH)) {
            startLoadingScan();
        } else if (playlist->loadFromFile(LIBRARY_CACHE_PATH)) {
            takeLibrary();
        } else {
            logError("加载缓存文件失败，将重新扫描音乐文件");
            startLoadingScan();
        }
        playlist->loadFavourites();
    }
    initialising = false;
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
    if (!dialog) {
        logError("Dialog is null!");
        return;
    }
    PlayList* target = playlist;
    dialog->showLoading(TIP_TITLE, LOADING_MESSAGE,
                        [target] { MusicScanner::getInstance().scanMusicFiles(target); });
}

void SongsPage::takeLibrary() {
    songs = playlist->getLibrarySongs();
    shownLibraryVersion = playlist->getLibraryVersion();
    libraryShown = true;
    list.clampTo(static_cast<int>(songs.size()));
}

void SongsPage::setBackCallback(std::function<void()> callback) {
    backCallback = [this, callback = std::move(callback)] {
        if (callback) {
            callback();
        }
        libraryShown = false; // refresh from the library when the page is next used
    };
}

void SongsPage::update() {
    if (playlist && !playlist->isScanning() &&
        (!libraryShown || playlist->getLibraryVersion() != shownLibraryVersion)) {
        takeLibrary();
    }
    if (topBar) {
        topBar->update();
    }
}

void SongsPage::handleEvent(SDL_Event* event) {
    if (!event || initialising) {
        return;
    }
    if (topBar) {
        topBar->handleEvent(event);
    }
    if (event->type == SDL_KEYDOWN && event->key.repeat == 0) {
        handleKeyboard(event->key);
    } else if (event->type == SDL_CONTROLLERBUTTONDOWN) {
        handleControllerButton(event->cbutton);
    }
}

void SongsPage::handleControllerButton(const SDL_ControllerButtonEvent& button) {
    if (Input::isButton(button, "up")) {
        moveSelection(-1);
    } else if (Input::isButton(button, "down")) {
        moveSelection(+1);
    } else if (Input::isButton(button, "a")) {
        if (list.isSelectionValid(static_cast<int>(songs.size()))) {
            playSong(list.selectedIndex);
        }
    } else if (Input::isButton(button, "b")) {
        if (backCallback) {
            backCallback();
        }
    } else if (Input::isButton(button, "y")) {
        toggleFavourite();
    } else if (Input::isButton(button, "l1")) {
        moveSelection(-list.visibleItems);
    } else if (Input::isButton(button, "r1")) {
        moveSelection(+list.visibleItems);
    }
}

void SongsPage::handleKeyboard(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
    case SDLK_UP:
        moveSelection(-1);
        break;
    case SDLK_DOWN:
        moveSelection(+1);
        break;
    case SDLK_PAGEUP:
        moveSelection(-list.visibleItems);
        break;
    case SDLK_PAGEDOWN:
        moveSelection(+list.visibleItems);
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (list.isSelectionValid(static_cast<int>(songs.size()))) {
            playSong(list.selectedIndex);
        }
        break;
    case SDLK_f:
        toggleFavourite();
        break;
    case SDLK_ESCAPE:
        if (backCallback) {
            backCallback();
        }
        break;
    default:
        break;
    }
}

void SongsPage::moveSelection(int step) {
    list.moveClamped(step, static_cast<int>(songs.size()));
}

// Plays row index of the list on screen: the queue becomes the listed library, so playback
// continues through it in the play mode's order.
void SongsPage::playSong(int index) {
    if (!playlist) {
        logError("播放失败: playlist 为空");
        return;
    }
    if (!player) {
        logError("播放失败: player 为空");
        return;
    }
    playlist->clear();
    for (const Song& song : songs) {
        playlist->addSong(song);
    }
    playlist->setCurrentIndex(index);
    playlist->setPlayer(player);
    if (!playlist->play(index)) {
        logError("播放失败，索引: " + std::to_string(index));
        return;
    }
    if (pageChangeCallback) {
        pageChangeCallback(Page::SONGS);
    }
    if (songPlayedCallback) {
        songPlayedCallback();
    }
}

void SongsPage::toggleFavourite() {
    if (!playlist || !list.isSelectionValid(static_cast<int>(songs.size()))) {
        return;
    }
    const Song& song = songs[list.selectedIndex];
    if (playlist->isFavourite(song)) {
        if (dialog) {
            dialog->showConfirm(TIP_TITLE, REMOVE_QUESTION, [this] { removeSelectedFavourite(); });
        }
        return;
    }
    playlist->addFavourite(song);
    if (dialog) {
        dialog->showInfo(TIP_TITLE, ADDED_MESSAGE);
    }
}

// Removes the song highlighted at the moment of confirmation.
void SongsPage::removeSelectedFavourite() {
    if (!playlist || !list.isSelectionValid(static_cast<int>(songs.size()))) {
        return;
    }
    playlist->removeFavourite(songs[list.selectedIndex].filepath);
    playlist->loadFavourites();
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
    if (topBar) {
        topBar->render();
    }
    int count = static_cast<int>(songs.size());
    if (count > 0 && font) {
        listView.drawRows(renderer, font, list, count, [this](int index, bool selected) {
            const Song& song = songs[index];
            return ListRow{rowIcon(song, selected), song.title};
        });
    }
    SDL_Color thumb = ThemeManager::getInstance().getCurrentColors().secondary;
    thumb.a = SCROLL_BAR_ALPHA;
    listView.scrollBarStyle().thumbColor = thumb;
    listView.drawScrollBar(renderer, list, count);
}
