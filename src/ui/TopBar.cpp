#include "ui/TopBar.h"

#include "core/Log.h"
#include "ui/Draw.h"
#include "ui/Image.h"

#include <SDL_image.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
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

// Where the battery's files are, found once per power-supply folder and shared by every top
// bar. A status path of one character or less means "no battery" and stops further searches.
struct BatteryFiles {
    std::string status;
    std::string capacity;
};

BatteryFiles findBatteryFiles(const std::string& powerSupplyDir) {
    static std::mutex cacheMutex;
    static std::map<std::string, BatteryFiles> cache;
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto found = cache.find(powerSupplyDir);
    if (found != cache.end()) {
        return found->second;
    }
    BatteryFiles files{".", ""};
    std::error_code error;
    for (std::filesystem::directory_iterator entry(powerSupplyDir, error), end;
         !error && entry != end; entry.increment(error)) {
        std::string path = entry->path().string();
        if (path.find("/bat") != std::string::npos) {
            files = {path + "/status", path + "/capacity"};
            break;
        }
    }
    cache.emplace(powerSupplyDir, files);
    return files;
}

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

TopBar::TopBar(std::function<bool()> isPlaying, const std::string& powerSupplyDir)
    : isPlaying(std::move(isPlaying)), playIconArea(PLAY_ICON_AREA), batteryArea(BATTERY_AREA),
      powerSupplyDir(powerSupplyDir) {
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

void TopBar::render() {
    if (!renderer) {
        return;
    }
    renderPlayIcon();
    if (const BatteryReading& reading = currentBattery(); reading.valid) {
        renderBattery(reading);
    }
}

const TopBar::BatteryReading& TopBar::currentBattery() {
    uint64_t time = now();
    if (!batteryRead || time - batteryReadAt >= BATTERY_READ_INTERVAL_MS) {
        battery = readBattery();
        batteryReadAt = time;
        batteryRead = true;
    }
    return battery;
}

void TopBar::renderPlayIcon() {
    if (playIcon && isPlaying && isPlaying()) {
        SDL_RenderCopy(renderer, playIcon.get(), nullptr, &playIconArea);
    }
}

TopBar::BatteryReading TopBar::readBattery() const {
    BatteryReading reading;
    BatteryFiles files = findBatteryFiles(powerSupplyDir);
    if (files.status.size() <= 1) {
        return reading;
    }
    std::string status;
    std::string capacity;
    if (!readFirstLine(files.status, status) || !readFirstLine(files.capacity, capacity) ||
        !parseDecimal(capacity, reading.capacity)) {
        return reading;
    }
    reading.charging = status != "Discharging";
    reading.valid = true;
    return reading;
}

void TopBar::renderBattery(const BatteryReading& battery) {
    const SDL_Rect& b = batteryArea;
    int c = battery.capacity;
    SDL_Color fill = Draw::GREEN;
    if (!battery.charging && c <= CRITICAL_PERCENT) {
        fill = Draw::RED;
    } else if (!battery.charging && c <= LOW_PERCENT) {
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

    if (battery.charging) {
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
