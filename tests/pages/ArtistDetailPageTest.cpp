#include "pages/ArtistDetailPage.h"

#include "support/LibraryFiles.h"
#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class ArtistDetailPageTest : public PageTest {};

} // namespace

TEST_F(ArtistDetailPageTest, ShowingAnArtistLeavesTheQueueAloneAndPlayingReplacesIt) {
    playList.setLibrary(Library{placeholderSongs(4), {}});
    playList.update();
    ArtistsPage::Artist artist{"Singer", "", {}, 2};
    for (const char* title : {"Tune A", "Tune B"}) {
        Song song;
        song.filepath = MediaFactory("music").make(std::string(title) + ".wav", {0.3});
        artist.songs.push_back(song);
    }
    ArtistDetailPage page(&playList, &player);
    page.init(sdl.renderer(), sdl.font());
    std::vector<Page> pagesReported;
    page.setPageChangeCallback([&](Page from) { pagesReported.push_back(from); });
    page.setArtist(artist);
    page.update();
    page.render();
    EXPECT_EQ(playList.getSongs().size(), 4u);

    deliver(page, keyDown(SDLK_DOWN));
    deliver(page, namedButtonDown("a"));
    ASSERT_EQ(playList.getSongs().size(), 2u);
    EXPECT_EQ(player.getCurrentFilePath(), artist.songs[1].filepath);
    EXPECT_EQ(pagesReported, (std::vector<Page>{Page::ARTISTS}));
    player.stop();
}
