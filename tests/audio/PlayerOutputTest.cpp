#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
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

// A cut (track) and a boost that the album's peak limits to full scale (album), as tagged by
// each format; expectedDb is what the levelling must give, worked out from the tags here.
struct LevelledCase {
    const char* name;
    const char* fileName;
    const char* encoder;
    std::map<std::string, std::string> tags;
    // FFmpeg's "volume" filter levels the format by itself (for Ogg it leaves it unchanged).
    bool ffmpegLevels;
    double trackDb;
    double albumDb;
};

void PrintTo(const LevelledCase& levelled, std::ostream* out) {
    *out << levelled.name;
}

const std::map<std::string, std::string> REPLAYGAIN_TAGS = {{"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"},
                                                            {"REPLAYGAIN_TRACK_PEAK", "0.500000"},
                                                            {"REPLAYGAIN_ALBUM_GAIN", "+4.25 dB"},
                                                            {"REPLAYGAIN_ALBUM_PEAK", "0.900000"}};
const double CAPPED_ALBUM_DB = -20.0 * std::log10(0.9);
// Q7.8 dB toward -23 LUFS, 5 dB below ReplayGain's reference; without a peak, no boost at all.
const std::map<std::string, std::string> R128_TAGS = {{"R128_TRACK_GAIN", "-2048"},
                                                      {"R128_ALBUM_GAIN", "256"}};
const double R128_TRACK_DB = -2048 / 256.0 + 5.0;

const LevelledCase LEVELLED_CASES[] = {
    {"Flac", "tone.flac", "flac", REPLAYGAIN_TAGS, true, -6.5, CAPPED_ALBUM_DB},
    {"Mp3", "tone.mp3", "-c:a libmp3lame -b:a 192k", REPLAYGAIN_TAGS, true, -6.5, CAPPED_ALBUM_DB},
    {"Vorbis", "tone.ogg", "libvorbis", REPLAYGAIN_TAGS, false, -6.5, CAPPED_ALBUM_DB},
    {"Opus", "tone.opus", "libopus", R128_TAGS, false, R128_TRACK_DB, 0.0},
};

double rmsDb(const std::vector<int16_t>& samples) {
    double sum = std::accumulate(samples.begin(), samples.end(), 0.0,
                                 [](double total, int16_t s) { return total + double(s) * s; });
    return 10.0 * std::log10(sum / std::max<size_t>(samples.size(), 1));
}

class PlayerLevellingTest
    : public ::testing::TestWithParam<std::tuple<LevelledCase, VolumeLevelling, bool>> {};

TEST_P(PlayerLevellingTest, DeviceReceivesTheLevelFfmpegGives) {
    const auto& [levelled, levelling, equalized] = GetParam();
    PlayerRig rig;
    std::string path = rig.media.make(levelled.fileName,
                                      {1.0, 44100, "stereo", levelled.encoder, "", levelled.tags});
    const std::string equalizer =
        equalized ? "," + PlayerRig::equalizerFilter(PlayerRig::SHAPED_GAINS, 2) : "";
    const double expectedDb = levelling == VolumeLevelling::TRACK   ? levelled.trackDb
                              : levelling == VolumeLevelling::ALBUM ? levelled.albumDb
                                                                    : 0.0;
    std::string volume = "volume=" + std::to_string(expectedDb) + "dB";
    if (levelling == VolumeLevelling::OFF) {
        volume = "anull"; // the plain decoding, to the bit
    } else if (levelled.ffmpegLevels) {
        volume = std::string("volume=replaygain=") + volumeLevellingText(levelling) +
                 ":replaygain_noclip=1";
    }
    rig.player->setVolumeLevelling(levelling);
    if (equalized) {
        rig.player->setEQGains(PlayerRig::SHAPED_GAINS);
    }
    ASSERT_TRUE(rig.load(path));
    ASSERT_TRUE(rig.playToEnd());

    std::vector<int16_t> captured = rig.finish();
    std::vector<int16_t> reference = SyntheticMedia::reference(path, volume + equalizer);
    std::vector<int16_t> unlevelled = SyntheticMedia::reference(path, "anull" + equalizer);
    EXPECT_NEAR(rmsDb(reference) - rmsDb(unlevelled), expectedDb, 0.05) << "reference's level";
    SoundMatch match = matchSound(captured, reference);
    ASSERT_TRUE(match.found);
    EXPECT_EQ(match.capturedFrames, reference.size() / SoundCapture::CHANNELS);
    EXPECT_GT(match.snrDb, MIN_SNR_DB);
    EXPECT_GT(match.worstBlockSnrDb, MIN_BLOCK_SNR_DB);
    if (!equalized && levelling == VolumeLevelling::OFF) {
        EXPECT_TRUE(std::isinf(match.snrDb)) << "not bit-exact: " << match.snrDb;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerLevellingTest,
                         ::testing::Combine(::testing::ValuesIn(LEVELLED_CASES),
                                            ::testing::Values(VolumeLevelling::OFF,
                                                              VolumeLevelling::TRACK,
                                                              VolumeLevelling::ALBUM),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    volumeLevellingText(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_equalized" : "");
                         });

} // namespace
