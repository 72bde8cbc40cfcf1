#include "pages/ArtistsPage.h"

#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

Song songBy(const std::string& artist, const std::string& title, const std::string& cover = "") {
    Song song;
    song.artist = artist;
    song.title = title;
    song.coverPath = cover;
    return song;
}

class ArtistsPageTest : public PageTest {};

} // namespace

TEST(ArtistGroupingTest, ArtistsAreGroupedInByteOrderWithTheirFirstCover) {
    std::vector<ArtistsPage::Artist> artists = ArtistsPage::groupByArtist(
        {songBy("b", "one", "b1.png"), songBy("林", "two"), songBy("", "three", "none.png"),
         songBy("B", "four"), songBy("b", "five", "b2.png"), songBy("a", "six")});
    std::vector<std::string> names;
    for (const ArtistsPage::Artist& artist : artists) {
        names.push_back(artist.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"B", "a", "b", "林"}));
    EXPECT_EQ(artists[2].songCount, 2u);
    EXPECT_EQ(artists[2].songs[1].title, "five");
    EXPECT_EQ(artists[2].coverPath, "b1.png");
}

TEST_F(ArtistsPageTest, TheSelectionWrapsTheListFollowsTheLibraryAndEmptyListsStay) {
    playList.setLibrary(Library{{songBy("X", "1"), songBy("Y", "2"), songBy("Z", "3")}, {}});
    playList.update();
    ArtistsPage page(services, &playList, &player);
    page.init(sdl.renderer(), sdl.font());
    std::vector<std::string> chosen;
    page.setArtistSelectedCallback(
        [&](const ArtistsPage::Artist& artist) { chosen.push_back(artist.name); });
    page.update();
    deliver(page, keyDown(SDLK_UP));
    deliver(page, keyDown(SDLK_RETURN));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Z"}));

    playList.setLibrary(Library{{songBy("Z", "3"), songBy("A", "4")}, {}}); // a rescan
    playList.update();
    page.update();
    deliver(page, keyDown(SDLK_RETURN)); // still Z, now the last of two
    deliver(page, keyDown(SDLK_DOWN));
    deliver(page, keyDown(SDLK_RETURN));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Z", "Z", "A"}));

    playList.setLibrary(Library{});
    playList.update();
    page.update();
    page.render();
    deliver(page, keyDown(SDLK_UP));
    deliver(page, namedButtonDown("a"));
    EXPECT_EQ(chosen.size(), 3u);
}

// Left and right go to the next and previous initial: digits and symbols are one group, each
// CJK character its own.
TEST_F(ArtistsPageTest, JumpsGoFromInitialToInitial) {
    Library library;
    for (const char* name : {"!!!", "2Pac", "Abba", "Air", "Beck", "beta", "周", "林"}) {
        library.songs.push_back(songBy(name, "1"));
    }
    playList.setLibrary(library);
    playList.update();
    ArtistsPage page(services, &playList, &player);
    page.init(sdl.renderer(), sdl.font());
    page.update();
    std::string chosen;
    page.setArtistSelectedCallback(
        [&](const ArtistsPage::Artist& artist) { chosen += artist.name + ","; });
    for (const char* name : {"right", "right", "right", "right", "right", "left", "left"}) {
        deliver(page, namedButtonDown(name));
        deliver(page, keyDown(SDLK_RETURN));
    }
    EXPECT_EQ(chosen, "Abba,Beck,周,林,林,周,Beck,");
    EXPECT_TRUE(page.isMovingOnItsOwn());
}
