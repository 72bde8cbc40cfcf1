#pragma once

#include "ui/KeyBindings.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Dialog;
class SleepTimer;
class TopBar;

// A fixed list of settings, one per row, each showing its current choice at the right. Up and
// down pick the row; left and right step through its choices, and every step is applied and
// saved at once: backlight time-out, language, now-playing skin, the skin's folder, play mode
// and the sleep timer (which is not saved). The last row shows the version.
class SettingsPage : public UIBase {
public:
    static constexpr const char* VERSION = MP_VERSION; // the project version, from CMake

    struct SettingItem {
        std::string title;                // label key
        std::vector<std::string> options; // label keys; language codes on the language row
        std::string key;                  // what the row sets
        int selectedIndex = 0;
    };

    // dialog reports a setting that could not be saved; sleepTimer is the one the sleep row
    // sets (without one the row changes nothing).
    explicit SettingsPage(Dialog* dialog = nullptr, SleepTimer* sleepTimer = nullptr);
    ~SettingsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }

    const std::vector<SettingItem>& getItems() const { return items; }
    int getSelectedItem() const { return selectedItem; }
    // A row's title and value as drawn, in the current language.
    std::string getTitleText(size_t row) const;
    std::string getValueText(size_t row) const;

private:
    void buildRows();
    static SettingItem backlightRow();
    static SettingItem languageRow();
    static SettingItem skinRow();
    static SettingItem folderRow();
    static SettingItem playModeRow();
    static SettingItem sleepTimerRow();
    static SettingItem aboutRow();
    SettingItem* findRow(const std::string& key);

    void moveSelection(int step);
    void stepChoice(int step);
    // Each returns false when the choice could not be saved.
    bool applyRow(SettingItem& row, int previousIndex);
    static bool applyBacklight(const SettingItem& row);
    static bool applyLanguage(SettingItem& row, int previousIndex);
    bool applySkin(const SettingItem& row);
    static bool applyFolder(const SettingItem& row);
    static bool applyPlayMode(const SettingItem& row);
    void applySleepTimer(const SettingItem& row);
    void followSleepTimer();

    void drawRow(size_t row, int top);
    void drawText(const std::string& text, SDL_Color color, int x, int rowTop, bool alignRight);

    Dialog* dialog;
    SleepTimer* sleepTimer;
    std::unique_ptr<TopBar> topBar;
    std::vector<SettingItem> items;
    int selectedItem = 0;
    std::function<void()> backCallback;
    KeyBindings bindings;
    bool missingRendererReported = false;
    TextCache texts{32};
};
