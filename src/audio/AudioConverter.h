#pragma once

#include "audio/AudioFormat.h"
#include "core/FfmpegHandles.h"

#include <cstdint>

// A resampler from one AudioFormat to another that is kept across frames and rebuilt only when
// either format changes.
class AudioConverter {
public:
    enum class Status { READY, ALLOCATION_FAILED, INITIALISATION_FAILED };

    // The highest sample rate converted. A damaged header can claim any rate, and the
    // resampler's filter grows with the ratio of the two rates: gigahertz would take gigabytes.
    static constexpr int MAX_SAMPLE_RATE = 768000;

    static constexpr double UNITY_VOLUME = 1.0;

    // Prepares the conversion, multiplying every sample by volume on the way (in floating point,
    // in the same pass as the channel mixing); a no-op when it is already set up for these two
    // formats and this volume. Rates outside 1..MAX_SAMPLE_RATE fail to initialise.
    Status configure(const AudioFormat& from, const AudioFormat& to, double volume = UNITY_VOLUME);
    bool isReady() const { return resampler != nullptr; }
    const AudioFormat& inputFormat() const { return input; }
    const AudioFormat& outputFormat() const { return output; }

    // Output samples per channel that converting inputCount more samples may produce.
    int outputCapacity(int inputCount) const;
    // Converts inputCount samples (none to drain what the resampler still holds); returns the
    // samples written per channel, or a negative FFmpeg error.
    int convert(uint8_t* const* outputPlanes, int capacity, const uint8_t* const* inputPlanes,
                int inputCount);
    // Forgets samples held back for resampling, e.g. after a seek.
    void reset();
    void release();

private:
    Resampler resampler;
    AudioFormat input;
    AudioFormat output;
    double volume = UNITY_VOLUME;
};
