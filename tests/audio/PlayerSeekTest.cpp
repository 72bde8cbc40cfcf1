#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr int SEEK_STEP_SECONDS = 5;
constexpr double RATE = 44100.0;
constexpr size_t SEARCH_FRAMES = 44100; // around where a seek should land
// Where the sound after a seek lies in the file: the first frame is cut to the target, but an
// MP3 demuxer only estimates the timestamps where it lands.
constexpr double LANDING_TOLERANCE_SECONDS = 0.15;

struct SeekCase {
    const char* fileName;
    const char* encoder;
};

class PlayerSeekTest : public ::testing::TestWithParam<SeekCase> {};

// Within the last step of a song a fast forward lands on its end: the song then ends normally,
// once; a further fast forward there does nothing.
TEST_P(PlayerSeekTest, FastForwardNearTheEndEndsTheSong) {
    PlayerRig rig;
    std::string path =
        rig.media.make(GetParam().fileName, {3.0, 44100, "stereo", GetParam().encoder, ""});
    ASSERT_TRUE(rig.load(path));
    double duration = rig.player->getDuration();
    ASSERT_NEAR(duration, 3.0, 0.1);

    StderrCapture errors;
    rig.player->fastForward(SEEK_STEP_SECONDS);
    EXPECT_EQ(rig.player->getCurrentTime(), duration);
    rig.player->fastForward(SEEK_STEP_SECONDS);
    EXPECT_EQ(rig.player->getCurrentTime(), duration);
    ASSERT_TRUE(rig.playToEnd());
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "");
    rig.pump.pumpFor(*rig.player, 100);
    EXPECT_EQ(rig.songEnds, 1);
    std::vector<int16_t> captured = rig.finish();
    EXPECT_EQ(firstSoundFrame(captured), captured.size() / SoundCapture::CHANNELS)
        << "sound before the end played";
}

// Seeking while paused moves where playback resumes; the sound there is the file's.
TEST_P(PlayerSeekTest, SeeksWhilePausedMoveWherePlaybackResumes) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path =
        rig.media.make(GetParam().fileName, {6.0, 44100, "stereo", GetParam().encoder, ""});
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.5));
    rig.player->pause();
    double pausedAt = rig.player->getCurrentTime();
    ASSERT_LT(pausedAt, 2.0);
    rig.player->fastForward(SEEK_STEP_SECONDS);
    EXPECT_NEAR(rig.player->getCurrentTime(), pausedAt + SEEK_STEP_SECONDS, 1e-9);
    rig.player->rewind(2);
    double target = pausedAt + SEEK_STEP_SECONDS - 2;
    EXPECT_NEAR(rig.player->getCurrentTime(), target, 1e-9);
    EXPECT_TRUE(rig.player->isPaused());
    ASSERT_TRUE(rig.letBuffersPass());

    ASSERT_TRUE(rig.playToEnd());
    std::vector<std::vector<int16_t>> runs = soundRuns(rig.finish());
    ASSERT_EQ(runs.size(), 2u);
    size_t expected = static_cast<size_t>(target * RATE);
    long resumedAt = locateFirstSound(runs[1], SyntheticMedia::reference(path),
                                      expected - SEARCH_FRAMES, expected + SEARCH_FRAMES);
    EXPECT_NEAR(resumedAt / RATE, target, LANDING_TOLERANCE_SECONDS);
}

// Exact timestamps, estimated ones (MP3), and a codec whose sound starts after a pre-skip (Opus).
const SeekCase SEEK_CASES[] = {
    {"tone.wav", "-c:a pcm_s16le"}, {"tone.mp3", "-c:a libmp3lame"}, {"tone.opus", "-c:a libopus"}};

INSTANTIATE_TEST_SUITE_P(Formats, PlayerSeekTest, ::testing::ValuesIn(SEEK_CASES),
                         [](const ::testing::TestParamInfo<SeekCase>& info) {
                             std::string name = info.param.fileName;
                             return name.substr(name.find('.') + 1);
                         });

// A seek while playing is heard from the next device buffer on: the stale sound the decoding
// thread had prepared is dropped, and the sound continues exactly at the target.
TEST(PlayerSeekTest, ASeekIsHeardAtOnce) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path = rig.media.make("tone.flac", {8.0, 44100, "stereo", "-c:a flac", ""});
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(1.0));
    size_t requestedAt = rig.capturedFrames();
    rig.player->fastForward(4);
    double target = rig.player->getCurrentTime();
    ASSERT_TRUE(rig.waitForSongEnd());

    std::vector<int16_t> reference = SyntheticMedia::reference(path);
    SoundSwitch heard = findSwitch(rig.finish(), reference);
    // From the seek to the end the capture is the file's sound from the target on.
    EXPECT_NEAR((lastSoundFrame(reference) + 1 - heard.frames) / RATE, target, 1.0 / RATE);
    // The buffer on its way when the seek came, and no more of the old position.
    EXPECT_LE(heard.oldSoundEnd - requestedAt, 2u * Player::DEVICE_BUFFER_FRAMES);
}

} // namespace
