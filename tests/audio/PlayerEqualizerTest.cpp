#include "support/PlayerRig.h"

#include <gtest/gtest.h>

namespace {

constexpr double RATE = 44100.0;
constexpr size_t BLOCK_FRAMES = 2048;
// Low bands ring for a while after the chain is replaced; compare once they have settled.
constexpr size_t SETTLE_FRAMES = 22050;
// Of the lead decoded before a change: a change heard later than this was played out, not dropped.
constexpr double STALE_SHARE = 0.75;

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

// New gains while a song plays are heard a device buffer later, and the sound goes on without a
// gap or a repeat.
TEST(PlayerEqualizerTest, NewGainsTakeEffectWhilePlaying) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path = rig.media.make("tone.wav", {4.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(1.0));
    double changedAt = rig.player->getCurrentTime();
    rig.player->setEQGains(PlayerRig::SHAPED_GAINS);
    ASSERT_TRUE(rig.waitForSongEnd());
    std::vector<int16_t> captured = rig.finish();

    std::vector<int16_t> flat = SyntheticMedia::reference(path);
    std::vector<int16_t> shaped =
        SyntheticMedia::reference(path, PlayerRig::equalizerFilter(PlayerRig::SHAPED_GAINS, 2));
    SoundMatch match = matchSound(captured, flat);
    ASSERT_TRUE(match.found);

    // Up to the change the sound is untouched, block by block.
    size_t frames = flat.size() / 2;
    size_t firstChanged = 0;
    while (firstChanged + BLOCK_FRAMES <= frames &&
           snrOver(captured, match.offset, flat, firstChanged, firstChanged + BLOCK_FRAMES) >=
               1000.0) {
        firstChanged += BLOCK_FRAMES;
    }
    // The sound already in the ring is rendered anew rather than played out: the change is heard
    // well before the lead decoded ahead of it would have run out (on a fast machine, one device
    // buffer later; the bound leaves room for a slow or emulated one).
    EXPECT_GE(firstChanged / RATE, changedAt - BLOCK_FRAMES / RATE);
    EXPECT_LT(firstChanged / RATE, changedAt + PlayerRig::BUFFERING.leadSeconds * STALE_SHARE);
    // Afterwards it is the equalized sound.
    EXPECT_GT(snrOver(captured, match.offset, shaped, firstChanged + SETTLE_FRAMES, frames), 40.0);
    EXPECT_LT(snrOver(captured, match.offset, flat, firstChanged + SETTLE_FRAMES, frames), 20.0);
}

} // namespace
