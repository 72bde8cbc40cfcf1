#include "settings/Config.h"

#include "core/JsonFile.h"
#include "core/JsonPath.h"
#include "core/Log.h"
#include "settings/DefaultSettings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int DEFAULT_BACKLIGHT_TIMEOUT = 30;
constexpr const char* BACKLIGHT_TIMEOUT_PATH = "display.backlight.timeout";

constexpr size_t BAND_COUNT = 10;
constexpr const char* FLAT_PRESET_ID = "FLAT";
constexpr const char* FLAT_PRESET_NAME = "eq_preset_flat";
constexpr const char* CUSTOM_PRESET_ID = "CUSTOM";
constexpr const char* CUSTOM_PRESET_NAME = "eq_preset_custom";

constexpr int TAPE_THEME_ID = 1;
constexpr int RECORD_THEME_ID = 2;
constexpr const char* TAPE_BASE_FOLDER = "type";
constexpr const char* RECORD_BASE_FOLDER = "record";
constexpr const char* TAPE_PINK_FOLDER = "typepink";
// The skin when the settings name none.
constexpr int THEME_ID_WHEN_UNSET = TAPE_THEME_ID;
constexpr int THEME_ID_ON_ERROR = RECORD_THEME_ID;
constexpr const char* FALLBACK_THEME_FOLDER = RECORD_BASE_FOLDER;

// Positions in a stored skin entry [id, name, folder].
constexpr Json::ArrayIndex THEME_ID_INDEX = 0;
constexpr Json::ArrayIndex THEME_NAME_INDEX = 1;
constexpr Json::ArrayIndex THEME_FOLDER_INDEX = 2;

void reportWrongType(const std::string& path) {
    logError("配置项类型错误，按缺失处理: " + path);
}

std::string indexedPath(const std::string& path, Json::ArrayIndex index) {
    return path + "[" + std::to_string(index) + "]";
}

// A skin's base folder names the folder list it may choose from.
std::string baseFolderOf(int themeId) {
    if (themeId == TAPE_THEME_ID) {
        return TAPE_BASE_FOLDER;
    }
    if (themeId == RECORD_THEME_ID) {
        return RECORD_BASE_FOLDER;
    }
    return "";
}

// Base-10 text with optional leading white space and sign, read up to the first non-digit.
int parseThemeId(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        return THEME_ID_WHEN_UNSET;
    }
    return static_cast<int>(value);
}

// The stored skin entry [id, name, folder, ...] whose id matches, or null.
Json::Value* findStoredTheme(Json::Value& root, int id) {
    Json::Value* list = JsonPath::find(root, "theme.themes");
    if (!list || !list->isArray()) {
        return nullptr;
    }
    for (Json::Value& item : *list) {
        if (item.isArray() && item.size() > THEME_FOLDER_INDEX &&
            JsonPath::toInt(item[THEME_ID_INDEX]) == id) {
            return &item;
        }
    }
    return nullptr;
}

// The settings the program ships, parsed once.
const Json::Value& shippedSettings() {
    static const Json::Value settings = [] {
        Json::Value parsed;
        std::string error;
        if (!JsonFile::parse(DefaultSettings::fileText(), parsed, error) || !parsed.isObject()) {
            logError("内置默认配置无法解析: " + error);
            return Json::Value(Json::objectValue);
        }
        return parsed;
    }();
    return settings;
}

// Adds every member of defaults that tree lacks, object by object; a value tree has, of whatever
// type, is the user's and stays.
void fillMissingMembers(Json::Value& tree, const Json::Value& defaults) {
    if (!tree.isObject() || !defaults.isObject()) {
        return;
    }
    for (const std::string& name : defaults.getMemberNames()) {
        const Json::Value& wanted = defaults[name];
        if (tree.isMember(name)) {
            fillMissingMembers(tree[name], wanted);
        } else {
            tree[name] = wanted;
        }
    }
}

// The value at a fixed key path, converted; missing when absent or of the wrong type.
template <typename Result>
Result readOr(const Json::Value& root, const char* path,
              std::optional<Result> (*convert)(const Json::Value&), Result missing) {
    const Json::Value* value = JsonPath::find(root, path);
    return value ? convert(*value).value_or(missing) : missing;
}

} // namespace

Config& Config::getInstance() {
    static Config instance;
    return instance;
}

Config::Config(const std::string& path) {
    reset(path);
}

bool Config::reset(const std::string& path) {
    root = Json::Value();
    dirty = false;
    presets.clear();
    currentPresetId.clear();
    scanDirectories.clear();
    supportedFormats.clear();
    themes.clear();
    keepCopyOfUnreadableFile = false;
    if (load(path)) {
        return true;
    }
    logError("无法加载默认配置文件，使用默认设置");
    use(shippedSettings());
    return false;
}

bool Config::load(const std::string& path) {
    configPath = path;
    try {
        JsonFile::ReadResult file = JsonFile::readReporting(
            path, {"无法打开配置文件: ", "无法打开配置文件: ", "解析配置文件失败: "});
        const bool notAnObject = file.status == JsonFile::ReadStatus::Ok && !file.root.isObject();
        // A file that is there but unusable is still the user's; keep it when it gets replaced.
        keepCopyOfUnreadableFile = (file.status != JsonFile::ReadStatus::Ok &&
                                    file.status != JsonFile::ReadStatus::Missing) ||
                                   notAnObject;
        if (file.status != JsonFile::ReadStatus::Ok) {
            return false;
        }
        if (notAnObject) {
            logError("加载配置失败: 配置文件的内容不是 JSON 对象");
            return false;
        }
        fillMissingMembers(file.root, shippedSettings());
        use(std::move(file.root));
        return true;
    } catch (const std::exception& error) {
        logError(std::string("加载配置失败: ") + error.what());
        return false;
    }
}

void Config::use(Json::Value tree) {
    root = std::move(tree);
    themeDamageReported = false;
    copyMusicScanSettings();
    ensureBacklightDefault();
    loadPresets();
    loadThemes();
}

const Json::Value* Config::findWhileLoading(const std::string& path,
                                            bool (Json::Value::*expectedType)() const) const {
    std::string blockedAt;
    const Json::Value* value = JsonPath::find(root, path, blockedAt);
    if (!blockedAt.empty()) {
        reportWrongType(blockedAt);
        return nullptr;
    }
    if (!value || value->isNull()) {
        return nullptr;
    }
    if (expectedType && !(value->*expectedType)()) {
        reportWrongType(path);
        return nullptr;
    }
    return value;
}

void Config::copyMusicScanSettings() {
    copyStringList("music.scan_directories", scanDirectories);
    copyStringList("music.supported_formats", supportedFormats);
}

void Config::copyStringList(const std::string& path, std::vector<std::string>& list) const {
    list.clear();
    const Json::Value* array = findWhileLoading(path, &Json::Value::isArray);
    if (!array) {
        return;
    }
    for (Json::ArrayIndex index = 0; index < array->size(); ++index) {
        if (std::optional<std::string> text = JsonPath::toString((*array)[index])) {
            list.push_back(*text);
        } else {
            reportWrongType(indexedPath(path, index));
        }
    }
}

void Config::ensureBacklightDefault() {
    const Json::Value* timeout = findWhileLoading(BACKLIGHT_TIMEOUT_PATH, nullptr);
    if (timeout && JsonPath::toInt(*timeout)) {
        return;
    }
    if (timeout) {
        reportWrongType(BACKLIGHT_TIMEOUT_PATH);
    }
    JsonPath::set(root, BACKLIGHT_TIMEOUT_PATH, DEFAULT_BACKLIGHT_TIMEOUT);
    dirty = true;
}

bool Config::save() {
    if (!dirty) {
        return true;
    }
    try {
        if (configPath.empty()) {
            configPath = DEFAULT_PATH;
        }
        if (!JsonFile::ensureParentFolder(configPath)) {
            logError("无法创建配置目录: " + fs::path(configPath).parent_path().string());
            return false;
        }
        if (!currentPresetId.empty()) {
            JsonPath::makeObject(root, {"equalizer"})["default_preset"] = currentPresetId;
        }
        return writeFile();
    } catch (const std::exception& error) {
        logError(std::string("保存配置文件时发生异常: ") + error.what());
        return false;
    }
}

bool Config::writeFile() {
    if (keepCopyOfUnreadableFile) {
        // A file that cannot even be copied is not replaced either.
        if (JsonFile::keepCopy(configPath).empty()) {
            logError("无法备份无法解析的配置文件: " + configPath);
            return false;
        }
        keepCopyOfUnreadableFile = false;
    }
    if (!JsonFile::writeAtomically(configPath, JsonFile::toStyledText(root))) {
        logError("无法打开配置文件进行写入: " + configPath);
        return false;
    }
    dirty = false;
    return true;
}

// Typed accessors.

int Config::getBacklightTimeout() const {
    return readOr(root, BACKLIGHT_TIMEOUT_PATH, JsonPath::toInt, 0);
}

bool Config::setBacklightTimeout(int seconds) {
    JsonPath::set(root, BACKLIGHT_TIMEOUT_PATH, seconds);
    dirty = true;
    return save();
}

const std::vector<Config::BacklightOption>& Config::getBacklightOptions() {
    static const std::vector<BacklightOption> options = {
        {15, "backlight_15"}, {30, "backlight_30"}, {45, "backlight_45"},
        {60, "backlight_60"}, {90, "backlight_90"}, {0, "backlight_0"},
    };
    return options;
}

int Config::getWindowWidth() const {
    return readOr(root, "display.window.width", JsonPath::toInt, 0);
}

int Config::getWindowHeight() const {
    return readOr(root, "display.window.height", JsonPath::toInt, 0);
}

std::string Config::getWindowTitle() const {
    return readOr<std::string>(root, "display.window.title", JsonPath::toString, "");
}

std::string Config::getFontPath() const {
    return readOr<std::string>(root, "display.font.path", JsonPath::toString, "");
}

int Config::getFontSize() const {
    return readOr(root, "display.font.size", JsonPath::toInt, 0);
}

int Config::getDefaultVolume() const {
    return readOr(root, "music.default_volume", JsonPath::toInt, 0);
}

int Config::getFadeDuration() const {
    return readOr(root, "music.fade_duration", JsonPath::toInt, 0);
}

int Config::getBufferSize() const {
    return readOr(root, "music.buffer_size", JsonPath::toInt, 0);
}

std::string Config::getPlaylistSavePath() const {
    return readOr<std::string>(root, "playlist.save_path", JsonPath::toString, "");
}

bool Config::getPlaylistAutoSave() const {
    return readOr(root, "playlist.auto_save", JsonPath::toBool, false);
}

std::string Config::getPlaylistDefaultMode() const {
    return readOr<std::string>(root, "playlist.default_mode", JsonPath::toString, "");
}

int Config::getSpectrumBars() const {
    return readOr(root, "spectrum.bars", JsonPath::toInt, 0);
}

float Config::getSpectrumMinFrequency() const {
    return readOr(root, "spectrum.min_frequency", JsonPath::toFloat, 0.0f);
}

float Config::getSpectrumMaxFrequency() const {
    return readOr(root, "spectrum.max_frequency", JsonPath::toFloat, 0.0f);
}

float Config::getSpectrumSmoothing() const {
    return readOr(root, "spectrum.smoothing", JsonPath::toFloat, 0.0f);
}

float Config::getSpectrumMinDb() const {
    return readOr(root, "spectrum.min_db", JsonPath::toFloat, 0.0f);
}

float Config::getSpectrumMaxDb() const {
    return readOr(root, "spectrum.max_db", JsonPath::toFloat, 0.0f);
}

std::string Config::getString(const std::string& path, const std::string& fallback) const {
    const Json::Value* value = JsonPath::find(root, path);
    return value && value->isString() ? value->asString() : fallback;
}

void Config::setString(const std::string& path, const std::string& value) {
    JsonPath::set(root, path, Json::Value(value));
    dirty = true;
}

// Equalizer presets.

void Config::loadPresets() {
    if (const Json::Value* stored = findWhileLoading("equalizer.presets", &Json::Value::isObject)) {
        for (const std::string& id : stored->getMemberNames()) {
            const Json::Value& item = (*stored)[id];
            if (!item.isObject()) {
                reportWrongType("equalizer.presets." + id);
                continue;
            }
            presets[id] = readPreset(id, item);
        }
    }
    currentPresetId.clear();
    if (const Json::Value* chosen = findWhileLoading("equalizer.default_preset", nullptr)) {
        std::optional<std::string> id = JsonPath::toString(*chosen);
        if (!id) {
            reportWrongType("equalizer.default_preset");
        }
        currentPresetId = id.value_or("");
    }
    if (currentPresetId.empty() || presets.count(currentPresetId) == 0) {
        currentPresetId = FLAT_PRESET_ID;
    }
}

EqPreset Config::readPreset(const std::string& id, const Json::Value& item) const {
    const std::string path = "equalizer.presets." + id;
    EqPreset preset;
    preset.name = id;
    const Json::Value& name = item["name"];
    if (!name.isNull()) {
        std::optional<std::string> text = JsonPath::toString(name);
        if (!text) {
            reportWrongType(path + ".name");
        }
        preset.name = text.value_or(id);
    }
    const Json::Value& gains = item["gains"];
    if (gains.isArray()) {
        for (Json::ArrayIndex index = 0; index < gains.size(); ++index) {
            // A gain that is not a number keeps its band, flat.
            std::optional<float> gain = JsonPath::toFloat(gains[index]);
            if (!gain || !std::isfinite(*gain)) {
                reportWrongType(indexedPath(path + ".gains", index));
                gain = 0.0f;
            }
            preset.gains.push_back(*gain);
        }
    } else if (!gains.isNull()) {
        reportWrongType(path + ".gains");
    }
    if (preset.gains.empty()) {
        preset.gains.assign(BAND_COUNT, 0.0f);
    }
    return preset;
}

const EqPreset& Config::getCurrentPreset() const {
    static const EqPreset flat{FLAT_PRESET_NAME, std::vector<float>(BAND_COUNT, 0.0f)};
    auto current = presets.find(currentPresetId);
    return current == presets.end() ? flat : current->second;
}

bool Config::setCurrentPreset(const std::string& id) {
    if (presets.count(id) == 0) {
        logError("找不到预设: " + id);
        return false;
    }
    currentPresetId = id;
    dirty = true;
    return save();
}

bool Config::saveCustomPreset(const std::string& id, const std::vector<float>& gains) {
    if (id != CUSTOM_PRESET_ID) {
        logError("只能保存到 CUSTOM 预设");
        return false;
    }
    // A curve the card refused must not be reachable from the presets, nor written by the next
    // unrelated save: on failure everything goes back to what the file says.
    Json::Value savedRoot = root;
    std::map<std::string, EqPreset> savedPresets = presets;
    std::string savedPresetId = currentPresetId;
    const bool savedDirty = dirty;
    try {
        EqPreset custom{CUSTOM_PRESET_NAME, {}};
        Json::Value stored(Json::arrayValue);
        for (float gain : gains) {
            // The file format has no infinity or NaN; writing one would make the file unreadable.
            float finite = std::isfinite(gain) ? gain : 0.0f;
            custom.gains.push_back(finite);
            stored.append(static_cast<double>(finite));
        }
        presets[CUSTOM_PRESET_ID] = custom;
        Json::Value& entry = JsonPath::makeObject(root, {"equalizer", "presets", CUSTOM_PRESET_ID});
        entry["gains"] = stored;
        entry["name"] = CUSTOM_PRESET_NAME;
        currentPresetId = CUSTOM_PRESET_ID;
        dirty = true;
        if (save()) {
            return true;
        }
    } catch (const std::exception& error) {
        logError(std::string("保存自定义预设时发生错误: ") + error.what());
    }
    root = std::move(savedRoot);
    presets = std::move(savedPresets);
    currentPresetId = std::move(savedPresetId);
    dirty = savedDirty;
    return false;
}

// Now-playing skins.

void Config::loadThemes() {
    themes.clear();
    if (const Json::Value* list = findWhileLoading("theme.themes", &Json::Value::isArray)) {
        for (Json::ArrayIndex index = 0; index < list->size(); ++index) {
            const Json::Value& item = (*list)[index];
            if (!item.isArray() || item.size() <= THEME_FOLDER_INDEX) {
                continue;
            }
            std::optional<int> id = JsonPath::toInt(item[THEME_ID_INDEX]);
            std::optional<std::string> name = JsonPath::toString(item[THEME_NAME_INDEX]);
            std::optional<std::string> folder = JsonPath::toString(item[THEME_FOLDER_INDEX]);
            if (!id || !name || !folder) {
                reportWrongType(indexedPath("theme.themes", index));
                continue;
            }
            themes.push_back({*id, *name, *folder});
        }
    }
    if (themes.empty()) {
        appendBuiltInThemes();
    }
}

void Config::appendBuiltInThemes() {
    themes.push_back({TAPE_THEME_ID, "theme_tape", TAPE_BASE_FOLDER});
    themes.push_back({RECORD_THEME_ID, "theme_record", RECORD_BASE_FOLDER});
}

int Config::getDefaultThemeId() const {
    // Written against jsoncpp's own checks on purpose: a "theme" that is not an object makes
    // the library raise its logic error, which is reported and falls back to the record skin.
    try {
        const Json::Value& theme = root["theme"];
        if (theme.isNull() || !theme.isMember("default_theme")) {
            return THEME_ID_WHEN_UNSET;
        }
        const Json::Value& value = theme["default_theme"];
        if (value.isString()) {
            return parseThemeId(value.asString());
        }
        if (value.isInt()) {
            return value.asInt();
        }
        return THEME_ID_WHEN_UNSET;
    } catch (const Json::LogicError& error) {
        reportThemeDamage(std::string("获取默认主题时发生错误: ") + error.what());
    } catch (const std::exception& error) {
        reportThemeDamage(std::string("获取默认主题时发生未知错误: ") + error.what());
    }
    return THEME_ID_ON_ERROR;
}

void Config::reportThemeDamage(const std::string& message) const {
    if (!themeDamageReported) {
        logError(message);
        themeDamageReported = true;
    }
}

std::string Config::getThemeFolder(int id) const {
    auto entry = std::find_if(themes.begin(), themes.end(),
                              [id](const ThemeEntry& theme) { return theme.id == id; });
    return entry == themes.end() ? FALLBACK_THEME_FOLDER : entry->folder;
}

std::string Config::getDefaultThemeFolder() const {
    return getThemeFolder(getDefaultThemeId());
}

std::vector<std::string> Config::getThemeFolders(const std::string& baseFolder) const {
    std::vector<std::string> folders;
    const Json::Value* lists = JsonPath::find(root, "theme.folders");
    const Json::Value* list =
        lists && lists->isObject()
            ? lists->find(baseFolder.data(), baseFolder.data() + baseFolder.size())
            : nullptr;
    if (list && list->isArray()) {
        for (const Json::Value& item : *list) {
            if (std::optional<std::string> folder = JsonPath::toString(item)) {
                folders.push_back(*folder);
            }
        }
    }
    if (!folders.empty()) {
        return folders;
    }
    if (baseFolder == TAPE_BASE_FOLDER) {
        return {TAPE_BASE_FOLDER, TAPE_PINK_FOLDER};
    }
    if (baseFolder == RECORD_BASE_FOLDER) {
        return {RECORD_BASE_FOLDER};
    }
    return {};
}

void Config::setThemeFolder(int id, const std::string& folder) {
    auto entry = std::find_if(themes.begin(), themes.end(),
                              [id](const ThemeEntry& theme) { return theme.id == id; });
    if (entry == themes.end()) {
        return;
    }
    entry->folder = folder;
    Json::Value* stored = findStoredTheme(root, id);
    if (!stored) {
        logError("在配置文件中未找到ID为 " + std::to_string(id) + " 的主题，保存失败");
        return;
    }
    (*stored)[THEME_FOLDER_INDEX] = folder;
    const std::string baseFolder = baseFolderOf(id);
    Json::Value* list =
        baseFolder.empty() ? nullptr : JsonPath::find(root, "theme.folders." + baseFolder);
    if (list && list->isArray() &&
        std::find(list->begin(), list->end(), Json::Value(folder)) == list->end()) {
        list->append(folder);
    }
    dirty = true;
    if (!save()) {
        logError("设置主题 " + std::to_string(id) + " 的文件夹为: " + folder +
                 " 但保存配置文件失败");
    }
}

bool Config::storeThemeFolder(int id, const std::string& folder) {
    auto entry = std::find_if(themes.begin(), themes.end(),
                              [id](const ThemeEntry& theme) { return theme.id == id; });
    if (entry == themes.end()) {
        logError("找不到ID为 " + std::to_string(id) + " 的主题");
        return false;
    }
    if (!findStoredTheme(root, id)) {
        Json::Value stored(Json::arrayValue);
        stored.append(entry->id);
        stored.append(entry->name);
        stored.append(entry->folder);
        Json::Value& theme = JsonPath::makeObject(root, {"theme"});
        if (!theme["themes"].isArray()) {
            theme["themes"] = Json::Value(Json::arrayValue);
        }
        theme["themes"].append(stored);
    }
    setThemeFolder(id, folder);
    return !dirty; // setThemeFolder saves; a failed save leaves the change pending
}
