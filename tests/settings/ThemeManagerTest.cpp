#include "settings/ThemeManager.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

namespace {

const char* const THEMES = "config/themes.json";

void expectColor(const SDL_Color& color, int r, int g, int b, int a) {
    EXPECT_EQ(color.r, r);
    EXPECT_EQ(color.g, g);
    EXPECT_EQ(color.b, b);
    EXPECT_EQ(color.a, a);
}

} // namespace

TEST(ThemeManagerTest, AFreshStartDrawsWithTheBuiltInColoursWhateverTheFileSays) {
    ScratchDir scratch;
    const std::string other = R"({"current_theme": "dark", "themes": {"dark": {
        "primary": {"r": 1, "g": 2, "b": 3, "a": 4}}}})";
    scratch.writeFile(THEMES, other);
    ThemeManager& themes = ThemeManager::getInstance();
    EXPECT_EQ(themes.getCurrentTheme(), "默认主题");
    const ThemeColors& colors = themes.getCurrentColors();
    expectColor(colors.primary, 0, 122, 255, 255);
    expectColor(colors.topbarBackground, 0, 0, 0, 200);
    expectColor(colors.batteryLow, 255, 0, 0, 255);
    EXPECT_EQ(scratch.readFile(THEMES), other);
}

TEST(ThemeManagerTest, AnUnknownThemeNameChangesAndWritesNothing) {
    ScratchDir scratch;
    ThemeManager& themes = ThemeManager::getInstance();
    StderrCapture errors;
    EXPECT_FALSE(themes.setCurrentTheme("磁带"));
    EXPECT_EQ(themes.getCurrentTheme(), "默认主题");
    EXPECT_FALSE(scratch.exists("config"));
    EXPECT_EQ(errors.take(), "");
}

TEST(ThemeManagerTest, ChoosingTheDefaultThemeWritesItsElevenColours) {
    ScratchDir scratch; // no config folder yet: it is created
    ThemeManager& themes = ThemeManager::getInstance();
    ASSERT_TRUE(themes.setCurrentTheme("默认主题"));

    Json::Value root = readJsonFile(scratch, THEMES);
    EXPECT_EQ(root["current_theme"], "默认主题");
    ASSERT_EQ(root["themes"].getMemberNames(),
              (std::vector<std::string>{"theme_record", "theme_tape", "默认主题"}));
    const Json::Value& theme = root["themes"]["默认主题"];
    auto color = [](int r, int g, int b, int a) {
        Json::Value value;
        value["r"] = r;
        value["g"] = g;
        value["b"] = b;
        value["a"] = a;
        return value;
    };
    EXPECT_EQ(theme["primary"], color(0, 122, 255, 255));
    EXPECT_EQ(theme["secondary"], color(128, 128, 128, 255));
    EXPECT_EQ(theme["background"], color(0, 0, 0, 255));
    EXPECT_EQ(theme["text"], color(255, 255, 255, 255));
    EXPECT_EQ(theme["topbar"]["background"], color(0, 0, 0, 200));
    EXPECT_EQ(theme["topbar"]["text"], color(255, 255, 255, 255));
    EXPECT_EQ(theme["topbar"]["volume"]["background"], color(64, 64, 64, 255));
    EXPECT_EQ(theme["topbar"]["volume"]["foreground"], color(0, 122, 255, 255));
    EXPECT_EQ(theme["topbar"]["battery"]["high"], color(0, 255, 0, 255));
    EXPECT_EQ(theme["topbar"]["battery"]["medium"], color(255, 255, 0, 255));
    EXPECT_EQ(theme["topbar"]["battery"]["low"], color(255, 0, 0, 255));
    EXPECT_EQ(theme.getMemberNames().size(), 5u);
    EXPECT_EQ(theme["topbar"].getMemberNames().size(), 4u);
}

TEST(ThemeManagerTest, AFailedSaveIsReportedAndLeavesTheOldFile) {
    ScratchDir scratch;
    scratch.writeFile(THEMES, "old");
    scratch.writeFile("config/themes.json.tmp/blocker", "");
    ThemeManager& themes = ThemeManager::getInstance();
    StderrCapture errors;
    EXPECT_FALSE(themes.setCurrentTheme("默认主题"));
    EXPECT_EQ(errors.take(), "[ERROR] 保存主题配置失败: config/themes.json\n");
    EXPECT_EQ(scratch.readFile(THEMES), "old");
}
