#pragma once

#include "audio/AudioConverter.h"
#include "audio/AudioFormat.h"
#include "core/FfmpegHandles.h"

#include <string>
#include <vector>

// The ten-band equalizer: an "abuffer" -> "anequalizer" -> "abuffersink" filter graph for one
// stream format in planar float, plus the converters that carry a decoded frame into the graph
// and the result back into the frame. Built on the main thread, used on the audio thread.
class EqualizerChain {
public:
    static constexpr int BAND_COUNT = 10;

    // The "anequalizer" argument string: every band for channel 0 and, unless the stream is
    // mono, channel 1. Missing gains count as 0 dB.
    static std::string bandArguments(const std::vector<float>& gains, int channelCount);
    // The "abuffer" argument string for a stream of this rate and layout in planar float.
    static std::string sourceArguments(const AudioFormat& format);
    // True when every gain is 0 dB, so that filtering would change nothing.
    static bool isFlat(const std::vector<float>& gains);

    // Builds the graph for frames of this format; false, with an error line, when that fails.
    bool build(const AudioFormat& format, const std::vector<float>& gains);
    // True for frames of the rate and channels the chain was built for, in any sample format.
    bool accepts(const AVFrame& frame) const;
    // Replaces the frame's samples by equalized ones, in its own format. A frame the graph
    // cannot take passes unchanged.
    void apply(AVFrame* frame);

private:
    bool createFilters(const AudioFormat& format, const std::vector<float>& gains);
    bool restrictSink(const AudioFormat& format);
    bool fillFilterInput(const AVFrame& frame);
    void copyBack(AVFrame* frame);

    FilterGraph filterGraph;
    AVFilterContext* bufferSrcContext = nullptr;
    AVFilterContext* equalizerContext = nullptr;
    AVFilterContext* bufferSinkContext = nullptr;
    AudioFormat format;
    Frame filterInput;
    Frame filterOutput;
    AudioConverter inputConverter;
    AudioConverter outputConverter;
};
