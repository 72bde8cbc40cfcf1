#include "pages/RecordSkin.h"

#include "core/Log.h"
#include "pages/SkinText.h"
#include "pages/SongOnScreen.h"
#include "ui/Draw.h"

#include <algorithm>

namespace {

constexpr SDL_Rect BAR{481, 399, 132, 9};
constexpr SDL_Color BAR_TRACK{110, 110, 110, 255};
constexpr SDL_Color BAR_PLAYED{255, 77, 35, 255};
constexpr SDL_Rect LABEL{110, 111, 216, 216};
constexpr SDL_Rect DISC{14, 15, 408, 408};
constexpr SDL_Point DISC_CENTRE{204, 204};
constexpr SDL_Rect ARM{346, 9, 171, 440};
constexpr SDL_Point ARM_PIVOT{131, 97};
constexpr int THUMB_X = 583; // the thumb picture is drawn at its own size, 41 × 78
constexpr int TITLE_LEFT = 62, TITLE_CENTRE = 173, TITLE_TOP = 38;
constexpr const char* TITLE_GAP = "  "; // between the end of a scrolling title and its start
constexpr SDL_Color ARTIST_COLOUR{192, 192, 192, 255};
constexpr int ARTIST_TOP = 73;
constexpr SDL_Color TIME_COLOUR{255, 77, 35, 255};
constexpr int TIME_RIGHT = 601, TIME_TOP = 352;
constexpr SDL_Color LYRIC_COLOUR{122, 122, 122, 255};
constexpr int LYRIC_CENTRE = 320, LYRIC_TOP = 440;

} // namespace

void RecordSkin::init(SDL_Renderer* newRenderer) {
    renderer = newRenderer;
    titleFont.reset(TTF_OpenFont(FONT_PATH, TITLE_POINTS));
    artistFont.reset(TTF_OpenFont(FONT_PATH, ARTIST_POINTS));
    timeFont.reset(TTF_OpenFont(FONT_PATH, TIME_POINTS));
    lyricFont.reset(TTF_OpenFont(FONT_PATH, LYRIC_POINTS));
    if (!titleFont || !artistFont || !timeFont || !lyricFont) {
        logError(std::string("字体缓存初始化失败: ") + TTF_GetError());
    }
}

void RecordSkin::load(const ThemeAssetCodec& codec, const std::string& folder) {
    release();
    std::string base = "icons/" + folder;
    bool complete = background.load(renderer, codec, base + "/bg.png");
    complete = body.load(renderer, codec, base + "/cp.png") && complete;
    complete = disc.load(renderer, codec, base + "/pp.png") && complete;
    complete = arm.load(renderer, codec, base + "/bo.png") && complete;
    complete = thumb.load(renderer, codec, base + "/tn.png") && complete;
    complete = topOverlay.load(renderer, codec, base + "/dbzg.png") && complete;
    if (!complete) {
        logError("无法加载唱片机主题资源");
    }
}

void RecordSkin::release() {
    for (SkinLayer* layer : {&background, &body, &disc, &arm, &thumb, &topOverlay}) {
        layer->release();
    }
}

void RecordSkin::setTitle(const std::string& text, uint64_t now) {
    title.setText(text, ScrollingTitle::measureWidth(titleFont.get(), text), now);
}

void RecordSkin::draw(const SongOnScreen& song) {
    if (!renderer) {
        return;
    }
    background.draw(renderer);
    drawProgressBar(song.progress);
    body.draw(renderer);
    drawTurntable(song);
    topOverlay.draw(renderer);
    drawTitle();
    SkinText::draw(renderer, texts, artistFont.get(), song.artist, ARTIST_COLOUR, TITLE_CENTRE,
                   ARTIST_TOP, SkinText::Anchor::CENTRE);
    SkinText::draw(renderer, texts, timeFont.get(), song.remaining, TIME_COLOUR, TIME_RIGHT,
                   TIME_TOP, SkinText::Anchor::RIGHT);
    SkinText::draw(renderer, texts, lyricFont.get(), song.lyric, LYRIC_COLOUR, LYRIC_CENTRE,
                   LYRIC_TOP, SkinText::Anchor::CENTRE);
}

void RecordSkin::drawProgressBar(float progress) {
    Draw::fillRect(renderer, BAR, BAR_TRACK);
    int played = static_cast<int>(std::clamp(progress, 0.0f, 1.0f) * BAR.w);
    if (played > 0) {
        Draw::fillRect(renderer, {BAR.x, BAR.y, played, BAR.h}, BAR_PLAYED);
    }
}

void RecordSkin::drawTurntable(const SongOnScreen& song) {
    double angle = animation.getDiscAngle();
    if (song.cover) {
        SDL_RenderCopyEx(renderer, song.cover, nullptr, &LABEL, angle, nullptr, SDL_FLIP_NONE);
    }
    disc.drawRotated(renderer, DISC, angle, DISC_CENTRE);
    arm.drawRotated(renderer, ARM, animation.getArmAngle(), ARM_PIVOT);
    thumb.draw(renderer, {THUMB_X, static_cast<int>(animation.getThumbY())});
}

// A title that fits is centred; a longer one shows through its window from the offset on and
// continues with its own beginning, so it runs round without a gap.
void RecordSkin::drawTitle() {
    if (!title.scrolls()) {
        SkinText::draw(renderer, texts, titleFont.get(), title.getText(), Draw::WHITE, TITLE_CENTRE,
                       TITLE_TOP, SkinText::Anchor::CENTRE);
        return;
    }
    TextImage image =
        texts.get(renderer, titleFont.get(), title.getText() + TITLE_GAP, Draw::WHITE);
    if (!image.texture || image.width <= 0) {
        return;
    }
    int window = ScrollingTitle::WINDOW_WIDTH;
    int start = static_cast<int>(title.getOffset()) % image.width;
    int first = std::min(image.width - start, window);
    SDL_Rect part{start, 0, first, image.height};
    SDL_Rect place{TITLE_LEFT, TITLE_TOP, first, image.height};
    SDL_RenderCopy(renderer, image.texture, &part, &place);
    int rest = std::min(window - first, image.width);
    if (rest > 0) {
        part = {0, 0, rest, image.height};
        place = {TITLE_LEFT + first, TITLE_TOP, rest, image.height};
        SDL_RenderCopy(renderer, image.texture, &part, &place);
    }
}
