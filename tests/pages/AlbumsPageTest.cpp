#include "pages/AlbumsPage.h"

#include "settings/Config.h"
#include "support/PageTest.h"

#include <SDL_image.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int TAPE = 1;
constexpr int RECORD = 2;

class AlbumsPageTest : public PageTest {
protected:
    AlbumsPageTest() { useSkin(TAPE); }

    static void useSkin(int themeId) {
        Config::getInstance().setString("theme.default_theme", std::to_string(themeId));
    }

    // Albums of two songs each; with covers, each album has a picture file of its own.
    static Library libraryOf(int count, bool withCovers = false, const std::string& prefix = "") {
        Library library;
        for (int i = 0; i < count; ++i) {
            Album album;
            album.name = prefix + "Album " + std::to_string(100 + i);
            album.artist = "Artist " + std::to_string(i);
            album.coverPath = withCovers ? makeCover(i) : "covers/missing.png";
            for (int track = 0; track < 2; ++track) {
                Song song;
                song.title = album.name + " track " + std::to_string(track);
                song.filepath = "music/" + song.title + ".mp3";
                album.songs.push_back(song);
            }
            library.albums.push_back(album);
        }
        return library;
    }

    static std::string makeCover(int index) {
        std::string path = "cover-" + std::to_string(index) + ".png";
        SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(0, 40, 40, 32, SDL_PIXELFORMAT_RGBA32));
        SDL_FillRect(picture.get(), nullptr, SDL_MapRGB(picture->format, index, 90, 200));
        IMG_SavePNG(picture.get(), path.c_str());
        return path;
    }

    void open(Library library) {
        playList.setLibrary(std::move(library));
        page = std::make_unique<AlbumsPage>(&playList, &player);
        page->init(sdl.renderer(), sdl.font());
        page->setAlbumSelectedCallback([this](const Album& album) { chosen.push_back(album); });
        frame();
    }

    void frame() {
        page->update();
        page->render();
    }

    void send(SDL_Event event) { deliver(*page, event); }

    const AlbumCardState& card(size_t index) const { return page->getCardStates().at(index); }

    std::unique_ptr<AlbumsPage> page;
    std::vector<Album> chosen;
};

} // namespace

TEST_F(AlbumsPageTest, AMoveSetsTheTargetsAndCardsGlideAQuarterOfTheWayPerUpdate) {
    open(libraryOf(3));
    for (int skin : {TAPE, RECORD}) {
        useSkin(skin);
        send(keyDown(SDLK_LEFT));
        frame(); // the skin change puts every card at its place for the new skin
        ASSERT_EQ(page->getThemeId(), skin);
        EXPECT_EQ(card(1).x, 320.0f + (skin == TAPE ? 210 : 240));

        send(namedButtonDown("right"));
        EXPECT_EQ(page->getSelectedIndex(), 1u);
        EXPECT_EQ(card(1).targetX, 320.0f);
        EXPECT_EQ(card(1).targetScale, 1.0f);
        EXPECT_EQ(card(1).targetAlpha, 255.0f);
        EXPECT_EQ(card(0).targetX, skin == TAPE ? 110.0f : 80.0f);
        EXPECT_EQ(card(0).targetScale, 0.7f);
        EXPECT_EQ(card(0).targetAlpha, 153.0f);

        float startX = card(1).x;
        page->update();
        EXPECT_FLOAT_EQ(card(1).x, startX + (320.0f - startX) * 0.25f);
        EXPECT_FLOAT_EQ(card(1).scale, 0.7f + 0.3f * 0.25f);
        EXPECT_FLOAT_EQ(card(0).alpha, 255.0f - 102.0f * 0.25f);
        for (int i = 0; i < 60; ++i) {
            page->update();
        }
        EXPECT_NEAR(card(1).x, 320.0f, 0.01f);
        EXPECT_NEAR(card(0).scale, 0.7f, 0.001f);
    }
}

TEST_F(AlbumsPageTest, MovesAndJumpsStopAtTheEndsAndChoosingHandsOverTheAlbum) {
    open(libraryOf(4));
    send(keyDown(SDLK_LEFT));
    EXPECT_EQ(page->getSelectedIndex(), 0u);
    send(keyDown(SDLK_RIGHT));
    send(keyDown(SDLK_RIGHT));
    send(namedButtonDown("r1"));
    EXPECT_EQ(page->getSelectedIndex(), 3u);
    send(keyDown(SDLK_RIGHT));
    EXPECT_EQ(page->getSelectedIndex(), 3u);
    send(namedButtonDown("l1"));
    EXPECT_EQ(page->getSelectedIndex(), 0u);

    send(keyDown(SDLK_RIGHT));
    send(keyDown(SDLK_KP_ENTER));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].name, "Album 101");
    EXPECT_EQ(chosen[0].songs.size(), 2u);
}

TEST_F(AlbumsPageTest, AnEmptyLibraryKeepsTheSelectionAndChoosesNothing) {
    open(Library{});
    for (const char* button : {"left", "right", "l1", "r1", "a"}) {
        send(namedButtonDown(button));
    }
    frame();
    EXPECT_EQ(page->getSelectedIndex(), 0u);
    EXPECT_TRUE(chosen.empty());
}

TEST_F(AlbumsPageTest, CardsArePaintedLeftToRightAndOnlyThoseOnScreen) {
    open(libraryOf(30));
    send(namedButtonDown("r1"));
    send(namedButtonDown("r1"));
    page->update(); // mid-slide: cards are between their old and new places
    std::vector<size_t> order = page->drawingOrder();
    ASSERT_FALSE(order.empty());
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(),
                               [this](size_t a, size_t b) { return card(a).x < card(b).x; }));
    for (size_t index : order) {
        EXPECT_GT(card(index).x, -200.0f);
        EXPECT_LT(card(index).x, 840.0f);
    }
    for (int i = 0; i < 60; ++i) {
        page->update();
    }
    EXPECT_EQ(page->drawingOrder(), (std::vector<size_t>{9, 10, 11}));
}

TEST_F(AlbumsPageTest, ARescanShowsTheNewAlbumsAndKeepsTheSelectedOne) {
    open(libraryOf(3));
    send(keyDown(SDLK_RIGHT));
    EXPECT_EQ(page->getAlbums()[1].name, "Album 101");

    Library rescanned = libraryOf(3);
    rescanned.albums.insert(rescanned.albums.begin(), libraryOf(1, false, "A new ").albums[0]);
    playList.setLibrary(std::move(rescanned));
    frame();
    ASSERT_EQ(page->getAlbums().size(), 4u);
    EXPECT_EQ(page->getAlbums()[0].name, "A new Album 100");
    EXPECT_EQ(page->getSelectedIndex(), 2u);
    EXPECT_EQ(page->getAlbums()[2].songCount, 2u);
}

TEST_F(AlbumsPageTest, OnlyCoversNearTheSelectionAreKept) {
    open(libraryOf(60, true));
    for (int i = 0; i < 40; ++i) {
        frame();
    }
    EXPECT_EQ(page->loadedCoverCount(), size_t{AlbumsPage::PRELOAD_RADIUS} + 1);

    for (int step = 0; step < 40; ++step) {
        send(keyDown(SDLK_RIGHT));
        frame();
    }
    for (int i = 0; i < 40; ++i) {
        frame();
    }
    EXPECT_GE(page->loadedCoverCount(), size_t{2 * AlbumsPage::PRELOAD_RADIUS + 1});
    EXPECT_LE(page->loadedCoverCount(), size_t{2 * AlbumsPage::RELEASE_RADIUS + 1});
}
