#include "ui/TopBar.h"

#include "core/Log.h"
#include "ui/Draw.h"
#include "ui/Image.h"

#include <SDL_image.h>

#include <cstdio>
#include <utility>

namespace {

constexpr SDL_Rect BAR_BOUNDS{0, 0, 640, 30};
constexpr SDL_Rect PLAY_ICON_AREA{10, 7, 16, 16};
constexpr SDL_Rect BATTERY_AREA{603, 7, 32, 16};
constexpr const char* PLAY_ICON_PATH = "icons/bofang.png";

constexpr int LOW_PERCENT = 20;
constexpr int CRITICAL_PERCENT = 10;
constexpr int NUB_WIDTH = 3;
constexpr int FILL_INSET = 2;
constexpr int PLUS_SIZE = 8;
constexpr int TEXT_GAP = 5;

} // namespace

TopBar::TopBar(std::function<bool()> isPlaying, BatteryReader& battery)
    : isPlaying(std::move(isPlaying)), battery(battery), playIconArea(PLAY_ICON_AREA),
      batteryArea(BATTERY_AREA) {
    bounds = BAR_BOUNDS;
}

TopBar::~TopBar() = default;

void TopBar::init(SDL_Renderer* renderer, TTF_Font* font) {
    this->renderer = renderer;
    this->font = font;
    if (!renderer) {
        logError("renderer为空");
        return;
    }
    if (!font) {
        logError("font为空");
        return;
    }
    playIcon.reset();
    SurfacePtr surface = Image::loadSurface(PLAY_ICON_PATH);
    if (!surface) {
        logError("无法加载播放图标图片");
        return;
    }
    playIcon = Image::textureFromSurface(renderer, surface.get());
    if (!playIcon) {
        logError("无法创建播放图标纹理");
    }
}

void TopBar::handleEvent(SDL_Event* event) {
    (void)event;
}

void TopBar::update() {
}

bool TopBar::Shown::operator==(const Shown& other) const {
    return playing == other.playing && battery.valid == other.battery.valid &&
           battery.capacity == other.battery.capacity && battery.charging == other.battery.charging;
}

TopBar::Shown TopBar::current() const {
    return {isPlaying && isPlaying(), battery.current()};
}

bool TopBar::wantsFrame() const {
    return !drawn || !(*drawn == current());
}

void TopBar::render() {
    if (!renderer) {
        return;
    }
    drawn = current();
    renderPlayIcon();
    if (drawn->battery.valid) {
        renderBattery(drawn->battery);
    }
}

void TopBar::renderPlayIcon() {
    if (playIcon && drawn->playing) {
        SDL_RenderCopy(renderer, playIcon.get(), nullptr, &playIconArea);
    }
}

void TopBar::renderBattery(const BatteryReader::Reading& reading) {
    const SDL_Rect& b = batteryArea;
    int c = reading.capacity;
    SDL_Color fill = Draw::GREEN;
    if (!reading.charging && c <= CRITICAL_PERCENT) {
        fill = Draw::RED;
    } else if (!reading.charging && c <= LOW_PERCENT) {
        fill = Draw::YELLOW;
    }

    Draw::setColor(renderer, Draw::WHITE);
    SDL_RenderDrawRect(renderer, &b);
    SDL_Rect nub{b.x + b.w, b.y + (b.h - b.h / 2) / 2, NUB_WIDTH, b.h / 2};
    SDL_RenderFillRect(renderer, &nub);

    Draw::setColor(renderer, fill);
    SDL_Rect level{b.x + FILL_INSET, b.y + FILL_INSET, (b.w - 2 * FILL_INSET) * c / 100,
                   b.h - 2 * FILL_INSET};
    SDL_RenderFillRect(renderer, &level);

    if (reading.charging) {
        Draw::setColor(renderer, Draw::WHITE);
        int cx = b.x + (b.w - PLUS_SIZE) / 2;
        int cy = b.y + (b.h - PLUS_SIZE) / 2;
        SDL_RenderDrawLine(renderer, cx + PLUS_SIZE / 2, cy, cx + PLUS_SIZE / 2, cy + PLUS_SIZE);
        SDL_RenderDrawLine(renderer, cx, cy + PLUS_SIZE / 2, cx + PLUS_SIZE, cy + PLUS_SIZE / 2);
    }

    char text[8];
    std::snprintf(text, sizeof text, "%d%%", c);
    TextImage label = texts.get(renderer, font, text, Draw::WHITE);
    if (label.texture) {
        SDL_Rect destination{b.x - label.width - TEXT_GAP, b.y + (b.h - label.height) / 2,
                             label.width, label.height};
        SDL_RenderCopy(renderer, label.texture, nullptr, &destination);
    }
}
