#include "pages/AlbumsPage.h"

#include "settings/Config.h"
#include "support/PageTest.h"

#include <SDL_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

constexpr int TAPE = 1;
constexpr int RECORD = 2;

class AlbumsPageTest : public PageTest {
protected:
    AlbumsPageTest() { useSkin(TAPE); }

    void useSkin(int id) { own.config.setString("theme.default_theme", std::to_string(id)); }

    // Albums of two songs, each with a picture file of its own.
    static Library libraryOf(int count, const std::string& prefix = "") {
        Library library;
        SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_RGBA32));
        for (int i = 0; i < count; ++i) {
            std::string cover = prefix + std::to_string(i) + ".png";
            IMG_SavePNG(picture.get(), cover.c_str());
            library.albums.push_back({prefix + "Album " + std::to_string(100 + i), "", cover, {}});
            library.albums.back().songs.resize(2);
        }
        return library;
    }

    void open(Library library) {
        playList.setLibrary(std::move(library));
        page = std::make_unique<AlbumsPage>(services, &playList, &player);
        page->init(sdl.renderer(), sdl.font());
        page->setAlbumSelectedCallback([this](const Album& album) { chosen.push_back(album); });
        frames(1);
    }

    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            playList.update();
            settle(*page);
            page->render();
        }
    }

    // Frames until the page holds count covers: those read ahead arrive at the reading thread's
    // pace. Gives up after a bound, so that a cover that never comes fails the test.
    void framesUntilCovers(size_t count) {
        for (int turn = 0; turn < 100000 && page->loadedCoverCount() < count; ++turn) {
            std::this_thread::yield();
            frames(1);
        }
    }

    void send(SDL_Event event) { deliver(*page, event); }

    std::unique_ptr<AlbumsPage> page;
    std::vector<Album> chosen;
};

} // namespace

TEST_F(AlbumsPageTest, CardsGlideToTheirPlacesAfterAMoveButTakeANewSkinsPlacesAtOnce) {
    open(libraryOf(3));
    for (int skin : {TAPE, RECORD}) {
        useSkin(skin);
        send(keyDown(SDLK_LEFT));
        frames(1);
        const Frame placed = drawn(*page);
        frames(60);
        EXPECT_EQ(drawn(*page), placed);

        send(namedButtonDown("right"));
        frames(1);
        const Frame gliding = drawn(*page);
        frames(60);
        EXPECT_NE(gliding, placed);
        EXPECT_NE(gliding, drawn(*page)); // on its way, not there at once
    }
}

TEST_F(AlbumsPageTest, MovesStopAtTheEndsChoosingHandsOverTheAlbumAndAnEmptyListStays) {
    open(libraryOf(4));
    for (SDL_Event event : {keyDown(SDLK_LEFT), keyDown(SDLK_RIGHT), keyDown(SDLK_RIGHT),
                            namedButtonDown("r1"), keyDown(SDLK_RIGHT)}) {
        send(event);
    }
    send(keyDown(SDLK_KP_ENTER));
    send(namedButtonDown("l1"));
    send(keyDown(SDLK_RIGHT));
    send(keyDown(SDLK_KP_ENTER));
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].name, "Album 103");
    EXPECT_EQ(chosen[1].name, "Album 101");
    EXPECT_EQ(chosen[1].songs.size(), 2u);

    open(Library{});
    for (const char* button : {"left", "right", "l1", "r1", "a"}) {
        send(namedButtonDown(button));
    }
    EXPECT_EQ(chosen.size(), 2u);
}

TEST_F(AlbumsPageTest, ARescanShowsTheNewAlbumsAndKeepsTheSelectedOne) {
    open(libraryOf(3));
    send(keyDown(SDLK_RIGHT));
    Library rescanned = libraryOf(3);
    rescanned.albums.insert(rescanned.albums.begin(), libraryOf(1, "A new ").albums[0]);
    playList.setLibrary(std::move(rescanned));
    frames(1);
    send(keyDown(SDLK_RETURN));
    send(namedButtonDown("l1")); // to the first album
    send(keyDown(SDLK_RETURN));
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].name, "Album 101");
    EXPECT_EQ(chosen[1].name, "A new Album 100");
}

TEST_F(AlbumsPageTest, OnlyCoversNearTheSelectionAreKept) {
    open(libraryOf(60));
    framesUntilCovers(AlbumsPage::PRELOAD_RADIUS + 1);
    frames(40);
    EXPECT_EQ(page->loadedCoverCount(), size_t{AlbumsPage::PRELOAD_RADIUS} + 1);
    for (int step = 0; step < 40; ++step) {
        send(keyDown(SDLK_RIGHT));
        frames(1);
    }
    framesUntilCovers(2 * AlbumsPage::PRELOAD_RADIUS + 1);
    frames(40);
    EXPECT_GE(page->loadedCoverCount(), size_t{2 * AlbumsPage::PRELOAD_RADIUS + 1});
    EXPECT_LE(page->loadedCoverCount(), size_t{2 * AlbumsPage::RELEASE_RADIUS + 1});
}
