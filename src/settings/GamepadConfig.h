#pragma once

#include <map>
#include <string>

// Maps button names ("up", "a", "l1", ...) to SDL game-controller button numbers. The built-in
// mapping fits the console; "config/gamepad.json" may override or add names.
class GamepadConfig {
public:
    static GamepadConfig& getInstance();

    // The built-in mapping.
    GamepadConfig();

    // Starts again from the built-in mapping, then applies the file's members. True when the
    // whole file was read.
    bool load(const std::string& path);

    // The button number mapped to name, or -1.
    int getButton(const std::string& name) const;

private:
    void applyBuiltInMapping();

    std::map<std::string, int> mapping;
};
