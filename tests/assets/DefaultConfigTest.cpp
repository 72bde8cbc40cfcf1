// The configuration shipped in the runtime folder, read by the program's own loaders: a first
// start finds presets the equalizer can use, skins whose folders exist, music folders and
// formats the scanner matches.
#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t EQ_BANDS = 10;
constexpr float EQ_LIMIT_DB = 12.0f;

std::string shipped(const std::string& relative) {
    return (fs::path(MP_RUNTIME_DIR) / relative).string();
}

} // namespace

TEST(DefaultConfigTest, ShippedSettingsLoadCleanlyWithUsablePresetsSkinsAndFormats) {
    ScratchDir scratch;
    Config config; // nothing to read in the scratch folder: the built-in defaults
    StderrCapture errors;
    ASSERT_TRUE(config.load(shipped("config/settings.json")));
    EXPECT_EQ(errors.take(), "");

    EXPECT_EQ(config.getPresets().count(config.getCurrentPresetId()), 1u);
    for (const auto& [id, preset] : config.getPresets()) {
        ASSERT_EQ(preset.gains.size(), EQ_BANDS) << id;
        for (float gain : preset.gains) {
            EXPECT_LE(std::fabs(gain), EQ_LIMIT_DB) << id;
        }
    }
    for (const std::string base : {"type", "record"}) {
        for (const std::string& folder : config.getThemeFolders(base)) {
            EXPECT_TRUE(fs::is_directory(shipped("icons/" + folder))) << folder;
        }
    }
    EXPECT_TRUE(fs::is_directory(shipped("icons/" + config.getDefaultThemeFolder())));
    // The scanner compares lower-case extensions with their dot.
    for (const std::string& format : config.getSupportedFormats()) {
        EXPECT_EQ(format[0], '.') << format;
        EXPECT_EQ(format.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << format;
    }
    // The library cache and the favourites are the user's own; none is shipped.
    EXPECT_FALSE(fs::exists(shipped("config/music_library.json")));
    EXPECT_FALSE(fs::exists(shipped("config/like.json")));
}
