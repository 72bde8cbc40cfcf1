#include "pages/AlbumDetailPage.h"

#include "support/LibraryFiles.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class AlbumDetailPageTest : public PageTest {};

} // namespace

// Playing a row is every song list's (the songs page's test); the album and artist pages' own
// part is the detail they show: it leaves the queue alone and a new one starts at its top.
TEST_F(AlbumDetailPageTest, ShowingAnAlbumLeavesTheQueueAloneAndANewAlbumStartsAtTheTop) {
    playList.setLibrary(Library{placeholderSongs(4), {}});
    playList.update();
    AlbumDetailPage page(services, &playList, &player);
    page.init(sdl.renderer(), sdl.font());
    page.setAlbum(Album{"Album", "Band", "missing.png", placeholderSongs(10, "album")});
    page.update();
    page.render();
    EXPECT_EQ(playList.getSongs().size(), 4u);
    deliver(page, namedButtonDown("r1"));
    deliver(page, namedButtonDown("r1"));
    deliver(page, keyDown(SDLK_UP));
    EXPECT_EQ(page.getSelectedIndex(), 8);

    page.setAlbum(Album{"Other", "Band", "missing.png", placeholderSongs(3, "other")});
    EXPECT_EQ(page.getSelectedIndex(), 0);
    EXPECT_EQ(page.getScrollOffset(), 0);
}
