#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

#include <cstdint>

// Rate, sample format and channels of a stream of samples. Channels without known positions
// (a decoder that reports only a count) get the usual layout for that count, so the converters
// and the equalizer always agree on what each channel is.
struct AudioFormat {
    int sampleRate = 0;
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;
    int channelCount = 0;
    uint64_t channelMask = 0; // 0 when no usual layout exists for channelCount

    static AudioFormat ofCodec(const AVCodecContext& codec);
    static AudioFormat ofFrame(const AVFrame& frame);
    static AudioFormat of(int sampleRate, AVSampleFormat sampleFormat,
                          const AVChannelLayout& layout);

    AudioFormat withSampleFormat(AVSampleFormat format) const;
    // The layout to hand to FFmpeg; it owns no memory and needs no uninit.
    AVChannelLayout channelLayout() const;

    bool operator==(const AudioFormat& other) const;
    bool operator!=(const AudioFormat& other) const { return !(*this == other); }
};
