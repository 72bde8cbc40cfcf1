#include "model/PlayMode.h"

#include <array>

namespace {

struct PlayModeNames {
    PlayMode mode;
    const char* text;
    const char* labelKey;
};

constexpr std::array<PlayModeNames, 5> PLAY_MODES = {{
    {PlayMode::SEQUENCE, "SEQUENCE", "play_mode_sequence"},
    {PlayMode::SEQUENCE_LOOP, "SEQUENCE_LOOP", "play_mode_sequence_loop"},
    {PlayMode::SINGLE, "SINGLE", "play_mode_single"},
    {PlayMode::SINGLE_LOOP, "SINGLE_LOOP", "play_mode_single_loop"},
    {PlayMode::RANDOM, "RANDOM", "play_mode_random"},
}};

const PlayModeNames& namesOf(PlayMode mode) {
    for (const PlayModeNames& names : PLAY_MODES) {
        if (names.mode == mode) {
            return names;
        }
    }
    return PLAY_MODES.front();
}

} // namespace

const char* playModeText(PlayMode mode) {
    return namesOf(mode).text;
}

const char* playModeLabelKey(PlayMode mode) {
    return namesOf(mode).labelKey;
}

bool playModeFromText(const std::string& text, PlayMode& mode) {
    for (const PlayModeNames& names : PLAY_MODES) {
        if (text == names.text) {
            mode = names.mode;
            return true;
        }
    }
    return false;
}
