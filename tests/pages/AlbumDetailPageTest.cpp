#include "pages/AlbumDetailPage.h"

#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class AlbumDetailPageTest : public PageTest {
protected:
    AlbumDetailPageTest() {
        page.init(sdl.renderer(), sdl.font());
        page.setPageChangeCallback([this](Page from) { pagesReported.push_back(from); });
        page.setSongPlayedCallback([this] { ++songsPlayed; });
    }

    // An album of playable songs.
    static Album albumOf(int count, const std::string& name) {
        MediaFactory media("music");
        Album album;
        album.name = name;
        album.artist = "Band";
        album.coverPath = "covers/missing.png"; // shows the skin's default cover
        for (int i = 0; i < count; ++i) {
            Song song;
            song.title = name + " " + std::to_string(i);
            song.filepath = media.make(song.title + ".wav", {0.5});
            album.songs.push_back(song);
        }
        return album;
    }

    void send(SDL_Event event) { deliver(page, event); }

    AlbumDetailPage page{&playList, &player};
    std::vector<Page> pagesReported;
    int songsPlayed = 0;
};

} // namespace

TEST_F(AlbumDetailPageTest, JumpsStopAtTheEndsAndANewAlbumStartsAtItsFirstRow) {
    page.setAlbum(albumOf(3, "Short"));
    send(namedButtonDown("r1"));
    EXPECT_EQ(page.getSelectedIndex(), 2);
    send(namedButtonDown("l1"));
    EXPECT_EQ(page.getSelectedIndex(), 0);

    page.setAlbum(albumOf(20, "Long"));
    for (int i = 0; i < 8; ++i) {
        send(keyDown(SDLK_DOWN));
    }
    send(namedButtonDown("l1"));
    EXPECT_EQ(page.getSelectedIndex(), 3);
    EXPECT_EQ(page.getScrollOffset(), 1);
    page.update();
    page.render();

    page.setAlbum(albumOf(3, "Other"));
    EXPECT_EQ(page.getSelectedIndex(), 0);
    EXPECT_EQ(page.getScrollOffset(), 0);
    EXPECT_EQ(page.getSongs()[0].title, "Other 0");
}

TEST_F(AlbumDetailPageTest, PlayingARowMakesTheAlbumTheQueue) {
    Album album = albumOf(5, "Album");
    page.setAlbum(album);
    page.render();
    for (int i = 0; i < 4; ++i) {
        send(keyDown(SDLK_DOWN));
    }
    send(keyDown(SDLK_RETURN));
    ASSERT_EQ(playList.getSongs().size(), 5u);
    EXPECT_EQ(playList.getSongs()[2].filepath, album.songs[2].filepath);
    EXPECT_EQ(playList.getCurrentIndex(), 4u);
    EXPECT_EQ(player.getCurrentFilePath(), album.songs[4].filepath);
    EXPECT_EQ(pagesReported, (std::vector<Page>{Page::ALBUMS}));
    EXPECT_EQ(songsPlayed, 1);
    player.stop();
}
