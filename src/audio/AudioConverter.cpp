#include "audio/AudioConverter.h"

extern "C" {
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
}

namespace {

constexpr int SIXTEEN_BIT_BYTES = 2;

// The resampler's channel mixing scales by the volume. Between two 16-bit formats it would mix
// in 16-bit integers (which wrap round on a boost): it mixes in float then, as FFmpeg's volume
// filter does.
bool setVolume(SwrContext* resampler, const AudioFormat& from, const AudioFormat& to,
               double volume) {
    if (av_opt_set_double(resampler, "rematrix_volume", volume, 0) < 0) {
        return false;
    }
    if (av_get_bytes_per_sample(from.sampleFormat) > SIXTEEN_BIT_BYTES ||
        av_get_bytes_per_sample(to.sampleFormat) > SIXTEEN_BIT_BYTES) {
        return true;
    }
    return av_opt_set_sample_fmt(resampler, "internal_sample_fmt", AV_SAMPLE_FMT_FLTP, 0) >= 0;
}

} // namespace

AudioConverter::Status AudioConverter::configure(const AudioFormat& from, const AudioFormat& to,
                                                 double newVolume) {
    if (resampler && from == input && to == output && newVolume == volume) {
        return Status::READY;
    }
    release();
    for (int rate : {from.sampleRate, to.sampleRate}) {
        if (rate < 1 || rate > MAX_SAMPLE_RATE) {
            return Status::INITIALISATION_FAILED;
        }
    }
    AVChannelLayout fromLayout = from.channelLayout();
    AVChannelLayout toLayout = to.channelLayout();
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(&raw, &toLayout, to.sampleFormat, to.sampleRate, &fromLayout,
                            from.sampleFormat, from.sampleRate, 0, nullptr) < 0 ||
        !raw) {
        return Status::ALLOCATION_FAILED;
    }
    Resampler created(raw);
    if (newVolume != UNITY_VOLUME && !setVolume(created.get(), from, to, newVolume)) {
        return Status::INITIALISATION_FAILED;
    }
    if (swr_init(created.get()) < 0) {
        return Status::INITIALISATION_FAILED;
    }
    resampler = std::move(created);
    input = from;
    output = to;
    volume = newVolume;
    return Status::READY;
}

int AudioConverter::outputCapacity(int inputCount) const {
    int64_t pending = swr_get_delay(resampler.get(), input.sampleRate) + inputCount;
    return static_cast<int>(
        av_rescale_rnd(pending, output.sampleRate, input.sampleRate, AV_ROUND_UP));
}

int AudioConverter::convert(uint8_t* const* outputPlanes, int capacity,
                            const uint8_t* const* inputPlanes, int inputCount) {
    return swr_convert(resampler.get(), const_cast<uint8_t**>(outputPlanes), capacity,
                       const_cast<const uint8_t**>(inputPlanes), inputCount);
}

void AudioConverter::reset() {
    if (resampler) {
        swr_init(resampler.get());
    }
}

void AudioConverter::release() {
    resampler.reset();
    volume = UNITY_VOLUME;
    input = AudioFormat{};
    output = AudioFormat{};
}
