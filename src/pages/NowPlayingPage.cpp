#include "pages/NowPlayingPage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "library/PlayList.h"
#include "nowplaying/LyricsView.h"
#include "nowplaying/TimeText.h"
#include "nowplaying/Transport.h"
#include "pages/FavouriteToggle.h"
#include "settings/Config.h"
#include "ui/Image.h"
#include "ui/SkinArt.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* LYRICS_EXTENSION = ".lrc";
constexpr const char* MODE_ICON_PATHS[] = {"icons/dx.png", "icons/ss.png", "icons/ssx.png",
                                           "icons/sj.png"};
enum ModeIcon { SINGLE_ICON, SEQUENCE_ICON, SEQUENCE_LOOP_ICON, RANDOM_ICON };

constexpr SDL_Keycode BACK_KEY = SDLK_ESCAPE;
constexpr SDL_Keycode LYRICS_KEY = SDLK_y;

// Leaving and opening the lyrics act once per press: the repeats of a held key would leave the
// page behind the lyrics just closed, or close the lyrics just opened.
bool repeatsAPressOnlyKey(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN && event.key.repeat != 0 &&
           (event.key.keysym.sym == BACK_KEY || event.key.keysym.sym == LYRICS_KEY);
}

} // namespace

NowPlayingPage::NowPlayingPage(const PageServices& services, Player* player, PlayList* playlist,
                               Dialog* dialog)
    : services(services), player(player), playlist(playlist), dialog(dialog),
      bindings(services.input) {
    bounds = PAGE_BOUNDS;
    bindKeys();
}

NowPlayingPage::~NowPlayingPage() = default;

void NowPlayingPage::bindKeys() {
    bindings.add("b", {BACK_KEY}, [this] { goBack(); });
    bindings.add("l1", {SDLK_LEFT}, [this] { Transport::skip(playlist, -1); });
    bindings.add("r1", {SDLK_RIGHT}, [this] { Transport::skip(playlist, +1); });
    bindings.add("a", {SDLK_SPACE}, [this] { Transport::togglePlayPause(player); });
    bindings.add("y", {SDLK_v}, [this] { toggleFavourite(); });
    bindings.add("x", {SDLK_RETURN}, [this] {
        if (player) {
            player->stop();
        }
    });
    bindings.add("left", {SDLK_a}, [this] { seek(-Transport::SEEK_SECONDS); });
    bindings.add("right", {SDLK_d}, [this] { seek(+Transport::SEEK_SECONDS); });
    bindings.add("up", {SDLK_UP},
                 [this] { Transport::stepVolume(player, +Transport::VOLUME_STEP); });
    bindings.add("down", {SDLK_DOWN},
                 [this] { Transport::stepVolume(player, -Transport::VOLUME_STEP); });
    bindings.add("start", {LYRICS_KEY}, [this] { lyricsViewOn = lyricsView != nullptr; });
}

void NowPlayingPage::init(SDL_Renderer* newRenderer, TTF_Font* newFont) {
    renderer = newRenderer;
    font = newFont;
    record.init(renderer);
    lyricFont.reset(TTF_OpenFont(LYRIC_FONT_PATH, LYRIC_POINTS));
    if (!lyricFont) {
        logError(std::string("无法加载歌词字体: ") + TTF_GetError());
    }
    tape.init(renderer, lyricFont.get());
    // The skin's pictures are read on a thread of their own from now on, so that they neither
    // hold up the start of the program nor the page's first showing.
    themeId = services.config.getDefaultThemeId();
    readSkinAhead();
    tape.reset(now());
    record.reset(now());
    lyricsView = std::make_unique<LyricsView>(services.input, player, &lyrics, playlist);
    lyricsView->init(renderer, lyricFont.get());
    lyricsView->setCloseCallback([this] { lyricsViewOn = false; });
    loadLyrics();
    loadModeIcons();
}

void NowPlayingPage::loadModeIcons() {
    bool complete = true;
    for (size_t i = 0; i < modeIcons.size(); ++i) {
        modeIcons[i] = Image::loadTexture(renderer, MODE_ICON_PATHS[i]);
        complete = complete && modeIcons[i];
    }
    if (!complete) {
        logError("无法加载播放模式图标");
    }
}

void NowPlayingPage::readSkinAhead() {
    std::string folder = services.config.getThemeFolder(themeId);
    pictures.readAhead(SkinArt::isTape(themeId) ? TapeSkin::picturePaths(folder)
                                                : RecordSkin::picturePaths(folder));
}

void NowPlayingPage::loadSkin() {
    tape.release();
    record.release();
    themeFolder = services.config.getThemeFolder(themeId);
    if (SkinArt::isTape(themeId)) {
        tape.load(pictures, themeFolder);
    } else {
        record.load(pictures, themeFolder);
    }
}

// The cover is kept only as a texture of the size it is drawn at (and its picture, which the
// record skin works on); its accent colour is taken once, when it is prepared. A cover that no
// longer reads shows the skin's default cover. The next song of the same album keeps it: nothing
// is read or worked out again. Until the new cover is prepared, the last one stays on screen.
void NowPlayingPage::requestCover(bool always) {
    std::string coverPath = lastSongPath.empty() ? "" : songAt(lastSongPath).coverPath;
    if (!always && coverPath == loadedCoverPath) {
        return;
    }
    loadedCoverPath = coverPath;
    coverPreparer.prepare(coverPath, SkinArt::skinDefaultCoverPath(themeId, themeFolder),
                          SongOnScreen::COVER_SIZE);
}

void NowPlayingPage::takePreparedCover() {
    std::optional<PreparedCover> prepared = coverPreparer.takeReady();
    if (!prepared) {
        return;
    }
    coverPicture = std::move(prepared->picture);
    cover = coverPicture ? Image::textureFromSurface(renderer, coverPicture.get()) : nullptr;
    if (cover) {
        SDL_SetTextureScaleMode(cover.get(), SDL_ScaleModeLinear);
    }
    shown.cover = cover.get();
    shown.coverPicture = cover ? coverPicture.get() : nullptr;
    shown.panelColour = prepared->accent;
    ++shown.coverVersion;
}

std::string NowPlayingPage::lyricsPathFor(const std::string& audioPath) {
    size_t nameStart = audioPath.find_last_of('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = audioPath.find_last_of('.');
    bool hasExtension = dot != std::string::npos && dot >= nameStart;
    return (hasExtension ? audioPath.substr(0, dot) : audioPath) + LYRICS_EXTENSION;
}

void NowPlayingPage::loadLyrics() {
    lyrics = LyricsParser();
    shown.lyric.clear();
    lastLyricRefresh.reset();
    if (!lastSongPath.empty()) {
        std::string path = lyricsPathFor(lastSongPath);
        std::error_code error;
        if (!std::filesystem::exists(path, error)) {
            logError("歌词文件不存在: " + path);
        } else if (!lyrics.parseFile(path)) {
            logError("无法加载歌词文件: " + path);
        }
    }
    // Also without lyrics: the view must not go on showing the previous song's lines.
    if (lyricsView) {
        lyricsView->reloadLines();
    }
}

// The play list's current song is the usual answer; the rest of the queue is looked through
// when the player has moved on before the play list did (or the other way round).
Song NowPlayingPage::songAt(const std::string& path) {
    if (playlist && !path.empty()) {
        const Song& current = playlist->getCurrentSong();
        if (current.filepath == path) {
            return current;
        }
        for (const Song& queued : playlist->getSongs()) {
            if (queued.filepath == path) {
                return queued;
            }
        }
    }
    Song song;
    song.filepath = path;
    song.title = std::filesystem::path(path).stem().string();
    return song;
}

void NowPlayingPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (lyricsViewOn && lyricsView) {
        lyricsView->handleEvent(*event);
        return;
    }
    if (repeatsAPressOnlyKey(*event)) {
        return;
    }
    bindings.dispatch(*event);
}

void NowPlayingPage::update() {
    uint64_t at = now();
    bool newSkin = checkSkin() || skinLoadedWhileHidden;
    skinLoadedWhileHidden = false;
    // Also while the lyrics are on screen: a song changed there brings its own lyrics.
    bool newSong = player && checkSong();
    if (newSkin || newSong) {
        requestCover(newSkin); // the default cover belongs to the skin folder
    }
    takePreparedCover();
    if (lyricsViewOn && lyricsView) {
        lyricsView->update(at);
        return;
    }
    if (!player) {
        return;
    }
    record.advanceTitle(at);
    refreshLyric(at);
    refreshTimes();
    shown.modeIcon = modeIcon();
    if (SkinArt::isTape(themeId)) {
        tape.advance(at, shown.progress, player->isPlaying());
    } else {
        record.advance(at, player->isPlaying(), player->getVolume());
    }
}

void NowPlayingPage::prepareSkin() {
    skinLoadedWhileHidden = checkSkin() || skinLoadedWhileHidden;
}

bool NowPlayingPage::checkSkin() {
    const Config& config = services.config;
    int configuredId = config.getDefaultThemeId();
    if (skinLoaded && configuredId == themeId &&
        config.getThemeFolder(configuredId) == themeFolder) {
        return false;
    }
    themeId = configuredId;
    loadSkin();
    skinLoaded = true;
    return true;
}

bool NowPlayingPage::checkSong() {
    std::string path = player->getCurrentFilePath();
    if (path == lastSongPath) {
        return false;
    }
    lastSongPath = path;
    Song song = songAt(path);
    shown.title = song.title;
    shown.artist = song.artist;
    loadLyrics();
    record.setTitle(song.title, now());
    if (lyricsView) {
        lyricsView->setSong(song.title, song.artist);
    }
    return true;
}

void NowPlayingPage::refreshLyric(uint64_t at) {
    if (lastLyricRefresh && at - *lastLyricRefresh < LYRIC_REFRESH_MS) {
        return;
    }
    std::string line = lyrics.getLyricAt(player->getCurrentTime());
    if (line != shown.lyric) {
        shown.lyric = line;
    }
    lastLyricRefresh = at;
}

void NowPlayingPage::refreshTimes() {
    shown.progress = player->getProgress();
    shown.remaining = TimeText::remaining(player->getDuration(), player->getCurrentTime());
}

SDL_Texture* NowPlayingPage::modeIcon() const {
    PlayMode mode = playlist ? playlist->getPlayMode() : PlayMode::SEQUENCE;
    // The settings hold the mode the play list applies at the next song change.
    playModeFromText(services.config.getString(Config::PLAY_MODE_PATH, ""), mode);
    switch (mode) {
    case PlayMode::SEQUENCE:
        return modeIcons[SEQUENCE_ICON].get();
    case PlayMode::SEQUENCE_LOOP:
        return modeIcons[SEQUENCE_LOOP_ICON].get();
    case PlayMode::RANDOM:
        return modeIcons[RANDOM_ICON].get();
    case PlayMode::SINGLE:
    case PlayMode::SINGLE_LOOP:
        break;
    }
    return modeIcons[SINGLE_ICON].get();
}

void NowPlayingPage::render() {
    if (!renderer) {
        return;
    }
    if (lyricsViewOn && lyricsView) {
        lyricsView->render();
    } else if (SkinArt::isTape(themeId)) {
        tape.draw(shown);
    } else {
        record.draw(shown);
    }
}

bool NowPlayingPage::wantsFrame() const {
    if (UIBase::wantsFrame() || (lyricsViewOn && lyricsView) || coverPreparer.isPreparing() ||
        !drawnSong || !drawnSong->looksLike(shown)) {
        return true;
    }
    bool isTape = SkinArt::isTape(themeId);
    return isTape != drawnTape || (isTape ? tape.hasMoved() : record.hasMoved());
}

void NowPlayingPage::markDrawn() {
    UIBase::markDrawn();
    drawnSong = shown;
    drawnTape = SkinArt::isTape(themeId);
}

void NowPlayingPage::goBack() {
    if (!backCallback) {
        logError("返回回调函数未设置");
        return;
    }
    backCallback(previousPage);
}

void NowPlayingPage::seek(int seconds) {
    if (!player) {
        return;
    }
    if (seconds < 0) {
        player->rewind(-seconds);
    } else {
        player->fastForward(seconds);
    }
}

// A favourite is added at once; removing one asks first, and removes the song by its full path,
// so a song of the same file name in another folder stays.
void NowPlayingPage::toggleFavourite() {
    if (!playlist || !player || player->getCurrentFilePath().empty()) {
        return;
    }
    Song song = songAt(player->getCurrentFilePath());
    if (!playlist->isFavourite(song)) {
        FavouriteToggle::add(services.languages, *playlist, dialog, song);
        return;
    }
    FavouriteToggle::askToRemove(dialog, [languages = &services.languages, list = playlist,
                                          shown = dialog, path = song.filepath] {
        FavouriteToggle::remove(*languages, *list, shown, path);
    });
}
