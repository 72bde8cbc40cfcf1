#pragma once

#include <string>

// How the play list picks the next song. The stored text is the value of music.playback.mode in
// config/settings.json; the label key names it in the language files.
enum class PlayMode { SEQUENCE = 0, SEQUENCE_LOOP = 1, SINGLE = 2, SINGLE_LOOP = 3, RANDOM = 4 };

const char* playModeText(PlayMode mode);
const char* playModeLabelKey(PlayMode mode);

// True when text is exactly one of the five stored texts.
bool playModeFromText(const std::string& text, PlayMode& mode);
