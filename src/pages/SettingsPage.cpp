#include "pages/SettingsPage.h"

#include "audio/SleepTimer.h"
#include "core/Log.h"
#include "model/PlayMode.h"
#include "pages/SaveFailureNotice.h"
#include "settings/Config.h"
#include "settings/LanguageManager.h"
#include "settings/ThemeManager.h"
#include "ui/Draw.h"
#include "ui/TopBar.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

namespace {

constexpr const char* BACKLIGHT_KEY = "display.backlight.timeout";
constexpr const char* LANGUAGE_KEY = "language";
constexpr const char* SKIN_KEY = "theme.default_theme";
constexpr const char* FOLDER_KEY = "theme.current_folder";
constexpr const char* SLEEP_TIMER_KEY = "sleep_timer";
constexpr const char* ABOUT_KEY = "about";

// Shown on the language row when the language folder lists none.
constexpr const char* NO_LANGUAGE_OPTION = "简体中文";

constexpr int TAPE_SKIN_ID = 1;
constexpr const char* TAPE_BASE_FOLDER = "type";
constexpr const char* RECORD_BASE_FOLDER = "record";
constexpr const char* SKIN_THEMES[] = {ThemeManager::TAPE_SKIN_THEME,
                                       ThemeManager::RECORD_SKIN_THEME};
constexpr int SKIN_COUNT = static_cast<int>(std::size(SKIN_THEMES));
constexpr int PLAY_MODE_COUNT = 5;

struct SleepOption {
    uint64_t minutes;
    const char* labelKey;
};
constexpr SleepOption SLEEP_OPTIONS[] = {
    {0, "sleep_timer_off"}, {15, "sleep_timer_15"}, {30, "sleep_timer_30"},
    {45, "sleep_timer_45"}, {60, "sleep_timer_60"}, {90, "sleep_timer_90"},
};
constexpr uint64_t MS_PER_SECOND = 1000;
constexpr uint64_t SECONDS_PER_MINUTE = 60;

constexpr SDL_Color BACKDROP{18, 18, 18, 255};
constexpr Uint8 SELECTED_GREY = 255;
constexpr Uint8 OTHER_GREY = 128;
constexpr int FIRST_ROW_TOP = 40;
constexpr int ROW_HEIGHT = 45;
constexpr SDL_Rect MARKER{10, 0, 5, ROW_HEIGHT}; // y is the row's
constexpr int TITLE_LEFT = 40;
constexpr int VALUE_RIGHT = 600;

std::string text(const std::string& key) {
    return LanguageManager::getInstance().getText(key);
}

int positionIn(const std::vector<std::string>& list, const std::string& value) {
    auto found = std::find(list.begin(), list.end(), value);
    return found == list.end() ? 0 : static_cast<int>(found - list.begin());
}

int skinIdOf(int skinIndex) {
    return skinIndex + TAPE_SKIN_ID;
}

const char* baseFolderOf(int skinId) {
    return skinId == TAPE_SKIN_ID ? TAPE_BASE_FOLDER : RECORD_BASE_FOLDER;
}

const char* colourThemeOf(int skinId) {
    return skinId == TAPE_SKIN_ID ? ThemeManager::TAPE_SKIN_THEME : ThemeManager::RECORD_SKIN_THEME;
}

// "m:ss" until the music stops.
std::string remainingText(uint64_t milliseconds) {
    uint64_t seconds = (milliseconds + MS_PER_SECOND - 1) / MS_PER_SECOND;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llu:%02llu",
                  static_cast<unsigned long long>(seconds / SECONDS_PER_MINUTE),
                  static_cast<unsigned long long>(seconds % SECONDS_PER_MINUTE));
    return buffer;
}

} // namespace

SettingsPage::SettingsPage(Dialog* dialog, SleepTimer* sleepTimer)
    : dialog(dialog), sleepTimer(sleepTimer) {
    bindings.add("up", {SDLK_UP}, [this] { moveSelection(-1); });
    bindings.add("down", {SDLK_DOWN}, [this] { moveSelection(+1); });
    bindings.add("left", {SDLK_LEFT}, [this] { stepChoice(-1); });
    bindings.add("right", {SDLK_RIGHT}, [this] { stepChoice(+1); });
    bindings.add("b", {SDLK_ESCAPE}, [this] {
        if (backCallback) {
            backCallback();
        }
    });
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    buildRows();
    if (!renderer) {
        logError("渲染器为空");
        return;
    }
    if (!font) {
        logError("字体为空");
        return;
    }
    this->renderer = renderer;
    this->font = font;
    bounds = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    topBar = std::make_unique<TopBar>(nullptr);
    topBar->init(renderer, font);
}

void SettingsPage::buildRows() {
    items = {backlightRow(), languageRow(),   skinRow(), folderRow(),
             playModeRow(),  sleepTimerRow(), aboutRow()};
    selectedItem = 0;
}

SettingsPage::SettingItem SettingsPage::backlightRow() {
    SettingItem row{"settings_backlight", {}, BACKLIGHT_KEY, 0};
    const int timeout = Config::getInstance().getBacklightTimeout();
    const std::vector<Config::BacklightOption>& choices = Config::getBacklightOptions();
    for (size_t index = 0; index < choices.size(); ++index) {
        row.options.push_back(choices[index].second);
        if (choices[index].first == timeout) {
            row.selectedIndex = static_cast<int>(index);
        }
    }
    return row;
}

SettingsPage::SettingItem SettingsPage::languageRow() {
    const LanguageManager& languages = LanguageManager::getInstance();
    SettingItem row{"settings_language", languages.getAvailableLanguages(), LANGUAGE_KEY, 0};
    if (row.options.empty()) {
        row.options.push_back(NO_LANGUAGE_OPTION);
    }
    row.selectedIndex = positionIn(row.options, languages.getCurrentLanguage());
    return row;
}

SettingsPage::SettingItem SettingsPage::skinRow() {
    SettingItem row{
        "settings_theme", {std::begin(SKIN_THEMES), std::end(SKIN_THEMES)}, SKIN_KEY, 0};
    const int index = Config::getInstance().getDefaultThemeId() - TAPE_SKIN_ID;
    row.selectedIndex = index >= 0 && index < SKIN_COUNT ? index : 0;
    return row;
}

// The folders of the current skin, with the one it uses selected.
SettingsPage::SettingItem SettingsPage::folderRow() {
    const Config& config = Config::getInstance();
    const int skinId = config.getDefaultThemeId();
    SettingItem row{"settings_theme_folder", config.getThemeFolders(baseFolderOf(skinId)),
                    FOLDER_KEY, 0};
    row.selectedIndex = positionIn(row.options, config.getThemeFolder(skinId));
    return row;
}

SettingsPage::SettingItem SettingsPage::playModeRow() {
    SettingItem row{"settings_play_mode", {}, Config::PLAY_MODE_PATH, 0};
    for (int index = 0; index < PLAY_MODE_COUNT; ++index) {
        row.options.push_back(playModeLabelKey(static_cast<PlayMode>(index)));
    }
    PlayMode mode = PlayMode::SEQUENCE;
    if (playModeFromText(Config::getInstance().getString(Config::PLAY_MODE_PATH, ""), mode)) {
        row.selectedIndex = static_cast<int>(mode);
    }
    return row;
}

// Off at every start: the timer is not a setting that is kept.
SettingsPage::SettingItem SettingsPage::sleepTimerRow() {
    SettingItem row{"settings_sleep_timer", {}, SLEEP_TIMER_KEY, 0};
    for (const SleepOption& option : SLEEP_OPTIONS) {
        row.options.push_back(option.labelKey);
    }
    return row;
}

SettingsPage::SettingItem SettingsPage::aboutRow() {
    return {"settings_about", {"version"}, ABOUT_KEY, 0};
}

SettingsPage::SettingItem* SettingsPage::findRow(const std::string& key) {
    auto found = std::find_if(items.begin(), items.end(),
                              [&key](const SettingItem& row) { return row.key == key; });
    return found == items.end() ? nullptr : &*found;
}

void SettingsPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    if (topBar) {
        topBar->handleEvent(event);
    }
    bindings.dispatch(*event);
}

void SettingsPage::moveSelection(int step) {
    selectedItem =
        std::clamp(selectedItem + step, 0, std::max(0, static_cast<int>(items.size()) - 1));
}

void SettingsPage::stepChoice(int step) {
    if (selectedItem < 0 || selectedItem >= static_cast<int>(items.size())) {
        return;
    }
    SettingItem& row = items[selectedItem];
    const int target = row.selectedIndex + step;
    if (target < 0 || target >= static_cast<int>(row.options.size())) {
        return;
    }
    const int previous = row.selectedIndex;
    row.selectedIndex = target;
    if (!applyRow(row, previous)) {
        SaveFailureNotice::show(dialog, "settings_save_failed", "设置未能保存: " + row.key);
    }
}

bool SettingsPage::applyRow(SettingItem& row, int previousIndex) {
    if (row.key == BACKLIGHT_KEY) {
        return applyBacklight(row);
    }
    if (row.key == LANGUAGE_KEY) {
        return applyLanguage(row, previousIndex);
    }
    if (row.key == SKIN_KEY) {
        return applySkin(row);
    }
    if (row.key == FOLDER_KEY) {
        return applyFolder(row);
    }
    if (row.key == Config::PLAY_MODE_PATH) {
        return applyPlayMode(row);
    }
    if (row.key == SLEEP_TIMER_KEY) {
        applySleepTimer(row);
    }
    return true;
}

bool SettingsPage::applyBacklight(const SettingItem& row) {
    const std::vector<Config::BacklightOption>& choices = Config::getBacklightOptions();
    if (row.selectedIndex >= static_cast<int>(choices.size())) {
        return true;
    }
    // The idle handling reads the time-out every frame, so it holds from now on.
    return Config::getInstance().setBacklightTimeout(choices[row.selectedIndex].first);
}

// Every page relabels itself when it next sees the new language.
bool SettingsPage::applyLanguage(SettingItem& row, int previousIndex) {
    LanguageManager& languages = LanguageManager::getInstance();
    const std::vector<std::string>& codes = languages.getAvailableLanguages();
    if (row.selectedIndex >= static_cast<int>(codes.size())) {
        return true;
    }
    const std::string previousCode = languages.getCurrentLanguage();
    if (!languages.setLanguage(codes[row.selectedIndex])) {
        // That language's file is unusable (logged): stay with the one that worked.
        languages.setLanguage(previousCode);
        row.selectedIndex = previousIndex;
        return true;
    }
    // setLanguage does not tell whether the choice reached the card; saving it again does.
    return languages.saveLanguageSettings();
}

// The folder row follows the skin: its folders, with the one the skin uses selected.
bool SettingsPage::applySkin(const SettingItem& row) {
    Config& config = Config::getInstance();
    const int skinId = skinIdOf(row.selectedIndex);
    config.setString(SKIN_KEY, std::to_string(skinId));
    if (SettingItem* folders = findRow(FOLDER_KEY)) {
        *folders = folderRow();
    }
    const bool saved = config.save();
    return ThemeManager::getInstance().setCurrentTheme(colourThemeOf(skinId)) && saved;
}

bool SettingsPage::applyFolder(const SettingItem& row) {
    Config& config = Config::getInstance();
    const int skinId = config.getDefaultThemeId();
    const bool saved = config.storeThemeFolder(skinId, row.options[row.selectedIndex]);
    return ThemeManager::getInstance().setCurrentTheme(colourThemeOf(skinId)) && saved;
}

// The play list looks the mode up in the settings whenever it picks a song.
bool SettingsPage::applyPlayMode(const SettingItem& row) {
    Config& config = Config::getInstance();
    config.setString(Config::PLAY_MODE_PATH,
                     playModeText(static_cast<PlayMode>(row.selectedIndex)));
    return config.save();
}

void SettingsPage::applySleepTimer(const SettingItem& row) {
    if (sleepTimer) {
        sleepTimer->start(SLEEP_OPTIONS[row.selectedIndex].minutes * SECONDS_PER_MINUTE *
                          MS_PER_SECOND);
    }
}

void SettingsPage::update() {
    if (topBar) {
        topBar->update();
    }
    followSleepTimer();
}

// Once the timer has run out or a key press cancelled it, the row shows it off again.
void SettingsPage::followSleepTimer() {
    SettingItem* row = findRow(SLEEP_TIMER_KEY);
    if (row && row->selectedIndex != 0 && !(sleepTimer && sleepTimer->isRunning())) {
        row->selectedIndex = 0;
    }
}

std::string SettingsPage::getTitleText(size_t row) const {
    return row < items.size() ? text(items[row].title) : "";
}

std::string SettingsPage::getValueText(size_t row) const {
    if (row >= items.size()) {
        return "";
    }
    const SettingItem& item = items[row];
    if (item.selectedIndex < 0 || item.selectedIndex >= static_cast<int>(item.options.size())) {
        return "";
    }
    const std::string& option = item.options[item.selectedIndex];
    if (item.key == LANGUAGE_KEY) {
        return LanguageManager::getDisplayName(option);
    }
    if (item.key == ABOUT_KEY) {
        return text(option) + " " + VERSION;
    }
    if (item.key == SLEEP_TIMER_KEY && sleepTimer && sleepTimer->isRunning()) {
        return text(option) + " (" + remainingText(sleepTimer->remainingMs()) + ")";
    }
    return text(option);
}

void SettingsPage::render() {
    if (!renderer || !font) {
        if (!missingRendererReported) {
            logError("渲染器或字体为空");
            missingRendererReported = true;
        }
        return;
    }
    Draw::fillScreen(renderer, BACKDROP);
    if (topBar) {
        topBar->render();
    }
    if (selectedItem >= static_cast<int>(items.size())) {
        selectedItem = 0;
    }
    for (size_t row = 0; row < items.size(); ++row) {
        drawRow(row, FIRST_ROW_TOP + ROW_HEIGHT * static_cast<int>(row));
    }
}

void SettingsPage::drawRow(size_t row, int top) {
    const bool selected = static_cast<int>(row) == selectedItem;
    if (selected) {
        SDL_Rect marker = MARKER;
        marker.y = top;
        Draw::fillRect(renderer, marker, Draw::RED);
    }
    const Uint8 grey = selected ? SELECTED_GREY : OTHER_GREY;
    const SDL_Color color{grey, grey, grey, 255};
    drawText(getTitleText(row), color, TITLE_LEFT, top, false);
    drawText(getValueText(row), color, VALUE_RIGHT, top, true);
}

void SettingsPage::drawText(const std::string& label, SDL_Color color, int x, int rowTop,
                            bool alignRight) {
    TextImage image = texts.get(renderer, font, label, color);
    if (!image.texture) {
        return;
    }
    SDL_Rect area{alignRight ? x - image.width : x, rowTop + (ROW_HEIGHT - image.height) / 2,
                  image.width, image.height};
    SDL_RenderCopy(renderer, image.texture, nullptr, &area);
}
