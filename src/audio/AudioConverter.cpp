#include "audio/AudioConverter.h"

extern "C" {
#include <libavutil/mathematics.h>
}

AudioConverter::Status AudioConverter::configure(const AudioFormat& from, const AudioFormat& to) {
    if (resampler && from == input && to == output) {
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
    if (swr_init(created.get()) < 0) {
        return Status::INITIALISATION_FAILED;
    }
    resampler = std::move(created);
    input = from;
    output = to;
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
    input = AudioFormat{};
    output = AudioFormat{};
}
