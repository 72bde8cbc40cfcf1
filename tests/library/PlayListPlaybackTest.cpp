#include "library/PlayList.h"

#include "nowplaying/Transport.h"
#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

// The play list with the rig's player, driven frame by frame as the application does.
struct Listening {
    explicit Listening(PlayerRig& rig, const std::vector<std::string>& paths) : rig(rig) {
        for (const std::string& path : paths) {
            playList.addSong(PlayerRig::songAt(path));
        }
        playList.setPlayer(rig.player.get());
        playList.setPlayModeSource([this] { return mode; });
    }
    bool untilStopped() {
        return rig.pump.pumpUntil([&] { playList.update(); },
                                  [&] { return rig.player->isStopped(); },
                                  PlayerRig::SONG_TIMEOUT_MS);
    }
    PlayerRig& rig;
    PlayMode mode = PlayMode::SEQUENCE;
    PlayList playList;
};

std::vector<int16_t> referenceOf(const std::vector<std::string>& paths) {
    std::vector<int16_t> joined;
    for (const std::string& path : paths) {
        std::vector<int16_t> reference = SyntheticMedia::reference(path);
        joined.insert(joined.end(), reference.begin(), reference.end());
    }
    return joined;
}

// A song deleted since the library was read is skipped; the next one follows without a gap,
// and the play list follows the song being heard.
TEST(PlayListPlaybackTest, ADeletedSongIsSkippedAndTheNextFollowsWithoutAGap) {
    PlayerRig rig;
    std::string first = rig.media.make("a.flac", {1.0, 44100, "stereo", "-c:a flac", ""});
    std::string last = rig.media.make("c.mp3", {1.0, 44100, "stereo", "-c:a libmp3lame", ""});
    Listening listening(rig, {first, "gone.flac", last});
    StderrCapture errors;
    ASSERT_TRUE(listening.playList.play(0));
    ASSERT_TRUE(listening.untilStopped());
    EXPECT_EQ(listening.playList.getCurrentIndex(), 2u);
    EXPECT_EQ(rig.player->getCurrentFilePath(), last);
    EXPECT_NE(errors.take().find("gone.flac"), std::string::npos);
    EXPECT_EQ(listening.playList.getUnplayableStops(), 0u);
    SoundMatch match = matchSound(rig.finish(), referenceOf({first, last}));
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
    EXPECT_EQ(match.soundOutsideMatch, 0u);
}

// A song that cannot be played is opened once, not at every song change, until its file changes.
TEST(PlayListPlaybackTest, ABrokenSongIsOpenedAgainOnlyOnceItsFileChanges) {
    constexpr size_t SONG_FRAMES = 22050; // half a second at 44.1 kHz
    PlayerRig rig;
    std::string song = rig.media.make("a.wav", {0.5, 44100, "stereo", "-c:a pcm_s16le", ""});
    std::string repaired = rig.media.make("b.mp3", {0.5, 44100, "stereo", "-c:a libmp3lame", ""});
    rig.scratch.writeFile("broken.mp3", "not a song");
    std::filesystem::last_write_time("broken.mp3", std::filesystem::file_time_type::clock::now() -
                                                       std::chrono::hours(1));
    Listening listening(rig, {song, "broken.mp3"});
    listening.mode = PlayMode::SEQUENCE_LOOP;
    auto playSongs = [&](size_t count) {
        const size_t until = rig.capturedFrames() + count * SONG_FRAMES;
        return rig.pump.pumpUntil([&] { listening.playList.update(); },
                                  [&] { return rig.capturedFrames() >= until; },
                                  PlayerRig::SONG_TIMEOUT_MS);
    };
    StderrCapture errors;
    ASSERT_TRUE(listening.playList.play(0));
    ASSERT_TRUE(playSongs(2));
    EXPECT_NE(errors.take().find("broken.mp3"), std::string::npos);
    ASSERT_TRUE(playSongs(4));
    EXPECT_EQ(errors.take().find("broken.mp3"), std::string::npos) << "opened again";

    std::filesystem::copy_file(repaired, "broken.mp3",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(rig.pump.pumpUntil([&] { listening.playList.update(); },
                                   [&] { return rig.player->getCurrentFilePath() == "broken.mp3"; },
                                   PlayerRig::SONG_TIMEOUT_MS));
}

// When none of the songs the mode leads to can be played, playback stops once, with a reason
// the pages can show.
TEST(PlayListPlaybackTest, NothingPlayableStopsOnceWithAReason) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::string song = rig.media.make("a.wav", {0.5, 44100, "stereo", "-c:a pcm_s16le", ""});
    Listening listening(rig, {song, "gone1.flac", "gone2.flac"});
    StderrCapture errors;
    EXPECT_FALSE(listening.playList.play(1));
    EXPECT_EQ(listening.playList.getUnplayableStops(), 1u);
    EXPECT_TRUE(rig.player->isStopped());

    ASSERT_TRUE(listening.playList.play(0)); // it plays; none after it can
    EXPECT_EQ(listening.playList.getUnplayableStops(), 1u);
    ASSERT_TRUE(listening.untilStopped());
    EXPECT_EQ(listening.playList.getUnplayableStops(), 2u);
    EXPECT_EQ(listening.playList.getCurrentIndex(), 0u);
}

// The last mode chosen decides what follows, even when the next song is decoded already and the
// first change is not heard yet (the pause holds the consumer still).
TEST(PlayListPlaybackTest, TheLastModeChosenDecidesWhatFollows) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string first = rig.media.make("a.wav", {1.5, 44100, "stereo", "-c:a pcm_s16le", ""});
    std::string second = rig.media.make("b.wav", {0.5, 44100, "stereo", "-c:a pcm_s16le", ""});
    Listening listening(rig, {first, second});
    ASSERT_TRUE(listening.playList.play(0));
    ASSERT_TRUE(rig.waitForPosition(0.05));
    rig.player->pause();
    ASSERT_TRUE(rig.letBuffersPass());
    for (PlayMode mode : {PlayMode::SINGLE_LOOP, PlayMode::SINGLE}) {
        listening.mode = mode;
        listening.playList.update();
        ASSERT_TRUE(rig.letBuffersPass());
    }
    rig.player->play();
    ASSERT_TRUE(listening.untilStopped());
    EXPECT_EQ(listening.playList.getCurrentIndex(), 0u);
    SoundMatch match = matchSound(soundWithoutGaps(rig.finish()), referenceOf({first}));
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
    EXPECT_EQ(match.soundOutsideMatch, 0u) << "another song followed";
}

// Previous walks backwards over a song that cannot be played, to the one before it.
TEST(PlayListPlaybackTest, PreviousSkipsBackwardsOverADeletedSong) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::vector<std::string> paths;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        paths.push_back(rig.media.make(name, {0.5, 44100, "stereo", "-c:a pcm_s16le", ""}));
    }
    Listening listening(rig, paths);
    std::filesystem::remove(paths[1]);
    StderrCapture errors;
    ASSERT_TRUE(listening.playList.play(2));
    Transport::skip(&listening.playList, -1);
    EXPECT_EQ(rig.player->getCurrentFilePath(), paths[0]);
    EXPECT_EQ(listening.playList.getCurrentIndex(), 0u);
}

} // namespace
