#include "library/PlayMode.h"

#include "settings/JsonFile.h"

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

// The member of an object, or null when the value is not an object or lacks it.
const Json::Value* memberOf(const Json::Value& value, const char* key) {
    if (!value.isObject()) {
        return nullptr;
    }
    return value.find(key, key + std::char_traits<char>::length(key));
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

bool readPlayModeSetting(const std::string& settingsPath, PlayMode& mode) {
    JsonFile::ReadResult settings = JsonFile::read(settingsPath);
    if (settings.status != JsonFile::ReadStatus::Ok) {
        return false;
    }
    const Json::Value* music = memberOf(settings.root, "music");
    const Json::Value* playback = music ? memberOf(*music, "playback") : nullptr;
    const Json::Value* text = playback ? memberOf(*playback, "mode") : nullptr;
    return text && text->isString() && playModeFromText(text->asString(), mode);
}
