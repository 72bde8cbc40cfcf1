#pragma once

#include "core/SdlHandles.h"
#include "pages/PageServices.h"
#include "settings/EqPreset.h"
#include "ui/BackgroundImage.h"
#include "ui/KeyBindings.h"
#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <functional>
#include <string>
#include <vector>

class Dialog;
class Player;

// The ten equalizer bands as vertical sliders. In browse mode the shoulder buttons step through
// the stored presets (wrapping around at both ends); applying one sends its gains to the player
// and makes it the current preset in the settings. In edit mode the user picks a band and moves
// it in 1 dB steps within ±12 dB; the curve is heard only once it is saved as "CUSTOM".
class EqualizerPage : public UIBase {
public:
    static constexpr int BAND_COUNT = 10;
    static constexpr float MAX_GAIN_DB = 12.0f;
    static constexpr float GAIN_STEP_DB = 1.0f;
    static constexpr const char* CUSTOM_PRESET_ID = "CUSTOM";

    // dialog, when given, reports a preset that could not be saved.
    explicit EqualizerPage(const PageServices& services, Dialog* dialog = nullptr);
    ~EqualizerPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;

    // Keeps the player and hands it the current preset's gains, so the chosen sound is heard
    // from the first song on.
    void setPlayer(Player* newPlayer);
    void setBackCallback(std::function<void()> callback) { backCallback = std::move(callback); }

    // Shows a stored preset, sends its gains to the player and makes it current in the
    // settings. False when the id is not stored or the choice could not be saved.
    bool applyPreset(const std::string& id);
    void nextPreset();
    void previousPreset();

    // Ten gains within ±MAX_GAIN_DB: missing bands are flat, bands past the tenth are dropped.
    static std::vector<float> normalizeGains(const std::vector<float>& gains);

    // The title as drawn: "< name >" in browse mode, the custom preset's name while editing.
    std::string getTitle() const;

private:
    std::string text(const std::string& key) const;
    void bindKeys();
    void loadImages();
    void showPreset(const std::string& id, const EqPreset& preset);
    void sendGainsToPlayer();
    void stepPreset(int step);
    void startEditing();
    void moveEditedBand(int step);
    void stepEditedGain(float step);
    void saveCustomCurve();
    void cancelEditing();
    void refreshOnLanguageChange();
    void drawBand(int band);
    void drawTitle();
    void drawBandLabels();

    PageServices services;
    Dialog* dialog;
    Player* player = nullptr;
    std::function<void()> backCallback;
    KeyBindings browseBindings;
    KeyBindings editBindings;
    bool editing = false;
    int editedBand = 0;
    // The curve on screen, and the one the player has (they differ only while editing).
    std::vector<float> gains;
    std::vector<float> appliedGains;
    std::string presetId;
    std::string presetName; // normally a label key such as "eq_preset_flat"
    std::string shownLanguage;
    BackgroundImage background;
    TexturePtr track;
    TexturePtr knob;
    TexturePtr editedKnob;
    TexturePtr scale;
    FontPtr labelFont;
    TextCache texts{16};
};
