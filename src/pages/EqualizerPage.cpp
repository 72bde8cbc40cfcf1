#include "pages/EqualizerPage.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "pages/SaveFailureNotice.h"
#include "settings/Config.h"
#include "settings/LanguageManager.h"
#include "ui/Draw.h"
#include "ui/Image.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr const char* LABEL_FONT_PATH = "resources/font.ttf";
constexpr int LABEL_FONT_SIZE = 16;
constexpr const char* TRACK_IMAGE = "icons/eq/jd.png";
constexpr const char* KNOB_IMAGE = "icons/eq/e1.png";
constexpr const char* EDITED_KNOB_IMAGE = "icons/eq/e2.png";
constexpr const char* SCALE_IMAGE = "icons/eq/dbzg.png";

constexpr int BAND_PITCH = 55;
constexpr int TRACK_LEFT = 66;
constexpr int TRACK_TOP = 112;
constexpr int TRACK_WIDTH = 16;
constexpr int TRACK_HEIGHT = 293;
constexpr int LEVEL_BAR_LEFT = 72;
constexpr int LEVEL_BAR_TOP = 116;
constexpr int LEVEL_BAR_WIDTH = 4;
constexpr int LEVEL_BAR_RANGE = 280;
constexpr int KNOB_LEFT = 57;
constexpr int KNOB_TOP_AT_MAX = 103; // +12 dB
constexpr int KNOB_TOP_AT_MIN = 373; // -12 dB
constexpr int KNOB_WIDTH = 35;
constexpr int KNOB_HEIGHT = 34;
constexpr int TITLE_TOP = 20;
constexpr int LABEL_TOP = 415;
constexpr int LABEL_GAP = 4; // between neighbouring band labels
constexpr int TITLE_MARGIN = 20;

constexpr SDL_Color TEXT_COLOR{104, 104, 104, 255};
constexpr SDL_Color EDITED_BAND_COLOR{203, 15, 15, 255};
constexpr SDL_Color BAND_COLOR{112, 112, 112, 255};

constexpr const char* CUSTOM_PRESET_NAME = "eq_preset_custom";

// Shown under the sliders; the filter's own band frequencies are the equalizer chain's.
constexpr const char* BAND_LABELS[EqualizerPage::BAND_COUNT] = {
    "30Hz", "60Hz", "120Hz", "350Hz", "750Hz", "1.8kHz", "3.5kHz", "7.5kHz", "12.5kHz", "17.5kHz"};

int trackLeft(int band) {
    return TRACK_LEFT + BAND_PITCH * band;
}

// Where a gain sits between -12 dB (0) and +12 dB (1).
float shareOfRange(float gain) {
    return (gain + EqualizerPage::MAX_GAIN_DB) / (2 * EqualizerPage::MAX_GAIN_DB);
}

} // namespace

EqualizerPage::EqualizerPage(const PageServices& services, Dialog* dialog)
    : services(services), dialog(dialog), browseBindings(services.input),
      editBindings(services.input), gains(BAND_COUNT, 0.0f), appliedGains(BAND_COUNT, 0.0f) {
    showPreset(services.config.getCurrentPresetId(), services.config.getCurrentPreset());
    bindKeys();
}

EqualizerPage::~EqualizerPage() = default;

std::string EqualizerPage::text(const std::string& key) const {
    return services.languages.getText(key);
}

void EqualizerPage::bindKeys() {
    browseBindings.add("l1", {SDLK_LEFT}, [this] { previousPreset(); });
    browseBindings.add("r1", {SDLK_RIGHT}, [this] { nextPreset(); });
    browseBindings.add("y", {SDLK_c}, [this] { startEditing(); });
    browseBindings.add("b", {SDLK_ESCAPE}, [this] {
        if (backCallback) {
            backCallback();
        }
    });
    editBindings.add("left", {SDLK_LEFT}, [this] { moveEditedBand(-1); });
    editBindings.add("right", {SDLK_RIGHT}, [this] { moveEditedBand(+1); });
    editBindings.add("up", {SDLK_UP}, [this] { stepEditedGain(+GAIN_STEP_DB); });
    editBindings.add("down", {SDLK_DOWN}, [this] { stepEditedGain(-GAIN_STEP_DB); });
    editBindings.add("a", {SDLK_RETURN}, [this] { saveCustomCurve(); });
    editBindings.add("b", {SDLK_ESCAPE}, [this] { cancelEditing(); });
}

void EqualizerPage::init(SDL_Renderer* renderer, TTF_Font* font) {
    this->renderer = renderer;
    this->font = font;
    bounds = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    labelFont.reset(TTF_OpenFont(LABEL_FONT_PATH, LABEL_FONT_SIZE));
    if (!labelFont) {
        logError("无法加载频率显示字体");
    }
    loadImages();
}

void EqualizerPage::loadImages() {
    bool backgroundLoaded = background.load(renderer);
    track = Image::loadTexture(renderer, TRACK_IMAGE);
    knob = Image::loadTexture(renderer, KNOB_IMAGE);
    editedKnob = Image::loadTexture(renderer, EDITED_KNOB_IMAGE);
    scale = Image::loadTexture(renderer, SCALE_IMAGE);
    if (!backgroundLoaded || !track || !knob || !editedKnob || !scale) {
        logError("无法加载均衡器界面资源");
    }
}

std::vector<float> EqualizerPage::normalizeGains(const std::vector<float>& stored) {
    std::vector<float> normalized(BAND_COUNT, 0.0f);
    for (size_t band = 0; band < normalized.size() && band < stored.size(); ++band) {
        normalized[band] = std::clamp(stored[band], -MAX_GAIN_DB, MAX_GAIN_DB);
    }
    return normalized;
}

void EqualizerPage::showPreset(const std::string& id, const EqPreset& preset) {
    presetId = id;
    presetName = preset.name;
    gains = normalizeGains(preset.gains);
    appliedGains = gains;
}

void EqualizerPage::sendGainsToPlayer() {
    if (player) {
        player->setEQGains(appliedGains);
    }
}

void EqualizerPage::setPlayer(Player* newPlayer) {
    player = newPlayer;
    if (!editing) {
        showPreset(services.config.getCurrentPresetId(), services.config.getCurrentPreset());
    }
    sendGainsToPlayer();
}

bool EqualizerPage::applyPreset(const std::string& id) {
    Config& config = services.config;
    auto stored = config.getPresets().find(id);
    if (stored == config.getPresets().end()) {
        logError("找不到预设: " + id);
        return false;
    }
    showPreset(id, stored->second);
    sendGainsToPlayer();
    if (!config.setCurrentPreset(id)) {
        SaveFailureNotice::show(services.languages, dialog, "settings_save_failed",
                                "均衡器预设未能保存: " + id);
        return false;
    }
    return true;
}

void EqualizerPage::nextPreset() {
    stepPreset(+1);
}

void EqualizerPage::previousPreset() {
    stepPreset(-1);
}

// Presets are ordered by id; stepping past either end wraps around. A preset on screen that is
// not stored (the built-in flat one) steps to the first or the last stored preset.
void EqualizerPage::stepPreset(int step) {
    const std::map<std::string, EqPreset>& presets = services.config.getPresets();
    if (presets.empty()) {
        logError("没有可用的预设");
        return;
    }
    auto current = presets.find(presetId);
    auto target = presets.begin();
    if (step > 0) {
        if (current != presets.end() && std::next(current) != presets.end()) {
            target = std::next(current);
        }
    } else {
        target = current == presets.end() || current == presets.begin() ? std::prev(presets.end())
                                                                        : std::prev(current);
    }
    applyPreset(target->first);
}

void EqualizerPage::startEditing() {
    editing = true;
    editedBand = 0;
}

void EqualizerPage::moveEditedBand(int step) {
    editedBand = std::clamp(editedBand + step, 0, BAND_COUNT - 1);
}

void EqualizerPage::stepEditedGain(float step) {
    float& gain = gains[editedBand];
    gain = std::clamp(gain + step, -MAX_GAIN_DB, MAX_GAIN_DB);
}

// The curve is heard only once it is stored. When the card refuses it, the page stays in edit
// mode with the curve, so the user can try again or leave it.
void EqualizerPage::saveCustomCurve() {
    Config& config = services.config;
    if (!config.saveCustomPreset(CUSTOM_PRESET_ID, gains)) {
        SaveFailureNotice::show(services.languages, dialog, "eq_custom_save_failed",
                                "保存自定义均衡器预设失败");
        return;
    }
    editing = false;
    showPreset(CUSTOM_PRESET_ID, config.getPresets().at(CUSTOM_PRESET_ID));
    sendGainsToPlayer();
}

// Leaving without saving puts back the curve that is heard, so the sliders never show a curve
// under a preset's name that the player does not play.
void EqualizerPage::cancelEditing() {
    editing = false;
    gains = appliedGains;
}

void EqualizerPage::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    (editing ? editBindings : browseBindings).dispatch(*event);
}

void EqualizerPage::update() {
    refreshOnLanguageChange();
}

// The title and labels are looked up as they are drawn; a language switch drops the texts
// rendered in the old language and shows the preset again as the settings hold it.
void EqualizerPage::refreshOnLanguageChange() {
    const std::string& current = services.languages.getCurrentLanguage();
    if (shownLanguage.empty()) {
        shownLanguage = current;
        return;
    }
    if (current == shownLanguage) {
        return;
    }
    notePictureChanged();
    shownLanguage = current;
    texts.clear();
    const std::map<std::string, EqPreset>& presets = services.config.getPresets();
    auto stored = presets.find(presetId);
    if (!editing && stored != presets.end()) {
        showPreset(presetId, stored->second);
    }
}

std::string EqualizerPage::getTitle() const {
    if (editing) {
        return text(CUSTOM_PRESET_NAME);
    }
    return "< " + text(presetName) + " >";
}

void EqualizerPage::render() {
    if (!renderer) {
        return;
    }
    background.draw(renderer);
    for (int band = 0; band < BAND_COUNT; ++band) {
        drawBand(band);
    }
    if (scale) {
        Image::drawFullScreen(renderer, scale.get());
    }
    drawTitle();
    drawBandLabels();
}

void EqualizerPage::drawBand(int band) {
    const bool edited = editing && band == editedBand;
    if (track) {
        SDL_Rect trackArea{trackLeft(band), TRACK_TOP, TRACK_WIDTH, TRACK_HEIGHT};
        SDL_RenderCopy(renderer, track.get(), nullptr, &trackArea);
    }
    const float share = shareOfRange(gains[band]);
    const int height = static_cast<int>(share * LEVEL_BAR_RANGE);
    SDL_Rect bar{LEVEL_BAR_LEFT + BAND_PITCH * band, LEVEL_BAR_TOP + LEVEL_BAR_RANGE - height,
                 LEVEL_BAR_WIDTH, height};
    Draw::fillRect(renderer, bar, edited ? EDITED_BAND_COLOR : BAND_COLOR);
    SDL_Texture* knobImage = (edited ? editedKnob : knob).get();
    if (knobImage) {
        SDL_Rect knobArea{KNOB_LEFT + BAND_PITCH * band,
                          KNOB_TOP_AT_MAX +
                              static_cast<int>((1 - share) * (KNOB_TOP_AT_MIN - KNOB_TOP_AT_MAX)),
                          KNOB_WIDTH, KNOB_HEIGHT};
        SDL_RenderCopy(renderer, knobImage, nullptr, &knobArea);
    }
}

void EqualizerPage::drawTitle() {
    texts.drawInBox(renderer, font, getTitle(), TEXT_COLOR,
                    {TITLE_MARGIN, TITLE_TOP, SCREEN_WIDTH - 2 * TITLE_MARGIN, 0},
                    TextAlign::CENTRE);
}

// Each label keeps to its band's share of the width, centred under the track.
void EqualizerPage::drawBandLabels() {
    if (!labelFont) {
        return;
    }
    int labelWidth = BAND_PITCH - LABEL_GAP;
    for (int band = 0; band < BAND_COUNT; ++band) {
        SDL_Rect box{trackLeft(band) + (TRACK_WIDTH - labelWidth) / 2, LABEL_TOP, labelWidth,
                     TTF_FontHeight(labelFont.get())};
        texts.drawShrunkInBox(renderer, labelFont.get(), BAND_LABELS[band], TEXT_COLOR, box);
    }
}
