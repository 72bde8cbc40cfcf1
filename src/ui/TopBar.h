#pragma once

#include "core/SdlHandles.h"
#include "ui/BatteryReader.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The 30-pixel status strip: a "playing" icon at the left while music plays and a battery gauge
// with the charge in percent at the right. It draws no background of its own.
class TopBar : public UIBase {
public:
    // isPlaying tells whether music plays (no function: never); battery is lent.
    TopBar(std::function<bool()> isPlaying, BatteryReader& battery);
    ~TopBar() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;
    // The play icon came or went, or the battery reading changed, since the bar was drawn.
    bool wantsFrame() const override;

private:
    // What the bar shows: the play icon and the battery reading.
    struct Shown {
        bool playing = false;
        BatteryReader::Reading battery;
        bool operator==(const Shown& other) const;
    };

    Shown current() const;
    void renderPlayIcon();
    void renderBattery(const BatteryReader::Reading& reading);

    std::function<bool()> isPlaying;
    BatteryReader& battery;
    TexturePtr playIcon;
    SDL_Rect playIconArea{};
    SDL_Rect batteryArea{};
    TextCache texts{8};
    std::optional<Shown> drawn;
};
