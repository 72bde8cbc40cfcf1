#include "pages/PlaylistsPage.h"

#include "support/LibraryFiles.h"
#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

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

    PlaylistsPage page{&playList, &player, &dialog};
    int songsPlayed = 0;
};

} // namespace

TEST_F(PlaylistsPageTest, EmptyListSaysSo) {
    openWith({});
    EXPECT_TRUE(page.getFavourites().empty());
    int textPixels = 0;
    for (int y = 200; y < 250; ++y) {
        for (int x = 220; x < 420; ++x) {
            SDL_Color c = sdl.pixel(x, y);
            textPixels += c.r > 150 && c.g > 150 && c.b > 150;
        }
    }
    EXPECT_GT(textPixels, 50);
}

TEST_F(PlaylistsPageTest, RemovingTheLastRowKeepsTheSelectionOnTheNewLastRow) {
    openWith(placeholderSongs(5));
    for (int i = 0; i < 4; ++i) {
        send(keyDown(SDLK_DOWN));
    }
    send(keyDown(SDLK_DELETE));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getTitle(), "删除确认");
    EXPECT_EQ(dialog.getMessage(), "确定要从喜爱列表中删除这首歌吗？");
    answerDialog(SDLK_RETURN);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(page.getFavourites().size(), 4u);
    EXPECT_EQ(page.getSelectedIndex(), 3);
    EXPECT_EQ(scratch.readFile("config/like.json").find("Song 05"), std::string::npos);

    send(namedButtonDown("start"));
    answerDialog(SDLK_ESCAPE); // cancelled: nothing removed
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(page.getFavourites().size(), 4u);
}

TEST_F(PlaylistsPageTest, RemovingTheOnlyFavouriteEmptiesTheList) {
    openWith(placeholderSongs(1));
    send(namedButtonDown("start"));
    answerDialog(SDLK_RETURN);
    EXPECT_TRUE(page.getFavourites().empty());
    EXPECT_EQ(page.getSelectedIndex(), 0);
}

TEST_F(PlaylistsPageTest, OpeningFromTheMenuStartsAtTheFirstRowWithFreshFavourites) {
    openWith(placeholderSongs(3));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_DOWN));
    openWith(placeholderSongs(6));
    EXPECT_EQ(page.getFavourites().size(), 6u);
    EXPECT_EQ(page.getSelectedIndex(), 0);
}

TEST_F(PlaylistsPageTest, ScrollBarAppearsAfterAMoveAndReachesTheBottom) {
    openWith(placeholderSongs(12));
    EXPECT_FALSE(page.isScrollBarShown());
    SDL_Color bottom = sdl.pixel(635, 444);
    SDL_Color top = sdl.pixel(635, 172);
    SDL_Color above = sdl.pixel(635, 170);
    for (int i = 0; i < 11; ++i) {
        send(namedButtonDown("down"));
    }
    EXPECT_TRUE(page.isScrollBarShown());
    EXPECT_EQ(page.getScrollOffset(), 4);
    page.render();
    // A 273-pixel thumb in the track from y 35 to 445, ending at the bottom.
    EXPECT_NE(sdl.pixel(635, 444), bottom);
    EXPECT_NE(sdl.pixel(635, 172), top);
    EXPECT_EQ(sdl.pixel(635, 170), above);
}

TEST_F(PlaylistsPageTest, PlayingAFavouriteQueuesTheFavourites) {
    MediaFactory media("music");
    std::vector<Song> songs = placeholderSongs(2);
    for (Song& song : songs) {
        song.filepath = media.make(song.title + ".wav", {0.5});
    }
    openWith(songs);
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN));
    EXPECT_EQ(songsPlayed, 1);
    EXPECT_EQ(player.getCurrentFilePath(), songs[1].filepath);
    ASSERT_EQ(playList.getSongs().size(), 2u);
    EXPECT_EQ(playList.getCurrentIndex(), 1u);
    player.stop();
}
