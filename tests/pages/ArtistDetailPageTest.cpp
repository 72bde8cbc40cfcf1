#include "pages/ArtistDetailPage.h"

#include "support/LibraryFiles.h"
#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class ArtistDetailPageTest : public PageTest {};

} // namespace

TEST_F(ArtistDetailPageTest, ShowingAnArtistLeavesTheQueueAloneAndPlayingReplacesIt) {
    std::vector<Song> queued = placeholderSongs(4, "queued");
    playList.clear();
    for (const Song& song : queued) {
        playList.addSong(song);
    }
    MediaFactory media("music");
    ArtistsPage::Artist artist;
    artist.name = "Singer";
    for (int i = 0; i < 2; ++i) {
        Song song;
        song.title = "Tune " + std::to_string(i);
        song.artist = artist.name;
        song.filepath = media.make(song.title + ".wav", {0.5});
        artist.songs.push_back(song);
    }
    artist.songCount = artist.songs.size();

    ArtistDetailPage page(&playList, &player);
    page.init(sdl.renderer(), sdl.font());
    std::vector<Page> pagesReported;
    page.setPageChangeCallback([&](Page from) { pagesReported.push_back(from); });
    page.setArtist(artist);
    page.update();
    page.render();
    ASSERT_EQ(playList.getSongs().size(), 4u);
    EXPECT_EQ(playList.getSongs()[0].filepath, queued[0].filepath);

    deliver(page, keyDown(SDLK_DOWN));
    deliver(page, namedButtonDown("a"));
    ASSERT_EQ(playList.getSongs().size(), 2u);
    EXPECT_EQ(playList.getCurrentIndex(), 1u);
    EXPECT_EQ(player.getCurrentFilePath(), artist.songs[1].filepath);
    EXPECT_EQ(pagesReported, (std::vector<Page>{Page::ARTISTS}));
    player.stop();
}
