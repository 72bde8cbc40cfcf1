#pragma once

#include "core/SdlHandles.h"
#include "nowplaying/LayerCache.h"
#include "nowplaying/SkinLayer.h"
#include "nowplaying/TapeAnimation.h"
#include "nowplaying/TurningPicture.h"
#include "ui/TextCache.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SkinPictures;
struct SongOnScreen;

// The cassette skin of the now-playing page: the cover fading into a panel of its accent colour,
// a progress bar in the cassette's slot, the cassette with its two turning reels and the tape
// wound between them, title and artist in large type, and along the bottom the play mode, the
// current lyric and the time left.
class TapeSkin {
public:
    static constexpr const char* TITLE_FONT_PATH = "resources/cover.ttf";
    static constexpr int TITLE_POINTS = 60;
    static constexpr int ARTIST_POINTS = 36;

    // Opens the skin's fonts; infoFont (the page's lyric font) writes the lyric and the time.
    void init(SDL_Renderer* renderer, TTF_Font* infoFont);
    // The pictures of the skin folder icons/<folder>/, to be read ahead.
    static std::vector<std::string> picturePaths(const std::string& folder);
    // Loads the pictures of the skin folder icons/<folder>/.
    void load(SkinPictures& pictures, const std::string& folder);
    void release();

    void reset(uint64_t now) { animation.reset(now); }
    void advance(uint64_t now, float progress, bool playing) {
        animation.advance(now, progress, playing);
    }

    void draw(const SongOnScreen& song);
    // Whether the reels or the tape stand elsewhere than in the last drawing.
    bool hasMoved() const { return drawnPose != pose(); }

private:
    using Pose = std::array<double, 3>;
    Pose pose() const {
        return {animation.getLeftAngle(), animation.getRightAngle(),
                static_cast<double>(animation.getPictureIndex())};
    }
    void drawCover(const SongOnScreen& song);
    void drawProgressBar(int played);
    void drawReels();
    void drawLargeText(TTF_Font* font, const std::string& text, int right, int top);
    void drawTexts(const SongOnScreen& song);
    void buildFade(SDL_Color colour);
    void buildBarGradient();

    SDL_Renderer* renderer = nullptr;
    TTF_Font* infoFont = nullptr;
    FontPtr titleFont;
    FontPtr artistFont;
    SkinLayer background, body, overlay, topOverlay;
    TurningPicture leftReel, rightReel;
    std::vector<SkinLayer> tapePictures;
    TapeAnimation animation;
    TextCache texts;
    // Everything under the reels: backdrop, cover and panel, progress bar, cassette body.
    LayerCache underReels;
    // The cover's fade into the panel colour, made again only when that colour changes.
    TexturePtr fade;
    SDL_Color fadeColour{};
    // The progress bar's gradient at full width; a frame shows its played part.
    TexturePtr barGradient;
    std::optional<Pose> drawnPose;
};
