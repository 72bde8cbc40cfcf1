#pragma once

#include "audio/AudioConverter.h"
#include "audio/AudioFormat.h"
#include "core/FfmpegHandles.h"

#include <string>
#include <vector>

// The ten-band equalizer: an "abuffer" -> "anequalizer" -> "abuffersink" filter graph for one
// stream format in planar double, plus the converter that carries a decoded frame of another
// sample format into the graph. Built and used on the decoding thread.
class EqualizerChain {
public:
    static constexpr int BAND_COUNT = 10;

    // The "anequalizer" argument string: every band for channel 0 and, unless the stream is
    // mono, channel 1. Missing gains count as 0 dB.
    static std::string bandArguments(const std::vector<float>& gains, int channelCount);
    // The "abuffer" argument string for a stream of this rate and layout in planar double.
    static std::string sourceArguments(const AudioFormat& format);
    // True when every gain is 0 dB, so that filtering would change nothing.
    static bool isFlat(const std::vector<float>& gains);

    // Builds the graph for frames of this format; false, with an error line, when that fails.
    bool build(const AudioFormat& format, const std::vector<float>& gains);
    // True for frames of the rate and channels the chain was built for, in any sample format.
    bool accepts(const AVFrame& frame) const;
    // The equalized sound of the frame, in planar double at the stream's rate and channels; valid
    // until the next call. Null when the graph cannot take the frame (it then plays unfiltered).
    const AVFrame* filter(const AVFrame& frame);

private:
    bool createFilters(const AudioFormat& format, const std::vector<float>& gains);
    bool restrictSink(const AudioFormat& format);
    bool fillFilterInput(const AVFrame& frame);

    FilterGraph filterGraph;
    AVFilterContext* bufferSrcContext = nullptr;
    AVFilterContext* equalizerContext = nullptr;
    AVFilterContext* bufferSinkContext = nullptr;
    AudioFormat format;
    Frame filterInput;
    Frame filterOutput;
    AudioConverter inputConverter;
};
