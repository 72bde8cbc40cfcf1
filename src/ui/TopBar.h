#pragma once

#include "core/SdlHandles.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <string>

// The 30-pixel status strip: a "playing" icon at the left while music plays and a battery gauge
// with the charge in percent at the right. It draws no background of its own.
class TopBar : public UIBase {
public:
    static constexpr const char* POWER_SUPPLY_DIR = "/sys/class/power_supply";

    struct BatteryReading {
        bool valid = false;
        int capacity = 0; // percent, as the kernel reports it
        bool charging = false;
    };

    // The battery is read at most this often; its files live in sysfs, but a frame is 16 ms.
    static constexpr uint64_t BATTERY_READ_INTERVAL_MS = 1000;

    // isPlaying tells whether music plays (no function: never).
    explicit TopBar(std::function<bool()> isPlaying,
                    const std::string& powerSupplyDir = POWER_SUPPLY_DIR);
    ~TopBar() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // Reads the battery's status and capacity files (found once per power-supply folder).
    BatteryReading readBattery() const;
    // The latest reading, renewed when the last one is older than the read interval.
    const BatteryReading& currentBattery();

private:
    void renderPlayIcon();
    void renderBattery(const BatteryReading& battery);

    std::function<bool()> isPlaying;
    BatteryReading battery;
    uint64_t batteryReadAt = 0;
    bool batteryRead = false;
    TexturePtr playIcon;
    SDL_Rect playIconArea{};
    SDL_Rect batteryArea{};
    std::string powerSupplyDir;
    TextCache texts{8};
};
