// The shipped language files must translate every key the program looks up, in all nine
// languages, so that no screen ever shows a raw key.
#include "core/JsonFile.h"
#include "settings/BuiltInLanguages.h"

#include "support/RuntimeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

// Prefixes of the localisation keys; a string literal in the code that is made of one of these
// and lower-case words is a key some page shows.
const std::regex KEY_LITERAL(
    R"re("((?:main_menu|slide_menu|dialog|settings|theme|play_mode|backlight|eq_preset)_[a-z0-9_]+)")re");
const std::regex GET_TEXT_CALL(R"re(getText\s*\(\s*"([^"]+)")re");

void collectMatches(const std::string& text, const std::regex& pattern,
                    std::set<std::string>& keys) {
    for (std::sregex_iterator match(text.begin(), text.end(), pattern), end; match != end;
         ++match) {
        keys.insert((*match)[1].str());
    }
}

// Every key that the program's sources name: arguments of getText and key-shaped literals.
std::set<std::string> keysInSources() {
    std::set<std::string> keys{"version"};
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(MP_SOURCE_DIR) / "src")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h") {
            continue;
        }
        const std::string text = readWholeFile(entry.path().string());
        collectMatches(text, GET_TEXT_CALL, keys);
        collectMatches(text, KEY_LITERAL, keys);
    }
    return keys;
}

// Preset names, skin names and skin folder names of the shipped settings are shown localised.
std::set<std::string> keysInSettings() {
    JsonFile::ReadResult settings =
        JsonFile::read((fs::path(MP_SOURCE_DIR) / "assets/config/settings.json").string());
    EXPECT_EQ(settings.status, JsonFile::ReadStatus::Ok) << settings.error;
    std::set<std::string> keys;
    const Json::Value& presets = settings.root["equalizer"]["presets"];
    for (const std::string& id : presets.getMemberNames()) {
        keys.insert(presets[id]["name"].asString());
    }
    for (const Json::Value& theme : settings.root["theme"]["themes"]) {
        keys.insert(theme[1].asString());
    }
    const Json::Value& folders = settings.root["theme"]["folders"];
    for (const std::string& base : folders.getMemberNames()) {
        for (const Json::Value& folder : folders[base]) {
            keys.insert(folder.asString());
        }
    }
    return keys;
}

} // namespace

TEST(LanguageFilesTest, EveryLanguageDefinesEveryKeyTheProgramShows) {
    std::set<std::string> required = keysInSources();
    const std::set<std::string> fromSettings = keysInSettings();
    required.insert(fromSettings.begin(), fromSettings.end());
    for (int seconds : {15, 30, 45, 60, 90, 0}) {
        required.insert("backlight_" + std::to_string(seconds));
    }
    required.insert("eq_preset_flat");
    required.insert("eq_preset_custom");

    for (const BuiltInLanguage& language : BuiltInLanguages::all()) {
        const std::string code = language.code;
        const JsonFile::ReadResult file =
            JsonFile::read((fs::path(MP_RUNTIME_DIR) / "lan" / (code + ".json")).string());
        ASSERT_TRUE(file.root.isObject()) << code << ": " << file.error;
        const Json::Value& texts = file.root;
        for (const std::string& key : required) {
            ASSERT_TRUE(texts.isMember(key)) << code << " lacks " << key;
            EXPECT_TRUE(texts[key].isString()) << code << ": " << key;
            EXPECT_FALSE(texts[key].asString().empty()) << code << ": " << key;
        }
    }
}
