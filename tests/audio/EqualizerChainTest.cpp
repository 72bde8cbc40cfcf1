#include "audio/EqualizerChain.h"

#include <gtest/gtest.h>

// Some decoders report a channel count without positions; the chain must still configure, or
// such files would play unfiltered.
TEST(EqualizerChainTest, ChannelsWithoutPositionsGetTheUsualLayout) {
    AVChannelLayout unknownStereo{};
    unknownStereo.order = AV_CHANNEL_ORDER_UNSPEC;
    unknownStereo.nb_channels = 2;
    AudioFormat format = AudioFormat::of(44100, AV_SAMPLE_FMT_FLTP, unknownStereo);
    EXPECT_EQ(format.channelMask, static_cast<uint64_t>(AV_CH_LAYOUT_STEREO));

    EqualizerChain chain;
    EXPECT_TRUE(chain.build(format, {3.0f}));
}
