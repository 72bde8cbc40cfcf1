#include "model/VolumeLevelling.h"

namespace {

struct LevellingNames {
    const char* text;
    const char* labelKey;
};

// Indexed by the enumerators' values.
constexpr LevellingNames LEVELLING_NAMES[] = {
    {"off", "settings_levelling_off"},
    {"track", "settings_levelling_track"},
    {"album", "settings_levelling_album"},
};

const LevellingNames& namesOf(VolumeLevelling levelling) {
    return LEVELLING_NAMES[static_cast<int>(levelling)];
}

} // namespace

const char* volumeLevellingText(VolumeLevelling levelling) {
    return namesOf(levelling).text;
}

const char* volumeLevellingLabelKey(VolumeLevelling levelling) {
    return namesOf(levelling).labelKey;
}

VolumeLevelling volumeLevellingFromText(const std::string& text) {
    for (VolumeLevelling levelling : {VolumeLevelling::TRACK, VolumeLevelling::ALBUM}) {
        if (text == namesOf(levelling).text) {
            return levelling;
        }
    }
    return VolumeLevelling::OFF;
}
