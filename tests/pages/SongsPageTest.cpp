#include "pages/SongsPage.h"

#include "support/LibraryFiles.h"
#include "support/PageTest.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SongsPageTest : public PageTest {
protected:
    void open() {
        page = std::make_unique<SongsPage>(services, &playList, &player, &dialog);
        page->setClock([this] { return clock; });
        page->init(sdl.renderer(), sdl.font());
        page->setPageChangeCallback([this](Page from) { pagesReported.push_back(from); });
        page->setSongPlayedCallback([this] { ++songsPlayed; });
        page->waitForCacheLoad();
        playList.update();
        page->update();
    }

    void openWith(const std::vector<Song>& songs) {
        writeLibraryCache(songs);
        open();
    }

    void send(SDL_Event event) { deliver(*page, event); }

    // The page as drawn once the scroll bar of the last move has gone.
    Frame settled() {
        clock += SongListPage::SCROLL_BAR_SHOWN_MS + 1;
        page->update();
        return drawn(*page);
    }

    uint64_t clock = 0;
    std::unique_ptr<SongsPage> page;
    std::vector<Page> pagesReported;
    int songsPlayed = 0;
};

} // namespace

// A missing cache is the first start's, seen in the browse-and-play journey.
TEST_F(SongsPageTest, ABrokenCacheStartsTheLoadingScan) {
    scratch.writeFile("config/music_library.json", R"({"songs": {}})");
    open();
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SongsPageTest, ShouldersPageThroughTheListAndAHeldKeyMovesOnce) {
    openWith(placeholderSongs(20));
    const Frame first = settled();
    send(namedButtonDown("r1"));
    const Frame paged = settled();
    send(namedButtonDown("l1"));
    EXPECT_EQ(settled(), first);
    for (int row = 0; row < 8; ++row) {
        send(keyDown(SDLK_DOWN));
    }
    EXPECT_EQ(settled(), paged); // eight rows
    send(keyDown(SDLK_DOWN, true));
    EXPECT_EQ(settled(), paged);
}

// Adding and removing favourites from a page, as every page that offers it does: saved at once,
// removed by the full path after a confirmation, and a save the card refuses reported.
TEST_F(SongsPageTest, FavouritesAreSavedAtOnceRemovedAfterConfirmationAndFailuresReported) {
    std::vector<Song> songs = placeholderSongs(1, "music/a");
    songs.push_back(placeholderSongs(1, "music/b")[0]); // the same file name in another folder
    openWith(songs);
    const std::string blocker = "config/like.json.tmp";
    std::filesystem::create_directories(blocker); // a card that refuses the file
    StderrCapture errors;
    send(keyDown(SDLK_f));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(playList.getLikedSongs().empty());
    EXPECT_NE(errors.take().find("config/like.json"), std::string::npos);
    std::filesystem::remove(blocker);

    send(keyDown(SDLK_f));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_f));
    ASSERT_EQ(playList.getLikedSongs().size(), 2u);
    EXPECT_NE(scratch.readFile("config/like.json").find("music/b/Song 01"), std::string::npos);

    dialog.hide();
    send(namedButtonDown("y"));
    answerDialog(SDLK_ESCAPE);
    EXPECT_EQ(playList.getLikedSongs().size(), 2u);

    std::filesystem::create_directories(blocker);
    send(keyDown(SDLK_f));
    answerDialog(SDLK_RETURN);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(playList.getLikedSongs().size(), 2u);
    std::filesystem::remove(blocker);

    send(keyDown(SDLK_f));
    answerDialog(SDLK_RETURN);
    ASSERT_EQ(playList.getLikedSongs().size(), 1u);
    EXPECT_EQ(playList.getLikedSongs()[0].filepath, "music/a/Song 01.mp3");
    EXPECT_EQ(scratch.readFile("config/like.json").find("music/b/"), std::string::npos);
}

TEST_F(SongsPageTest, ChoosingARowPlaysThatRowWhateverTheQueueHeld) {
    MediaFactory media("music");
    std::vector<Song> songs = placeholderSongs(3);
    for (Song& song : songs) {
        song.filepath = media.make(song.title + ".wav", {0.5});
    }
    openWith(songs);
    // Another page left a queue of its own.
    playList.clear();
    playList.addSong(songs[0]);
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN));
    EXPECT_EQ(player.getCurrentFilePath(), songs[2].filepath);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(playList.getSongs().size(), 3u);
    EXPECT_EQ(playList.getCurrentIndex(), 2u);
    EXPECT_EQ(pagesReported, (std::vector<Page>{Page::SONGS}));
    EXPECT_EQ(songsPlayed, 1);
    player.stop();
}

TEST_F(SongsPageTest, TheCacheIsListedWithoutAScanAndANewLibraryKeepsTheSelectionInside) {
    openWith(placeholderSongs(20));
    EXPECT_EQ(page->getSongs()[3].title, "Song 04");
    EXPECT_FALSE(dialog.isVisible());
    send(keyDown(SDLK_PAGEDOWN));
    send(keyDown(SDLK_PAGEDOWN));
    writeLibraryCache(placeholderSongs(5, "other"));
    ASSERT_TRUE(playList.loadFromFile("config/music_library.json")); // as a rescan would
    const Frame kept = settled();
    ASSERT_EQ(page->getSongs().size(), 5u);
    send(keyDown(SDLK_DOWN));
    EXPECT_EQ(settled(), kept); // already on the last row
    send(namedButtonDown("a")); // placeholders are not audio: nothing to report
    EXPECT_TRUE(pagesReported.empty());
    EXPECT_EQ(songsPlayed, 0);
}

// Left and right cross the list an album at a time; a held direction goes faster the longer it
// is held, and stops when released.
TEST_F(SongsPageTest, JumpsCrossAlbumsAndAHeldDirectionSpeedsUp) {
    std::vector<Song> songs = placeholderSongs(60);
    for (size_t i = 0; i < songs.size(); ++i) {
        songs[i].album = i < 10 ? "A" : i < 13 ? "B" : "C";
    }
    openWith(songs);
    std::vector<int> landed;
    for (const char* name : {"right", "right", "right", "left", "left", "left"}) {
        send(namedButtonDown(name));
        landed.push_back(page->getSelectedIndex());
    }
    EXPECT_EQ(landed, (std::vector<int>{10, 13, 13, 10, 0, 0}));
    send(keyDown(SDLK_RIGHT));
    EXPECT_EQ(page->getSelectedIndex(), 10);
    EXPECT_TRUE(page->isMovingOnItsOwn()); // the album's name is shown
    clock += JumpOverlay::SHOWN_MS;
    page->update();
    EXPECT_FALSE(page->isMovingOnItsOwn());

    constexpr uint64_t FRAME_MS = 16;
    constexpr int FRAMES_PER_STRETCH = 30;
    send(keyDown(SDLK_DOWN));
    std::vector<int> rowsPerStretch;
    for (int stretch = 0, from = page->getSelectedIndex(); stretch < 3; ++stretch) {
        for (int frame = 0; frame < FRAMES_PER_STRETCH; ++frame) {
            clock += FRAME_MS;
            page->update();
        }
        rowsPerStretch.push_back(page->getSelectedIndex() - from);
        from = page->getSelectedIndex();
    }
    EXPECT_TRUE(rowsPerStretch[0] < rowsPerStretch[1] && rowsPerStretch[1] < rowsPerStretch[2])
        << rowsPerStretch[0] << " " << rowsPerStretch[1] << " " << rowsPerStretch[2];
    send(keyUp(SDLK_DOWN));
    const int released = page->getSelectedIndex();
    clock += FRAME_MS;
    page->update();
    EXPECT_EQ(page->getSelectedIndex(), released);
}
