#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const char* const SETTINGS = "config/settings.json";
const std::vector<float> TEN_ZEROS(10, 0.0f);

} // namespace

TEST(ConfigPresetTest, WithoutEqualizerSettingsTheFlatPresetIsCurrent) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"display": {}})");
    EXPECT_TRUE(config.getPresets().empty());
    EXPECT_EQ(config.getCurrentPresetId(), "FLAT");
    EXPECT_EQ(config.getCurrentPreset().name, "eq_preset_flat");
    EXPECT_EQ(config.getCurrentPreset().gains, TEN_ZEROS);
}

TEST(ConfigPresetTest, PresetsAreReadWithDefaultsForMissingParts) {
    ScratchDir scratch;
    StderrCapture errors;
    Config& config = loadSettingsText(scratch, R"({"equalizer": {"presets": {
        "FLAT": {"name": "eq_preset_flat", "gains": []},
        "NONAME": {"gains": [1.5, -2, 3]},
        "NOGAINS": {"name": "eq_preset_pop"},
        "MIXED": {"gains": [1, "2", 3, [4]]},
        "BROKEN": 7
    }, "default_preset": "NONAME"}})");
    const auto& presets = config.getPresets();
    ASSERT_EQ(presets.size(), 4u);
    EXPECT_EQ(presets.at("FLAT").gains, TEN_ZEROS);
    EXPECT_EQ(presets.at("NONAME").name, "NONAME");
    EXPECT_EQ(presets.at("NONAME").gains, (std::vector<float>{1.5f, -2.0f, 3.0f}));
    EXPECT_EQ(presets.at("NOGAINS").name, "eq_preset_pop");
    EXPECT_EQ(presets.at("NOGAINS").gains, TEN_ZEROS);
    // A gain that is not a number stays in its band, flat.
    EXPECT_EQ(presets.at("MIXED").gains, (std::vector<float>{1, 0, 3, 0}));
    EXPECT_EQ(config.getCurrentPresetId(), "NONAME");
    EXPECT_EQ(config.getCurrentPreset().gains.size(), 3u);
    std::string text = errors.take();
    EXPECT_NE(text.find("equalizer.presets.MIXED.gains[1]"), std::string::npos) << text;
    EXPECT_NE(text.find("equalizer.presets.MIXED.gains[3]"), std::string::npos) << text;
    EXPECT_NE(text.find("equalizer.presets.BROKEN"), std::string::npos) << text;
}

TEST(ConfigPresetTest, ADefaultPresetThatIsUnknownOrNotTextFallsBackToFlat) {
    ScratchDir scratch;
    Config& config = Config::getInstance();
    // Presets stay known after they leave the file, so the cases without one come first.
    for (const char* text :
         {R"({"equalizer": {"presets": ["ROCK"], "default_preset": "ROCK"}})",
          R"({"equalizer": "loud"})",
          R"({"equalizer": {"presets": {"ROCK": {}}, "default_preset": "JAZZ"}})",
          R"({"equalizer": {"presets": {"ROCK": {}}, "default_preset": ""}})",
          R"({"equalizer": {"presets": {"ROCK": {}}, "default_preset": ["ROCK"]}})"}) {
        scratch.writeFile(SETTINGS, text);
        EXPECT_TRUE(config.load(SETTINGS)) << text;
        EXPECT_EQ(config.getCurrentPresetId(), "FLAT") << text;
    }
}

TEST(ConfigPresetTest, ChoosingAPresetSavesAtOnceAndAnUnknownOneChangesNothing) {
    ScratchDir scratch;
    const std::string original =
        R"({"display": {"backlight": {"timeout": 30}},
            "equalizer": {"presets": {"ROCK": {"gains": [5]}, "POP": {}}}})";
    Config& config = loadSettingsText(scratch, original);
    EXPECT_TRUE(config.setCurrentPreset("ROCK"));
    EXPECT_EQ(readJsonFile(scratch, SETTINGS)["equalizer"]["default_preset"], "ROCK");

    const std::string saved = scratch.readFile(SETTINGS);
    StderrCapture errors;
    EXPECT_FALSE(config.setCurrentPreset("JAZZ"));
    EXPECT_EQ(errors.take(), "[ERROR] 找不到预设: JAZZ\n");
    EXPECT_EQ(config.getCurrentPresetId(), "ROCK");
    EXPECT_EQ(scratch.readFile(SETTINGS), saved);
}

TEST(ConfigPresetTest, OnlyTheCustomPresetIsSavedAndItSurvivesAReload) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"equalizer": {"presets": {"ROCK": {}}}})");
    const std::string before = scratch.readFile(SETTINGS);
    StderrCapture errors;
    EXPECT_FALSE(config.saveCustomPreset("FLAT", {1, 2, 3}));
    EXPECT_EQ(errors.take(), "[ERROR] 只能保存到 CUSTOM 预设\n");
    EXPECT_EQ(config.getPresets().count("FLAT"), 0u);
    EXPECT_EQ(scratch.readFile(SETTINGS), before);

    const float infinity = std::numeric_limits<float>::infinity();
    std::vector<float> gains = {-12, -6.5f, 0, 3, 12, 1, 2, 3, 4, infinity};
    EXPECT_TRUE(config.saveCustomPreset("CUSTOM", gains));
    EXPECT_EQ(config.getCurrentPresetId(), "CUSTOM");
    EXPECT_EQ(config.getCurrentPreset().name, "eq_preset_custom");

    // The file holds no infinity (it could not be read back); that band is flat.
    gains.back() = 0;
    ASSERT_TRUE(config.load(SETTINGS)) << scratch.readFile(SETTINGS);
    EXPECT_EQ(config.getCurrentPresetId(), "CUSTOM");
    EXPECT_EQ(config.getCurrentPreset().gains, gains);
    EXPECT_EQ(config.getPresets().count("ROCK"), 1u);
}

TEST(ConfigPresetTest, AWronglyTypedEqualizerSectionDoesNotBlockSaving) {
    ScratchDir scratch;
    StderrCapture errors;
    Config& config = loadSettingsText(scratch, R"({"equalizer": {"presets": 3}})");
    EXPECT_NE(errors.take().find("[ERROR] 配置项类型错误，按缺失处理: equalizer.presets\n"),
              std::string::npos);
    EXPECT_TRUE(config.saveCustomPreset("CUSTOM", {1, 2}));
    Json::Value saved = readJsonFile(scratch, SETTINGS);
    EXPECT_EQ(saved["equalizer"]["presets"]["CUSTOM"]["gains"][1], 2.0);
    EXPECT_EQ(saved["equalizer"]["default_preset"], "CUSTOM");
}
