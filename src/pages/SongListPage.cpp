#include "pages/SongListPage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "library/PlayList.h"
#include "ui/TopBar.h"

SongListPage::SongListPage(const PageServices& services, PlayList* playlist, Player* player,
                           Dialog* dialog, Page listPage, const ListRowStyle& rows,
                           const ScrollBarStyle& bar)
    : services(services), playlist(playlist), player(player), dialog(dialog), listView(rows, bar),
      bindings(services.input), listPage(listPage) {
    bindings.add("up", {SDLK_UP}, [this] { pressDirection(-1); });
    bindings.add("down", {SDLK_DOWN}, [this] { pressDirection(+1); });
    bindings.add("a", {SDLK_RETURN, SDLK_KP_ENTER}, [this] { playSelected(); });
    bindings.add("b", {SDLK_ESCAPE}, [this] { goBack(); });
}

SongListPage::~SongListPage() = default;

void SongListPage::initListPage(SDL_Renderer* renderer, TTF_Font* font,
                                const SDL_Rect& pageBounds) {
    this->renderer = renderer;
    this->font = font;
    bounds = pageBounds;
    Player* shown = player;
    topBar =
        std::make_unique<TopBar>([shown] { return shown && shown->isPlaying(); }, services.battery);
    topBar->init(renderer, font);
}

void SongListPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (topBar) {
        topBar->handleEvent(event);
    }
    if (!heldScroll.takeEvent(*event, services.input)) {
        bindings.dispatch(*event, acceptKeyRepeats);
    }
}

void SongListPage::update() {
    if (topBar) {
        topBar->update();
    }
    if (const int rows = heldScroll.take(now())) {
        moveSelection(rows);
    }
    if (recentlyMoved && now() - lastMoveTicks > SCROLL_BAR_SHOWN_MS) {
        recentlyMoved = false;
        notePictureChanged(); // the scroll bar goes
    }
    noteMotion(isMovingOnItsOwn());
}

bool SongListPage::wantsFrame() const {
    return UIBase::wantsFrame() || (topBar && topBar->wantsFrame());
}

void SongListPage::showSongs(std::vector<Song> newSongs) {
    songs = std::move(newSongs);
    notePictureChanged();
    list.clampTo(static_cast<int>(songs.size()));
}

bool SongListPage::hasSelection() const {
    return list.isSelectionValid(static_cast<int>(songs.size()));
}

bool SongListPage::playSong(int index) {
    if (!playlist || !player || index < 0 || index >= static_cast<int>(songs.size())) {
        return false;
    }
    playlist->clear();
    for (const Song& song : songs) {
        playlist->addSong(song);
    }
    playlist->setCurrentIndex(index);
    if (!playlist->play(index)) {
        return false;
    }
    if (pageChangeCallback) {
        pageChangeCallback(listPage);
    }
    if (songPlayedCallback) {
        songPlayedCallback();
    }
    return true;
}

void SongListPage::playSelected() {
    if (hasSelection() && !playSong(list.selectedIndex)) {
        reportPlayFailure(list.selectedIndex);
    }
}

void SongListPage::goBack() {
    if (backCallback) {
        backCallback();
    }
}

bool SongListPage::moveSelection(int step) {
    if (!list.moveClamped(step, static_cast<int>(songs.size()))) {
        return false;
    }
    lastMoveTicks = now();
    recentlyMoved = true;
    return true;
}

void SongListPage::pressDirection(int direction) {
    moveSelection(direction);
    heldScroll.press(direction, now());
}

void SongListPage::bindAlbumJumps() {
    bindings.add("left", {SDLK_LEFT}, [this] { jumpToAlbum(-1); });
    bindings.add("right", {SDLK_RIGHT}, [this] { jumpToAlbum(+1); });
}

void SongListPage::jumpToAlbum(int direction) {
    const int target =
        ListJumps::jumpTarget(static_cast<int>(songs.size()), list.selectedIndex, direction,
                              [this](int a, int b) { return songs[a].album == songs[b].album; });
    if (moveSelection(target - list.selectedIndex)) {
        jumpOverlay.show(songs[target].album, now());
    }
}

void SongListPage::drawJumpOverlay() {
    jumpOverlay.render(renderer, now());
}

void SongListPage::drawTopBar() {
    if (topBar) {
        topBar->render();
    }
}

void SongListPage::drawSongRows(
    const std::function<SDL_Texture*(const Song& song, bool selected)>& iconFor) {
    if (songs.empty() || !font) {
        return;
    }
    listView.drawRows(renderer, font, list, static_cast<int>(songs.size()),
                      [&](int index, bool selected) {
                          const Song& song = songs[index];
                          return ListRow{iconFor(song, selected), song.title};
                      });
}

void SongListPage::drawScrollBar() {
    listView.drawScrollBar(renderer, list, static_cast<int>(songs.size()));
}
