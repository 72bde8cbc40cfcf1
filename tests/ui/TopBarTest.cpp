#include "ui/TopBar.h"

#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "support/StderrCapture.h"

#include "ui/Draw.h"

#include <gtest/gtest.h>

namespace {

class TopBarTest : public ::testing::Test {
protected:
    void battery(const std::string& entry, const std::string& status, const std::string& capacity) {
        scratch.writeFile("power/" + entry + "/status", status + "\n");
        scratch.writeFile("power/" + entry + "/capacity", capacity + "\n");
    }

    // Draws the bar over black and returns the colours along the gauge's inner row.
    void draw(TopBar& bar) {
        bar.init(sdl.renderer(), sdl.font());
        sdl.clear(Draw::BLACK);
        bar.render();
    }

    ScratchDir scratch;
    SdlTestContext sdl;
};

} // namespace

TEST_F(TopBarTest, DischargingBatteryAtFifteenPercentIsYellowAndFourPixelsWide) {
    battery("battery", "Discharging", "15");
    TopBar bar(nullptr, scratch.path() + "/power");
    TopBar::BatteryReading reading = bar.readBattery();
    EXPECT_TRUE(reading.valid);
    EXPECT_FALSE(reading.charging);
    EXPECT_EQ(reading.capacity, 15);

    draw(bar);
    EXPECT_EQ(sdl.pixel(603, 7), Draw::WHITE);   // outline corner
    EXPECT_EQ(sdl.pixel(636, 13), Draw::WHITE);  // terminal nub (635, 11, 3 × 8)
    EXPECT_EQ(sdl.pixel(605, 10), Draw::YELLOW); // fill from x 605 ...
    EXPECT_EQ(sdl.pixel(608, 10), Draw::YELLOW);
    EXPECT_EQ(sdl.pixel(609, 10), Draw::BLACK); // ... 28 × 15 / 100 = 4 pixels
    // The percentage sits left of the gauge.
    int textPixels = 0;
    for (int x = 540; x < 598; ++x) {
        for (int y = 0; y < 30; ++y) {
            textPixels += sdl.pixel(x, y).r > 128;
        }
    }
    EXPECT_GT(textPixels, 20);
}

TEST_F(TopBarTest, ChargingBatteryIsGreenWithAPlusSignEvenWhenLow) {
    battery("BAT0", "Charging", "90"); // upper case does not match
    battery("bat1", "Charging", "5");
    TopBar bar(nullptr, scratch.path() + "/power");
    draw(bar);
    EXPECT_EQ(sdl.pixel(605, 12), Draw::GREEN);
    EXPECT_EQ(sdl.pixel(619, 11), Draw::WHITE); // the vertical stroke of the plus at x 615 + 4
    EXPECT_EQ(sdl.pixel(616, 15), Draw::WHITE); // the horizontal stroke at y 11 + 4
}

TEST_F(TopBarTest, StatusOtherThanDischargingCountsAsCharging) {
    for (const char* status : {"Full", "Not charging", "Unknown"}) {
        battery("battery", status, "50");
        TopBar bar(nullptr, scratch.path() + "/power");
        EXPECT_TRUE(bar.readBattery().charging) << status;
    }
    battery("battery", "Discharging", "8");
    TopBar bar(nullptr, scratch.path() + "/power");
    draw(bar);
    EXPECT_EQ(sdl.pixel(605, 12), Draw::RED);
}

TEST_F(TopBarTest, NoBatteryOrUnreadableCapacityDrawsNoGauge) {
    battery("AC", "Charging", "100");
    TopBar withoutBattery(nullptr, scratch.path() + "/power");
    EXPECT_FALSE(withoutBattery.readBattery().valid);
    draw(withoutBattery);
    EXPECT_EQ(sdl.pixel(603, 7), Draw::BLACK);

    battery("battery", "Discharging", "n/a");
    TopBar unreadable(nullptr, scratch.path() + "/power2");
    scratch.writeFile("power2/battery/status", "Discharging\n");
    scratch.writeFile("power2/battery/capacity", "n/a\n");
    EXPECT_FALSE(unreadable.readBattery().valid);
    TopBar missingFolder(nullptr, scratch.path() + "/nowhere");
    EXPECT_FALSE(missingFolder.readBattery().valid);
}

TEST_F(TopBarTest, InitReportsMissingRendererFontAndIcon) {
    TopBar bar(nullptr, scratch.path() + "/power");
    StderrCapture errors;
    bar.init(nullptr, sdl.font());
    EXPECT_EQ(errors.take(), "[ERROR] renderer为空\n");
    bar.init(sdl.renderer(), nullptr);
    EXPECT_EQ(errors.take(), "[ERROR] font为空\n");
    bar.init(sdl.renderer(), sdl.font()); // no icons/ in the scratch folder
    EXPECT_EQ(errors.take(), "[ERROR] 无法加载播放图标图片\n");
}
