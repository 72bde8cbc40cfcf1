#pragma once

#include "model/VolumeLevelling.h"
#include "pages/PageServices.h"
#include "ui/KeyBindings.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Dialog;
class SleepTimer;
class TopBar;

// A fixed list of settings, one per row, each showing its current choice at the right. Up and
// down pick the row; left and right step through its choices, and every step is applied and
// saved at once: backlight time-out, language, now-playing skin, the skin's folder, play mode,
// volume levelling and the sleep timer (which is not saved). The last row shows the version.
class SettingsPage : public UIBase {
public:
    static constexpr const char* VERSION = MP_VERSION; // the project version, from CMake

    enum Row {
        BACKLIGHT,
        LANGUAGE,
        SKIN,
        FOLDER,
        PLAY_MODE,
        LEVELLING,
        SLEEP_TIMER,
        ABOUT,
        ROW_COUNT
    };

    struct SettingItem {
        std::vector<std::string> options; // label keys; language codes on the language row
        int selectedIndex = 0;
    };

    // dialog reports a setting that could not be saved; sleepTimer is the one the sleep row
    // sets (without one the row changes nothing).
    explicit SettingsPage(const PageServices& services, Dialog* dialog = nullptr,
                          SleepTimer* sleepTimer = nullptr);
    ~SettingsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;
    bool wantsFrame() const override;

    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }
    // Runs with every levelling chosen, to make it heard at once.
    void setLevellingCallback(std::function<void(VolumeLevelling)> callback) {
        levellingCallback = std::move(callback);
    }

    // A row's title and value as drawn, in the current language.
    std::string getTitleText(size_t row) const;
    std::string getValueText(size_t row) const;

private:
    // What a row is: its label key, what it sets (for the error line), how its choices are
    // listed with the current one selected, and how a chosen one is applied (false when it
    // could not be saved).
    struct RowKind {
        const char* titleKey;
        const char* key;
        SettingItem (SettingsPage::*choices)() const;
        bool (SettingsPage::*apply)(SettingItem& row, int previousIndex);
    };
    static const RowKind ROW_KINDS[ROW_COUNT];

    std::string text(const std::string& key) const;
    void buildRows();
    SettingItem backlightChoices() const;
    SettingItem languageChoices() const;
    SettingItem skinChoices() const;
    SettingItem folderChoices() const;
    SettingItem playModeChoices() const;
    SettingItem levellingChoices() const;
    SettingItem sleepTimerChoices() const;
    SettingItem aboutChoices() const;

    void moveSelection(int step);
    void stepChoice(int step);
    bool applyBacklight(SettingItem& row, int previousIndex);
    bool applyLanguage(SettingItem& row, int previousIndex);
    bool applySkin(SettingItem& row, int previousIndex);
    bool applyFolder(SettingItem& row, int previousIndex);
    bool applyPlayMode(SettingItem& row, int previousIndex);
    bool applyLevelling(SettingItem& row, int previousIndex);
    bool applySleepTimer(SettingItem& row, int previousIndex);
    bool applyNothing(SettingItem& row, int previousIndex);
    void applySkinColours(int skinId);
    void followSleepTimer();

    void drawRow(size_t row, int top);
    void drawText(const std::string& text, SDL_Color color, int x, int rowTop, bool alignRight);

    PageServices services;
    Dialog* dialog;
    SleepTimer* sleepTimer;
    std::unique_ptr<TopBar> topBar;
    std::array<SettingItem, ROW_COUNT> items;
    int selectedItem = 0;
    std::function<void()> backCallback;
    std::function<void(VolumeLevelling)> levellingCallback;
    KeyBindings bindings;
    bool missingRendererReported = false;
    TextCache texts{32};
};
