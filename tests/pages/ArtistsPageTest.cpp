#include "pages/ArtistsPage.h"

#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

Song songBy(const std::string& artist, const std::string& title, const std::string& cover = "") {
    Song song;
    song.artist = artist;
    song.title = title;
    song.filepath = "music/" + title + ".mp3";
    song.coverPath = cover;
    return song;
}

std::vector<Song> songsOfArtists(int count) {
    std::vector<Song> songs;
    for (int i = 0; i < count; ++i) {
        songs.push_back(songBy("Artist " + std::to_string(10 + i), "Song " + std::to_string(i)));
    }
    return songs;
}

class ArtistsPageTest : public PageTest {
protected:
    void open(std::vector<Song> songs) {
        playList.setLibrary(Library{std::move(songs), {}});
        page = std::make_unique<ArtistsPage>(&playList, &player);
        page->init(sdl.renderer(), sdl.font());
        page->setArtistSelectedCallback(
            [this](const ArtistsPage::Artist& artist) { chosen.push_back(artist.name); });
        page->update();
        page->render();
    }

    void send(SDL_Event event) { deliver(*page, event); }

    std::unique_ptr<ArtistsPage> page;
    std::vector<std::string> chosen;
};

} // namespace

TEST(ArtistGroupingTest, ArtistsAreGroupedInByteOrderWithTheirFirstCover) {
    std::vector<ArtistsPage::Artist> artists = ArtistsPage::groupByArtist({
        songBy("b", "one", "covers/b1.png"),
        songBy("林", "two"),
        songBy("", "three", "covers/none.png"),
        songBy("B", "four"),
        songBy("b", "five", "covers/b2.png"),
        songBy("a", "six"),
    });
    std::vector<std::string> names;
    for (const ArtistsPage::Artist& artist : artists) {
        names.push_back(artist.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"B", "a", "b", "林"}));
    const ArtistsPage::Artist& b = artists[2];
    EXPECT_EQ(b.songCount, 2u);
    EXPECT_EQ(b.songs[1].title, "five");
    EXPECT_EQ(b.coverPath, "covers/b1.png");
}

TEST_F(ArtistsPageTest, TheSelectionWrapsAroundAndTheWindowFollows) {
    open(songsOfArtists(10));
    send(keyDown(SDLK_UP));
    EXPECT_EQ(page->getSelectedIndex(), 9);
    EXPECT_EQ(page->getScrollOffset(), 2);
    send(namedButtonDown("down"));
    EXPECT_EQ(page->getSelectedIndex(), 0);
    EXPECT_EQ(page->getScrollOffset(), 0);
    send(keyDown(SDLK_RETURN));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Artist 10"}));
}

TEST_F(ArtistsPageTest, AnEmptyListKeepsTheSelectionAndChoosesNothing) {
    open({});
    send(keyDown(SDLK_UP));
    send(keyDown(SDLK_DOWN));
    send(namedButtonDown("a"));
    EXPECT_EQ(page->getSelectedIndex(), 0);
    EXPECT_TRUE(chosen.empty());
}

TEST_F(ArtistsPageTest, TheListIsRebuiltFromTheLibraryAfterARescan) {
    open(songsOfArtists(3));
    send(keyDown(SDLK_DOWN));
    std::vector<Song> rescanned = songsOfArtists(3);
    rescanned.push_back(songBy("Artist 0", "new"));
    playList.setLibrary(Library{rescanned, {}});
    page->update();
    ASSERT_EQ(page->getArtists().size(), 4u);
    EXPECT_EQ(page->getArtists()[0].name, "Artist 0");
    EXPECT_EQ(page->getArtists()[page->getSelectedIndex()].name, "Artist 11");
}
