#include "audio/AudioFormat.h"

namespace {

uint64_t positionalMask(const AVChannelLayout& layout) {
    if (layout.order == AV_CHANNEL_ORDER_NATIVE) {
        return layout.u.mask;
    }
    AVChannelLayout usual{};
    av_channel_layout_default(&usual, layout.nb_channels);
    return usual.order == AV_CHANNEL_ORDER_NATIVE ? usual.u.mask : 0;
}

} // namespace

AudioFormat AudioFormat::of(int sampleRate, AVSampleFormat sampleFormat,
                            const AVChannelLayout& layout) {
    AudioFormat format;
    format.sampleRate = sampleRate;
    format.sampleFormat = sampleFormat;
    format.channelCount = layout.nb_channels;
    format.channelMask = positionalMask(layout);
    return format;
}

AudioFormat AudioFormat::ofCodec(const AVCodecContext& codec) {
    return of(codec.sample_rate, codec.sample_fmt, codec.ch_layout);
}

AudioFormat AudioFormat::ofFrame(const AVFrame& frame) {
    return of(frame.sample_rate, static_cast<AVSampleFormat>(frame.format), frame.ch_layout);
}

AudioFormat AudioFormat::withSampleFormat(AVSampleFormat format) const {
    AudioFormat changed = *this;
    changed.sampleFormat = format;
    return changed;
}

AVChannelLayout AudioFormat::channelLayout() const {
    AVChannelLayout layout{};
    if (channelMask != 0) {
        av_channel_layout_from_mask(&layout, channelMask);
    } else {
        layout.order = AV_CHANNEL_ORDER_UNSPEC;
        layout.nb_channels = channelCount;
    }
    return layout;
}

bool AudioFormat::operator==(const AudioFormat& other) const {
    return sampleRate == other.sampleRate && sampleFormat == other.sampleFormat &&
           channelCount == other.channelCount && channelMask == other.channelMask;
}
