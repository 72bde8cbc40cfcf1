#pragma once

#include "core/SdlHandles.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <string>

class Player;

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

    explicit TopBar(Player* player, const std::string& powerSupplyDir = POWER_SUPPLY_DIR);
    ~TopBar() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // Reads the battery's status and capacity files (found once per power-supply folder).
    BatteryReading readBattery() const;

private:
    void renderPlayIcon();
    void renderBattery(const BatteryReading& battery);

    Player* player;
    TexturePtr playIcon;
    SDL_Rect playIconArea{};
    SDL_Rect batteryArea{};
    std::string powerSupplyDir;
    TextCache texts{8};
};
