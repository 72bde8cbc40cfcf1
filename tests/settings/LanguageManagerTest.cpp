#include "settings/LanguageManager.h"

#include "settings/BuiltInLanguages.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

TEST(LanguageManagerTest, AMissingFolderIsFilledWithTheBuiltInLanguagesAndAnUnknownOneRefused) {
    ScratchDir scratch;
    LanguageManager languages;
    StderrCapture errors;
    EXPECT_TRUE(languages.init("lan"));
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(languages.getAvailableLanguages().size(), BuiltInLanguages::all().size());
    EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN");
    EXPECT_EQ(languages.getText("main_menu_songs"), "歌曲");
    EXPECT_EQ(languages.getText("no_such_key"), "no_such_key");
    EXPECT_FALSE(scratch.exists("config/language_settings.json"));
    EXPECT_EQ(scratch.readFile("lan/pt_PT.json"),
              scratch.readFile(std::string(MP_SOURCE_DIR) + "/assets/lan/pt_PT.json"));

    EXPECT_FALSE(languages.setLanguage("xx_XX"));
    EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN");
}

TEST(LanguageManagerTest, BrokenLanguageAndLanguageSettingsFilesAreReportedAndNeverThrow) {
    ScratchDir scratch;
    LanguageManager languages;
    ASSERT_TRUE(languages.init("lan"));
    StderrCapture errors;
    // Members that are not text are left out; the rest of the file still counts.
    scratch.writeFile("lan/mixed.json", R"({"a": "A", "b": {"nested": 1}, "c": 3, "d": [1]})");
    EXPECT_TRUE(languages.loadLanguageFile("mixed"));
    EXPECT_NE(errors.take(), "");
    EXPECT_EQ(languages.getText("a"), "A");
    EXPECT_EQ(languages.getText("b"), "b");
    EXPECT_EQ(languages.getText("c"), "3");

    for (const char* text : {"{\"a\": \"A\" \"b\"}", R"(["a", "b"])"}) {
        scratch.writeFile("lan/broken.json", text);
        EXPECT_FALSE(languages.loadLanguageFile("broken")) << text;
        EXPECT_NE(errors.take(), "") << text;
        EXPECT_EQ(languages.getText("a"), "a") << text;
    }

    // A broken language settings file keeps the current language.
    for (const char* text : {"{", R"({"language": {"code": "en_US"}})",
                             R"({"language": "../../etc/en_US"})", R"("en_US")"}) {
        scratch.writeFile("config/language_settings.json", text);
        EXPECT_FALSE(languages.loadLanguageSettings()) << text;
        EXPECT_NE(errors.take(), "") << text;
        EXPECT_EQ(languages.getCurrentLanguage(), "zh_CN") << text;
    }
    EXPECT_FALSE(languages.loadLanguageFile("../config/x"));
}
