#pragma once

#include <string>

// Whether songs play at the loudness their ReplayGain tags ask for: not at all, each song by its
// own gain, or every song of an album by the album's gain (keeping the album's quiet and loud
// songs apart). The stored text is the value of music.replaygain in config/settings.json; the
// label key names the choice in the language files.
enum class VolumeLevelling { OFF, TRACK, ALBUM };

const char* volumeLevellingText(VolumeLevelling levelling);
const char* volumeLevellingLabelKey(VolumeLevelling levelling);
// A missing or unknown text reads as OFF, so that the sound stays as it was.
VolumeLevelling volumeLevellingFromText(const std::string& text);
