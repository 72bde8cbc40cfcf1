// The configuration shipped in the runtime folder: a first start must find usable settings,
// presets the equalizer can draw, skins whose folders exist, and the console's button mapping.
#include "settings/GamepadConfig.h"
#include "core/JsonFile.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int EQ_BANDS = 10;
constexpr double EQ_LIMIT_DB = 12.0;

Json::Value readShipped(const std::string& relativePath) {
    JsonFile::ReadResult file = JsonFile::read((fs::path(MP_RUNTIME_DIR) / relativePath).string());
    EXPECT_EQ(file.status, JsonFile::ReadStatus::Ok) << relativePath << ": " << file.error;
    return file.root;
}

std::vector<std::string> strings(const Json::Value& array) {
    std::vector<std::string> result;
    for (const Json::Value& element : array) {
        result.push_back(element.asString());
    }
    return result;
}

} // namespace

TEST(DefaultConfigTest, PresetsHaveTenGainsWithinRangeAndLocalisedNames) {
    const Json::Value equalizer = readShipped("config/settings.json")["equalizer"];
    const Json::Value& presets = equalizer["presets"];
    ASSERT_TRUE(presets.isObject());
    EXPECT_GE(presets.size(), 6u);
    ASSERT_TRUE(presets.isMember("FLAT"));
    EXPECT_TRUE(presets.isMember(equalizer["default_preset"].asString()));
    for (const std::string& id : presets.getMemberNames()) {
        const Json::Value& preset = presets[id];
        EXPECT_EQ(preset["name"].asString().rfind("eq_preset_", 0), 0u) << id;
        ASSERT_TRUE(preset["gains"].isArray()) << id;
        ASSERT_EQ(preset["gains"].size(), static_cast<unsigned>(EQ_BANDS)) << id;
        for (const Json::Value& gain : preset["gains"]) {
            ASSERT_TRUE(gain.isNumeric()) << id;
            EXPECT_LE(std::abs(gain.asDouble()), EQ_LIMIT_DB) << id;
        }
    }
    for (const Json::Value& gain : presets["FLAT"]["gains"]) {
        EXPECT_EQ(gain.asDouble(), 0.0);
    }
}

TEST(DefaultConfigTest, SkinsPointAtShippedFolders) {
    const Json::Value theme = readShipped("config/settings.json")["theme"];
    const int defaultTheme = theme["default_theme"].asInt();
    EXPECT_TRUE(defaultTheme == 1 || defaultTheme == 2);
    ASSERT_EQ(theme["themes"].size(), 2u);
    EXPECT_EQ(theme["themes"][0][0].asInt(), 1);
    EXPECT_EQ(theme["themes"][0][1].asString(), "theme_tape");
    EXPECT_EQ(theme["themes"][0][2].asString(), "type");
    EXPECT_EQ(theme["themes"][1][0].asInt(), 2);
    EXPECT_EQ(theme["themes"][1][1].asString(), "theme_record");
    EXPECT_EQ(theme["themes"][1][2].asString(), "record");

    const Json::Value& folders = theme["folders"];
    EXPECT_EQ(strings(folders["type"]), (std::vector<std::string>{"type", "typepink"}));
    EXPECT_EQ(strings(folders["record"]), (std::vector<std::string>{"record"}));
    for (const std::string& base : folders.getMemberNames()) {
        for (const Json::Value& folder : folders[base]) {
            EXPECT_TRUE(fs::is_directory(fs::path(MP_RUNTIME_DIR) / "icons" / folder.asString()))
                << folder.asString();
        }
    }
}

TEST(DefaultConfigTest, MusicAndDisplaySettings) {
    const Json::Value settings = readShipped("config/settings.json");
    EXPECT_EQ(settings["display"]["backlight"]["timeout"].asInt(), 30);
    const Json::Value& music = settings["music"];
    ASSERT_GE(music["scan_directories"].size(), 1u);
    EXPECT_EQ(music["scan_directories"][0].asString(), "music");
    const std::string mode = music["playback"]["mode"].asString();
    EXPECT_TRUE(mode == "SEQUENCE" || mode == "SEQUENCE_LOOP" || mode == "SINGLE" ||
                mode == "SINGLE_LOOP" || mode == "RANDOM")
        << mode;

    // The scanner compares lower-case extensions with their dot; anything else never matches.
    std::set<std::string> formats;
    for (const Json::Value& format : music["supported_formats"]) {
        const std::string extension = format.asString();
        ASSERT_GE(extension.size(), 2u);
        EXPECT_EQ(extension[0], '.');
        for (char c : extension) {
            EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << extension;
        }
        EXPECT_TRUE(formats.insert(extension).second) << "twice: " << extension;
    }
    for (const char* common :
         {".mp3", ".flac", ".ogg", ".opus", ".m4a", ".aac", ".wav", ".ape", ".wma"}) {
        EXPECT_EQ(formats.count(common), 1u) << common;
    }

    // The library cache and the favourites are the user's own; none is shipped.
    EXPECT_FALSE(fs::exists(fs::path(MP_RUNTIME_DIR) / "config/music_library.json"));
    EXPECT_FALSE(fs::exists(fs::path(MP_RUNTIME_DIR) / "config/like.json"));
}

TEST(DefaultConfigTest, GamepadFileHoldsTheBuiltInMapping) {
    ScratchDir scratch;
    GamepadConfig& gamepad = GamepadConfig::getInstance();
    gamepad.load("config/gamepad.json"); // no such file here: the built-in mapping
    const Json::Value shipped = readShipped("config/gamepad.json");
    std::map<std::string, int> builtIn;
    for (const std::string& name : shipped.getMemberNames()) {
        builtIn[name] = gamepad.getButton(name);
        EXPECT_EQ(shipped[name].asInt(), builtIn[name]) << name;
    }
    EXPECT_EQ(builtIn.size(), 15u);
    EXPECT_TRUE(gamepad.load((fs::path(MP_RUNTIME_DIR) / "config/gamepad.json").string()));
    for (const auto& [name, button] : builtIn) {
        EXPECT_EQ(gamepad.getButton(name), button) << name;
    }
}
