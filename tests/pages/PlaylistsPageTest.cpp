#include "pages/PlaylistsPage.h"

#include "support/LibraryFiles.h"
#include "support/PageTest.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PlaylistsPageTest : public PageTest {
protected:
    void SetUp() override {
        page.init(sdl.renderer(), sdl.font());
        page.setSongPlayedCallback([this] { ++songsPlayed; });
    }

    void openWith(const std::vector<Song>& favourites) {
        writeFavourites(favourites);
        page.markForRefresh();
        page.render();
    }

    void send(SDL_Event event) { deliver(page, event); }

    PlaylistsPage page{services, &playList, &player, &dialog};
    int songsPlayed = 0;
};

} // namespace

TEST_F(PlaylistsPageTest, RemovingTheLastRowKeepsTheSelectionOnTheNewLastRow) {
    openWith(placeholderSongs(5));
    for (int i = 0; i < 4; ++i) {
        send(keyDown(SDLK_DOWN));
    }
    send(keyDown(SDLK_DELETE));
    answerDialog(SDLK_RETURN);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(playList.getLikedSongs().size(), 4u);
    EXPECT_EQ(scratch.readFile("config/like.json").find("Song 05"), std::string::npos);

    send(namedButtonDown("start"));
    answerDialog(SDLK_ESCAPE); // cancelled: nothing removed
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(playList.getLikedSongs().size(), 4u);

    std::filesystem::create_directories("config/like.json.tmp"); // the card refuses the file
    StderrCapture errors;
    send(keyDown(SDLK_DELETE));
    answerDialog(SDLK_RETURN);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(playList.getLikedSongs().size(), 4u);

    std::filesystem::remove("config/like.json.tmp");
    send(keyDown(SDLK_DELETE)); // the new last row
    answerDialog(SDLK_RETURN);
    EXPECT_EQ(playList.getLikedSongs().back().title, "Song 03");
}

TEST_F(PlaylistsPageTest, OpeningFromTheMenuStartsAtTheFirstRowWithFreshFavourites) {
    openWith(placeholderSongs(3));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_DOWN));
    openWith(placeholderSongs(6));
    send(keyDown(SDLK_DELETE));
    answerDialog(SDLK_RETURN);
    ASSERT_EQ(playList.getLikedSongs().size(), 5u);
    EXPECT_EQ(playList.getLikedSongs()[0].title, "Song 02");
}
