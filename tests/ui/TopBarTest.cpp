#include "ui/TopBar.h"

#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"

#include "ui/Draw.h"

#include <gtest/gtest.h>

namespace {

class TopBarTest : public ::testing::Test {
protected:
    void battery(const std::string& entry, const std::string& status, const std::string& capacity) {
        scratch.writeFile("power/" + entry + "/status", status + "\n");
        scratch.writeFile("power/" + entry + "/capacity", capacity + "\n");
    }

    // Whether the bar draws any pixel of the colour.
    bool draws(TopBar& bar, SDL_Color colour) {
        bar.init(sdl.renderer(), sdl.font());
        sdl.clear(Draw::BLACK);
        bar.render();
        for (int y = 0; y < SdlTestContext::HEIGHT; ++y) {
            for (int x = 0; x < SdlTestContext::WIDTH; ++x) {
                if (sdl.pixel(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    ScratchDir scratch;
    SdlTestContext sdl;
};

} // namespace

TEST_F(TopBarTest, GaugeColourFollowsChargeAndStatus) {
    battery("BAT0", "Charging", "90"); // the kernel's upper-case name does not match "/bat"
    battery("battery", "Discharging", "15");
    BatteryReader lowBattery(sdlClock(), scratch.path() + "/power");
    TopBar low(nullptr, lowBattery);
    EXPECT_EQ(lowBattery.current().capacity, 15);
    EXPECT_TRUE(draws(low, Draw::YELLOW));

    for (const char* status : {"Charging", "Full", "Not charging", "Unknown"}) {
        battery("battery", status, "5");
        BatteryReader chargingBattery(sdlClock(), scratch.path() + "/power");
        TopBar charging(nullptr, chargingBattery);
        EXPECT_TRUE(chargingBattery.current().charging) << status;
        EXPECT_TRUE(draws(charging, Draw::GREEN)) << status;
    }
    battery("battery", "Discharging", "8");
    BatteryReader criticalBattery(sdlClock(), scratch.path() + "/power");
    TopBar critical(nullptr, criticalBattery);
    EXPECT_TRUE(draws(critical, Draw::RED));
}

TEST_F(TopBarTest, NoBatteryOrUnreadableCapacityDrawsNoGauge) {
    scratch.writeFile("mains/AC/status", "Charging\n");
    BatteryReader mainsOnly(sdlClock(), scratch.path() + "/mains");
    TopBar withoutBattery(nullptr, mainsOnly);
    EXPECT_FALSE(mainsOnly.current().valid);
    for (SDL_Color gauge : {Draw::YELLOW, Draw::GREEN, Draw::RED}) {
        EXPECT_FALSE(draws(withoutBattery, gauge));
    }

    battery("battery", "Discharging", "n/a");
    EXPECT_FALSE(BatteryReader(sdlClock(), scratch.path() + "/power").current().valid);
    EXPECT_FALSE(BatteryReader(sdlClock(), scratch.path() + "/nowhere").current().valid);
}

TEST_F(TopBarTest, BatteryIsReadAtMostOncePerInterval) {
    battery("battery", "Discharging", "50");
    uint64_t time = 0;
    BatteryReader reader([&time] { return time; }, scratch.path() + "/power");
    EXPECT_EQ(reader.current().capacity, 50);
    battery("battery", "Discharging", "49");
    time = BatteryReader::READ_INTERVAL_MS - 1;
    EXPECT_EQ(reader.current().capacity, 50);
    time = BatteryReader::READ_INTERVAL_MS;
    EXPECT_EQ(reader.current().capacity, 49);
}
