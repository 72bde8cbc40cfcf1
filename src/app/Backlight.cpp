#include "app/Backlight.h"

#include "core/Log.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

// Raw panel brightness of the levels 1..10.
constexpr int LEVEL_VALUES[Backlight::LEVEL_COUNT] = {18, 33, 48, 63, 84, 107, 137, 168, 198, 255};

} // namespace

Backlight::Backlight(std::string path) : path(std::move(path)) {
}

int Backlight::read() const {
    std::ifstream file(path);
    if (!file) {
        logError("Failed to open brightness file: " + path);
        return 0;
    }
    int raw = 0;
    file >> raw;
    return file ? raw : 0;
}

// The file is written directly (no shell): sysfs takes the value as one decimal line.
bool Backlight::write(int raw) const {
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    file << raw << '\n';
    file.close();
    if (file.fail()) {
        logError("Failed to set backlight level");
        return false;
    }
    return true;
}

int Backlight::toPercent(int raw) {
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        if (LEVEL_VALUES[level - 1] >= raw) {
            return level * PERCENT_PER_LEVEL;
        }
    }
    return LEVEL_COUNT * PERCENT_PER_LEVEL;
}

int Backlight::rawOfLevel(int level) {
    return LEVEL_VALUES[std::clamp(level, 1, LEVEL_COUNT) - 1];
}
