#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int SLOW_DISK_DELAY_MS = 10;
constexpr int SEEK_STEP_SECONDS = 5;
constexpr int AFTER_END_WAIT_MS = 150;
constexpr double RATE = 44100.0;
constexpr size_t SEARCH_FRAMES = 44100; // around where a seek should land

struct SeekCase {
    const char* fileName;
    const char* encoder;
};

std::ostream& operator<<(std::ostream& out, const SeekCase& seekCase) {
    return out << seekCase.fileName;
}

class PlayerSeekTest : public ::testing::TestWithParam<SeekCase> {};

// Within the last step of a song a fast forward lands on its end: the song then ends normally,
// once; a further fast forward there does nothing.
TEST_P(PlayerSeekTest, FastForwardNearTheEndEndsTheSong) {
    PlayerRig rig(0);
    std::string path =
        rig.media.make(GetParam().fileName, {3.0, 44100, "stereo", GetParam().encoder, ""});
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    double duration = rig.player->getDuration();
    ASSERT_NEAR(duration, 3.0, 0.1);

    StderrCapture errors;
    rig.player->fastForward(SEEK_STEP_SECONDS);
    EXPECT_EQ(rig.player->getCurrentTime(), duration);
    rig.player->fastForward(SEEK_STEP_SECONDS);
    EXPECT_EQ(rig.player->getCurrentTime(), duration);
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "");

    ASSERT_TRUE(rig.playToEnd());
    rig.pump.pumpFor(*rig.player, AFTER_END_WAIT_MS);
    EXPECT_EQ(rig.songEnds, 1);
    std::vector<int16_t> captured = rig.finish("capture.raw");
    size_t soundFrames = 0;
    for (size_t frame = 0; frame + 1 < captured.size(); frame += 2) {
        soundFrames += captured[frame] != 0 || captured[frame + 1] != 0;
    }
    EXPECT_LT(soundFrames, static_cast<size_t>(0.3 * RATE))
        << "more than the song's last moments played";
}

// Seeking while paused moves where playback resumes; the sound there is the file's.
TEST_P(PlayerSeekTest, SeeksWhilePausedMoveWherePlaybackResumes) {
    PlayerRig rig(SLOW_DISK_DELAY_MS);
    std::string path =
        rig.media.make(GetParam().fileName, {6.0, 44100, "stereo", GetParam().encoder, ""});
    ASSERT_TRUE(rig.load(path, "capture.raw"));
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
    rig.pump.pumpFor(*rig.player, 50);

    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> captured = rig.finish("capture.raw");
    // The resumed sound follows the silence of the pause.
    std::vector<std::vector<int16_t>> runs = soundRuns(captured);
    ASSERT_EQ(runs.size(), 2u);
    const std::vector<int16_t>& resumed = runs[1];
    size_t expected = static_cast<size_t>(target * RATE);
    long resumedAt = locateFirstSound(resumed, MediaFactory::reference(path),
                                      expected - SEARCH_FRAMES, expected + SEARCH_FRAMES);
    ASSERT_GE(resumedAt, 0);
    // Demuxers land on a packet boundary at or after (or, rewinding, before) the target.
    EXPECT_NEAR(resumedAt / RATE, target, 0.15);
}

const SeekCase SEEK_CASES[] = {
    {"tone.wav", "-c:a pcm_s16le"}, {"tone.mp3", "-c:a libmp3lame"}, {"tone.flac", "-c:a flac"},
    {"tone.ogg", "-c:a libvorbis"}, {"tone.opus", "-c:a libopus"},   {"tone.m4a", "-c:a aac"},
};

INSTANTIATE_TEST_SUITE_P(Formats, PlayerSeekTest, ::testing::ValuesIn(SEEK_CASES),
                         [](const ::testing::TestParamInfo<SeekCase>& info) {
                             std::string name = info.param.fileName;
                             return name.substr(name.find('.') + 1);
                         });

TEST(PlayerSeekTest, RewindStopsAtTheStartAndSeeksNeedASong) {
    PlayerRig rig(0);
    StderrCapture errors;
    rig.player->fastForward(SEEK_STEP_SECONDS);
    rig.player->rewind(SEEK_STEP_SECONDS);
    EXPECT_EQ(PlayerRig::errorLines(errors.take()),
              "[ERROR] 无法快进：播放器未初始化\n[ERROR] 无法快退：播放器未初始化\n");

    std::string path = rig.media.make("tone.flac", {8.0, 44100, "stereo", "-c:a flac", ""});
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.player->rewind(SEEK_STEP_SECONDS); // at 0: nothing to do
    EXPECT_EQ(rig.player->getCurrentTime(), 0.0);
    rig.player->fastForward(3);
    EXPECT_EQ(rig.player->getCurrentTime(), 3.0);
    rig.player->rewind(SEEK_STEP_SECONDS);
    EXPECT_EQ(rig.player->getCurrentTime(), 0.0);
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "");
}

// After a stop the next play starts from the beginning, whatever seeks came in between.
TEST(PlayerSeekTest, PlayAfterStopIgnoresSeeksInBetween) {
    PlayerRig rig(SLOW_DISK_DELAY_MS);
    std::string path = rig.media.make("tone.mp3", {4.0, 44100, "stereo", "-c:a libmp3lame", ""});
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.3));
    rig.player->stop();
    rig.player->fastForward(2);
    rig.pump.pumpFor(*rig.player, 50);
    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> captured = rig.finish("capture.raw");
    std::vector<std::vector<int16_t>> runs = soundRuns(captured);
    ASSERT_EQ(runs.size(), 2u);
    const std::vector<int16_t>& restarted = runs[1];
    std::vector<int16_t> reference = MediaFactory::reference(path);
    SoundMatch match = matchSound(restarted, reference);
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
}

} // namespace
