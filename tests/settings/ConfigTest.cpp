#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

namespace fs = std::filesystem;

namespace {

const char* const SETTINGS = "config/settings.json";
const std::string SHIPPED = std::string(MP_SOURCE_DIR) + "/assets/config/settings.json";

} // namespace

// Without a usable file the program runs on the settings it ships; a user's file keeps what it
// says and is completed from them, so that no save loses a preset or the music formats.
TEST(ConfigTest, TheShippedSettingsStandInForAMissingFileAndCompleteAUsersFile) {
    ScratchDir scratch;
    const Json::Value shipped = readJsonFile(scratch, SHIPPED);
    Config config;
    EXPECT_EQ(config.getPresets().size(), shipped["equalizer"]["presets"].size());
    EXPECT_EQ(config.getSupportedFormats().size(), shipped["music"]["supported_formats"].size());
    EXPECT_FALSE(scratch.exists(SETTINGS));

    const std::string original = R"({"music": {"scan_directories": ["/mnt/music"]}})";
    loadSettingsText(scratch, config, original);
    EXPECT_EQ(config.getBacklightTimeout(), 30);
    EXPECT_EQ(scratch.readFile(SETTINGS), original);
    EXPECT_TRUE(config.setCurrentPreset("ROCK")); // a shipped preset the file lacks
    ASSERT_TRUE(config.reset());
    EXPECT_EQ(config.getScanDirectories(), std::vector<std::string>{"/mnt/music"});
    EXPECT_EQ(config.getSupportedFormats().size(), shipped["music"]["supported_formats"].size());
    EXPECT_EQ(config.getCurrentPresetId(), "ROCK");

    // An unchanged store does not touch the file.
    utimbuf past{1000000000, 1000000000};
    ASSERT_EQ(utime(SETTINGS, &past), 0);
    EXPECT_TRUE(config.save());
    struct stat info {};
    ASSERT_EQ(stat(SETTINGS, &info), 0);
    EXPECT_EQ(info.st_mtime, past.modtime);
}

// A damaged file is run past like a missing one, and every damaged version the user had is kept
// (one copy per failure) before a save replaces it.
TEST(ConfigTest, ADamagedFileIsKeptAsACopyPerFailure) {
    ScratchDir scratch;
    Config config;
    const std::string damaged[] = {"{\"display\": {\"backlight\": {\"timeout\": 15,}}", "[1, 2]"};
    for (const std::string& text : damaged) {
        scratch.writeFile(SETTINGS, text);
        StderrCapture errors;
        EXPECT_FALSE(config.reset()) << text;
        EXPECT_NE(errors.take(), "") << text;
        EXPECT_TRUE(config.setBacklightTimeout(15)) << text;
        EXPECT_TRUE(config.setBacklightTimeout(45)) << text; // the copy is of the damaged file
    }
    EXPECT_EQ(scratch.readFile("config/settings.json.bak"), damaged[0]);
    EXPECT_EQ(scratch.readFile("config/settings.json.bak.2"), damaged[1]);
    EXPECT_FALSE(scratch.exists("config/settings.json.bak.3"));
    EXPECT_EQ(readJsonFile(scratch, SETTINGS)["display"]["backlight"]["timeout"], 45);
}

TEST(ConfigTest, AFailedSaveLeavesTheOldFileAndIsRetriedByTheNextSave) {
    ScratchDir scratch;
    const std::string original = R"({"display": {"backlight": {"timeout": 45}}})";
    Config config;
    loadSettingsText(scratch, config, original);
    fs::create_directory("config/settings.json.tmp"); // makes the write fail, even for root
    StderrCapture errors;
    EXPECT_FALSE(config.setBacklightTimeout(15));
    EXPECT_NE(errors.take().find(SETTINGS), std::string::npos);
    EXPECT_EQ(scratch.readFile(SETTINGS), original);
    fs::remove("config/settings.json.tmp");
    EXPECT_TRUE(config.save());
    EXPECT_EQ(readJsonFile(scratch, SETTINGS)["display"]["backlight"]["timeout"], 15);
}
