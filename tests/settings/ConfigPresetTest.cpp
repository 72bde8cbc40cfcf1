#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

const char* const SETTINGS = "config/settings.json";
const std::vector<float> TEN_ZEROS(10, 0.0f);

} // namespace

TEST(ConfigPresetTest, PresetsAreReadWithDefaultsAndOnlyTheCustomOneIsSaved) {
    ScratchDir scratch;
    StderrCapture errors;
    Config config;
    loadSettingsText(scratch, config, R"({"equalizer": {"presets": {
        "NONAME": {"gains": [1.5, -2, 3]},
        "NOGAINS": {"name": "eq_preset_pop"},
        "MIXED": {"gains": [1, "2", 3, [4]]},
        "BROKEN": 7
    }, "default_preset": "NONAME"}})");
    const auto& presets = config.getPresets();
    EXPECT_EQ(presets.count("BROKEN"), 0u);
    EXPECT_EQ(presets.at("NONAME").name, "NONAME");
    EXPECT_EQ(presets.at("NOGAINS").gains, TEN_ZEROS);
    // A gain that is not a number stays in its band, flat.
    EXPECT_EQ(presets.at("MIXED").gains, (std::vector<float>{1, 0, 3, 0}));
    EXPECT_EQ(config.getCurrentPreset().gains, (std::vector<float>{1.5f, -2.0f, 3.0f}));
    EXPECT_NE(errors.take().find("equalizer.presets.BROKEN"), std::string::npos);

    for (const char* text :
         {R"({"equalizer": "loud"})",
          R"({"equalizer": {"presets": {"ROCK": {}}, "default_preset": 5}})",
          R"({"equalizer": {"presets": {"ROCK": {}}, "default_preset": "X"}})"}) {
        loadSettingsText(scratch, config, text);
        EXPECT_EQ(config.getCurrentPresetId(), "FLAT") << text;
        EXPECT_EQ(config.getCurrentPreset().gains, TEN_ZEROS) << text;
    }

    // Only the custom preset is saved, and it survives a reload.
    EXPECT_FALSE(config.saveCustomPreset("FLAT", {1, 2, 3}));
    EXPECT_EQ(config.getPresets().at("FLAT").gains, TEN_ZEROS);

    std::vector<float> gains = {-12, -6.5f, 0, 3, 12,
                                1,   2,     3, 4, std::numeric_limits<float>::infinity()};
    EXPECT_TRUE(config.saveCustomPreset("CUSTOM", gains));
    EXPECT_EQ(config.getCurrentPreset().name, "eq_preset_custom");
    // The file holds no infinity (it could not be read back); that band is flat.
    gains.back() = 0;
    ASSERT_TRUE(config.reset()) << scratch.readFile(SETTINGS);
    EXPECT_EQ(config.getCurrentPresetId(), "CUSTOM");
    EXPECT_EQ(config.getCurrentPreset().gains, gains);

    // A curve the card refused is not kept, not even for the next unrelated save.
    ASSERT_TRUE(config.setCurrentPreset("ROCK"));
    std::filesystem::create_directory(std::string(SETTINGS) + ".tmp");
    EXPECT_FALSE(config.saveCustomPreset("CUSTOM", TEN_ZEROS));
    std::filesystem::remove(std::string(SETTINGS) + ".tmp");
    EXPECT_TRUE(config.setBacklightTimeout(15));
    ASSERT_TRUE(config.reset());
    EXPECT_EQ(config.getCurrentPresetId(), "ROCK");
    EXPECT_EQ(config.getPresets().at("CUSTOM").gains, gains);
}
