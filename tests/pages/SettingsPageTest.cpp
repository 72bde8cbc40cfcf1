#include "pages/SettingsPage.h"

#include "audio/SleepTimer.h"
#include "pages/MainPage.h"
#include "settings/Config.h"
#include "settings/ThemeManager.h"
#include "support/LibraryFiles.h"
#include "support/PageTest.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char* const SETTINGS = R"({
    "display": {"backlight": {"timeout": 45}},
    "music": {"playback": {"mode": "SHUFFLE"}},
    "theme": {"default_theme": 1,
              "folders": {"type": ["type", "typepink"], "record": ["record"]},
              "themes": [[1, "theme_tape", "typepink"], [2, "theme_record", "record"]]}})";

enum Row { BACKLIGHT, LANGUAGE, SKIN, FOLDER, PLAY_MODE, SLEEP_TIMER, ABOUT };

std::string text(const char* key) {
    return LanguageManager::getInstance().getText(key);
}

class SettingsPageTest : public PageTest {
protected:
    SettingsPageTest() {
        LanguageManager::getInstance().setLanguage("zh_CN");
        loadSettingsText(scratch, SETTINGS);
        page.init(sdl.renderer(), sdl.font());
    }

    void select(Row row) {
        while (page.getSelectedItem() < row) {
            deliver(page, namedButtonDown("down"));
        }
        while (page.getSelectedItem() > row) {
            deliver(page, keyDown(SDLK_UP));
        }
    }

    Json::Value stored() const { return readJsonFile(scratch, Config::DEFAULT_PATH); }
    const SettingsPage::SettingItem& row(Row which) const { return page.getItems()[which]; }

    uint64_t clockMs = 0;
    SleepTimer sleepTimer{&player, [this] { return clockMs; }};
    SettingsPage page{&dialog, &sleepTimer};
};

} // namespace

TEST_F(SettingsPageTest, EveryStepIsAppliedAndSavedAtOnce) {
    EXPECT_EQ(page.getValueText(BACKLIGHT), text("backlight_45"));
    deliver(page, keyDown(SDLK_RIGHT));
    EXPECT_EQ(page.getValueText(BACKLIGHT), text("backlight_60"));
    EXPECT_EQ(Config::getInstance().getBacklightTimeout(), 60);
    EXPECT_EQ(stored()["display"]["backlight"]["timeout"], 60);

    // An unknown mode shows the first; a step off the first choice changes and writes nothing.
    select(PLAY_MODE);
    EXPECT_EQ(page.getValueText(PLAY_MODE), text("play_mode_sequence"));
    const std::string before = scratch.readFile(Config::DEFAULT_PATH);
    deliver(page, namedButtonDown("left"));
    EXPECT_EQ(scratch.readFile(Config::DEFAULT_PATH), before);
    for (const Song& song : placeholderSongs(3)) {
        playList.addSong(song);
    }
    playList.setCurrentIndex(2);
    EXPECT_EQ(playList.getNextIndex(), -1);
    deliver(page, namedButtonDown("right"));
    EXPECT_EQ(stored()["music"]["playback"]["mode"], "SEQUENCE_LOOP");
    EXPECT_EQ(playList.getNextIndex(), 0); // the play list follows at its next lookup

    // The skin: its number as text, the folder row follows it, and so do the colours.
    select(SKIN);
    deliver(page, keyDown(SDLK_RIGHT));
    EXPECT_EQ(stored()["theme"]["default_theme"], "2");
    EXPECT_EQ(row(FOLDER).options, std::vector<std::string>{"record"});
    EXPECT_EQ(ThemeManager::getInstance().getCurrentTheme(), ThemeManager::RECORD_SKIN_THEME);
    deliver(page, keyDown(SDLK_LEFT));
    EXPECT_EQ(row(FOLDER).options, (std::vector<std::string>{"type", "typepink"}));
    EXPECT_EQ(page.getValueText(FOLDER), text("typepink")); // the tape skin keeps its folder

    select(FOLDER);
    deliver(page, keyDown(SDLK_LEFT));
    EXPECT_EQ(stored()["theme"]["themes"][0][2], "type");
    EXPECT_EQ(Config::getInstance().getDefaultThemeFolder(), "type");
    EXPECT_EQ(ThemeManager::getInstance().getCurrentTheme(), ThemeManager::TAPE_SKIN_THEME);
}

// Every page relabels itself from the new language: this one at once, the others at their next
// update; the colour theme is still found by the skin, whatever the language.
TEST_F(SettingsPageTest, ALanguageStepRelabelsEveryPage) {
    MainPage menu(nullptr, &playList, &dialog);
    menu.init(sdl.renderer(), sdl.font());
    menu.update();
    select(LANGUAGE);
    const std::vector<std::string>& codes = row(LANGUAGE).options;
    const int english =
        static_cast<int>(std::find(codes.begin(), codes.end(), "en_US") - codes.begin());
    while (row(LANGUAGE).selectedIndex != english) {
        deliver(page, keyDown(row(LANGUAGE).selectedIndex < english ? SDLK_RIGHT : SDLK_LEFT));
    }
    EXPECT_EQ(page.getValueText(LANGUAGE), "English");
    EXPECT_EQ(page.getTitleText(BACKLIGHT), "Backlight Time");
    EXPECT_EQ(page.getValueText(SKIN), "Tape");
    EXPECT_EQ(page.getValueText(ABOUT), "Version 1.1.0");
    EXPECT_EQ(readJsonFile(scratch, "config/language_settings.json")["language"], "en_US");
    menu.update();
    EXPECT_EQ(menu.getMenuItems()[5].label, "Settings");

    select(SKIN);
    deliver(page, keyDown(SDLK_RIGHT));
    EXPECT_EQ(ThemeManager::getInstance().getCurrentTheme(), ThemeManager::RECORD_SKIN_THEME);
    LanguageManager::getInstance().setLanguage("zh_CN");
}

TEST_F(SettingsPageTest, ASettingTheCardRefusesIsReportedOnScreen) {
    scratch.writeFile(std::string(Config::DEFAULT_PATH) + ".tmp/blocker", "");
    StderrCapture errors;
    deliver(page, keyDown(SDLK_RIGHT));
    EXPECT_NE(errors.take().find("[ERROR] 设置未能保存: display.backlight.timeout\n"),
              std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getType(), DialogType::ERROR);
    EXPECT_EQ(dialog.getMessage(), text("settings_save_failed"));
    EXPECT_EQ(stored()["display"]["backlight"]["timeout"], 45);
}

TEST_F(SettingsPageTest, TheSleepTimerRowRunsTheTimerWithoutSavingAndFollowsItsEnd) {
    const std::string before = scratch.readFile(Config::DEFAULT_PATH);
    select(SLEEP_TIMER);
    EXPECT_EQ(page.getValueText(SLEEP_TIMER), text("sleep_timer_off"));
    deliver(page, keyDown(SDLK_RIGHT));
    deliver(page, keyDown(SDLK_RIGHT));
    EXPECT_TRUE(sleepTimer.isRunning());
    EXPECT_EQ(sleepTimer.remainingMs(), 30u * 60 * 1000);
    EXPECT_EQ(page.getValueText(SLEEP_TIMER).rfind(text("sleep_timer_30"), 0), 0u);
    EXPECT_EQ(scratch.readFile(Config::DEFAULT_PATH), before);

    clockMs = 30u * 60 * 1000;
    sleepTimer.update();
    page.update();
    EXPECT_FALSE(sleepTimer.isRunning());
    EXPECT_EQ(page.getValueText(SLEEP_TIMER), text("sleep_timer_off"));
}
