#include "ui/BatteryReader.h"

#include <filesystem>
#include <fstream>
#include <utility>

namespace {

// The kernel names a battery "battery" or "bat<n>" in lower case.
constexpr const char* BATTERY_NAME_PART = "/bat";

bool readFirstLine(const std::string& path, std::string& line) {
    std::ifstream file(path);
    return static_cast<bool>(std::getline(file, line));
}

bool parseDecimal(const std::string& text, int& value) {
    try {
        value = std::stoi(text, nullptr, 10);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

BatteryReader::BatteryReader(Clock clock, std::string powerSupplyDir)
    : clock(std::move(clock)), powerSupplyDir(std::move(powerSupplyDir)) {
}

const BatteryReader::Reading& BatteryReader::current() {
    const uint64_t time = clock();
    if (!readAt || time - *readAt >= READ_INTERVAL_MS) {
        latest = read();
        readAt = time;
    }
    return latest;
}

const std::optional<BatteryReader::Files>& BatteryReader::findFiles() {
    if (searched) {
        return files;
    }
    searched = true;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(powerSupplyDir, error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string path = entry->path().string();
        if (path.find(BATTERY_NAME_PART) != std::string::npos) {
            files = Files{path + "/status", path + "/capacity"};
            break;
        }
    }
    return files;
}

BatteryReader::Reading BatteryReader::read() {
    Reading reading;
    const std::optional<Files>& battery = findFiles();
    if (!battery) {
        return reading;
    }
    std::string status;
    std::string capacity;
    if (!readFirstLine(battery->status, status) || !readFirstLine(battery->capacity, capacity) ||
        !parseDecimal(capacity, reading.capacity)) {
        return reading;
    }
    reading.charging = status != "Discharging";
    reading.valid = true;
    return reading;
}
