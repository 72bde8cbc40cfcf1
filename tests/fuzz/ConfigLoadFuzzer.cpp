// Loads fuzz input as the settings file and drives every reader and writer of the settings
// store over it. Whatever the input, nothing may crash, and a file the store saved must load.
#include "FuzzSupport.h"

#include "settings/Config.h"

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

constexpr size_t MAX_PATH_FROM_INPUT = 64;

void readEverything(const Config& config) {
    config.getBacklightTimeout();
    config.getWindowWidth();
    config.getWindowHeight();
    config.getWindowTitle();
    config.getFontPath();
    config.getFontSize();
    config.getDefaultVolume();
    config.getFadeDuration();
    config.getBufferSize();
    config.getPlaylistSavePath();
    config.getPlaylistAutoSave();
    config.getPlaylistDefaultMode();
    config.getSpectrumBars();
    config.getSpectrumMinFrequency();
    config.getSpectrumMaxFrequency();
    config.getSpectrumSmoothing();
    config.getSpectrumMinDb();
    config.getSpectrumMaxDb();
    config.getString("music.playback.mode", "SEQUENCE");
    config.getCurrentPreset();
    config.getDefaultThemeFolder();
    config.getThemeFolders("type");
    config.getThemeFolders("record");
}

// The first line of the input, as a dotted key path of the user's making.
std::string pathFromInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    size_t length = std::min(size, MAX_PATH_FROM_INPUT);
    return std::string(text, std::find(text, text + length, '\n'));
}

// The store keeps a numbered copy of every unreadable file it replaces, up to a limit, and
// refuses to replace one it cannot copy. Each input stands alone, so earlier copies go.
void removeKeptCopies(const std::string& path) {
    const std::string prefix = std::filesystem::path(path).filename().string() + ".bak";
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path(), ignored)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) {
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

} // namespace

MP_FILE_FUZZER("settings.json") {
    removeKeptCopies(path);
    Config& config = Config::getInstance();
    bool loaded = config.load(path);
    readEverything(config);

    if (loaded) {
        // Paths of the input's own making only on a freshly loaded tree, so it cannot grow
        // from one input to the next.
        const std::string userPath = pathFromInput(data, size);
        config.getString(userPath, "");
        config.setString(userPath, "fuzz");
    }
    config.setString("music.playback.mode", "RANDOM");
    config.setString("theme.default_theme", "2");
    if (!config.getPresets().empty()) {
        config.setCurrentPreset(config.getPresets().begin()->first);
    }
    config.saveCustomPreset("CUSTOM", config.getCurrentPreset().gains);
    config.setThemeFolder(1, "typepink");
    config.setBacklightTimeout(60);
    readEverything(config);

    if (!config.load(path)) {
        __builtin_trap(); // the store wrote a file it cannot read back
    }
}
