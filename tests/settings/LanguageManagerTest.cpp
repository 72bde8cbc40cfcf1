#include "settings/LanguageManager.h"

#include "settings/BuiltInLanguages.h"
#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> sorted(std::vector<std::string> list) {
    std::sort(list.begin(), list.end());
    return list;
}

const std::vector<std::string> NINE_LANGUAGES = {"de_DE", "en_US", "es_ES", "fr_FR", "it_IT",
                                                 "ja_JP", "ko_KR", "pt_PT", "zh_CN"};

} // namespace

TEST(LanguageManagerTest, AMissingFolderIsFilledWithTheNineBuiltInLanguages) {
    ScratchDir scratch;
    LanguageManager& languages = LanguageManager::getInstance();
    StderrCapture errors;
    EXPECT_TRUE(languages.init("lan"));
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(sorted(languages.getAvailableLanguages()), NINE_LANGUAGES);
    EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN");
    EXPECT_EQ(languages.getText("main_menu_songs"), "歌曲");
    EXPECT_EQ(languages.getText("dialog_message_loading"), "歌曲载入中...请稍后...");
    EXPECT_FALSE(scratch.exists("config/language_settings.json"));

    // Every written file is the shipped one.
    for (const BuiltInLanguage& language : BuiltInLanguages::all()) {
        const std::string name = std::string(language.code) + ".json";
        EXPECT_EQ(scratch.readFile("lan/" + name),
                  scratch.readFile(std::string(MP_SOURCE_DIR) + "/assets/lan/" + name))
            << language.code;
    }
}

TEST(LanguageManagerTest, SwitchingLanguageIsRememberedAndUnknownCodesAreRefused) {
    ScratchDir scratch;
    LanguageManager& languages = LanguageManager::getInstance();
    ASSERT_TRUE(languages.init("lan"));
    StderrCapture errors;
    EXPECT_FALSE(languages.setLanguage("xx_XX"));
    EXPECT_EQ(errors.take(), "[ERROR] 语言不可用: xx_XX\n");
    EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN");
    EXPECT_EQ(languages.getText("settings_back"), "返回");

    EXPECT_TRUE(languages.setLanguage("ko_KR"));
    EXPECT_EQ(languages.getText("main_menu_now_playing"), "지금 재생 중");
    EXPECT_TRUE(languages.setLanguage("pt_PT"));
    EXPECT_EQ(languages.getText("settings_audio"), "Configurações de áudio");
    Json::Value saved = readJsonFile(scratch, "config/language_settings.json");
    EXPECT_EQ(saved.getMemberNames(), std::vector<std::string>{"language"});
    EXPECT_EQ(saved["language"], "pt_PT");

    // The next start reads the choice back.
    EXPECT_TRUE(languages.loadLanguageSettings());
    EXPECT_EQ(languages.getCurrentLanguage(), "pt_PT");
}

TEST(LanguageManagerTest, ASavedLanguageWithoutItsFileShowsTheKeys) {
    ScratchDir scratch;
    scratch.writeFile("lan/en_US.json", R"({"main_menu_songs": "Songs"})");
    scratch.writeFile("config/language_settings.json", R"({"language": "fr_FR"})");
    LanguageManager& languages = LanguageManager::getInstance();
    StderrCapture errors;
    EXPECT_FALSE(languages.init("lan"));
    EXPECT_EQ(errors.take(), "[ERROR] 语言文件不存在: lan/fr_FR.json\n");
    EXPECT_EQ(languages.getCurrentLanguage(), "fr_FR");
    EXPECT_EQ(languages.getText("main_menu_songs"), "main_menu_songs");
}

TEST(LanguageManagerTest, OnlyFilesEndingInLowerCaseJsonAreLanguages) {
    ScratchDir scratch;
    scratch.writeFile("lan/custom.json", R"({"main_menu_songs": "Tunes", "extra": "Extra"})");
    scratch.writeFile("lan/EN.JSON", R"({})");
    scratch.writeFile("lan/notes.txt", "");
    scratch.writeFile("lan/.json", "{}");
    scratch.writeFile("lan/folder.json/inside.json", "{}");
    scratch.writeFile("config/language_settings.json", R"({"language": "custom"})");
    LanguageManager& languages = LanguageManager::getInstance();
    EXPECT_TRUE(languages.init("lan"));
    EXPECT_EQ(languages.getAvailableLanguages(), std::vector<std::string>{"custom"});
    EXPECT_FALSE(scratch.exists("lan/zh_CN.json"));
    EXPECT_EQ(languages.getText("main_menu_songs"), "Tunes");
    EXPECT_EQ(languages.getText("extra"), "Extra");
}

TEST(LanguageManagerTest, BrokenLanguageFilesAreReportedAndNeverThrow) {
    ScratchDir scratch;
    LanguageManager& languages = LanguageManager::getInstance();
    ASSERT_TRUE(languages.init("lan"));
    StderrCapture errors;

    // Members that are not text are left out; the rest of the file still counts.
    scratch.writeFile("lan/mixed.json",
                      R"({"a": "A", "b": {"nested": 1}, "c": 3, "d": [1], "e": null, "f": true})");
    EXPECT_TRUE(languages.loadLanguageFile("mixed"));
    EXPECT_EQ(errors.take(), "[ERROR] 加载语言文件时出错: lan/mixed.json 中有 2 "
                             "项的值不是文本，已忽略，第一项: b\n");
    EXPECT_EQ(languages.getText("a"), "A");
    EXPECT_EQ(languages.getText("b"), "b");
    EXPECT_EQ(languages.getText("c"), "3");
    EXPECT_EQ(languages.getText("d"), "d");
    EXPECT_EQ(languages.getText("f"), "true");

    scratch.writeFile("lan/syntax.json", "{\"a\": \"A\" \"b\"}");
    EXPECT_FALSE(languages.loadLanguageFile("syntax"));
    EXPECT_EQ(errors.take().rfind("[ERROR] 解析语言文件失败: * Line 1", 0), 0u);
    EXPECT_EQ(languages.getText("a"), "a");

    scratch.writeFile("lan/list.json", R"(["a", "b"])");
    EXPECT_FALSE(languages.loadLanguageFile("list"));
    EXPECT_EQ(errors.take(), "[ERROR] 加载语言文件时出错: lan/list.json 的内容不是 JSON 对象\n");

    // Comments are allowed in language files.
    scratch.writeFile("lan/commented.json", "// labels\n{\"a\": \"A\" /* first */}");
    EXPECT_TRUE(languages.loadLanguageFile("commented"));
    EXPECT_EQ(languages.getText("a"), "A");
}

TEST(LanguageManagerTest, ABrokenLanguageSettingsFileKeepsTheCurrentLanguage) {
    ScratchDir scratch;
    LanguageManager& languages = LanguageManager::getInstance();
    ASSERT_TRUE(languages.init("lan"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{", "[ERROR] 解析语言设置文件失败: "},
        {R"({"language": {"code": "en_US"}})", "[ERROR] 加载语言设置时出错: "},
        {R"({"language": "../../etc/en_US"})", "[ERROR] 加载语言设置时出错: "},
        {R"({"language": ""})", "[ERROR] 加载语言设置时出错: "},
        {R"("en_US")", "[ERROR] 加载语言设置时出错: "},
    };
    for (const auto& [text, message] : cases) {
        scratch.writeFile("config/language_settings.json", text);
        StderrCapture errors;
        EXPECT_FALSE(languages.loadLanguageSettings()) << text;
        EXPECT_EQ(errors.take().rfind(message, 0), 0u) << text;
        EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN") << text;
    }
}
