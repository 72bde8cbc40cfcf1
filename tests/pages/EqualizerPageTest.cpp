#include "pages/EqualizerPage.h"

#include "settings/Config.h"
#include "support/PageTest.h"
#include "support/SettingsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class EqualizerPageTest : public PageTest {
protected:
    EqualizerPageTest() {
        loadSettingsText(scratch, own.config,
                         R"({"equalizer": {"default_preset": "FLAT", "presets": {
            "CUSTOM": {"name": "eq_preset_custom", "gains": [1, 1, 1, 1, 1, 1, 1, 1, 1, 1]},
            "FLAT": {"name": "eq_preset_flat"},
            "ROCK": {"name": "eq_preset_rock", "gains": [3.5, 15, -20]}}}})");
        page.init(sdl.renderer(), sdl.font());
        page.setPlayer(&player);
    }

    void press(const char* button, int times = 1) {
        for (int i = 0; i < times; ++i) {
            deliver(page, namedButtonDown(button));
        }
    }
    Json::Value stored() { return readJsonFile(scratch, Config::DEFAULT_PATH)["equalizer"]; }

    EqualizerPage page{services, &dialog};
};

} // namespace

TEST_F(EqualizerPageTest, StepsThroughThePresetsByIdWrappingAroundAndKeepsEachChoice) {
    EXPECT_EQ(page.getTitle(), "< " + own.languages.getText("eq_preset_flat") + " >");
    press("r1");
    EXPECT_EQ(stored()["default_preset"], "ROCK");
    // Three stored gains, two beyond the sliders' range: ten bands within ±12 dB.
    EXPECT_EQ(page.getGains(), (std::vector<float>{3.5f, 12, -12, 0, 0, 0, 0, 0, 0, 0}));
    press("r1");
    EXPECT_EQ(page.getPresetId(), "CUSTOM"); // past the last id: the first
    press("l1");
    EXPECT_EQ(page.getPresetId(), "ROCK"); // before the first id: the last
    deliver(page, keyDown(SDLK_LEFT));
    EXPECT_EQ(page.getPresetId(), "FLAT");
}

TEST_F(EqualizerPageTest, EditsStayWithinTheBandsAndTwelveDecibelsAndAreKeptOnlyWhenSaved) {
    press("y");
    press("up", 15);
    EXPECT_EQ(page.getGains()[0], 12.0f);
    press("down", 30);
    press("right", 12);
    EXPECT_EQ(page.getGains()[0], -12.0f);
    EXPECT_EQ(page.getEditedBand(), 9);
    press("b"); // leaving without saving shows again the curve that is heard
    EXPECT_EQ(page.getGains(), std::vector<float>(10, 0.0f));

    press("y");
    press("up", 3);
    const std::string blocker = std::string(Config::DEFAULT_PATH) + ".tmp";
    scratch.writeFile(blocker + "/file", ""); // a card that refuses the file
    press("a");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getMessage(), own.languages.getText("eq_custom_save_failed"));
    EXPECT_TRUE(page.isEditing());
    EXPECT_EQ(stored()["default_preset"], "FLAT");
    std::filesystem::remove_all(blocker);
    press("a");
    EXPECT_FALSE(page.isEditing());
    EXPECT_EQ(page.getPresetName(), "eq_preset_custom");
    EXPECT_EQ(stored()["default_preset"], "CUSTOM");
    EXPECT_EQ(stored()["presets"]["CUSTOM"]["gains"][0].asFloat(), 3.0f);
}
