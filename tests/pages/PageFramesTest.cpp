#include "audio/SleepTimer.h"
#include "library/LibraryCache.h"
#include "pages/AlbumsPage.h"
#include "pages/EqualizerPage.h"
#include "pages/MainPage.h"
#include "pages/NowPlayingPage.h"
#include "pages/SettingsPage.h"
#include "pages/SongsPage.h"
#include "support/LibraryFiles.h"
#include "support/PageTest.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint64_t FRAME_MS = 16;
constexpr int REST_FRAMES = 40;
constexpr int FRAMES_AFTER_INPUT = 250; // past the scroll bar's time on screen

// Each page twice, on two screens: one drawn every frame as the program always did, one drawn
// only when it asks for a frame (or took input), as the frame loop now does. Whatever the
// second screen still shows must be what the first shows at that moment.
class PageFramesTest : public PageTest {
protected:
    using Maker = std::function<std::unique_ptr<UIBase>()>;

    struct Run {
        int framesAsked = 0;
        int longestAskedRun = 0; // consecutive frames asked for without input
        bool restingAtEnd = true;
    };

    PageFramesTest() {
        Library library;
        library.songs = placeholderSongs(12);
        for (size_t i = 0; i < library.songs.size(); ++i) {
            Song& song = library.songs[i];
            song.album = "Album " + std::to_string(i / 3);
            if (i % 3 == 0) {
                library.albums.push_back({song.album, song.artist, song.coverPath, {}});
            }
            library.albums.back().songs.push_back(song);
        }
        LibraryCache::saveNamed("music_library", library);
        playList.setLibrary(library);
        sleepTimer = std::make_unique<SleepTimer>(&player, [this] { return clock; });
    }

    void useSkin(int id) { own.config.setString("theme.default_theme", std::to_string(id)); }

    std::unique_ptr<UIBase> made(std::unique_ptr<UIBase> page) {
        page->setClock([this] { return clock; });
        page->init(sdl.renderer(), sdl.font());
        return page;
    }

    // Rest, one input, then the frames that follow it, the second screen kept as it is on
    // every frame the page does not ask for.
    Run drive(const Maker& make, const SDL_Event& input) {
        std::unique_ptr<UIBase> every = made(make());
        std::unique_ptr<UIBase> skipping = made(make());
        Frame kept; // what the second screen shows
        Run run;
        int askedRun = 0;
        for (int frame = 0; frame < REST_FRAMES + FRAMES_AFTER_INPUT; ++frame) {
            bool inputNow = frame == REST_FRAMES;
            if (inputNow) {
                // A press: the key goes up again in the same frame, so nothing is held.
                for (const SDL_Event& event : {input, keyUp(input.key.keysym.sym)}) {
                    deliver(*every, event);
                    deliver(*skipping, event);
                }
            }
            clock += FRAME_MS;
            playList.update();
            settle(*every);
            settle(*skipping);
            bool asked = skipping->wantsFrame();
            if (asked || inputNow || frame == 0) {
                kept = drawn(*skipping);
                skipping->markDrawn();
            }
            askedRun = asked && !inputNow ? askedRun + 1 : 0;
            run.framesAsked += asked ? 1 : 0;
            run.longestAskedRun = std::max(run.longestAskedRun, askedRun);
            EXPECT_TRUE(drawn(*every) == kept)
                << "frame " << frame << (asked ? ", asked" : ", skipped");
            if (frame >= REST_FRAMES + FRAMES_AFTER_INPUT - REST_FRAMES) {
                run.restingAtEnd = run.restingAtEnd && !asked;
            }
        }
        return run;
    }

    uint64_t clock = 10000;
    std::unique_ptr<SleepTimer> sleepTimer;
};

} // namespace

TEST_F(PageFramesTest, APageDrawnOnlyWhenItAsksShowsWhatDrawingEveryFrameShows) {
    struct Case {
        const char* name;
        Maker make;
        SDL_Event input;
        bool animates; // the input starts an animation of several frames
    };
    const std::vector<Case> cases = {
        {"main menu's slide menu",
         [&] { return std::make_unique<MainPage>(services, &player, &playList, &dialog); },
         keyDown(SDLK_TAB), true},
        {"songs",
         [&] { return std::make_unique<SongsPage>(services, &playList, &player, &dialog); },
         keyDown(SDLK_DOWN), false},
        {"tape albums", [&] { return std::make_unique<AlbumsPage>(services, &playList, &player); },
         keyDown(SDLK_RIGHT), true},
        {"settings",
         [&] { return std::make_unique<SettingsPage>(services, &dialog, sleepTimer.get()); },
         keyDown(SDLK_DOWN), false},
        {"equalizer", [&] { return std::make_unique<EqualizerPage>(services, &dialog); },
         keyDown(SDLK_DOWN), false},
    };
    for (const Case& page : cases) {
        SCOPED_TRACE(page.name);
        Run run = drive(page.make, page.input);
        EXPECT_TRUE(run.restingAtEnd);
        if (page.animates) {
            EXPECT_GE(run.longestAskedRun, 5);
        }
    }
    useSkin(2);
    Run records = drive(cases[2].make, keyDown(SDLK_RIGHT));
    EXPECT_GE(records.longestAskedRun, 5);
    EXPECT_TRUE(records.restingAtEnd);
}

// The record player turns its disc on every frame while the music plays; paused, it swings the
// arm out and then keeps still.
TEST_F(PageFramesTest, NowPlayingAsksForFramesWhileItsRecordMoves) {
    useSkin(2);
    Song song;
    song.title = "Tone";
    song.filepath = MediaFactory("music").make("tone.wav", {30.0});
    playList.addSong(song);
    ASSERT_TRUE(playList.play(0));
    auto make = [&] {
        return std::make_unique<NowPlayingPage>(services, &player, &playList, &dialog);
    };
    std::unique_ptr<UIBase> page = made(make());
    auto asks = [&] {
        clock += FRAME_MS;
        settle(*page);
        bool asked = page->wantsFrame();
        drawn(*page);
        page->markDrawn();
        return asked;
    };
    for (int frame = 0; frame < 10; ++frame) {
        EXPECT_TRUE(asks());
    }
    player.pause();
    int swinging = 0;
    while (swinging < 1000 && asks()) {
        ++swinging;
    }
    EXPECT_GT(swinging, 5);
    EXPECT_FALSE(asks());

    Run run = drive(make, keyDown(SDLK_UP)); // louder: the volume thumb moves
    EXPECT_TRUE(run.restingAtEnd);
}
