#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

// Sound that reaches the device must be what FFmpeg itself makes of the file.
constexpr double MIN_SNR_DB = 60.0;
constexpr double MIN_BLOCK_SNR_DB = 50.0;

struct SoundCase {
    const char* name;
    const char* fileName;
    int sampleRate;
    const char* channelLayout;
    const char* encoder;
};

// Played flat and through the equalizer: a format the device takes as it is, and the two kinds of
// conversion (sample format, rate and channels up to stereo or down from surround). Which
// decoder a codec needs is FfmpegComponentsTest's.
class PlayerOutputTest : public ::testing::TestWithParam<std::tuple<SoundCase, bool>> {};

TEST_P(PlayerOutputTest, DeviceReceivesWhatFfmpegDecodes) {
    const auto& [soundCase, equalized] = GetParam();
    PlayerRig rig;
    std::string path =
        rig.media.make(soundCase.fileName,
                       {2.0, soundCase.sampleRate, soundCase.channelLayout, soundCase.encoder, ""});
    std::string filter;
    if (equalized) {
        rig.player->setEQGains(PlayerRig::SHAPED_GAINS);
        int channels = soundCase.channelLayout == std::string("mono") ? 1 : 2;
        filter = PlayerRig::equalizerFilter(PlayerRig::SHAPED_GAINS, channels);
    }
    ASSERT_TRUE(rig.load(path));
    ASSERT_TRUE(rig.playToEnd());
    EXPECT_TRUE(rig.player->isStopped());

    std::vector<int16_t> captured = rig.finish();
    std::vector<int16_t> reference = SyntheticMedia::reference(path, filter);
    SoundMatch match = matchSound(captured, reference);
    ASSERT_TRUE(match.found);
    EXPECT_EQ(match.capturedFrames, reference.size() / SoundCapture::CHANNELS)
        << "the tail is missing";
    EXPECT_GT(match.snrDb, MIN_SNR_DB);
    EXPECT_GT(match.worstBlockSnrDb, MIN_BLOCK_SNR_DB);
    EXPECT_EQ(match.soundOutsideMatch, 0u) << "sound before the start or after the end";
    if (!equalized) {
        EXPECT_TRUE(std::isinf(match.snrDb)) << "not bit-exact: " << match.snrDb;
    }
}

const SoundCase SOUND_CASES[] = {
    {"Mp3Stereo44k", "tone.mp3", 44100, "stereo", "-c:a libmp3lame -b:a 192k"},
    {"Flac24Mono96k", "tone.flac", 96000, "mono", "-c:a flac -sample_fmt s32"},
    {"Wav24Surround48k", "tone.wav", 48000, "5.1", "-c:a pcm_s24le"},
};

INSTANTIATE_TEST_SUITE_P(Formats, PlayerOutputTest,
                         ::testing::Combine(::testing::ValuesIn(SOUND_CASES), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<SoundCase, bool>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Equalized" : "");
                         });

} // namespace
