#pragma once

class BatteryReader;
class Config;
class Input;
class LanguageManager;
class MusicScanner;
class ThemeManager;

// What the application lends its pages, all owned by whoever made the application and used on
// the UI thread only: the settings, the words of the interface language, the colour sets, the
// controller mapping, the battery and the library scanner.
struct PageServices {
    Config& config;
    LanguageManager& languages;
    ThemeManager& themes;
    const Input& input;
    BatteryReader& battery;
    MusicScanner& scanner;
};
