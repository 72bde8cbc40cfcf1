// Measures what the settings code costs on the device's hot paths: the per-frame reads (the
// backlight time-out, label look-ups), a page's reload of the settings file, a save (each step
// on the settings page is one), and the first start that writes the built-in languages.
//
//   build/release/bench/settings_bench
#include "core/JsonFile.h"
#include "settings/Config.h"
#include "settings/LanguageManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int READS = 1000000;
constexpr int LOADS = 2000;
constexpr int SAVES = 200;

// A settings file of the size the player ships with.
const char* const SETTINGS_TEXT = R"({
  "display": {"backlight": {"timeout": 30}, "window": {"width": 640, "height": 480}},
  "music": {"scan_directories": ["/mnt/SDCARD/Music", "music"],
            "supported_formats": [".mp3", ".flac", ".ogg", ".wav", ".m4a", ".aac"],
            "playback": {"mode": "SEQUENCE"}},
  "equalizer": {"default_preset": "FLAT", "presets": {
      "FLAT": {"name": "eq_preset_flat", "gains": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]},
      "ROCK": {"name": "eq_preset_rock", "gains": [5, 4, 3, 1, -1, -1, 1, 3, 4, 5]},
      "POP": {"name": "eq_preset_pop", "gains": [-1, 1, 3, 4, 3, 1, -1, -1, -1, -1]},
      "JAZZ": {"name": "eq_preset_jazz", "gains": [3, 2, 1, 2, -1, -1, 0, 1, 2, 3]},
      "CLASSICAL": {"name": "eq_preset_classical", "gains": [4, 3, 2, 1, 0, 0, 0, 1, 2, 3]}}},
  "theme": {"default_theme": "1", "themes": [[1, "theme_tape", "type"], [2, "theme_record", "record"]],
            "folders": {"type": ["type", "typepink"], "record": ["record"]}}
})";

template <typename Work> double secondsFor(int times, Work work) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < times; ++i) {
        work(i);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "settings-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    fs::current_path(folder);
    fs::create_directories("config");
    JsonFile::writeAtomically(Config::DEFAULT_PATH, SETTINGS_TEXT);

    Config& config = Config::getInstance();
    volatile long sink = 0;
    double reads = secondsFor(READS, [&](int) { sink = sink + config.getBacklightTimeout(); });
    std::printf("getBacklightTimeout: %.0f ns per call\n", reads / READS * 1e9);

    double loads = secondsFor(LOADS, [&](int) { config.load(Config::DEFAULT_PATH); });
    std::printf("Config::load (%zu bytes): %.1f us per load\n", std::string(SETTINGS_TEXT).size(),
                loads / LOADS * 1e6);

    double saves = secondsFor(SAVES, [&](int i) { config.setBacklightTimeout(i % 2 ? 15 : 30); });
    std::printf("setBacklightTimeout with its atomic save: %.2f ms per save\n",
                saves / SAVES * 1e3);

    LanguageManager& languages = LanguageManager::getInstance();
    double firstStart = secondsFor(1, [&](int) { languages.init("lan"); });
    std::printf("LanguageManager::init on an empty folder (writes 9 files): %.1f ms\n",
                firstStart * 1e3);
    double lookups = secondsFor(READS, [&](int i) {
        sink = sink + static_cast<long>(
                          languages.getText(i % 2 ? "main_menu_songs" : "missing_key").size());
    });
    std::printf("getText: %.0f ns per call\n", lookups / READS * 1e9);
    double switches =
        secondsFor(SAVES, [&](int i) { languages.setLanguage(i % 2 ? "en_US" : "ko_KR"); });
    std::printf("setLanguage (load + save): %.2f ms per switch\n", switches / SAVES * 1e3);

    std::printf("peak resident memory: %ld KiB\n", peakResidentKilobytes());
    std::error_code ignored;
    fs::current_path("/", ignored);
    fs::remove_all(folder, ignored);
    return 0;
}
