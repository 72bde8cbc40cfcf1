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

    // Whether the bar over the batteries in the folder draws any pixel of the colour.
    bool gaugeDraws(SDL_Color colour, const std::string& folder = "power") {
        BatteryReader reader(sdlClock(), scratch.path() + "/" + folder);
        TopBar bar(nullptr, reader);
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
    EXPECT_TRUE(gaugeDraws(Draw::YELLOW));
    for (const char* status : {"Charging", "Full", "Not charging", "Unknown"}) {
        battery("battery", status, "5");
        EXPECT_TRUE(gaugeDraws(Draw::GREEN)) << status;
    }
    battery("battery", "Discharging", "8");
    EXPECT_TRUE(gaugeDraws(Draw::RED));
}

TEST_F(TopBarTest, NoBatteryOrUnreadableCapacityDrawsNoGauge) {
    scratch.writeFile("mains/AC/status", "Charging\n");
    for (SDL_Color gauge : {Draw::YELLOW, Draw::GREEN, Draw::RED}) {
        EXPECT_FALSE(gaugeDraws(gauge, "mains"));
    }
    battery("battery", "Discharging", "n/a");
    EXPECT_FALSE(BatteryReader(sdlClock(), scratch.path() + "/power").current().valid);
    EXPECT_FALSE(BatteryReader(sdlClock(), scratch.path() + "/nowhere").current().valid);
}
