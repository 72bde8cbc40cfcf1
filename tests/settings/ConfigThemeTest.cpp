#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

TEST(ConfigThemeTest, ThemeEntriesNeedThreeWellTypedElements) {
    ScratchDir scratch;
    StderrCapture errors;
    Config config;
    loadSettingsText(scratch, config, R"({"theme": {"default_theme": "1", "themes": [
        [2, "theme_record", "record", "ignored"], "x", [{"id": 1}, "n", "f"],
        [1, "theme_tape", "typepink"], [1, "second", "type"]]}})");
    EXPECT_NE(errors.take().find("theme.themes[2]"), std::string::npos);
    ASSERT_EQ(config.getThemes().size(), 3u);
    EXPECT_EQ(config.getThemeFolder(1), "typepink"); // the first entry with the id
    EXPECT_EQ(config.getDefaultThemeFolder(), "typepink");

    // None usable: the built-in two; a folder list neither.
    loadSettingsText(scratch, config, R"({"theme": {"themes": [[1, "theme_tape"]],
        "folders": {"type": [], "record": ["record", 5, {}, "vinyl"]}}})");
    ASSERT_EQ(config.getThemes().size(), 2u);
    EXPECT_EQ(config.getThemeFolder(1), "type");
    EXPECT_EQ(config.getThemeFolder(3), "record"); // no such skin
    EXPECT_EQ(config.getThemeFolders("type"), (std::vector<std::string>{"type", "typepink"}));
    EXPECT_EQ(config.getThemeFolders("record"), (std::vector<std::string>{"record", "5", "vinyl"}));
    EXPECT_TRUE(config.getThemeFolders("other").empty());

    // Looked up every frame, a damaged skin setting is reported once.
    loadSettingsText(scratch, config, R"({"theme": [1, 2]})");
    errors.take();
    EXPECT_EQ(config.getDefaultThemeId() + config.getDefaultThemeId(), 4);
    const std::string lines = errors.take();
    EXPECT_EQ(lines.find("[ERROR]"), lines.rfind("[ERROR]")) << lines;
    EXPECT_NE(lines, "");
}

TEST(ConfigThemeTest, ChangingASkinFolderWritesTheEntryAndTheFolderListOnce) {
    ScratchDir scratch;
    Config config;
    loadSettingsText(scratch, config, R"({"theme": {
        "themes": [[1, "theme_tape", "type"], [2, "theme_record", "record"]],
        "folders": {"type": ["type"]}}})");
    config.setThemeFolder(1, "typepink");
    config.setThemeFolder(1, "typepink");
    Json::Value saved = readJsonFile(scratch, "config/settings.json");
    EXPECT_EQ(saved["theme"]["themes"][0][2], "typepink");
    EXPECT_EQ(saved["theme"]["folders"]["type"].size(), 2u) << "the list grows by one entry only";

    // A skin missing from the file is changed in memory only.
    const std::string original = R"({"theme": {"themes": [[1, "theme_tape"]]}})";
    loadSettingsText(scratch, config, original);
    StderrCapture errors;
    config.setThemeFolder(1, "typepink");
    EXPECT_NE(errors.take(), "");
    EXPECT_EQ(config.getThemeFolder(1), "typepink");
    EXPECT_EQ(scratch.readFile("config/settings.json"), original);
}
