#pragma once

#include "settings/EqPreset.h"
#include "settings/ThemeEntry.h"

#include <json/json.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// The user's settings, kept as the JSON tree of "config/settings.json". Typed accessors read
// fixed key paths and never throw: a value of the wrong type reads like a missing one. Every
// change marks the store dirty; save() replaces the whole file atomically.
class Config {
public:
    // Seconds of idle time and the localisation key of the option's label.
    using BacklightOption = std::pair<int, std::string>;

    static constexpr const char* DEFAULT_PATH = "config/settings.json";
    // The play mode's stored text ("SEQUENCE", "RANDOM", ...).
    static constexpr const char* PLAY_MODE_PATH = "music.playback.mode";
    // The volume levelling's stored text ("off", "track" or "album").
    static constexpr const char* VOLUME_LEVELLING_PATH = "music.replaygain";

    static Config& getInstance();

    // Loads path, falling back to the shipped settings when it cannot be loaded (see reset).
    explicit Config(const std::string& path = DEFAULT_PATH);

    // Starts over as at the first use: forgets everything held and loads path; when it cannot be
    // loaded (false then), runs on the shipped settings (DefaultSettings.h) as a first start does.
    bool reset(const std::string& path = DEFAULT_PATH);

    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    // Replaces the tree with the file's contents, every member the file lacks filled in from the
    // shipped settings (what the file says is kept), and refreshes the scan lists, presets and
    // themes. On failure everything keeps its previous contents.
    bool load(const std::string& path);
    // Writes the tree if it holds unsaved changes; on failure the old file stays as it was.
    bool save();

    int getBacklightTimeout() const;
    bool setBacklightTimeout(int seconds);
    static const std::vector<BacklightOption>& getBacklightOptions();

    const std::vector<std::string>& getScanDirectories() const { return scanDirectories; }
    const std::vector<std::string>& getSupportedFormats() const { return supportedFormats; }

    int getWindowWidth() const;
    int getWindowHeight() const;
    std::string getWindowTitle() const;
    std::string getFontPath() const;
    int getFontSize() const;
    int getDefaultVolume() const;
    int getFadeDuration() const;
    int getBufferSize() const;
    std::string getPlaylistSavePath() const;
    bool getPlaylistAutoSave() const;
    std::string getPlaylistDefaultMode() const;
    int getSpectrumBars() const;
    float getSpectrumMinFrequency() const;
    float getSpectrumMaxFrequency() const;
    float getSpectrumSmoothing() const;
    float getSpectrumMinDb() const;
    float getSpectrumMaxDb() const;

    // The string at a dotted path such as "music.playback.mode"; fallback when the path is
    // missing or holds another type (no conversion).
    std::string getString(const std::string& path, const std::string& fallback) const;
    // Writes a string at a dotted path, replacing whatever blocks the way by objects. Marks the
    // store dirty without saving.
    void setString(const std::string& path, const std::string& value);

    // Equalizer presets, keyed by id ("FLAT", "CUSTOM", ...).
    const std::map<std::string, EqPreset>& getPresets() const { return presets; }
    const std::string& getCurrentPresetId() const { return currentPresetId; }
    // The current preset, or a flat preset of ten zero gains when there is none.
    const EqPreset& getCurrentPreset() const;
    // Makes a stored preset current and saves; false when the id is unknown or saving failed.
    bool setCurrentPreset(const std::string& id);
    // Stores the gains as the "CUSTOM" preset, makes it current and saves. When the save fails,
    // nothing changes: the settings stay what the file says.
    bool saveCustomPreset(const std::string& id, const std::vector<float>& gains);

    // Now-playing skins.
    const std::vector<ThemeEntry>& getThemes() const { return themes; }
    int getDefaultThemeId() const;
    std::string getThemeFolder(int id) const;
    std::string getDefaultThemeFolder() const;
    // The asset folders a skin may use, by its base folder ("type" or "record").
    std::vector<std::string> getThemeFolders(const std::string& baseFolder) const;
    void setThemeFolder(int id, const std::string& folder);
    // setThemeFolder, first giving the file an entry for the skin when it has none (so the
    // choice is not kept in memory only). True when the choice is on disk.
    bool storeThemeFolder(int id, const std::string& folder);

private:
    // Looks a path up while loading; a value blocked by a wrongly typed parent, or present with
    // a type the expected check rejects, is logged and reads as missing.
    const Json::Value* findWhileLoading(const std::string& path,
                                        bool (Json::Value::*expectedType)() const) const;

    // Takes a whole settings tree and the lists, presets and themes it holds.
    void use(Json::Value tree);
    void copyMusicScanSettings();
    void copyStringList(const std::string& path, std::vector<std::string>& list) const;
    void ensureBacklightDefault();
    void loadPresets();
    EqPreset readPreset(const std::string& id, const Json::Value& item) const;
    void loadThemes();
    void appendBuiltInThemes();
    void reportThemeDamage(const std::string& message) const;
    bool writeFile();

    std::string configPath = DEFAULT_PATH;
    Json::Value root;
    bool dirty = false;
    std::map<std::string, EqPreset> presets;
    std::string currentPresetId;
    std::vector<std::string> scanDirectories;
    std::vector<std::string> supportedFormats;
    std::vector<ThemeEntry> themes;
    // The file on disk could not be used: before it is replaced, a copy is kept beside it (one per
    // failure, see JsonFile::keepCopy) so a hand-edited file with a typo is not lost.
    bool keepCopyOfUnreadableFile = false;
    // A damaged skin setting is read every frame; it is reported once per loaded file.
    mutable bool themeDamageReported = false;
};
