#pragma once

#include "core/Clock.h"

#include <cstdint>
#include <optional>
#include <string>

// The console's battery as the kernel reports it in the power-supply folder. The battery's
// folder is looked for once; its files are read at most once per interval, however many top
// bars ask (they live in sysfs, but a frame is 16 ms).
class BatteryReader {
public:
    static constexpr const char* POWER_SUPPLY_DIR = "/sys/class/power_supply";
    static constexpr uint64_t READ_INTERVAL_MS = 1000;

    struct Reading {
        bool valid = false;
        int capacity = 0; // percent, as the kernel reports it
        bool charging = false;
    };

    explicit BatteryReader(Clock clock = sdlClock(), std::string powerSupplyDir = POWER_SUPPLY_DIR);

    // The latest reading, renewed when the last one is older than the read interval.
    const Reading& current();

private:
    struct Files {
        std::string status;
        std::string capacity;
    };

    Reading read();
    // None when the folder holds no battery.
    const std::optional<Files>& findFiles();

    Clock clock;
    std::string powerSupplyDir;
    bool searched = false;
    std::optional<Files> files;
    Reading latest;
    std::optional<uint64_t> readAt;
};
