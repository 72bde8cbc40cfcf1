#include "app/MusicPlayer.h"

#include "library/PlaybackState.h"
#include "pages/ArtistDetailPage.h"
#include "pages/ArtistsPage.h"
#include "pages/NowPlayingPage.h"
#include "pages/SongsPage.h"
#include "settings/Config.h"
#include "support/Events.h"
#include "support/LibraryFiles.h"
#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"
#include "support/TestServices.h"
#include "ui/UIBase.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A page that records the events the application hands it and counts its updates and drawings;
// its picture changes only on input.
class RecordingPage : public UIBase {
public:
    void init(SDL_Renderer*, TTF_Font*) override {}
    void handleEvent(SDL_Event* event) override { events.push_back(*event); }
    void update() override { ++updates; }
    void render() override { ++renders; }
    bool wantsFrame() const override { return false; }
    bool readyToShow() const override { return ready; }

    std::vector<SDL_Event> events;
    bool ready = true;
    int updates = 0;
    int renders = 0;
};

// Starts the application with a recording page in place of the menu.
RecordingPage* startWithRecordingPage(MusicPlayer& app) {
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER);
    EXPECT_TRUE(app.init());
    auto recording = std::make_unique<RecordingPage>();
    RecordingPage* page = recording.get();
    app.installPage(Page::MAIN, std::move(recording));
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return page;
}

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        linkRuntimeResources(scratch.path());
        writeLibraryCache(library); // so that no first-start scan begins
        page = startWithRecordingPage(app);
    }

    void queue(std::vector<SDL_Event> events) {
        for (SDL_Event& event : events) {
            SDL_PushEvent(&event);
        }
    }

    static int pendingEvents() {
        SDL_PumpEvents();
        return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    std::vector<Uint32> pageEventTypes() const {
        std::vector<Uint32> types;
        for (const SDL_Event& event : page->events) {
            types.push_back(event.type);
        }
        return types;
    }

    // Starts the first song of the songs page, then shows the menu again.
    void playFromTheSongsPage() {
        app.switchPage(Page::SONGS);
        static_cast<SongsPage*>(app.getCurrentPage())->waitForCacheLoad();
        app.update(); // the library read at start is listed
        queue({keyDown(SDLK_RETURN)});
        app.handleEvents();
        app.switchPage(Page::MAIN);
        app.update();
    }

    ScratchDir scratch;
    TestServices own;
    MusicPlayer app{Backlight::DEFAULT_PATH, sdlClock(), own.stores()};
    RecordingPage* page = nullptr;
    std::vector<Song> library; // the library cache the application starts with
};

// A library of two songs that cannot be played.
class MusicPlayerUnplayableTest : public MusicPlayerTest {
protected:
    MusicPlayerUnplayableTest() { library = placeholderSongs(2); }
};

class MusicPlayerToneTest : public MusicPlayerTest {
protected:
    MusicPlayerToneTest() {
        library.resize(1);
        library[0].filepath = MediaFactory("music").make("tone.wav", {3.0});
    }

    // Whether the playback state was saved since the last look: it is at every pause.
    static bool stateSaved() { return std::remove(PlaybackState::DEFAULT_PATH) == 0; }
};

} // namespace

// Each time nothing in the queue can be played, the user is told once, in the dialog: it takes
// one event per frame while it is shown, and nothing else sees them.
TEST_F(MusicPlayerUnplayableTest, EachStopWithNothingPlayableIsReportedOnceInTheDialog) {
    StderrCapture errors;
    for (int attempt = 0; attempt < 2; ++attempt) {
        playFromTheSongsPage();
        queue({keyDown(SDLK_SPACE), keyDown(SDLK_RETURN), keyDown(SDLK_DOWN)});
        app.handleEvents(); // Space: ignored by the dialog, which stays
        EXPECT_EQ(pendingEvents(), 2);
        app.handleEvents(); // Return closes it
        EXPECT_TRUE(page->events.empty());
        app.update();       // the stop is not reported again
        app.handleEvents(); // the page has the input back
        EXPECT_EQ(pageEventTypes(), (std::vector<Uint32>{SDL_KEYDOWN}));
        page->events.clear();
    }
}

TEST_F(MusicPlayerTest, StartAndBackHeldTogetherQuitAndAReleaseBreaksTheChord) {
    queue({buttonDown(SDL_CONTROLLER_BUTTON_START), buttonUp(SDL_CONTROLLER_BUTTON_START),
           buttonDown(SDL_CONTROLLER_BUTTON_BACK), buttonUp(SDL_CONTROLLER_BUTTON_BACK),
           buttonDown(SDL_CONTROLLER_BUTTON_START)});
    app.handleEvents();
    EXPECT_TRUE(app.isRunning());
    EXPECT_EQ(page->events.size(), 5u); // global buttons reach the page too
    queue({buttonDown(SDL_CONTROLLER_BUTTON_BACK)});
    app.handleEvents();
    EXPECT_FALSE(app.isRunning());
}

TEST(MusicPlayerStartupTest, MissingFontFailsInitialisation) {
    ScratchDir scratch;
    SDL_Init(SDL_INIT_VIDEO);
    TestServices own;
    MusicPlayer app(Backlight::DEFAULT_PATH, sdlClock(), own.stores());
    StderrCapture errors;
    EXPECT_FALSE(app.init());
    EXPECT_NE(errors.take().find("[ERROR] "), std::string::npos); // one line says why
    EXPECT_FALSE(app.isRunning());
}

namespace {

// The application with its backlight file in a scratch folder and a one-second idle time-out.
class MusicPlayerBacklightTest : public ::testing::Test {
protected:
    void SetUp() override {
        linkRuntimeResources(scratch.path());
        scratch.writeFile("config/settings.json", R"({"display": {"backlight": {"timeout": 1}}})");
        own.config.load("config/settings.json");
        scratch.writeFile("brightness", "100\n");
        writeLibraryCache({});
        app = std::make_unique<MusicPlayer>(
            scratch.path() + "/brightness", [this] { return time; }, own.stores());
        page = startWithRecordingPage(*app);
    }

    void idleUntilDark() {
        time += 1001;
        EXPECT_FALSE(app->runFrame());
    }

    std::string brightness() const { return scratch.readFile("brightness"); }

    static void queue(SDL_Event event) { SDL_PushEvent(&event); }

    ScratchDir scratch;
    TestServices own;
    uint64_t time = 0;
    std::unique_ptr<MusicPlayer> app;
    RecordingPage* page = nullptr;
};

} // namespace

// A frame is drawn after input and not at rest; nothing is updated or drawn in the dark, and
// waking draws at once.
TEST_F(MusicPlayerBacklightTest, IdleScreenGoesDarkOnlyStartWakesItAndQuitLightsIt) {
    app->runFrame();              // the first frame
    for (int i = 0; i < 3; ++i) { // input keeps the screen on
        time += 600;
        queue(keyUp(SDLK_DOWN));
        EXPECT_TRUE(app->runFrame());
        EXPECT_FALSE(app->runFrame());
    }
    EXPECT_EQ(brightness(), "100\n");
    page->events.clear();
    idleUntilDark();
    EXPECT_EQ(brightness(), "0\n");
    const int updates = page->updates;
    const int renders = page->renders;

    queue(keyDown(SDLK_RETURN));
    queue(namedButtonDown("a"));
    EXPECT_FALSE(app->runFrame());
    EXPECT_EQ(brightness(), "0\n");
    EXPECT_TRUE(page->events.empty()); // presses in the dark do not act on the pages
    EXPECT_EQ(page->updates, updates);
    EXPECT_EQ(page->renders, renders);

    page->ready = false; // still preparing what it shows: the old picture stays a moment
    queue(buttonDown(SDL_CONTROLLER_BUTTON_START));
    EXPECT_TRUE(app->runFrame());
    EXPECT_EQ(brightness(), "107\n");  // the level at or above the raw 100 read before
    EXPECT_TRUE(page->events.empty()); // the waking press is not seen by the page
    EXPECT_EQ(page->renders, renders);
    time += MusicPlayer::PAGE_READY_WAIT_MS; // but not for ever
    EXPECT_TRUE(app->runFrame());
    EXPECT_EQ(page->renders, renders + 1);

    idleUntilDark();
    queue(quitEvent());
    app->handleEvents();
    EXPECT_FALSE(app->isRunning());
    EXPECT_EQ(brightness(), "107\n");
    EXPECT_TRUE(page->events.empty());
}

TEST_F(MusicPlayerBacklightTest, UnreadableBrightnessWakesAtTheLowestLevel) {
    std::remove((scratch.path() + "/brightness").c_str());
    StderrCapture errors;
    idleUntilDark();
    EXPECT_NE(errors.take().find("[ERROR] "), std::string::npos);
    queue(buttonDown(SDL_CONTROLLER_BUTTON_START));
    app->handleEvents();
    EXPECT_EQ(brightness(), "18\n");
}

TEST_F(MusicPlayerToneTest, TheL2ButtonTogglesPlaybackAndStillReachesThePage) {
    playFromTheSongsPage();
    ASSERT_TRUE(stateSaved()); // the new song's
    for (bool pausing : {true, false, true}) {
        queue({namedButtonDown("l2")});
        app.handleEvents();
        app.update();
        EXPECT_EQ(stateSaved(), pausing);
    }
    // The engine's own wake-ups may reach the page too; the presses must, all three.
    EXPECT_EQ(std::count_if(
                  page->events.begin(), page->events.end(),
                  [](const SDL_Event& event) { return event.type == SDL_CONTROLLERBUTTONDOWN; }),
              3);
}

// Back from the now-playing page leads to where it was opened: the detail page a song was
// started on (the album's is the albums journey's check), or the main menu.
TEST_F(MusicPlayerTest, NowPlayingReturnsToTheDetailPageOrMenuItWasOpenedFrom) {
    Song song;
    song.filepath = MediaFactory("music").make("tone.wav", {3.0});
    app.switchPage(Page::ARTIST_DETAIL);
    UIBase* detailPage = app.getCurrentPage();
    dynamic_cast<ArtistDetailPage&>(*detailPage).setArtist({"Artist", "", {song}, 1});
    queue({keyDown(SDLK_RETURN)});
    app.handleEvents();
    EXPECT_NE(dynamic_cast<NowPlayingPage*>(app.getCurrentPage()), nullptr);
    queue({keyDown(SDLK_ESCAPE)});
    app.handleEvents();
    EXPECT_EQ(app.getCurrentPage(), detailPage);

    app.switchPage(Page::MAIN);
    app.handleMainPageCallback(6);
    EXPECT_NE(dynamic_cast<NowPlayingPage*>(app.getCurrentPage()), nullptr);
    queue({namedButtonDown("b")});
    app.handleEvents();
    EXPECT_EQ(app.getCurrentPage(), page);
}
