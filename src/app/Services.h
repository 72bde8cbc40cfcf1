#pragma once

#include "core/Clock.h"
#include "pages/PageServices.h"
#include "ui/BatteryReader.h"
#include "ui/Input.h"

class Config;
class GamepadConfig;
class LanguageManager;
class MusicScanner;
class ThemeManager;

// The stores the application's parts share, owned by whoever makes the application: the
// process-wide ones in the program, a test's own in a test.
struct Stores {
    Config& config;
    LanguageManager& languages;
    ThemeManager& themes;
    GamepadConfig& gamepad;
    MusicScanner& scanner;

    static Stores processWide();
};

// Everything the application hands its parts: the stores, the controller mapping as the pages
// ask it, the battery the top bars show and the clock of the idle time-out and the sleep timer.
struct Services {
    Services(const Stores& stores, Clock clock);

    PageServices forPages();

    Stores stores;
    Clock clock;
    Input input;
    BatteryReader battery;
};
