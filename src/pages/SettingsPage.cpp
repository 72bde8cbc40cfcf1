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

// The play mode row's choices, in the order they are stepped through.
constexpr PlayMode PLAY_MODE_CHOICES[] = {PlayMode::SEQUENCE, PlayMode::SEQUENCE_LOOP,
                                          PlayMode::SINGLE, PlayMode::SINGLE_LOOP,
                                          PlayMode::RANDOM};

constexpr VolumeLevelling LEVELLING_CHOICES[] = {VolumeLevelling::OFF, VolumeLevelling::TRACK,
                                                 VolumeLevelling::ALBUM};

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

const SettingsPage::RowKind SettingsPage::ROW_KINDS[ROW_COUNT] = {
    {"settings_backlight", BACKLIGHT_KEY, &SettingsPage::backlightChoices,
     &SettingsPage::applyBacklight},
    {"settings_language", LANGUAGE_KEY, &SettingsPage::languageChoices,
     &SettingsPage::applyLanguage},
    {"settings_theme", SKIN_KEY, &SettingsPage::skinChoices, &SettingsPage::applySkin},
    {"settings_theme_folder", FOLDER_KEY, &SettingsPage::folderChoices, &SettingsPage::applyFolder},
    {"settings_play_mode", Config::PLAY_MODE_PATH, &SettingsPage::playModeChoices,
     &SettingsPage::applyPlayMode},
    {"settings_volume_levelling", Config::VOLUME_LEVELLING_PATH, &SettingsPage::levellingChoices,
     &SettingsPage::applyLevelling},
    {"settings_sleep_timer", SLEEP_TIMER_KEY, &SettingsPage::sleepTimerChoices,
     &SettingsPage::applySleepTimer},
    {"settings_about", ABOUT_KEY, &SettingsPage::aboutChoices, &SettingsPage::applyNothing},
};

SettingsPage::SettingsPage(const PageServices& services, Dialog* dialog, SleepTimer* sleepTimer)
    : services(services), dialog(dialog), sleepTimer(sleepTimer), bindings(services.input) {
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

std::string SettingsPage::text(const std::string& key) const {
    return services.languages.getText(key);
}

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
    topBar = std::make_unique<TopBar>(nullptr, services.battery);
    topBar->init(renderer, font);
}

void SettingsPage::buildRows() {
    for (int row = 0; row < ROW_COUNT; ++row) {
        items[row] = (this->*ROW_KINDS[row].choices)();
    }
    selectedItem = 0;
}

SettingsPage::SettingItem SettingsPage::backlightChoices() const {
    SettingItem row;
    const int timeout = services.config.getBacklightTimeout();
    const std::vector<Config::BacklightOption>& choices = Config::getBacklightOptions();
    for (size_t index = 0; index < choices.size(); ++index) {
        row.options.push_back(choices[index].second);
        if (choices[index].first == timeout) {
            row.selectedIndex = static_cast<int>(index);
        }
    }
    return row;
}

SettingsPage::SettingItem SettingsPage::languageChoices() const {
    const LanguageManager& languages = services.languages;
    SettingItem row{languages.getAvailableLanguages(), 0};
    if (row.options.empty()) {
        row.options.push_back(NO_LANGUAGE_OPTION);
    }
    row.selectedIndex = positionIn(row.options, languages.getCurrentLanguage());
    return row;
}

SettingsPage::SettingItem SettingsPage::skinChoices() const {
    SettingItem row{{std::begin(SKIN_THEMES), std::end(SKIN_THEMES)}, 0};
    const int index = services.config.getDefaultThemeId() - TAPE_SKIN_ID;
    row.selectedIndex = index >= 0 && index < SKIN_COUNT ? index : 0;
    return row;
}

// The folders of the current skin, with the one it uses selected.
SettingsPage::SettingItem SettingsPage::folderChoices() const {
    const Config& config = services.config;
    const int skinId = config.getDefaultThemeId();
    SettingItem row{config.getThemeFolders(baseFolderOf(skinId)), 0};
    row.selectedIndex = positionIn(row.options, config.getThemeFolder(skinId));
    return row;
}

SettingsPage::SettingItem SettingsPage::playModeChoices() const {
    SettingItem row;
    PlayMode stored = PlayMode::SEQUENCE;
    playModeFromText(services.config.getString(Config::PLAY_MODE_PATH, ""), stored);
    for (PlayMode mode : PLAY_MODE_CHOICES) {
        if (mode == stored) {
            row.selectedIndex = static_cast<int>(row.options.size());
        }
        row.options.push_back(playModeLabelKey(mode));
    }
    return row;
}

SettingsPage::SettingItem SettingsPage::levellingChoices() const {
    SettingItem row;
    const VolumeLevelling stored =
        volumeLevellingFromText(services.config.getString(Config::VOLUME_LEVELLING_PATH, ""));
    for (VolumeLevelling levelling : LEVELLING_CHOICES) {
        if (levelling == stored) {
            row.selectedIndex = static_cast<int>(row.options.size());
        }
        row.options.push_back(volumeLevellingLabelKey(levelling));
    }
    return row;
}

// Off at every start: the timer is not a setting that is kept.
SettingsPage::SettingItem SettingsPage::sleepTimerChoices() const {
    SettingItem row;
    for (const SleepOption& option : SLEEP_OPTIONS) {
        row.options.push_back(option.labelKey);
    }
    return row;
}

SettingsPage::SettingItem SettingsPage::aboutChoices() const {
    return {{"version"}, 0};
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
    selectedItem = std::clamp(selectedItem + step, 0, ROW_COUNT - 1);
}

void SettingsPage::stepChoice(int step) {
    if (selectedItem < 0 || selectedItem >= ROW_COUNT) {
        return;
    }
    SettingItem& row = items[selectedItem];
    const int target = row.selectedIndex + step;
    if (target < 0 || target >= static_cast<int>(row.options.size())) {
        return;
    }
    const int previous = row.selectedIndex;
    row.selectedIndex = target;
    const RowKind& kind = ROW_KINDS[selectedItem];
    if (!(this->*kind.apply)(row, previous)) {
        SaveFailureNotice::show(services.languages, dialog, "settings_save_failed",
                                std::string("设置未能保存: ") + kind.key);
    }
}

bool SettingsPage::applyBacklight(SettingItem& row, int) {
    const std::vector<Config::BacklightOption>& choices = Config::getBacklightOptions();
    if (row.selectedIndex >= static_cast<int>(choices.size())) {
        return true;
    }
    // The idle handling reads the time-out every frame, so it holds from now on.
    return services.config.setBacklightTimeout(choices[row.selectedIndex].first);
}

// Every page relabels itself when it next sees the new language. A language whose file cannot be
// read is stepped over, so that the ones beyond it stay reachable.
bool SettingsPage::applyLanguage(SettingItem& row, int previousIndex) {
    LanguageManager& languages = services.languages;
    const std::vector<std::string>& codes = languages.getAvailableLanguages();
    const int step = row.selectedIndex > previousIndex ? 1 : -1;
    for (int index = row.selectedIndex; index >= 0 && index < static_cast<int>(codes.size());
         index += step) {
        if (languages.useLanguage(codes[index])) {
            row.selectedIndex = index;
            return languages.saveLanguageSettings();
        }
    }
    row.selectedIndex = previousIndex; // none that way could be read: stay with the one in use
    return true;
}

// The folder row follows the skin: its folders, with the one the skin uses selected.
bool SettingsPage::applySkin(SettingItem& row, int) {
    Config& config = services.config;
    const int skinId = skinIdOf(row.selectedIndex);
    config.setString(SKIN_KEY, std::to_string(skinId));
    items[FOLDER] = folderChoices();
    applySkinColours(skinId);
    return config.save();
}

bool SettingsPage::applyFolder(SettingItem& row, int) {
    Config& config = services.config;
    const int skinId = config.getDefaultThemeId();
    applySkinColours(skinId);
    return config.storeThemeFolder(skinId, row.options[row.selectedIndex]);
}

// The colours file is only a record of the choice (nothing reads it back): a failure to write it
// is logged, but the setting itself was saved, so it is not reported as lost.
void SettingsPage::applySkinColours(int skinId) {
    services.themes.setCurrentTheme(colourThemeOf(skinId));
}

// The play list looks the mode up in the settings whenever it picks a song.
bool SettingsPage::applyPlayMode(SettingItem& row, int) {
    Config& config = services.config;
    config.setString(Config::PLAY_MODE_PATH, playModeText(PLAY_MODE_CHOICES[row.selectedIndex]));
    return config.save();
}

bool SettingsPage::applyLevelling(SettingItem& row, int) {
    const VolumeLevelling levelling = LEVELLING_CHOICES[row.selectedIndex];
    if (levellingCallback) {
        levellingCallback(levelling);
    }
    Config& config = services.config;
    config.setString(Config::VOLUME_LEVELLING_PATH, volumeLevellingText(levelling));
    return config.save();
}

bool SettingsPage::applySleepTimer(SettingItem& row, int) {
    if (sleepTimer) {
        sleepTimer->start(SLEEP_OPTIONS[row.selectedIndex].minutes * SECONDS_PER_MINUTE *
                          MS_PER_SECOND);
    }
    return true; // the timer is not kept
}

bool SettingsPage::applyNothing(SettingItem&, int) {
    return true;
}

void SettingsPage::update() {
    if (topBar) {
        topBar->update();
    }
    followSleepTimer();
}

// Once the timer has run out or a key press cancelled it, the row shows it off again.
void SettingsPage::followSleepTimer() {
    SettingItem& row = items[SLEEP_TIMER];
    if (row.selectedIndex != 0 && !(sleepTimer && sleepTimer->isRunning())) {
        row.selectedIndex = 0;
        notePictureChanged();
    }
}

bool SettingsPage::wantsFrame() const {
    return UIBase::wantsFrame() || (topBar && topBar->wantsFrame());
}

std::string SettingsPage::getTitleText(size_t row) const {
    return row < ROW_COUNT ? text(ROW_KINDS[row].titleKey) : "";
}

std::string SettingsPage::getValueText(size_t row) const {
    if (row >= ROW_COUNT) {
        return "";
    }
    const SettingItem& item = items[row];
    if (item.selectedIndex < 0 || item.selectedIndex >= static_cast<int>(item.options.size())) {
        return "";
    }
    const std::string& option = item.options[item.selectedIndex];
    switch (row) {
    case LANGUAGE:
        return LanguageManager::getDisplayName(option);
    case ABOUT:
        return text(option) + " " + VERSION;
    case SLEEP_TIMER:
        if (sleepTimer && sleepTimer->isRunning()) {
            return text(option) + " (" + remainingText(sleepTimer->remainingMs()) + ")";
        }
        break;
    default:
        break;
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
    for (size_t row = 0; row < ROW_COUNT; ++row) {
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
