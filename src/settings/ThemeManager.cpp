#include "settings/ThemeManager.h"

#include "core/JsonFile.h"
#include "core/JsonPath.h"
#include "core/Log.h"

#include <exception>

namespace {

// Where each colour sits in a theme object of the themes file.
struct ColorField {
    SDL_Color ThemeColors::*member;
    const char* path;
};

constexpr ColorField COLOR_FIELDS[] = {
    {&ThemeColors::primary, "primary"},
    {&ThemeColors::secondary, "secondary"},
    {&ThemeColors::background, "background"},
    {&ThemeColors::text, "text"},
    {&ThemeColors::topbarBackground, "topbar.background"},
    {&ThemeColors::topbarText, "topbar.text"},
    {&ThemeColors::volumeBackground, "topbar.volume.background"},
    {&ThemeColors::volumeForeground, "topbar.volume.foreground"},
    {&ThemeColors::batteryHigh, "topbar.battery.high"},
    {&ThemeColors::batteryMedium, "topbar.battery.medium"},
    {&ThemeColors::batteryLow, "topbar.battery.low"},
};

ThemeColors builtInColors() {
    ThemeColors colors;
    colors.primary = {0, 122, 255, 255};
    colors.secondary = {128, 128, 128, 255};
    colors.background = {0, 0, 0, 255};
    colors.text = {255, 255, 255, 255};
    colors.topbarBackground = {0, 0, 0, 200};
    colors.topbarText = {255, 255, 255, 255};
    colors.volumeBackground = {64, 64, 64, 255};
    colors.volumeForeground = {0, 122, 255, 255};
    colors.batteryHigh = {0, 255, 0, 255};
    colors.batteryMedium = {255, 255, 0, 255};
    colors.batteryLow = {255, 0, 0, 255};
    return colors;
}

Json::Value colorToJson(const SDL_Color& color) {
    Json::Value value(Json::objectValue);
    value["r"] = color.r;
    value["g"] = color.g;
    value["b"] = color.b;
    value["a"] = color.a;
    return value;
}

Json::Value themeToJson(const ThemeColors& colors) {
    Json::Value theme(Json::objectValue);
    for (const ColorField& field : COLOR_FIELDS) {
        JsonPath::set(theme, field.path, colorToJson(colors.*field.member));
    }
    return theme;
}

} // namespace

ThemeManager& ThemeManager::getInstance() {
    static ThemeManager instance;
    return instance;
}

ThemeManager::ThemeManager() {
    // Both skins draw with the built-in colours until a set of their own is designed.
    for (const char* name : {DEFAULT_THEME, TAPE_SKIN_THEME, RECORD_SKIN_THEME}) {
        themes[name] = builtInColors();
    }
}

const ThemeColors& ThemeManager::getCurrentColors() {
    auto current = themes.find(currentTheme);
    if (current != themes.end()) {
        return current->second;
    }
    return themes[DEFAULT_THEME];
}

bool ThemeManager::setCurrentTheme(const std::string& name) {
    if (themes.count(name) == 0) {
        return false;
    }
    currentTheme = name;
    return saveThemes();
}

bool ThemeManager::saveThemes() {
    try {
        Json::Value file(Json::objectValue);
        file["current_theme"] = currentTheme;
        Json::Value& stored = file["themes"] = Json::Value(Json::objectValue);
        for (const auto& [name, colors] : themes) {
            stored[name] = themeToJson(colors);
        }
        if (!JsonFile::saveStyled(configPath, file)) {
            logError("保存主题配置失败: " + configPath);
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        logError(std::string("保存主题配置失败: ") + error.what());
        return false;
    }
}
