#include "pages/NowPlayingPage.h"

#include "support/PageTest.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string settings(int theme, const std::string& tapeFolder = "type") {
    return R"({"music": {"playback": {"mode": "SEQUENCE"}},
               "theme": {"default_theme": )" +
           std::to_string(theme) + R"(, "themes": [[1, "theme_tape", ")" + tapeFolder +
           R"("], [2, "theme_record", "record"]]}})";
}

// Lines "line 0", "line 1", ... every step seconds from start.
std::string lyricsText(int count, double start, double step) {
    std::string text = "[ti:Test]\n";
    for (int i = 0; i < count; ++i) {
        double at = start + i * step;
        char tag[32];
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%03d]", static_cast<int>(at) / 60,
                      static_cast<int>(at) % 60,
                      static_cast<int>((at - static_cast<int>(at)) * 1000));
        text += tag + std::string("line ") + std::to_string(i) + "\n";
    }
    return text;
}

class NowPlayingPageTest : public PageTest {
protected:
    NowPlayingPageTest() {
        loadSettingsText(scratch, own.config, settings(2));
    } // the lighter skin to load

    // A queue of songs of the given names (real audio in music/), the first one playing.
    void queue(const std::vector<std::string>& names, double seconds = 20.0) {
        MediaFactory media("music");
        for (const std::string& name : names) {
            Song song;
            song.title = "Title " + name;
            song.artist = "Artist " + name;
            song.filepath = media.make(name + ".wav", {seconds});
            songs.push_back(song);
            playList.addSong(song);
        }
        ASSERT_TRUE(playList.play(0));
    }

    void open() {
        page = std::make_unique<NowPlayingPage>(services, &player, &playList, &dialog);
        page->setClock([this] { return clock; });
        page->init(sdl.renderer(), sdl.font());
        page->setBackCallback([this](Page to) { backTo.push_back(to); });
        settle(*page);
    }

    void send(SDL_Event event) { deliver(*page, event); }
    void frame(uint64_t milliseconds) {
        clock += milliseconds;
        settle(*page);
        page->render();
    }
    // The page drawn with the player paused at the start of its song, the clock unchanged: only
    // the song shown tells two such frames apart.
    Frame heldFrame() {
        player.pause();
        player.rewind(60);
        settle(*page);
        return drawn(*page);
    }

    uint64_t clock = 10000;
    std::vector<Song> songs;
    std::unique_ptr<NowPlayingPage> page;
    std::vector<Page> backTo;
};

} // namespace

TEST(NowPlayingLyricsPathTest, KeepsTheFolderAndReplacesTheExtension) {
    EXPECT_EQ(NowPlayingPage::lyricsPathFor("music/a.b/song"), "music/a.b/song.lrc");
    EXPECT_EQ(NowPlayingPage::lyricsPathFor("/m/live.2001.mp3"), "/m/live.2001.lrc");
}

TEST_F(NowPlayingPageTest, TransportKeysAndButtonsDriveThePlayerAndTheQueue) {
    queue({"a", "b"});
    open();
    send(keyDown(SDLK_SPACE));
    EXPECT_TRUE(player.isPaused());
    double before = player.getCurrentTime();
    send(keyDown(SDLK_d));
    EXPECT_NEAR(player.getCurrentTime(), before + 5, 1e-6);
    send(namedButtonDown("left"));
    EXPECT_NEAR(player.getCurrentTime(), before, 1e-6);
    send(namedButtonDown("a"));
    EXPECT_TRUE(player.isPlaying());

    player.setVolume(98);
    send(keyDown(SDLK_UP, true)); // held keys repeat
    EXPECT_EQ(player.getVolume(), 100);
    player.setVolume(3);
    send(namedButtonDown("down"));
    EXPECT_EQ(player.getVolume(), 0);

    send(keyDown(SDLK_RIGHT));
    EXPECT_EQ(player.getCurrentFilePath(), songs[1].filepath);
    EXPECT_TRUE(player.isPlaying());
    send(namedButtonDown("r1")); // the last song: stopped, and it stays
    EXPECT_TRUE(player.isStopped());
    EXPECT_EQ(player.getCurrentFilePath(), songs[1].filepath);
    send(namedButtonDown("l1"));
    EXPECT_EQ(player.getCurrentFilePath(), songs[0].filepath);
    send(keyDown(SDLK_RETURN));
    EXPECT_TRUE(player.isStopped());

    send(keyDown(SDLK_v)); // the song the player holds becomes a favourite
    ASSERT_EQ(playList.getLikedSongs().size(), 1u);
    EXPECT_EQ(playList.getLikedSongs()[0].filepath, songs[0].filepath);
    send(namedButtonDown("y"));
    answerDialog(SDLK_RETURN);
    EXPECT_TRUE(playList.getLikedSongs().empty());
}

TEST_F(NowPlayingPageTest, FollowsWhateverSongPlaysWithItsLyrics) {
    scratch.writeFile("music/a.lrc", lyricsText(3, 0.0, 1.0));
    queue({"a", "b"});
    open();
    send(keyDown(SDLK_y)); // the lyrics: the song's title, artist and lines
    const Frame a = heldFrame();

    StderrCapture errors;
    ASSERT_TRUE(playList.play(1)); // the play list moved on by itself
    const Frame b = heldFrame();
    EXPECT_NE(b, a);

    ASSERT_TRUE(player.loadSong(songs[0])); // the player ahead of the play list's current song
    EXPECT_EQ(heldFrame(), a);
}

TEST_F(NowPlayingPageTest, LyricsViewScrollsToTheLineSmoothlyAndClosesWithoutLeaving) {
    scratch.writeFile("music/a.lrc", lyricsText(200, 1.0, 1.0));
    queue({"a", "b"}, 45.0);
    player.pause();
    open();
    send(keyDown(SDLK_y));
    send(keyDown(SDLK_y, true)); // held: the view stays
    frame(16);                   // before the first line
    player.fastForward(40);
    frame(16);
    const Frame scrolling = drawn(*page);
    for (int i = 0; i < 120; ++i) {
        frame(16);
    }
    const Frame rested = drawn(*page);
    EXPECT_NE(scrolling, rested); // on its way, not there at once

    send(namedButtonDown("b"));
    const Frame closed = drawn(*page);
    EXPECT_NE(closed, rested);
    send(namedButtonDown("start"));
    send(keyDown(SDLK_ESCAPE));       // closes the view, does not leave the page
    send(keyDown(SDLK_ESCAPE, true)); // nor when held
    EXPECT_EQ(drawn(*page), closed);
    EXPECT_TRUE(backTo.empty());

    send(namedButtonDown("start")); // the controller still changes the song in the view
    send(namedButtonDown("r1"));
    EXPECT_EQ(player.getCurrentFilePath(), songs[1].filepath);
}

TEST_F(NowPlayingPageTest, ASkinOrFolderChosenInTheSettingsIsTakenOnTheNextUpdate) {
    loadSettingsText(scratch, own.config, settings(1));
    queue({"a"});
    player.pause();
    open();
    const Frame tape = drawn(*page);

    loadSettingsText(scratch, own.config, settings(2));
    EXPECT_EQ(drawn(*page), tape);
    frame(16);
    const Frame record = drawn(*page);
    EXPECT_NE(record, tape);

    loadSettingsText(scratch, own.config, settings(1, "typepink"));
    frame(16);
    EXPECT_NE(drawn(*page), record);
    EXPECT_NE(drawn(*page), tape);
}
