#pragma once

#include "app/Backlight.h"
#include "app/Services.h"
#include "core/Clock.h"
#include "core/SdlHandles.h"
#include "pages/Page.h"
#include "ui/UIBase.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class AlbumDetailPage;
class AlbumsPage;
class ArtistDetailPage;
class ArtistsPage;
class Dialog;
class EqualizerPage;
class MainPage;
class NowPlayingPage;
class PlaybackState;
class Player;
class PlayList;
class PlaylistsPage;
class SettingsPage;
class SleepTimer;
class SongListPage;
class SongsPage;

// The application: owns the window, the renderer, the shared font, the audio engine, the play
// list, the dialog and one object of each page, and runs the frame loop on the main thread.
class MusicPlayer {
public:
    static constexpr int FONT_SIZE = 24;
    static constexpr uint32_t FRAME_DELAY_MS = 16;
    // Between two looks at the input while nothing on screen changes, and while it is dark.
    static constexpr uint32_t REST_POLL_MS = 50;
    static constexpr uint32_t DARK_POLL_MS = 100;
    // Work that can wait is done once the user has left the controls alone this long.
    static constexpr uint64_t PREPARE_AFTER_REST_MS = 1000;
    // The longest a page about to be shown may keep the old picture while it prepares its own.
    static constexpr uint64_t PAGE_READY_WAIT_MS = 200;
    static constexpr const char* WINDOW_TITLE = "音乐播放器";
    static constexpr const char* FONT_PATH = "resources/font.ttf";
    static constexpr const char* GAMEPAD_CONFIG_PATH = "config/gamepad.json";

    // backlightPath: the sysfs brightness file; clock: the time of the idle time-out; stores:
    // the settings and the other stores the application lends its parts.
    explicit MusicPlayer(const std::string& backlightPath = Backlight::DEFAULT_PATH,
                         Clock clock = sdlClock(), const Stores& stores = Stores::processWide());
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // The whole process: SDL start-up, the controller mapping, initialisation, the frame loop
    // and the release. Returns the exit status.
    static int runApplication();

    bool init();
    void handleEvents();
    // The playback's own upkeep, then the page on screen.
    void update();
    // Draws the page (and the dialog over it) and presents the frame.
    void render();
    void cleanup();
    void runFrameLoop();
    // One turn of the loop: input and playback upkeep always; while the screen is lit, the
    // page's update and a frame when the picture changed. Returns whether the loop should turn
    // again at the frame pace: a frame was drawn, or one waits for the page to be ready.
    bool runFrame();
    // How long the loop sleeps after a turn: the animation pace when busy, longer at rest.
    uint32_t pauseAfter(bool busy) const;

    UIBase* getCurrentPage() const;
    void openGameController();
    void switchPage(Page page);
    void handleMainPageCallback(int index);

    // The screen backlight (ten levels of the panel's 0..255 scale).
    int readBacklightBrightness();
    static int brightnessToPercent(int raw);
    bool setBacklightLevel(int level);
    bool turnOffBacklight();

    bool isRunning() const { return running; }
    bool isScreenOn() const { return screenOn; }

    // Puts a page object in its slot (replacing and deleting an earlier one).
    void installPage(Page page, std::unique_ptr<UIBase> object);

private:
    static constexpr size_t PAGE_COUNT = 10;

    void createPages();
    void switchScreenOffWhenIdle();
    void wakeScreen();
    bool hasVisibleDisplay() const;
    template <typename PageClass, typename... Arguments>
    PageClass* createPage(Page page, Arguments&&... arguments);
    void installEntryCallbacks(Page page);
    void installAlbumAndArtistCallbacks(Page page);
    void installSongStartCallbacks(SongListPage& page);
    void showNowPlaying();
    bool handleScreenOnEvent(SDL_Event& event);
    void keepPlaybackGoing();
    void updatePage();
    bool frameWanted() const;
    bool holdsPicture();
    static bool changesThePicture(const SDL_Event& event);
    bool handleGlobalButtons(const SDL_Event& event);
    void togglePlayback();
    // Tells the user when playback stopped because none of the songs it came to could play.
    void reportUnplayableStop();
    void deletePage(Page page);
    void forgetTypedPage(Page page);
    static bool isUserInput(const SDL_Event& event);

    Services services;
    WindowPtr window;
    RendererPtr renderer;
    FontPtr font;
    GameControllerPtr controller;
    std::unique_ptr<Player> player;
    std::unique_ptr<PlayList> playList;
    std::unique_ptr<PlaybackState> playbackState; // where the user left off
    // Runs whatever page is on screen; the settings page sets it.
    std::unique_ptr<SleepTimer> sleepTimer;
    Page currentPage = Page::MAIN;
    std::array<std::unique_ptr<UIBase>, PAGE_COUNT> pages;
    // Typed views of the pages whose callbacks the application installs.
    MainPage* mainPage = nullptr;
    SongsPage* songsPage = nullptr;
    AlbumsPage* albumsPage = nullptr;
    AlbumDetailPage* albumDetailPage = nullptr;
    ArtistsPage* artistsPage = nullptr;
    ArtistDetailPage* artistDetailPage = nullptr;
    PlaylistsPage* playlistsPage = nullptr;
    SettingsPage* settingsPage = nullptr;
    NowPlayingPage* nowPlayingPage = nullptr;
    EqualizerPage* equalizerPage = nullptr;
    std::unique_ptr<Dialog> dialog;
    bool running = false;
    bool startHeld = false; // controller START is down
    bool backHeld = false;  // controller BACK is down
    uint64_t lastActivityTime = 0;
    uint64_t reportedUnplayableStops = 0;
    bool screenOn = true;
    // What the last frame showed; a full frame is drawn when forced (input, the window shown
    // again, a renderer reset, waking).
    bool redrawForced = true;
    bool wokenSinceDrawn = false;
    std::optional<uint64_t> holdingSince; // a page entered waits for what it prepares
    const UIBase* drawnPage = nullptr;
    bool drawnDialog = false;
    int32_t savedBrightnessPercent = 0;
    Backlight backlight;
};
