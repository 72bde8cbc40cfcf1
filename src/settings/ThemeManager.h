#pragma once

#include "settings/ThemeColors.h"

#include <map>
#include <string>

// Named colour sets, one of which is current. The built-in set "默认主题" is the one in use at
// start; the sets are written to "config/themes.json" whenever the current set changes.
//
// Choosing a now-playing skin chooses the set named by the skin's label key ("theme_tape",
// "theme_record"), never by the skin's name in the interface language, so the choice holds
// whatever language is on and the file reads the same in every language.
class ThemeManager {
public:
    static constexpr const char* DEFAULT_THEME = "默认主题";
    static constexpr const char* TAPE_SKIN_THEME = "theme_tape";
    static constexpr const char* RECORD_SKIN_THEME = "theme_record";

    static ThemeManager& getInstance();

    ThemeManager();

    ThemeManager(const ThemeManager&) = delete;
    ThemeManager& operator=(const ThemeManager&) = delete;

    // The current set; the default set when the current name is unknown.
    const ThemeColors& getCurrentColors();
    const std::string& getCurrentTheme() const { return currentTheme; }
    // Makes a known set current and saves; false (and nothing written) for an unknown name or
    // when saving failed.
    bool setCurrentTheme(const std::string& name);
    bool saveThemes();

private:
    std::map<std::string, ThemeColors> themes;
    std::string currentTheme = DEFAULT_THEME;
    std::string configPath = "config/themes.json";
};
