#include "pages/EqualizerPage.h"

#include "settings/Config.h"
#include "support/PageTest.h"
#include "support/PlayerRig.h"
#include "support/SettingsFiles.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <unordered_map>

namespace {

const char* const SETTINGS = R"({"equalizer": {"default_preset": "FLAT", "presets": {
    "CUSTOM": {"name": "eq_preset_custom", "gains": [1, 1, 1, 1, 1, 1, 1, 1, 1, 1]},
    "FLAT": {"name": "eq_preset_flat", "gains": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]},
    "ROCK": {"name": "eq_preset_rock", "gains": [3.5, 15, -20]}}}})";

std::string storedPreset(const ScratchDir& scratch) {
    return readJsonFile(scratch, Config::DEFAULT_PATH)["equalizer"]["default_preset"].asString();
}

std::string title(const char* presetKey) {
    return "< " + LanguageManager::getInstance().getText(presetKey) + " >";
}

class EqualizerPageTest : public PageTest {
protected:
    EqualizerPageTest() {
        LanguageManager::getInstance().setLanguage("zh_CN");
        loadSettingsText(scratch, SETTINGS);
        page.init(sdl.renderer(), sdl.font());
        page.setPlayer(&player);
    }

    void press(const char* button, int times = 1) {
        for (int i = 0; i < times; ++i) {
            deliver(page, namedButtonDown(button));
        }
    }

    EqualizerPage page{&dialog};
};

} // namespace

TEST_F(EqualizerPageTest, StepsThroughThePresetsByIdWrappingAroundAndKeepsEachChoice) {
    EXPECT_EQ(page.getTitle(), title("eq_preset_flat"));
    press("r1");
    EXPECT_EQ(page.getPresetId(), "ROCK");
    EXPECT_EQ(storedPreset(scratch), "ROCK");
    // Three stored gains, two beyond the sliders' range: ten bands within ±12 dB.
    EXPECT_EQ(page.getGains(), (std::vector<float>{3.5f, 12, -12, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(page.getTitle(), title("eq_preset_rock"));
    press("r1");
    EXPECT_EQ(page.getPresetId(), "CUSTOM"); // past the last id: the first
    press("l1");
    EXPECT_EQ(page.getPresetId(), "ROCK"); // before the first id: the last
    EXPECT_EQ(storedPreset(scratch), "ROCK");
    deliver(page, keyDown(SDLK_LEFT));
    EXPECT_EQ(page.getPresetId(), "FLAT");
}

TEST_F(EqualizerPageTest, EditingMovesBandsWithinTenAndGainsWithinTwelveDecibels) {
    press("y");
    ASSERT_TRUE(page.isEditing());
    EXPECT_EQ(page.getTitle(), LanguageManager::getInstance().getText("eq_preset_custom"));
    press("up", 15);
    EXPECT_EQ(page.getGains()[0], 12.0f);
    press("down", 30);
    EXPECT_EQ(page.getGains()[0], -12.0f);
    press("left");
    EXPECT_EQ(page.getEditedBand(), 0);
    press("right", 12);
    EXPECT_EQ(page.getEditedBand(), 9);
    press("l1"); // browse keys do nothing while editing
    EXPECT_EQ(page.getPresetId(), "FLAT");

    // Leaving without saving shows again the curve that is heard.
    press("b");
    EXPECT_FALSE(page.isEditing());
    EXPECT_EQ(page.getGains(), std::vector<float>(10, 0.0f));
    EXPECT_EQ(storedPreset(scratch), "FLAT");
}

TEST_F(EqualizerPageTest, TheSavedCurveBecomesCustomAndAFailedSaveIsNeverTakenForKept) {
    press("y");
    press("up", 3);
    press("right");
    press("down", 2);
    // A card that refuses the file: the dialog says so and the curve stays in edit mode.
    scratch.writeFile(std::string(Config::DEFAULT_PATH) + ".tmp/blocker", "");
    StderrCapture errors;
    press("a");
    EXPECT_NE(errors.take().find("[ERROR] 保存自定义均衡器预设失败\n"), std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getType(), DialogType::ERROR);
    EXPECT_TRUE(page.isEditing());
    EXPECT_EQ(storedPreset(scratch), "FLAT");

    dialog.hide();
    std::filesystem::remove_all(std::string(Config::DEFAULT_PATH) + ".tmp");
    press("a");
    EXPECT_FALSE(page.isEditing());
    EXPECT_EQ(page.getPresetId(), "CUSTOM");
    EXPECT_EQ(page.getTitle(), title("eq_preset_custom"));
    Json::Value stored = readJsonFile(scratch, Config::DEFAULT_PATH)["equalizer"];
    EXPECT_EQ(stored["default_preset"], "CUSTOM");
    EXPECT_EQ(stored["presets"]["CUSTOM"]["gains"][0].asFloat(), 3.0f);
    EXPECT_EQ(stored["presets"]["CUSTOM"]["gains"][1].asFloat(), -2.0f);
    EXPECT_EQ(stored["presets"]["CUSTOM"]["gains"][2].asFloat(), 0.0f);
}

namespace {

constexpr int SLOW_DISK_DELAY_MS = 10;
constexpr double SONG_SECONDS = 12.0;
constexpr double STEP_EVERY_SECONDS = 0.5;
// Quieter than this on both channels counts as silence; the test tone never is for long.
constexpr int SILENT_LEVEL = 8;
constexpr size_t LONGEST_NATURAL_QUIET_FRAMES = 16;
constexpr size_t REPEAT_WINDOW_FRAMES = 256;

struct SoundSpan {
    size_t first = 0;
    size_t end = 0; // one past the last frame with sound
};

bool isQuiet(const std::vector<int16_t>& samples, size_t frame) {
    return std::abs(samples[2 * frame]) <= SILENT_LEVEL &&
           std::abs(samples[2 * frame + 1]) <= SILENT_LEVEL;
}

SoundSpan spanOfSound(const std::vector<int16_t>& samples) {
    SoundSpan span;
    size_t frames = samples.size() / 2;
    while (span.first < frames && isQuiet(samples, span.first)) {
        ++span.first;
    }
    span.end = frames;
    while (span.end > span.first && isQuiet(samples, span.end - 1)) {
        --span.end;
    }
    return span;
}

size_t longestQuietRun(const std::vector<int16_t>& samples, SoundSpan span) {
    size_t longest = 0;
    size_t run = 0;
    for (size_t frame = span.first; frame < span.end; ++frame) {
        run = isQuiet(samples, frame) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// Windows of the sound that occur twice: the tone rises all the time, so any is a replay.
size_t repeatedWindows(const std::vector<int16_t>& samples, SoundSpan span) {
    std::unordered_map<uint64_t, size_t> seen;
    size_t repeats = 0;
    for (size_t frame = span.first; frame + REPEAT_WINDOW_FRAMES <= span.end;
         frame += REPEAT_WINDOW_FRAMES / 4) {
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 2 * frame; i < 2 * (frame + REPEAT_WINDOW_FRAMES); ++i) {
            hash = (hash ^ static_cast<uint16_t>(samples[i])) * 1099511628211ull;
        }
        auto [earlier, inserted] = seen.emplace(hash, frame);
        if (!inserted && std::equal(samples.begin() + 2 * frame,
                                    samples.begin() + 2 * (frame + REPEAT_WINDOW_FRAMES),
                                    samples.begin() + 2 * earlier->second)) {
            ++repeats;
        }
    }
    return repeats;
}

} // namespace

// Each preset builds its filter off the audio thread and is swapped in between two frames: the
// music goes on without a gap, a replayed stretch or a lost one.
TEST(EqualizerPageDropoutTest, SteppingThroughEveryPresetWhilePlayingKeepsTheSoundWhole) {
    PlayerRig rig(SLOW_DISK_DELAY_MS);
    std::filesystem::create_directories("config");
    std::filesystem::copy_file(std::string(MP_SOURCE_DIR) + "/assets/config/settings.json",
                               "config/settings.json");
    ASSERT_TRUE(Config::getInstance().load(Config::DEFAULT_PATH));
    MediaFactory::Options options;
    options.seconds = SONG_SECONDS;
    std::string path = rig.media.make("tone.wav", options);
    EqualizerPage page;
    page.setPlayer(rig.player.get());
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.player->play();

    const size_t steps = Config::getInstance().getPresets().size() + 1; // all, and round again
    size_t stepsWhilePlaying = 0;
    for (size_t step = 1; step <= steps; ++step) {
        ASSERT_TRUE(rig.waitForPosition(STEP_EVERY_SECONDS * step));
        SDL_Event next = keyDown(SDLK_RIGHT);
        page.handleEvent(&next);
        stepsWhilePlaying += rig.player->isPlaying() ? 1 : 0;
    }
    ASSERT_TRUE(rig.waitForSongEnd());
    std::vector<int16_t> captured = rig.finish("capture.raw");
    std::vector<int16_t> flat = MediaFactory::reference(path);

    SoundSpan heard = spanOfSound(captured);
    SoundSpan source = spanOfSound(flat);
    size_t quiet = longestQuietRun(captured, heard);
    size_t repeats = repeatedWindows(captured, heard);
    long lengthDifference =
        static_cast<long>(heard.end - heard.first) - static_cast<long>(source.end - source.first);
    std::cout << "preset changes while playing: " << stepsWhilePlaying
              << ", longest quiet stretch: " << quiet << " frames, repeated windows: " << repeats
              << ", length against the source: " << lengthDifference << " frames\n";
    EXPECT_EQ(stepsWhilePlaying, steps);
    EXPECT_LE(quiet, LONGEST_NATURAL_QUIET_FRAMES);
    EXPECT_EQ(repeats, 0u);
    EXPECT_EQ(lengthDifference, 0);
}
