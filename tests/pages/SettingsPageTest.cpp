#include "pages/SettingsPage.h"

#include "audio/SleepTimer.h"
#include "settings/Config.h"
#include "settings/ThemeManager.h"
#include "support/PageTest.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

enum Row { BACKLIGHT, LANGUAGE, SKIN, FOLDER, PLAY_MODE, LEVELLING, SLEEP_TIMER, ABOUT };

class SettingsPageTest : public PageTest {
protected:
    SettingsPageTest() {
        // No stored skin entries: choosing a folder has to add the skin's entry to the file.
        loadSettingsText(scratch, own.config, R"({"display": {"backlight": {"timeout": 45}},
            "music": {"playback": {"mode": "SHUFFLE"}}, "theme": {"default_theme": 1,
            "folders": {"type": ["type", "typepink"], "record": ["record"]}}})");
        page.init(sdl.renderer(), sdl.font());
    }

    // Moves the selection to the row, then presses the key there.
    void step(Row row, SDL_Keycode key) {
        for (; selected != row; selected += selected < row ? 1 : -1) {
            deliver(page, namedButtonDown(selected < row ? "down" : "up"));
        }
        deliver(page, keyDown(key));
    }
    Json::Value stored() const { return readJsonFile(scratch, Config::DEFAULT_PATH); }
    std::string text(const char* key) const { return own.languages.getText(key); }

    uint64_t clockMs = 0;
    SleepTimer sleepTimer{&player, [this] { return clockMs; }};
    SettingsPage page{services, &dialog, &sleepTimer};
    int selected = BACKLIGHT;
};

} // namespace

TEST_F(SettingsPageTest, EveryStepIsAppliedAndSavedAtOnce) {
    step(BACKLIGHT, SDLK_RIGHT);
    EXPECT_EQ(page.getValueText(BACKLIGHT), text("backlight_60"));
    EXPECT_EQ(stored()["display"]["backlight"]["timeout"], 60);

    EXPECT_EQ(page.getValueText(PLAY_MODE), text("play_mode_sequence")); // an unknown mode
    const std::string written = scratch.readFile(Config::DEFAULT_PATH);
    step(PLAY_MODE, SDLK_LEFT); // off the first choice: nothing changes, nothing is written
    EXPECT_EQ(scratch.readFile(Config::DEFAULT_PATH), written);
    step(PLAY_MODE, SDLK_RIGHT);
    EXPECT_EQ(stored()["music"]["playback"]["mode"], "SEQUENCE_LOOP");

    step(FOLDER, SDLK_RIGHT);
    EXPECT_EQ(stored()["theme"]["themes"][0][2], "typepink");
    EXPECT_EQ(own.themes.getCurrentTheme(), ThemeManager::TAPE_SKIN_THEME);
    step(SKIN, SDLK_RIGHT);
    EXPECT_EQ(stored()["theme"]["default_theme"], "2");
    EXPECT_EQ(page.getValueText(FOLDER), text("record"));
    EXPECT_EQ(own.themes.getCurrentTheme(), ThemeManager::RECORD_SKIN_THEME);
    step(SKIN, SDLK_LEFT);
    EXPECT_EQ(page.getValueText(FOLDER), text("typepink")); // the tape skin keeps its folder

    const std::string before = scratch.readFile(Config::DEFAULT_PATH);
    step(SLEEP_TIMER, SDLK_RIGHT); // 15 minutes, not saved
    EXPECT_EQ(sleepTimer.remainingMs(), 15u * 60 * 1000);
    EXPECT_EQ(scratch.readFile(Config::DEFAULT_PATH), before);
    clockMs = 15u * 60 * 1000;
    sleepTimer.update();
    page.update();
    EXPECT_EQ(page.getValueText(SLEEP_TIMER), text("sleep_timer_off")); // it has run out

    scratch.writeFile(std::string(Config::DEFAULT_PATH) + ".tmp/file", ""); // a refusing card
    step(BACKLIGHT, SDLK_RIGHT);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(stored()["display"]["backlight"]["timeout"], 60);
}

// Off when unset; each choice is heard at once (the player is told) and kept.
TEST_F(SettingsPageTest, TheLevellingRowTellsThePlayerAndSaves) {
    std::vector<VolumeLevelling> told;
    page.setLevellingCallback([&](VolumeLevelling levelling) { told.push_back(levelling); });
    EXPECT_EQ(page.getValueText(LEVELLING), text("settings_levelling_off"));
    step(LEVELLING, SDLK_RIGHT);
    step(LEVELLING, SDLK_RIGHT);
    EXPECT_EQ(told, (std::vector<VolumeLevelling>{VolumeLevelling::TRACK, VolumeLevelling::ALBUM}));
    EXPECT_EQ(stored()["music"]["replaygain"], "album");
    SettingsPage reopened{services, &dialog, &sleepTimer};
    reopened.init(sdl.renderer(), sdl.font());
    EXPECT_EQ(reopened.getValueText(LEVELLING), text("settings_levelling_album"));
}

// The page relabels at once (the menu's relabelling is the settings journey's check); the colour
// theme is still found by the skin, whatever the language.
TEST_F(SettingsPageTest, ALanguageStepRelabelsThePageAndKeepsTheSkinsTheme) {
    for (size_t left = 0; own.languages.getCurrentLanguage() != "en_US" && left < 9; ++left) {
        step(LANGUAGE, SDLK_LEFT); // from Chinese, the last code
    }
    EXPECT_EQ(page.getTitleText(BACKLIGHT), "Backlight Time");
    EXPECT_EQ(page.getValueText(ABOUT), std::string("Version ") + MP_VERSION);
    EXPECT_EQ(readJsonFile(scratch, "config/language_settings.json")["language"], "en_US");
    scratch.writeFile("config/themes.json.tmp/file", ""); // only the colours cannot be written
    step(SKIN, SDLK_RIGHT);
    EXPECT_EQ(own.themes.getCurrentTheme(), ThemeManager::RECORD_SKIN_THEME);
    EXPECT_EQ(stored()["theme"]["default_theme"], "2");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SettingsPageTest, ADamagedLanguageIsSteppedOverAndEachStepWrittenOnce) {
    std::filesystem::remove("lan"); // a folder of its own, to damage a file in
    std::filesystem::copy(std::string(MP_RUNTIME_DIR) + "/lan", "lan");
    own.languages.init("lan");
    const std::vector<std::string> codes = own.languages.getAvailableLanguages();
    const std::string damaged = codes[codes[1] == own.languages.getCurrentLanguage() ? 2 : 1];
    scratch.writeFile("lan/" + damaged + ".json", "{");
    page.init(sdl.renderer(), sdl.font());
    std::set<std::string> reached;
    for (SDL_Keycode key : {SDLK_LEFT, SDLK_RIGHT}) {
        for (size_t i = 0; i < codes.size(); ++i) {
            step(LANGUAGE, key);
            reached.insert(own.languages.getCurrentLanguage());
        }
    }
    EXPECT_EQ(reached.size(), codes.size() - 1); // all but the damaged one

    scratch.writeFile("config/language_settings.json.tmp/file", ""); // a refusing card
    StderrCapture errors;
    step(LANGUAGE, SDLK_LEFT);
    const std::string lines = errors.take();
    EXPECT_EQ(lines.find("language_settings"), lines.rfind("language_settings")) << lines;
    EXPECT_TRUE(dialog.isVisible());
}
