#pragma once

#include "app/Services.h"
#include "library/MusicScanner.h"
#include "pages/PageServices.h"
#include "settings/Config.h"
#include "settings/GamepadConfig.h"
#include "settings/LanguageManager.h"
#include "settings/ThemeManager.h"
#include "ui/BatteryReader.h"
#include "ui/Input.h"

// A test's own settings, languages, colours, controller mapping (the built-in one, which the
// runtime's gamepad file repeats), battery and scanner. Made in the test's scratch folder: the
// settings read config/settings.json there (the defaults when there is none).
struct TestServices {
    PageServices pages() { return {config, languages, themes, input, battery, scanner}; }
    Stores stores() { return {config, languages, themes, gamepad, scanner}; }

    Config config;
    LanguageManager languages;
    ThemeManager themes;
    GamepadConfig gamepad;
    Input input{gamepad};
    BatteryReader battery;
    MusicScanner scanner;
};
