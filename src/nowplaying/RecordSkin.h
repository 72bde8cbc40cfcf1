#pragma once

#include "core/SdlHandles.h"
#include "nowplaying/LayerCache.h"
#include "nowplaying/RecordAnimation.h"
#include "nowplaying/ScrollingTitle.h"
#include "nowplaying/SkinLayer.h"
#include "nowplaying/TurningPicture.h"
#include "ui/TextCache.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SkinPictures;
struct SongOnScreen;

// The record-player skin of the now-playing page: the cover turning on the disc as its label,
// the tone arm, the volume fader, a small progress bar, the title scrolling through its window
// when it is too wide, the artist, the time left and the current lyric.
class RecordSkin {
public:
    static constexpr const char* FONT_PATH = "resources/font.ttf";
    static constexpr int TITLE_POINTS = 24;
    static constexpr int ARTIST_POINTS = 20;
    static constexpr int TIME_POINTS = 34;
    static constexpr int LYRIC_POINTS = 20;

    void init(SDL_Renderer* renderer);
    // The pictures of the skin folder icons/<folder>/, to be read ahead.
    static std::vector<std::string> picturePaths(const std::string& folder);
    // Loads the pictures of the skin folder icons/<folder>/.
    void load(SkinPictures& pictures, const std::string& folder);
    void release();

    void reset(uint64_t now) { animation.reset(now); }
    void advance(uint64_t now, bool playing, int volume) {
        animation.advance(now, playing, volume);
    }
    void setTitle(const std::string& title, uint64_t now);
    void advanceTitle(uint64_t now) { title.advance(now); }

    void draw(const SongOnScreen& song);
    // Whether disc, arm, volume thumb or title stand elsewhere than in the last drawing.
    bool hasMoved() const { return drawnPose != pose(); }

private:
    using Pose = std::array<double, 4>;
    Pose pose() const {
        return {animation.getDiscAngle(), animation.getArmAngle(), animation.getThumbY(),
                title.getOffset()};
    }
    void drawProgressBar(int played);
    void drawTurntable(const SongOnScreen& song);
    SurfacePtr discAtSize() const;
    bool discRingLooksRound() const;
    void buildDisc(SDL_Surface* cover);
    bool splitOffLabel(SDL_Surface& composite);
    void drawTitle();

    SDL_Renderer* renderer = nullptr;
    FontPtr titleFont, artistFont, timeFont, lyricFont;
    SkinLayer background, body, thumb, topOverlay;
    SurfacePtr discPicture;
    // The disc with the cover as its label: the two turn together about the same centre. When
    // the disc itself looks the same at every angle (round grooves) only the label is turned,
    // which is most of the work saved; the disc is then drawn as it is.
    TurningPicture disc;
    TurningPicture label;
    bool discTurns = true;
    bool ringLooksRound = false; // of the skin's disc, found when it loads
    uint64_t discCoverVersion = 0;
    bool discBuilt = false;
    TurningPicture arm;
    RecordAnimation animation;
    ScrollingTitle title;
    std::string loopingTitle; // the title and the gap before it comes round again
    TextCache texts;
    // Everything under the turning disc: backdrop, progress bar, turntable.
    LayerCache underDisc;
    std::optional<Pose> drawnPose;
};
