#include "audio/EqualizerChain.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(EqualizerChainTest, BandStringNamesEveryBandForTheFrontChannels) {
    std::string stereo = EqualizerChain::bandArguments(std::vector<float>(10, 0.0f), 2);
    EXPECT_EQ(stereo.rfind(
                  "c0 f=31.000000 w=20.000000 g=0.000000 t=0|c1 f=31.000000 w=20.000000 g=0.000000 "
                  "t=0|c0 f=62.000000 w=40.000000 g=0.000000 t=0|",
                  0),
              0u);
    EXPECT_NE(stereo.find("|c1 f=16000.000000 w=10240.000000 g=0.000000 t=0"), std::string::npos);
    EXPECT_EQ(std::count(stereo.begin(), stereo.end(), '|'), 19);
    EXPECT_EQ(stereo.back(), '0');
    // More channels: still only the first two are shaped.
    EXPECT_EQ(EqualizerChain::bandArguments(std::vector<float>(10, 0.0f), 6), stereo);

    std::string mono = EqualizerChain::bandArguments(std::vector<float>(10, 0.0f), 1);
    EXPECT_EQ(mono.find("c1"), std::string::npos);
    EXPECT_EQ(std::count(mono.begin(), mono.end(), '|'), 9);
}

TEST(EqualizerChainTest, MissingGainsCountAsFlatAndExtraOnesAreIgnored) {
    std::string shortList = EqualizerChain::bandArguments({-3.5f, 12.0f}, 1);
    EXPECT_EQ(
        shortList.rfind("c0 f=31.000000 w=20.000000 g=-3.500000 t=0|c0 f=62.000000 w=40.000000 "
                        "g=12.000000 t=0|c0 f=125.000000 w=80.000000 g=0.000000 t=0",
                        0),
        0u);
    EXPECT_EQ(EqualizerChain::bandArguments({}, 2),
              EqualizerChain::bandArguments(std::vector<float>(10, 0.0f), 2));
    std::vector<float> eleven(11, 1.0f);
    EXPECT_EQ(EqualizerChain::bandArguments(eleven, 2),
              EqualizerChain::bandArguments(std::vector<float>(10, 1.0f), 2));

    EXPECT_TRUE(EqualizerChain::isFlat({}));
    EXPECT_TRUE(EqualizerChain::isFlat(std::vector<float>(10, 0.0f)));
    EXPECT_FALSE(EqualizerChain::isFlat({0.0f, 0.0f, 0.5f}));
}

TEST(EqualizerChainTest, SourceTakesPlanarFloatAtTheStreamsRateAndLayout) {
    AVChannelLayout surround = AV_CHANNEL_LAYOUT_5POINT1;
    AudioFormat format = AudioFormat::of(48000, AV_SAMPLE_FMT_S32, surround);
    EXPECT_EQ(
        EqualizerChain::sourceArguments(format),
        "time_base=1/48000:sample_rate=48000:sample_fmt=fltp:channel_layout=0x60f:channels=6");
}

TEST(EqualizerChainTest, ChannelsWithoutPositionsGetTheUsualLayout) {
    AVChannelLayout unknownStereo{};
    unknownStereo.order = AV_CHANNEL_ORDER_UNSPEC;
    unknownStereo.nb_channels = 2;
    AudioFormat format = AudioFormat::of(44100, AV_SAMPLE_FMT_FLTP, unknownStereo);
    EXPECT_EQ(format.channelMask, static_cast<uint64_t>(AV_CH_LAYOUT_STEREO));

    EqualizerChain chain;
    EXPECT_TRUE(chain.build(format, {3.0f}));
}

} // namespace
