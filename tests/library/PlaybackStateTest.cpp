#include "library/PlaybackState.h"
#include "library/PlayList.h"

#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* STATE_PATH = "config/playback_state.json";

void queue(PlayList& playList, const std::vector<std::string>& paths) {
    playList.clear();
    for (const std::string& path : paths) {
        playList.addSong(PlayerRig::songAt(path));
    }
}

// Quit while a song plays, start again: the song is back, paused where it was, and one press
// of play continues it there.
TEST(PlaybackStateTest, PlaybackResumesWhereItStoppedAfterARestart) {
    PlayerRig rig(PlayerRig::SLOW, "before.raw");
    std::string song = rig.media.make("a.flac", {6.0, 44100, "stereo", "-c:a flac", ""});
    std::string other = rig.media.make("b.flac", {1.0, 44100, "stereo", "-c:a flac", ""});
    double stoppedAt = 0.0;
    {
        PlayList playList;
        queue(playList, {other, song});
        playList.setPlayer(rig.player.get());
        PlaybackState state(playList, *rig.player, STATE_PATH);
        rig.player->setVolume(70);
        ASSERT_TRUE(playList.play(1));
        ASSERT_TRUE(rig.waitForPosition(2.0));
        stoppedAt = rig.player->getCurrentTime();
        ASSERT_TRUE(state.save()); // as at quit
    }
    rig.restart("after.raw");
    PlayList playList;
    PlaybackState state(playList, *rig.player, STATE_PATH);
    ASSERT_TRUE(state.restore());
    EXPECT_EQ(playList.getSongs().size(), 2u);
    EXPECT_EQ(playList.getCurrentIndex(), 1u);
    EXPECT_EQ(rig.player->getCurrentFilePath(), song);
    EXPECT_TRUE(rig.player->isPaused());
    EXPECT_NEAR(rig.player->getCurrentTime(), stoppedAt, 1e-9);
    EXPECT_EQ(rig.player->getVolume(), 70);

    rig.player->setVolume(100);
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(stoppedAt + 1.0));
    std::vector<int16_t> resumed = rig.finish();
    const size_t expected = static_cast<size_t>(stoppedAt * 44100);
    long heardAt = locateFirstSound(resumed, SyntheticMedia::reference(song), expected - 44100,
                                    expected + 44100);
    EXPECT_NEAR(heardAt / 44100.0, stoppedAt, 1.0);
}

// Songs deleted since are left out; the position goes with its song. A broken file restores
// nothing, and says so.
TEST(PlaybackStateTest, DeletedSongsAndBrokenFilesAreHandled) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::string kept = rig.media.make("kept.wav", {1.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    PlaybackState::Record record;
    for (const std::string& path : {"gone1.flac", kept.c_str(), "gone2.flac"}) {
        record.queue.push_back(PlayerRig::songAt(path));
    }
    record.currentPath = "gone1.flac";
    record.position = 30.0;
    ASSERT_TRUE(PlaybackState::write(STATE_PATH, record));
    PlayList playList;
    PlaybackState state(playList, *rig.player, STATE_PATH);
    ASSERT_TRUE(state.restore());
    ASSERT_EQ(playList.getSongs().size(), 1u);
    EXPECT_EQ(rig.player->getCurrentFilePath(), kept);
    EXPECT_EQ(rig.player->getCurrentTime(), 0.0);

    StderrCapture errors;
    rig.scratch.writeFile(STATE_PATH, "{ \"queue\": [ broken");
    EXPECT_FALSE(PlaybackState(playList, *rig.player, STATE_PATH).restore());
    EXPECT_NE(PlayerRig::errorLines(errors.take()), "");
    fs::remove(STATE_PATH);
    EXPECT_FALSE(PlaybackState(playList, *rig.player, STATE_PATH).restore());
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "");
}

// Saved when the song changes, on pause, and every ten seconds of playing; not in between.
TEST(PlaybackStateTest, SavesOnSongChangePauseAndEveryTenSeconds) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::string song = rig.media.make("a.wav", {30.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    PlayList playList;
    queue(playList, {song});
    playList.setPlayer(rig.player.get());
    uint64_t now = 0;
    PlaybackState state(playList, *rig.player, STATE_PATH, [&] { return now; });
    auto savedAt = [&](uint64_t time) {
        fs::remove(STATE_PATH);
        now = time;
        state.update();
        return fs::exists(STATE_PATH);
    };
    ASSERT_TRUE(playList.play(0));
    EXPECT_TRUE(savedAt(0)); // a new song
    EXPECT_FALSE(savedAt(PlaybackState::SAVE_INTERVAL_MS - 1));
    EXPECT_TRUE(savedAt(PlaybackState::SAVE_INTERVAL_MS));
    rig.player->pause();
    EXPECT_TRUE(savedAt(PlaybackState::SAVE_INTERVAL_MS + 1));
    EXPECT_FALSE(savedAt(5 * PlaybackState::SAVE_INTERVAL_MS)); // paused: nothing changes
}

} // namespace

// A queue that was the library waits for the library, which is read after start-up.
TEST(PlaybackStateTest, ALibraryQueueIsRestoredOnceTheLibraryIsIn) {
    PlayerRig rig(PlayerRig::SLOW, "out.raw");
    const std::string song = rig.media.make("a.flac", {2.0, 44100, "stereo", "-c:a flac", ""});
    PlaybackState::Record record;
    record.queueIsLibrary = true;
    record.currentPath = song;
    record.position = 1.0;
    ASSERT_TRUE(PlaybackState::write(STATE_PATH, record));
    PlayList playList;
    PlaybackState state(playList, *rig.player, STATE_PATH);
    EXPECT_TRUE(state.restore());
    EXPECT_TRUE(rig.player->getCurrentFilePath().empty());
    playList.setLibrary(Library{{PlayerRig::songAt(song)}, {}});
    playList.update();
    state.update();
    EXPECT_EQ(rig.player->getCurrentFilePath(), song);
    EXPECT_NEAR(rig.player->getCurrentTime(), 1.0, 1e-9);
    rig.finish();
}
