#include "pages/AlbumDetailPage.h"

#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class AlbumDetailPageTest : public PageTest {};

} // namespace

TEST_F(AlbumDetailPageTest, PlayingARowMakesTheAlbumTheQueueAndANewAlbumStartsAtTheTop) {
    MediaFactory media("music");
    Album album{"Album", "Band", "missing.png", {}};
    for (int i = 0; i < 10; ++i) {
        Song song;
        song.title = "Song " + std::to_string(i);
        song.filepath = media.make(song.title + ".wav", {0.3});
        album.songs.push_back(song);
    }
    AlbumDetailPage page(services, &playList, &player);
    page.init(sdl.renderer(), sdl.font());
    std::vector<Page> pagesReported;
    page.setPageChangeCallback([&](Page from) { pagesReported.push_back(from); });
    page.setAlbum(album);
    deliver(page, namedButtonDown("r1"));
    deliver(page, namedButtonDown("r1"));
    deliver(page, keyDown(SDLK_UP));
    page.render();
    deliver(page, keyDown(SDLK_RETURN));
    ASSERT_EQ(playList.getSongs().size(), 10u);
    EXPECT_EQ(playList.getCurrentIndex(), 8u);
    EXPECT_EQ(player.getCurrentFilePath(), album.songs[8].filepath);
    EXPECT_EQ(pagesReported, (std::vector<Page>{Page::ALBUMS}));
    player.stop();

    album.songs.resize(3);
    page.setAlbum(album);
    EXPECT_EQ(page.getSelectedIndex(), 0);
    EXPECT_EQ(page.getScrollOffset(), 0);
}
