#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

namespace {

const char* const SETTINGS = "config/settings.json";

} // namespace

TEST(ConfigThemeTest, DefaultThemeIdAcceptsIntegersAndDecimalText) {
    ScratchDir scratch;
    Config& config = Config::getInstance();
    const std::vector<std::pair<std::string, int>> cases = {
        {R"({})", 1},
        {R"({"theme": null})", 1},
        {R"({"theme": {"default_theme": null}})", 1},
        {R"({"theme": {"default_theme": 3}})", 3},
        {R"({"theme": {"default_theme": "2"}})", 2},
        {R"({"theme": {"default_theme": "2abc"}})", 2},
        {R"({"theme": {"default_theme": " -7"}})", -7},
        {R"({"theme": {"default_theme": "abc"}})", 1},
        {R"({"theme": {"default_theme": ""}})", 1},
        {R"({"theme": {"default_theme": "99999999999"}})", 1},
        {R"({"theme": {"default_theme": true}})", 1},
        {R"({"theme": {"default_theme": 2.5}})", 1},
        {R"({"theme": {"default_theme": [2]}})", 1},
    };
    for (const auto& [text, id] : cases) {
        scratch.writeFile(SETTINGS, text);
        ASSERT_TRUE(config.load(SETTINGS)) << text;
        EXPECT_EQ(config.getDefaultThemeId(), id) << text;
    }
    // Id 3 belongs to no skin: the record skin's folder.
    EXPECT_EQ(config.getThemeFolder(3), "record");
}

TEST(ConfigThemeTest, AThemeSectionThatIsNotAnObjectIsReportedAndGivesTheRecordSkin) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"theme": [1, 2]})");
    StderrCapture errors;
    EXPECT_EQ(config.getDefaultThemeId(), 2);
    EXPECT_EQ(errors.take(), "[ERROR] 获取默认主题时发生错误: in Json::Value::find(begin, end): "
                             "requires objectValue or nullValue\n");
    EXPECT_EQ(config.getThemes().size(), 2u);
}

TEST(ConfigThemeTest, ThemeEntriesNeedThreeWellTypedElements) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"theme": {"themes": [[1, "theme_tape"]]}})");
    ASSERT_EQ(config.getThemes().size(), 2u);
    EXPECT_EQ(config.getThemes()[0].folder, "type");
    EXPECT_EQ(config.getThemes()[1].folder, "record");

    StderrCapture errors;
    loadSettingsText(scratch, R"({"theme": {"default_theme": "1", "themes": [
        [2, "theme_record", "record", "ignored"], "x", [{"id": 1}, "n", "f"],
        [1, "theme_tape", "typepink"], [1, "second", "type"]]}})");
    EXPECT_EQ(errors.take(), "[ERROR] 配置项类型错误，按缺失处理: theme.themes[2]\n");
    ASSERT_EQ(config.getThemes().size(), 3u);
    EXPECT_EQ(config.getThemes()[0].id, 2);
    EXPECT_EQ(config.getThemes()[1].folder, "typepink");
    EXPECT_EQ(config.getThemeFolder(1), "typepink"); // the first entry with the id
    EXPECT_EQ(config.getDefaultThemeFolder(), "typepink");
}

TEST(ConfigThemeTest, FolderListsFallBackToTheBuiltInOnes) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"theme": {"folders": {"type": []}}})");
    EXPECT_EQ(config.getThemeFolders("type"), (std::vector<std::string>{"type", "typepink"}));
    EXPECT_EQ(config.getThemeFolders("record"), std::vector<std::string>{"record"});
    EXPECT_TRUE(config.getThemeFolders("other").empty());

    loadSettingsText(scratch, R"({"theme": {"folders": {"record": ["record", 5, {}, "vinyl"],
                                                   "type": "typepink"}}})");
    EXPECT_EQ(config.getThemeFolders("record"), (std::vector<std::string>{"record", "5", "vinyl"}));
    EXPECT_EQ(config.getThemeFolders("type"), (std::vector<std::string>{"type", "typepink"}));
}

TEST(ConfigThemeTest, ChangingASkinFolderWritesTheEntryAndTheFolderListOnce) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({"theme": {
        "themes": [[1, "theme_tape", "type"], [2, "theme_record", "record"]],
        "folders": {"type": ["type"]}}})");
    config.setThemeFolder(1, "typepink");
    config.setThemeFolder(1, "typepink");
    EXPECT_EQ(config.getThemeFolder(1), "typepink");
    Json::Value saved = readJsonFile(scratch, SETTINGS);
    EXPECT_EQ(saved["theme"]["themes"][0][2], "typepink");
    EXPECT_EQ(saved["theme"]["themes"][1][2], "record");
    const Json::Value& folders = saved["theme"]["folders"]["type"];
    ASSERT_EQ(folders.size(), 2u) << "the folder list grows by one entry only";
    EXPECT_EQ(folders[0], "type");
    EXPECT_EQ(folders[1], "typepink");
}

TEST(ConfigThemeTest, ASkinMissingFromTheFileIsChangedInMemoryOnly) {
    ScratchDir scratch;
    const std::string original = R"({"display": {"backlight": {"timeout": 15}}})";
    Config& config = loadSettingsText(scratch, original);
    StderrCapture errors;
    config.setThemeFolder(1, "typepink");
    EXPECT_EQ(errors.take(), "[ERROR] 在配置文件中未找到ID为 1 的主题，保存失败\n");
    EXPECT_EQ(config.getThemeFolder(1), "typepink");
    EXPECT_EQ(scratch.readFile(SETTINGS), original);

    config.setThemeFolder(7, "elsewhere"); // no such skin: nothing at all
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(config.getThemeFolder(7), "record");
}
