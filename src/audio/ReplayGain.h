#pragma once

#include "model/VolumeLevelling.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <optional>

// The ReplayGain of one song, track and album: the gain in dB that brings it to the reference
// loudness and the peak sample it reaches (full scale 1.0), each unknown when the file does not
// say. Read when the song is opened, so a re-tagged file is honoured at once.
class ReplayGain {
public:
    struct Level {
        std::optional<double> gainDb;
        double peak = 0.0; // 0 when unknown
    };

    // From the stream's ReplayGain side data where the demuxer exports it, else the
    // REPLAYGAIN_* tags of the stream and the container, else Opus's R128_* tags.
    static ReplayGain of(const AVFormatContext& container, const AVStream& stream);

    // The factor the samples are multiplied by: the gain, lowered where it would raise the peak
    // past full scale (an unknown peak counts as full scale). 1 when off or nothing is known.
    double volumeFor(VolumeLevelling levelling) const;

    Level track;
    Level album;

private:
    static std::optional<ReplayGain> fromSideData(const AVStream& stream);
    static std::optional<ReplayGain> fromTags(const AVFormatContext& container,
                                              const AVStream& stream);
    static std::optional<ReplayGain> fromOpusTags(const AVStream& stream);
};
