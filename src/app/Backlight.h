#pragma once

#include <string>

// The screen backlight: a sysfs file that holds the panel's raw brightness (0..255). The
// application uses ten levels of it; level 10 is the full 255.
class Backlight {
public:
    static constexpr const char* DEFAULT_PATH = "/sys/class/backlight/backlight/brightness";
    static constexpr int LEVEL_COUNT = 10;
    static constexpr int PERCENT_PER_LEVEL = 10;

    explicit Backlight(std::string path = DEFAULT_PATH);

    // The raw brightness, or 0 when the file cannot be read ("Failed to open brightness file: ").
    int read() const;
    // Writes a raw value; false ("Failed to set backlight level") when the file refuses it.
    bool write(int raw) const;

    // The level at or above a raw value, in percent: 10..100.
    static int toPercent(int raw);
    // The raw value of a level, the level clamped to 1..10.
    static int rawOfLevel(int level);

private:
    std::string path;
};
