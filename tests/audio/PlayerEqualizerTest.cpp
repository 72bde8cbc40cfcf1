#include "support/PlayerRig.h"

#include <gtest/gtest.h>

namespace {

constexpr double RATE = 44100.0;
constexpr size_t BLOCK_FRAMES = 2048;
// Low bands ring for a while after the chain is replaced; compare once they have settled.
constexpr size_t SETTLE_FRAMES = 22050;

// Of a stretch of the capture (placed at offset) against the reference; 1000 when exact.
double snrOver(const std::vector<int16_t>& captured, long offset,
               const std::vector<int16_t>& reference, size_t fromFrame, size_t toFrame) {
    double signal = 0.0;
    double noise = 0.0;
    for (size_t i = 2 * fromFrame; i < std::min(2 * toFrame, reference.size()); ++i) {
        long at = offset * 2 + static_cast<long>(i);
        double got = at >= 0 && at < static_cast<long>(captured.size()) ? captured[at] : 0;
        signal += static_cast<double>(reference[i]) * reference[i];
        noise += (got - reference[i]) * (got - reference[i]);
    }
    return noise == 0.0 ? 1000.0 : 10.0 * std::log10(signal / noise);
}

// Gains stepped again before the first step is heard (within a device buffer, or while paused):
// the last ones are heard one device buffer after the consumer goes on, the sound before keeps
// its gains, and nothing is heard twice or dropped, at a change or across a pause.
TEST(PlayerEqualizerTest, GainsSteppedBeforeTheyAreHeard) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path = rig.media.make("tone.wav", {4.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    const std::vector<float> flat(PlayerRig::SHAPED_GAINS.size(), 0.0f);
    const std::vector<float>& shapedGains = PlayerRig::SHAPED_GAINS;
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    double pausedAt = 0.0;
    // Two steps back to flat gains, then three ending shaped; pausing holds the consumer still.
    for (const auto& steps : {std::vector<std::vector<float>>{shapedGains, flat},
                              std::vector<std::vector<float>>{shapedGains, flat, shapedGains}}) {
        ASSERT_TRUE(rig.waitForPosition(pausedAt + 1.0));
        rig.player->pause();
        pausedAt = rig.player->getCurrentTime();
        for (const std::vector<float>& gains : steps) {
            rig.player->setEQGains(gains);
            ASSERT_TRUE(rig.letBuffersPass(1));
        }
        rig.player->play();
    }
    ASSERT_TRUE(rig.waitForSongEnd());
    std::vector<int16_t> captured = soundWithoutGaps(rig.finish());

    std::vector<int16_t> reference = SyntheticMedia::reference(path);
    std::vector<int16_t> shaped =
        SyntheticMedia::reference(path, PlayerRig::equalizerFilter(shapedGains, 2));
    SoundMatch match = matchSound(captured, reference);
    ASSERT_TRUE(match.found);
    size_t frames = reference.size() / 2;
    size_t firstChanged = 0;
    while (firstChanged + BLOCK_FRAMES <= frames &&
           snrOver(captured, match.offset, reference, firstChanged, firstChanged + BLOCK_FRAMES) >=
               1000.0) {
        firstChanged += BLOCK_FRAMES;
    }
    EXPECT_GE(firstChanged / RATE, pausedAt);
    EXPECT_LT(firstChanged / RATE, pausedAt + 2.0 * Player::DEVICE_BUFFER_FRAMES / RATE);
    EXPECT_GT(snrOver(captured, match.offset, shaped, firstChanged + SETTLE_FRAMES, frames), 40.0);
}

} // namespace
