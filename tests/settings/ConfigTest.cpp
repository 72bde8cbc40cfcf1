#include "settings/Config.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

namespace fs = std::filesystem;

namespace {

const char* const SETTINGS = "config/settings.json";

} // namespace

TEST(ConfigTest, StartWithoutSettingsFileUsesDefaultsAndWritesNothingUntilAChange) {
    ScratchDir scratch;
    StderrCapture errors;
    Config& config = Config::getInstance();
    EXPECT_EQ(errors.take(), "[ERROR] 无法打开配置文件: config/settings.json\n"
                             "[ERROR] 无法加载默认配置文件，使用默认设置\n");
    EXPECT_EQ(config.getDefaultThemeId(), 2);
    ASSERT_EQ(config.getThemes().size(), 2u);
    EXPECT_EQ(config.getThemes()[0].id, 1);
    EXPECT_EQ(config.getThemes()[0].name, "theme_tape");
    EXPECT_EQ(config.getThemes()[0].folder, "type");
    EXPECT_EQ(config.getThemes()[1].id, 2);
    EXPECT_EQ(config.getThemes()[1].folder, "record");
    EXPECT_EQ(config.getDefaultThemeFolder(), "record");
    EXPECT_EQ(config.getBacklightTimeout(), 0);
    EXPECT_TRUE(config.getScanDirectories().empty());

    EXPECT_TRUE(config.save());
    EXPECT_FALSE(scratch.exists("config"));

    // Setting a time-out saves at once, creating the folder.
    EXPECT_TRUE(config.setBacklightTimeout(0));
    Json::Value saved = readJsonFile(scratch, SETTINGS);
    EXPECT_EQ(saved["display"]["backlight"]["timeout"], 0);
    EXPECT_EQ(saved["theme"]["default_theme"], 2);
    EXPECT_EQ(errors.take(), "");
}

TEST(ConfigTest, MissingBacklightTimeoutReadsThirtyAndReachesTheFileWithTheNextSave) {
    ScratchDir scratch;
    const std::string original = R"({"music": {"scan_directories": ["/mnt/music", "/mnt/sd"]}})";
    scratch.writeFile(SETTINGS, original);
    Config& config = Config::getInstance();
    EXPECT_EQ(config.getBacklightTimeout(), 30);
    EXPECT_EQ(config.getScanDirectories(), (std::vector<std::string>{"/mnt/music", "/mnt/sd"}));
    EXPECT_EQ(scratch.readFile(SETTINGS), original);

    EXPECT_TRUE(config.save());
    Json::Value saved = readJsonFile(scratch, SETTINGS);
    EXPECT_EQ(saved["display"]["backlight"]["timeout"], 30);
    EXPECT_EQ(saved["music"]["scan_directories"][1], "/mnt/sd");
}

TEST(ConfigTest, SaveWithoutChangesDoesNotTouchTheFile) {
    ScratchDir scratch;
    scratch.writeFile(SETTINGS, R"({"display": {"backlight": {"timeout": 45}}})");
    utimbuf past{1000000000, 1000000000};
    ASSERT_EQ(utime(SETTINGS, &past), 0);
    Config& config = Config::getInstance();
    EXPECT_EQ(config.getBacklightTimeout(), 45);
    EXPECT_TRUE(config.save());
    struct stat info {};
    ASSERT_EQ(stat(SETTINGS, &info), 0);
    EXPECT_EQ(info.st_mtime, past.modtime);
}

TEST(ConfigTest, DotPathsReadOnlyStringsAndWriteThroughAnythingInTheWay) {
    ScratchDir scratch;
    scratch.writeFile(SETTINGS, R"({"a": 5, "music": {"playback": {"mode": "RANDOM"}, "n": 2}})");
    Config& config = Config::getInstance();
    EXPECT_EQ(config.getString("music.playback.mode", "SEQUENCE"), "RANDOM");
    EXPECT_EQ(config.getString("music.n", "fallback"), "fallback"); // no conversion
    EXPECT_EQ(config.getString("music.missing.deeper", "fallback"), "fallback");
    EXPECT_EQ(config.getString("a.b", "fallback"), "fallback"); // a number on the way
    EXPECT_EQ(config.getString("", "fallback"), "fallback");

    config.setString("a.b.c", "x");
    EXPECT_EQ(config.getString("a.b.c", ""), "x");
    config.setString("music.playback.mode", "SINGLE");
    EXPECT_EQ(config.getString("music.playback.mode", ""), "SINGLE");
    config.setString("odd..path.", "y");
    EXPECT_EQ(config.getString("odd..path.", ""), "y");

    // setString marks the store dirty without saving.
    EXPECT_EQ(readJsonFile(scratch, SETTINGS)["a"], 5);
    EXPECT_TRUE(config.save());
    Json::Value saved = readJsonFile(scratch, SETTINGS);
    EXPECT_EQ(saved["a"]["b"]["c"], "x");
    EXPECT_EQ(saved["music"]["playback"]["mode"], "SINGLE");
    EXPECT_EQ(saved["music"]["n"], 2);
}

TEST(ConfigTest, ASyntaxErrorKeepsWhatTheLastGoodLoadGave) {
    ScratchDir scratch;
    scratch.writeFile(SETTINGS, R"({
        "display": {"backlight": {"timeout": 60}},
        "music": {"scan_directories": ["/music"], "playback": {"mode": "SINGLE"}},
        "equalizer": {"presets": {"ROCK": {"name": "eq_preset_rock", "gains": [1, 2, 3]}},
                      "default_preset": "ROCK"},
        "theme": {"themes": [[1, "theme_tape", "typepink"]]}})");
    Config& config = Config::getInstance();
    scratch.writeFile(SETTINGS, "{\n  \"display\": {\n    \"backlight\" 15\n}\n");
    StderrCapture errors;
    EXPECT_FALSE(config.load(SETTINGS));
    std::string text = errors.take();
    EXPECT_EQ(text.rfind("[ERROR] 解析配置文件失败: * Line 3, Column", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << "one error line: " << text;

    EXPECT_EQ(config.getBacklightTimeout(), 60);
    EXPECT_EQ(config.getScanDirectories(), std::vector<std::string>{"/music"});
    EXPECT_EQ(config.getString("music.playback.mode", ""), "SINGLE");
    EXPECT_EQ(config.getCurrentPresetId(), "ROCK");
    EXPECT_EQ(config.getCurrentPreset().gains, (std::vector<float>{1, 2, 3}));
    ASSERT_EQ(config.getThemes().size(), 1u);
    EXPECT_EQ(config.getThemes()[0].folder, "typepink");
}

TEST(ConfigTest, WronglyTypedValuesReadAsMissingAndNeverThrow) {
    ScratchDir scratch;
    scratch.writeFile(SETTINGS, R"({
        "display": {"window": {"width": "wide", "height": [480], "title": {"t": 1}},
                    "font": {"path": ["a"], "size": 1e20}},
        "music": {"default_volume": {}, "fade_duration": "1", "buffer_size": 4294967295,
                  "scan_directories": "/music", "supported_formats": ["mp3", {"x": 1}, 7]},
        "playlist": {"save_path": [], "auto_save": "yes", "default_mode": {}},
        "spectrum": {"bars": "many", "min_frequency": "low", "max_frequency": {},
                     "smoothing": [], "min_db": "x", "max_db": null}})");
    StderrCapture errors;
    Config& config = Config::getInstance();
    EXPECT_EQ(config.getWindowWidth(), 0);
    EXPECT_EQ(config.getWindowHeight(), 0);
    EXPECT_EQ(config.getWindowTitle(), "");
    EXPECT_EQ(config.getFontPath(), "");
    EXPECT_EQ(config.getFontSize(), 0);
    EXPECT_EQ(config.getDefaultVolume(), 0);
    EXPECT_EQ(config.getFadeDuration(), 0);
    EXPECT_EQ(config.getBufferSize(), 0);
    EXPECT_EQ(config.getPlaylistSavePath(), "");
    EXPECT_FALSE(config.getPlaylistAutoSave());
    EXPECT_EQ(config.getPlaylistDefaultMode(), "");
    EXPECT_EQ(config.getSpectrumBars(), 0);
    EXPECT_EQ(config.getSpectrumMinFrequency(), 0.0f);
    EXPECT_EQ(config.getSpectrumMaxFrequency(), 0.0f);
    EXPECT_EQ(config.getSpectrumSmoothing(), 0.0f);
    EXPECT_EQ(config.getSpectrumMinDb(), 0.0f);
    EXPECT_EQ(config.getSpectrumMaxDb(), 0.0f);
    EXPECT_TRUE(config.getScanDirectories().empty());
    // Elements that are text, or convert to text, are kept.
    EXPECT_EQ(config.getSupportedFormats(), (std::vector<std::string>{"mp3", "7"}));
    std::string text = errors.take();
    EXPECT_NE(text.find("[ERROR] 配置项类型错误，按缺失处理: music.scan_directories\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[ERROR] 配置项类型错误，按缺失处理: music.supported_formats[1]\n"),
              std::string::npos)
        << text;
}

TEST(ConfigTest, AccessorsUseTheLibraryConversionsForCompatibleTypes) {
    ScratchDir scratch;
    Config& config = loadSettingsText(scratch, R"({
        "display": {"window": {"width": 640, "height": 480.9, "title": "音乐播放器"}},
        "playlist": {"auto_save": 1, "default_mode": 3}, "spectrum": {"min_db": -60}})");
    EXPECT_EQ(config.getWindowWidth(), 640);
    EXPECT_EQ(config.getWindowHeight(), 480);
    EXPECT_EQ(config.getWindowTitle(), "音乐播放器");
    EXPECT_TRUE(config.getPlaylistAutoSave());
    EXPECT_EQ(config.getPlaylistDefaultMode(), "3");
    EXPECT_FLOAT_EQ(config.getSpectrumMinDb(), -60.0f);
}

TEST(ConfigTest, AWronglyTypedBacklightTimeoutOrParentIsReplacedByTheDefault) {
    ScratchDir scratch;
    Config& config = Config::getInstance();
    for (const char* text : {R"({"display": 5})", R"({"display": {"backlight": "dim"}})",
                             R"({"display": {"backlight": {"timeout": "never"}}})",
                             R"({"display": {"backlight": {"timeout": null}}})"}) {
        scratch.writeFile(SETTINGS, text);
        ASSERT_TRUE(config.load(SETTINGS)) << text;
        EXPECT_EQ(config.getBacklightTimeout(), 30) << text;
        EXPECT_TRUE(config.setBacklightTimeout(90)) << text;
        EXPECT_EQ(readJsonFile(scratch, SETTINGS)["display"]["backlight"]["timeout"], 90) << text;
    }
}

TEST(ConfigTest, AnUnreadableFileIsKeptBesideItsReplacement) {
    ScratchDir scratch;
    for (const char* broken : {"{\"display\": {\"backlight\": {\"timeout\": 15,}}", "[1, 2]"}) {
        scratch.writeFile(SETTINGS, broken);
        Config& config = Config::getInstance();
        StderrCapture errors;
        EXPECT_FALSE(config.load(SETTINGS)) << broken;
        EXPECT_NE(errors.take(), "") << broken;
        EXPECT_TRUE(config.setBacklightTimeout(15)) << broken;
        EXPECT_EQ(scratch.readFile("config/settings.json.bak"), broken);
        EXPECT_EQ(readJsonFile(scratch, SETTINGS)["display"]["backlight"]["timeout"], 15) << broken;

        // Only the unreadable version is kept, not every later one.
        EXPECT_TRUE(config.setBacklightTimeout(45));
        EXPECT_EQ(scratch.readFile("config/settings.json.bak"), broken);
    }
}

TEST(ConfigTest, AFailedSaveLeavesTheOldFileAndIsRetriedByTheNextSave) {
    ScratchDir scratch;
    const std::string original = R"({"display": {"backlight": {"timeout": 45}}})";
    scratch.writeFile(SETTINGS, original);
    Config& config = Config::getInstance();
    // A folder where the temporary file must go makes the write fail, even for root.
    fs::create_directory("config/settings.json.tmp");
    StderrCapture errors;
    EXPECT_FALSE(config.setBacklightTimeout(15));
    EXPECT_EQ(errors.take(), "[ERROR] 无法打开配置文件进行写入: config/settings.json\n");
    EXPECT_EQ(scratch.readFile(SETTINGS), original);
    EXPECT_EQ(config.getBacklightTimeout(), 15);

    fs::remove("config/settings.json.tmp");
    EXPECT_TRUE(config.save());
    EXPECT_EQ(readJsonFile(scratch, SETTINGS)["display"]["backlight"]["timeout"], 15);
}

TEST(ConfigTest, AConfigPathThatIsAFileIsReportedWhenSaving) {
    ScratchDir scratch;
    scratch.writeFile("config", "not a folder");
    Config& config = Config::getInstance();
    StderrCapture errors;
    EXPECT_FALSE(config.setBacklightTimeout(15));
    EXPECT_EQ(errors.take(), "[ERROR] 无法创建配置目录: config\n");
    EXPECT_EQ(scratch.readFile("config"), "not a folder");
}

TEST(ConfigTest, TheShippedDefaultSettingsLoadWithoutAnyComplaint) {
    ScratchDir scratch;
    fs::create_directory("config");
    fs::copy_file(std::string(MP_SOURCE_DIR) + "/assets/config/settings.json", SETTINGS);
    StderrCapture errors;
    Config& config = Config::getInstance();
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(config.getBacklightTimeout(), 30);
    EXPECT_FALSE(config.getScanDirectories().empty());
    EXPECT_FALSE(config.getSupportedFormats().empty());
    EXPECT_EQ(config.getCurrentPresetId(), "FLAT");
    EXPECT_EQ(config.getPresets().at("ROCK").gains.size(), 10u);
    EXPECT_EQ(config.getDefaultThemeId(), 1);
    EXPECT_EQ(config.getDefaultThemeFolder(), "type");
    EXPECT_EQ(config.getThemeFolders("type"), (std::vector<std::string>{"type", "typepink"}));
    EXPECT_EQ(config.getString("music.playback.mode", ""), "SEQUENCE_LOOP");
}
