#include "pages/EqualizerPage.h"

#include "settings/Config.h"
#include "support/PageTest.h"
#include "support/SettingsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace {

class EqualizerPageTest : public PageTest {
protected:
    EqualizerPageTest() {
        loadSettingsText(scratch, own.config,
                         R"({"equalizer": {"default_preset": "FLAT", "presets": {
            "CUSTOM": {"name": "eq_preset_custom", "gains": [1, 1, 1, 1, 1, 1, 1, 1, 1, 1]},
            "FLAT": {"name": "eq_preset_flat"},
            "FLAT_LOUD": {"gains": [3.5, 15, -20]}}}})");
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
    const std::map<std::string, EqPreset>& presets = own.config.getPresets(); // with the shipped
    press("r1");
    EXPECT_EQ(stored()["default_preset"], "FLAT_LOUD");
    deliver(page, keyDown(SDLK_LEFT));
    EXPECT_EQ(stored()["default_preset"], "FLAT");
    press("l1", static_cast<int>(std::distance(presets.begin(), presets.find("FLAT"))) + 1);
    EXPECT_EQ(stored()["default_preset"], presets.rbegin()->first); // before the first id: the last
    press("r1");
    EXPECT_EQ(stored()["default_preset"], presets.begin()->first); // past the last id: the first
    // Stored gains two beyond the sliders' range are shown within ±12 dB.
    press("r1", static_cast<int>(std::distance(presets.begin(), presets.find("FLAT_LOUD"))));
    press("y");
    press("a"); // the curve shown saved as it is
    EXPECT_EQ(stored()["presets"]["CUSTOM"]["gains"][2].asFloat(), -12.0f);
}

TEST_F(EqualizerPageTest, EditsStayWithinTheBandsAndTwelveDecibelsAndAreKeptOnlyWhenSaved) {
    const Frame heard = drawn(page);
    press("y");
    press("up", 12);
    const Frame highest = drawn(page);
    press("up", 3);
    EXPECT_EQ(drawn(page), highest); // not past +12 dB
    press("right", 9);
    const Frame lastBand = drawn(page);
    press("right");
    EXPECT_EQ(drawn(page), lastBand); // the tenth band is the last
    press("b");                       // leaving without saving shows again the curve that is heard
    EXPECT_EQ(drawn(page), heard);

    press("y");
    press("up", 3);
    const std::string blocker = std::string(Config::DEFAULT_PATH) + ".tmp";
    scratch.writeFile(blocker + "/file", ""); // a card that refuses the file
    press("a");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(stored()["default_preset"], "FLAT");
    std::filesystem::remove_all(blocker);
    press("a"); // still editing: saved now
    EXPECT_EQ(stored()["default_preset"], "CUSTOM");
    EXPECT_EQ(stored()["presets"]["CUSTOM"]["gains"][0].asFloat(), 3.0f);
}
