#include "audio/ReplayGain.h"

extern "C" {
#include <libavutil/replaygain.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>

namespace {

// The side data's units: gains in microbels, peaks in 1/100000 of full scale.
constexpr double SIDE_DATA_SCALE = 100000.0;
constexpr uint32_t UNKNOWN_SIDE_DATA_PEAK = 0;
// R128 gains are Q7.8 dB toward -23 LUFS; ReplayGain's reference is 5 dB louder.
constexpr double R128_STEPS_PER_DB = 256.0;
constexpr double R128_TO_REPLAYGAIN_DB = 5.0;
constexpr double FULL_SCALE = 1.0;
constexpr double DB_PER_AMPLITUDE_DECADE = 20.0;

ReplayGain::Level sideDataLevel(int32_t gain, uint32_t peak) {
    ReplayGain::Level level;
    if (gain != INT32_MIN) {
        level.gainDb = gain / SIDE_DATA_SCALE;
    }
    if (peak != UNKNOWN_SIDE_DATA_PEAK) {
        level.peak = peak / SIDE_DATA_SCALE;
    }
    return level;
}

const char* tagValue(const AVDictionary* tags, const char* name) {
    const AVDictionaryEntry* entry = av_dict_get(tags, name, nullptr, 0);
    return entry ? entry->value : nullptr;
}

// The number at the start of a tag such as "-6.48 dB" or "0.988553", whatever the C locale.
std::optional<double> leadingNumber(const char* text) {
    if (!text) {
        return std::nullopt;
    }
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (!(in >> value) || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The stream's tags first (Ogg keeps them there), then the container's (FLAC, ID3v2, APE).
std::optional<double> taggedNumber(const AVFormatContext& container, const AVStream& stream,
                                   const char* name) {
    std::optional<double> value = leadingNumber(tagValue(stream.metadata, name));
    return value ? value : leadingNumber(tagValue(container.metadata, name));
}

ReplayGain::Level taggedLevel(const AVFormatContext& container, const AVStream& stream,
                              const char* gainName, const char* peakName) {
    ReplayGain::Level level;
    level.gainDb = taggedNumber(container, stream, gainName);
    level.peak = std::max(0.0, taggedNumber(container, stream, peakName).value_or(0.0));
    return level;
}

std::optional<double> r128Gain(const AVStream& stream, const char* name) {
    std::optional<double> steps = leadingNumber(tagValue(stream.metadata, name));
    if (!steps) {
        return std::nullopt;
    }
    return *steps / R128_STEPS_PER_DB + R128_TO_REPLAYGAIN_DB;
}

bool knowsAGain(const ReplayGain& gain) {
    return gain.track.gainDb || gain.album.gainDb;
}

} // namespace

ReplayGain ReplayGain::of(const AVFormatContext& container, const AVStream& stream) {
    if (std::optional<ReplayGain> gain = fromSideData(stream)) {
        return *gain;
    }
    if (std::optional<ReplayGain> gain = fromTags(container, stream)) {
        return *gain;
    }
    return fromOpusTags(stream).value_or(ReplayGain{});
}

std::optional<ReplayGain> ReplayGain::fromSideData(const AVStream& stream) {
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_REPLAYGAIN, &size);
    if (!data || size < sizeof(AVReplayGain)) {
        return std::nullopt;
    }
    const auto* sideData = reinterpret_cast<const AVReplayGain*>(data);
    ReplayGain gain;
    gain.track = sideDataLevel(sideData->track_gain, sideData->track_peak);
    gain.album = sideDataLevel(sideData->album_gain, sideData->album_peak);
    return knowsAGain(gain) ? std::optional<ReplayGain>(gain) : std::nullopt;
}

std::optional<ReplayGain> ReplayGain::fromTags(const AVFormatContext& container,
                                               const AVStream& stream) {
    ReplayGain gain;
    gain.track = taggedLevel(container, stream, "REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK");
    gain.album = taggedLevel(container, stream, "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK");
    return knowsAGain(gain) ? std::optional<ReplayGain>(gain) : std::nullopt;
}

// Opus carries no peak: the decoder's output gain is already in the samples.
std::optional<ReplayGain> ReplayGain::fromOpusTags(const AVStream& stream) {
    ReplayGain gain;
    gain.track.gainDb = r128Gain(stream, "R128_TRACK_GAIN");
    gain.album.gainDb = r128Gain(stream, "R128_ALBUM_GAIN");
    return knowsAGain(gain) ? std::optional<ReplayGain>(gain) : std::nullopt;
}

// As FFmpeg's "volume" filter levels (with no pre-amplification and clipping prevented), except
// that album levelling falls back to the track gain rather than to none.
double ReplayGain::volumeFor(VolumeLevelling levelling) const {
    if (levelling == VolumeLevelling::OFF) {
        return FULL_SCALE;
    }
    const Level& preferred = levelling == VolumeLevelling::ALBUM ? album : track;
    const Level& other = levelling == VolumeLevelling::ALBUM ? track : album;
    const Level& level = preferred.gainDb ? preferred : other;
    if (!level.gainDb) {
        return FULL_SCALE;
    }
    const double peak = level.peak > 0.0 ? level.peak : FULL_SCALE;
    return std::min(std::pow(10.0, *level.gainDb / DB_PER_AMPLITUDE_DECADE), FULL_SCALE / peak);
}
