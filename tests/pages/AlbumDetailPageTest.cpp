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
    const Album other{"Other", "Band", "missing.png", placeholderSongs(3, "other")};
    page.setAlbum(other);
    page.update();
    const Frame otherAtTop = drawn(page);
    page.setAlbum(Album{"Album", "Band", "missing.png", placeholderSongs(10, "album")});
    page.update();
    page.render();
    EXPECT_EQ(playList.getSongs().size(), 4u);
    deliver(page, namedButtonDown("r1"));
    deliver(page, namedButtonDown("r1"));
    deliver(page, keyDown(SDLK_UP));

    page.setAlbum(other);
    page.update();
    EXPECT_EQ(drawn(page), otherAtTop);
}
