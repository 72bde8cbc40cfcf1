#include "app/MusicPlayer.h"

#include "audio/Player.h"
#include "audio/SleepTimer.h"
#include "core/Log.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"
#include "library/PlaybackState.h"
#include "model/VolumeLevelling.h"
#include "nowplaying/Transport.h"
#include "pages/AlbumDetailPage.h"
#include "pages/AlbumsPage.h"
#include "pages/ArtistDetailPage.h"
#include "pages/ArtistsPage.h"
#include "pages/EqualizerPage.h"
#include "pages/MainPage.h"
#include "pages/NowPlayingPage.h"
#include "pages/PlaylistsPage.h"
#include "pages/SettingsPage.h"
#include "pages/SongsPage.h"
#include "settings/Config.h"
#include "settings/GamepadConfig.h"
#include "settings/LanguageManager.h"
#include "settings/ThemeManager.h"
#include "ui/Dialog.h"
#include "ui/UIBase.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <utility>

#include <unistd.h>

namespace {

constexpr uint32_t SDL_SUBSYSTEMS = SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER;
constexpr SDL_Color FIRST_FRAME_COLOR{255, 255, 255, 255};
constexpr SDL_Color CLEAR_COLOR{0, 0, 0, 255};
constexpr size_t WORKING_DIRECTORY_BUFFER = 1024;
constexpr const char* LANGUAGE_DIRECTORY = "lan";
constexpr const char* ERROR_TITLE_KEY = "dialog_title_error";
constexpr const char* UNPLAYABLE_KEY = "songs_unplayable";
constexpr uint32_t MILLISECONDS_PER_SECOND = 1000;

// SDL's video drivers that open no window anyone can see.
constexpr const char* INVISIBLE_VIDEO_DRIVERS[] = {"offscreen", "dummy"};

// Released in this order; the equalizer page goes after the audio engine.
constexpr Page PAGES_RELEASED_FIRST[] = {
    Page::MAIN,          Page::SONGS,     Page::ALBUMS,      Page::ALBUM_DETAIL, Page::ARTISTS,
    Page::ARTIST_DETAIL, Page::PLAYLISTS, Page::NOW_PLAYING, Page::SETTINGS,
};

size_t slotOf(Page page) {
    return static_cast<size_t>(page);
}

} // namespace

// The program's own stores: the one place, with main, that reaches the process-wide objects.
Stores Stores::processWide() {
    return {Config::getInstance(), LanguageManager::getInstance(), ThemeManager::getInstance(),
            GamepadConfig::getInstance(), MusicScanner::getInstance()};
}

MusicPlayer::MusicPlayer(const std::string& backlightPath, Clock clock, const Stores& stores)
    : services(stores, std::move(clock)), player(std::make_unique<Player>()),
      playList(std::make_unique<PlayList>()), backlight(backlightPath) {
    lastActivityTime = services.clock();
    sleepTimer = std::make_unique<SleepTimer>(player.get(), services.clock);
    player->setVolumeLevelling(volumeLevellingFromText(
        services.stores.config.getString(Config::VOLUME_LEVELLING_PATH, "")));
    playList->setPlayer(player.get());
    playList->setPlayModeSource(
        [&config = services.stores.config, mode = PlayMode::SEQUENCE]() mutable {
            playModeFromText(config.getString(Config::PLAY_MODE_PATH, ""), mode);
            return mode; // an unknown text keeps the mode
        });
}

MusicPlayer::~MusicPlayer() {
    cleanup();
}

int MusicPlayer::runApplication() {
    // FFmpeg's own chatter about files it reads would drown the program's error lines.
    av_log_set_level(AV_LOG_FATAL);
    if (SDL_Init(SDL_SUBSYSTEMS) < 0) {
        logError(std::string("SDL初始化失败: ") + SDL_GetError());
        return 1;
    }
    char workingDirectory[WORKING_DIRECTORY_BUFFER];
    if (!getcwd(workingDirectory, sizeof workingDirectory)) {
        logError("无法获取当前工作目录");
    }
    auto app = std::make_unique<MusicPlayer>();
    if (!GamepadConfig::getInstance().load(GAMEPAD_CONFIG_PATH)) {
        logError("加载游戏手柄配置失败");
    }
    if (!app->init()) {
        logError("初始化失败");
        app.reset();
        return 1;
    }
    app->runFrameLoop();
    app->cleanup();
    app.reset();
    return 0;
}

// SDL_WaitEventTimeout cannot sleep while a joystick is open (it polls every millisecond), so
// the loop sleeps by itself.
void MusicPlayer::runFrameLoop() {
    while (running) {
        SDL_Delay(pauseAfter(runFrame()));
    }
}

uint32_t MusicPlayer::pauseAfter(bool busy) const {
    return busy ? FRAME_DELAY_MS : screenOn ? REST_POLL_MS : DARK_POLL_MS;
}

bool MusicPlayer::runFrame() {
    handleEvents();
    if (!screenOn) {
        keepPlaybackGoing();
        return false;
    }
    update();
    bool wanted = frameWanted();
    if (wanted && holdsPicture()) {
        return true; // the page is preparing what it shows: look again at the frame pace
    }
    if (wanted) {
        render();
    } else if (dialog && dialog->isVisible()) {
        dialog->update();
    } else if (nowPlayingPage && getCurrentPage() != nowPlayingPage &&
               services.clock() - lastActivityTime >= PREPARE_AFTER_REST_MS) {
        nowPlayingPage->prepareSkin(); // a still screen hides the moment this takes
    }
    return wanted;
}

// A page entered, or the screen woken, may wait a moment for what the page is preparing before
// it takes the place of the picture on screen.
bool MusicPlayer::holdsPicture() {
    const UIBase* page = getCurrentPage();
    if (!page || (page == drawnPage && !wokenSinceDrawn) || page->readyToShow()) {
        holdingSince.reset();
        return false;
    }
    if (!holdingSince) {
        holdingSince = services.clock();
    }
    return services.clock() - *holdingSince < PAGE_READY_WAIT_MS;
}

bool MusicPlayer::frameWanted() const {
    const UIBase* page = getCurrentPage();
    bool dialogShown = dialog && dialog->isVisible();
    return redrawForced || page != drawnPage || dialogShown != drawnDialog ||
           (page && page->wantsFrame()) || (dialogShown && dialog->wantsFrame());
}

bool MusicPlayer::changesThePicture(const SDL_Event& event) {
    return isUserInput(event) || event.type == SDL_WINDOWEVENT ||
           event.type == SDL_RENDER_TARGETS_RESET || event.type == SDL_RENDER_DEVICE_RESET;
}

bool MusicPlayer::init() {
    if (SDL_Init(SDL_SUBSYSTEMS) < 0) {
        logError("SDL初始化失败");
        return false;
    }
    if (!hasVisibleDisplay()) {
        return false;
    }
    window.reset(SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  UIBase::SCREEN_WIDTH, UIBase::SCREEN_HEIGHT, SDL_WINDOW_SHOWN));
    if (!window) {
        logError("窗口创建失败");
        return false;
    }
    renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!renderer) {
        // Without a renderer nothing could ever be drawn: fall back to software rendering.
        logError(std::string("无法创建加速渲染器，改用软件渲染: ") + SDL_GetError());
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    }
    if (renderer) {
        SDL_SetRenderDrawColor(renderer.get(), FIRST_FRAME_COLOR.r, FIRST_FRAME_COLOR.g,
                               FIRST_FRAME_COLOR.b, FIRST_FRAME_COLOR.a);
        SDL_RenderClear(renderer.get());
        SDL_RenderPresent(renderer.get());
    }
    if (TTF_Init() < 0) {
        logError("TTF初始化失败");
        return false;
    }
    font.reset(TTF_OpenFont(FONT_PATH, FONT_SIZE));
    if (!font) {
        logError("字体加载失败");
        return false;
    }
    services.stores.languages.init(LANGUAGE_DIRECTORY);
    dialog = std::make_unique<Dialog>(services.input);
    dialog->init(renderer.get(), font.get());
    createPages();
    openGameController();
    // The stored preset is heard from the first song on.
    if (equalizerPage) {
        equalizerPage->setPlayer(player.get());
    }
    savedBrightnessPercent = brightnessToPercent(readBacklightBrightness());
    screenOn = true;
    lastActivityTime = services.clock();
    playbackState = std::make_unique<PlaybackState>(*playList, *player);
    playbackState->restore();
    running = true;
    return true;
}

// SDL falls back to a driver that draws nowhere when no display can be opened; a player nobody
// can see must not run on. Tests ask for such a driver on purpose, through SDL_VIDEODRIVER.
bool MusicPlayer::hasVisibleDisplay() const {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!driver || (requested && *requested)) {
        return true;
    }
    for (const char* invisible : INVISIBLE_VIDEO_DRIVERS) {
        if (SDL_strcasecmp(driver, invisible) == 0) {
            logError(std::string("无法打开显示设备，视频驱动 ") + driver + " 不显示任何画面");
            return false;
        }
    }
    return true;
}

template <typename PageClass, typename... Arguments>
PageClass* MusicPlayer::createPage(Page page, Arguments&&... arguments) {
    auto object = std::make_unique<PageClass>(std::forward<Arguments>(arguments)...);
    PageClass* typed = object.get();
    typed->init(renderer.get(), font.get());
    installPage(page, std::move(object));
    return typed;
}

// Creates the pages in their fixed order, each wired right after its initialisation. The main
// page is drawn at once, so that something is on screen while the others load.
void MusicPlayer::createPages() {
    const PageServices lent = services.forPages();
    mainPage = createPage<MainPage>(Page::MAIN, lent, player.get(), playList.get(), dialog.get());
    mainPage->setMenuCallback([this](int index) { handleMainPageCallback(index); });
    if (renderer) {
        mainPage->render();
        SDL_RenderPresent(renderer.get());
    }

    songsPage =
        createPage<SongsPage>(Page::SONGS, lent, playList.get(), player.get(), dialog.get());

    albumsPage = createPage<AlbumsPage>(Page::ALBUMS, lent, playList.get(), player.get());
    installAlbumAndArtistCallbacks(Page::ALBUMS);
    albumDetailPage =
        createPage<AlbumDetailPage>(Page::ALBUM_DETAIL, lent, playList.get(), player.get());
    installAlbumAndArtistCallbacks(Page::ALBUM_DETAIL);
    artistsPage = createPage<ArtistsPage>(Page::ARTISTS, lent, playList.get(), player.get());
    installAlbumAndArtistCallbacks(Page::ARTISTS);
    artistDetailPage =
        createPage<ArtistDetailPage>(Page::ARTIST_DETAIL, lent, playList.get(), player.get());
    installAlbumAndArtistCallbacks(Page::ARTIST_DETAIL);

    playlistsPage = createPage<PlaylistsPage>(Page::PLAYLISTS, lent, playList.get(), player.get(),
                                              dialog.get());
    playlistsPage->setSongPlayedCallback([this] { showNowPlaying(); });

    settingsPage = createPage<SettingsPage>(Page::SETTINGS, lent, dialog.get(), sleepTimer.get());
    settingsPage->setBackCallback([this] { switchPage(Page::MAIN); });
    settingsPage->setLevellingCallback(
        [this](VolumeLevelling levelling) { player->setVolumeLevelling(levelling); });

    nowPlayingPage = createPage<NowPlayingPage>(Page::NOW_PLAYING, lent, player.get(),
                                                playList.get(), dialog.get());

    equalizerPage = createPage<EqualizerPage>(Page::EQUALIZER, lent, dialog.get());
    equalizerPage->setBackCallback([this] { switchPage(Page::MAIN); });
}

void MusicPlayer::installPage(Page page, std::unique_ptr<UIBase> object) {
    size_t slot = slotOf(page);
    if (slot >= PAGE_COUNT) {
        return;
    }
    forgetTypedPage(page);
    pages[slot] = std::move(object);
}

void MusicPlayer::forgetTypedPage(Page page) {
    switch (page) {
    case Page::MAIN:
        mainPage = nullptr;
        break;
    case Page::SONGS:
        songsPage = nullptr;
        break;
    case Page::PLAYLISTS:
        playlistsPage = nullptr;
        break;
    case Page::ALBUMS:
        albumsPage = nullptr;
        break;
    case Page::ALBUM_DETAIL:
        albumDetailPage = nullptr;
        break;
    case Page::ARTISTS:
        artistsPage = nullptr;
        break;
    case Page::ARTIST_DETAIL:
        artistDetailPage = nullptr;
        break;
    case Page::SETTINGS:
        settingsPage = nullptr;
        break;
    case Page::NOW_PLAYING:
        nowPlayingPage = nullptr;
        break;
    case Page::EQUALIZER:
        equalizerPage = nullptr;
        break;
    default:
        break;
    }
}

void MusicPlayer::openGameController() {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_IsGameController(index)) {
            controller.reset(SDL_GameControllerOpen(index));
            if (controller) {
                return;
            }
        }
    }
}

UIBase* MusicPlayer::getCurrentPage() const {
    size_t slot = slotOf(currentPage);
    return slot < PAGE_COUNT ? pages[slot].get() : nullptr;
}

void MusicPlayer::switchPage(Page page) {
    Page oldPage = currentPage;
    currentPage = page;
    // The now-playing page returns to where it was entered from (not to itself).
    if (page == Page::NOW_PLAYING && nowPlayingPage && oldPage != Page::NOW_PLAYING) {
        nowPlayingPage->setPreviousPage(oldPage);
    }
    if (getCurrentPage()) {
        installEntryCallbacks(page);
    }
}

// The callbacks of the page entered; each captures only the application.
void MusicPlayer::installEntryCallbacks(Page page) {
    if (page == Page::SONGS && songsPage) {
        songsPage->setBackCallback([this] { switchPage(Page::MAIN); });
        installSongStartCallbacks(*songsPage);
    } else if (page == Page::NOW_PLAYING && nowPlayingPage) {
        nowPlayingPage->setBackCallback([this](Page to) { switchPage(to); });
    } else if (page == Page::PLAYLISTS && playlistsPage) {
        playlistsPage->setBackCallback([this] { switchPage(Page::MAIN); });
    } else if (page == Page::SETTINGS && settingsPage) {
        settingsPage->setBackCallback([this] { switchPage(Page::MAIN); });
    } else if (page == Page::EQUALIZER && equalizerPage) {
        equalizerPage->setBackCallback([this] { switchPage(Page::MAIN); });
    } else {
        installAlbumAndArtistCallbacks(page);
    }
}

// Installed when the pages are created and again on entry. A chosen album or artist is handed
// to its detail page, which is then shown; back leads to the page one came from.
void MusicPlayer::installAlbumAndArtistCallbacks(Page page) {
    if (page == Page::ALBUMS && albumsPage) {
        albumsPage->setBackCallback([this] { switchPage(Page::MAIN); });
        albumsPage->setAlbumSelectedCallback([this](const Album& album) {
            if (albumDetailPage) {
                albumDetailPage->setAlbum(album);
                switchPage(Page::ALBUM_DETAIL);
            }
        });
    } else if (page == Page::ALBUM_DETAIL && albumDetailPage) {
        albumDetailPage->setBackCallback([this] { switchPage(Page::ALBUMS); });
        installSongStartCallbacks(*albumDetailPage);
    } else if (page == Page::ARTISTS && artistsPage) {
        artistsPage->setBackCallback([this] { switchPage(Page::MAIN); });
        artistsPage->setArtistSelectedCallback([this](const ArtistsPage::Artist& artist) {
            if (artistDetailPage) {
                artistDetailPage->setArtist(artist);
                switchPage(Page::ARTIST_DETAIL);
            }
        });
    } else if (page == Page::ARTIST_DETAIL && artistDetailPage) {
        artistDetailPage->setBackCallback([this] { switchPage(Page::ARTISTS); });
        installSongStartCallbacks(*artistDetailPage);
    }
}

// A song started on a list page opens the now-playing page, which goes back to that list.
void MusicPlayer::installSongStartCallbacks(SongListPage& page) {
    page.setPageChangeCallback([this](Page from) {
        if (nowPlayingPage) {
            nowPlayingPage->setPreviousPage(from);
        }
    });
    page.setSongPlayedCallback([this] { showNowPlaying(); });
}

// After a song was started from a list. Until a now-playing page exists the list stays on
// screen, since switching to a missing page would leave the user on a blank screen.
void MusicPlayer::showNowPlaying() {
    if (pages[slotOf(Page::NOW_PLAYING)]) {
        switchPage(Page::NOW_PLAYING);
    }
}

void MusicPlayer::handleMainPageCallback(int index) {
    static constexpr Page MENU_TARGETS[] = {Page::SONGS,      Page::ALBUMS,    Page::ARTISTS,
                                            Page::PLAYLISTS,  Page::EQUALIZER, Page::SETTINGS,
                                            Page::NOW_PLAYING};
    if (index < 0 || index >= static_cast<int>(std::size(MENU_TARGETS))) {
        return;
    }
    Page target = MENU_TARGETS[index];
    if (!pages[slotOf(target)]) {
        return;
    }
    if (target == Page::PLAYLISTS) {
        playlistsPage->markForRefresh();
    }
    switchPage(target);
}

bool MusicPlayer::isUserInput(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return true;
    default:
        return false;
    }
}

void MusicPlayer::handleEvents() {
    switchScreenOffWhenIdle();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (sleepTimer && (event.type == SDL_KEYDOWN || event.type == SDL_CONTROLLERBUTTONDOWN)) {
            sleepTimer->onKeyPress(); // a press during the fade keeps the music on
        }
        if (!screenOn) {
            // A dark screen lets only START through (to wake it), and a request to quit (a
            // window close, or SIGTERM from the launcher), which lights the screen first so
            // the console is not left dark. The audio engine still hears every event, so the
            // play list keeps advancing.
            if (event.type == SDL_QUIT) {
                wakeScreen();
                running = false;
                return;
            }
            if (event.type == SDL_CONTROLLERBUTTONDOWN &&
                event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
                wakeScreen();
            }
            player->handleEvent(&event);
            continue;
        }
        redrawForced = redrawForced || changesThePicture(event);
        const Page shownBefore = currentPage;
        if (!handleScreenOnEvent(event)) {
            return;
        }
        if (currentPage != shownBefore) {
            updatePage(); // a page just shown is brought up to date before it takes input
        }
    }
}

void MusicPlayer::switchScreenOffWhenIdle() {
    int timeoutSeconds = services.stores.config.getBacklightTimeout();
    if (timeoutSeconds <= 0 || !screenOn) {
        return;
    }
    uint64_t idle = services.clock() - lastActivityTime;
    if (idle > static_cast<uint64_t>(timeoutSeconds) * MILLISECONDS_PER_SECOND) {
        savedBrightnessPercent = brightnessToPercent(readBacklightBrightness());
        turnOffBacklight();
        screenOn = false;
    }
}

void MusicPlayer::wakeScreen() {
    setBacklightLevel(savedBrightnessPercent / Backlight::PERCENT_PER_LEVEL);
    screenOn = true;
    lastActivityTime = services.clock();
    redrawForced = true; // the last frame drawn is stale
    wokenSinceDrawn = true;
}

int MusicPlayer::readBacklightBrightness() {
    return backlight.read();
}

int MusicPlayer::brightnessToPercent(int raw) {
    return Backlight::toPercent(raw);
}

bool MusicPlayer::setBacklightLevel(int level) {
    return backlight.write(Backlight::rawOfLevel(level));
}

bool MusicPlayer::turnOffBacklight() {
    return backlight.write(0);
}

// Routes one event while the screen is on. Returns false when the frame's polling ends here.
bool MusicPlayer::handleScreenOnEvent(SDL_Event& event) {
    if (isUserInput(event)) {
        lastActivityTime = services.clock();
    }
    if (event.type == SDL_QUIT) {
        running = false;
        return false;
    }
    if (dialog && dialog->isVisible()) {
        dialog->handleEvent(&event);
        // The audio engine only reacts to its own end-of-song event; it must see it even
        // while a dialog is open, or playback would stop at the end of the current song.
        player->handleEvent(&event);
        return false;
    }
    if (!handleGlobalButtons(event)) {
        return false;
    }
    if (UIBase* page = getCurrentPage()) {
        page->handleEvent(&event);
    }
    player->handleEvent(&event);
    return true;
}

// START and BACK held together quit; the "l2" button toggles playback. Returns false when the
// application quits.
bool MusicPlayer::handleGlobalButtons(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
            startHeld = true;
        } else if (event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) {
            backHeld = true;
        }
        if (startHeld && backHeld) {
            running = false;
            return false;
        }
        if (services.input.isButton(event.cbutton, "l2")) {
            togglePlayback();
        }
    } else if (event.type == SDL_CONTROLLERBUTTONUP) {
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
            startHeld = false;
        } else if (event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) {
            backHeld = false;
        }
    }
    return true;
}

void MusicPlayer::togglePlayback() {
    Transport::togglePlayPause(player.get());
}

void MusicPlayer::reportUnplayableStop() {
    const uint64_t stops = playList->getUnplayableStops();
    if (stops == reportedUnplayableStops) {
        return;
    }
    reportedUnplayableStops = stops;
    if (dialog) {
        const LanguageManager& languages = services.stores.languages;
        dialog->showError(languages.getText(ERROR_TITLE_KEY), languages.getText(UNPLAYABLE_KEY));
    }
}

void MusicPlayer::update() {
    keepPlaybackGoing();
    updatePage();
}

void MusicPlayer::updatePage() {
    if (UIBase* page = getCurrentPage()) {
        page->update();
    }
}

// What goes on with the screen dark too: the play list follows the audio engine's reports (song
// changes and ends, whether or not their event got through), the state is kept, the sleep timer
// fades and stops.
void MusicPlayer::keepPlaybackGoing() {
    playList->update();
    reportUnplayableStop();
    if (playbackState) {
        playbackState->update();
    }
    if (sleepTimer) {
        sleepTimer->update();
    }
}

void MusicPlayer::render() {
    if (!renderer) {
        return;
    }
    SDL_SetRenderDrawColor(renderer.get(), CLEAR_COLOR.r, CLEAR_COLOR.g, CLEAR_COLOR.b,
                           CLEAR_COLOR.a);
    SDL_RenderClear(renderer.get());
    UIBase* page = getCurrentPage();
    if (page) {
        page->render();
        page->markDrawn();
    }
    drawnDialog = dialog && dialog->isVisible();
    if (drawnDialog) {
        dialog->render();
        dialog->markDrawn();
        dialog->update();
    }
    SDL_RenderPresent(renderer.get());
    drawnPage = page;
    redrawForced = false;
    wokenSinceDrawn = false;
    holdingSince.reset();
}

void MusicPlayer::deletePage(Page page) {
    installPage(page, nullptr);
}

void MusicPlayer::cleanup() {
    // A loading task works on the pages and the play list: let it finish first (a scan is asked
    // to stop, so quitting does not wait for the whole card to be read).
    if (dialog) {
        services.stores.scanner.requestStop();
        dialog->waitForLoadingThread();
    }
    if (sleepTimer) {
        sleepTimer->cancel(); // a fade in progress gives the volume back before it is kept
    }
    if (playbackState) {
        playbackState->save();
        playbackState.reset();
    }
    for (Page page : PAGES_RELEASED_FIRST) {
        deletePage(page);
    }
    sleepTimer.reset();
    player.reset();
    playList.reset();
    deletePage(Page::EQUALIZER);
    dialog.reset();
    font.reset();
    renderer.reset();
    window.reset();
    controller.reset();
    if (TTF_WasInit()) {
        TTF_Quit();
    }
    if (SDL_WasInit(0)) {
        SDL_Quit();
    }
}
