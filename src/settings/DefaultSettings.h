#pragma once

// The settings file the program ships (assets/config/settings.json), compiled in at build time as
// the language files are: a start without a usable settings file runs on it, and a user's file
// is completed from it, so that no save loses the music formats or the equalizer presets.
namespace DefaultSettings {

// The file's JSON text.
const char* fileText();

} // namespace DefaultSettings
