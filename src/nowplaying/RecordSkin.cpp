#include "nowplaying/RecordSkin.h"

#include "core/Log.h"
#include "nowplaying/SkinPictures.h"
#include "nowplaying/SkinText.h"
#include "nowplaying/SongOnScreen.h"
#include "ui/Draw.h"
#include "ui/SkinArt.h"

#include <algorithm>

namespace {

constexpr const char* BACKGROUND = "bg.png";
constexpr const char* BODY = "cp.png";
constexpr const char* THUMB = "tn.png";
constexpr const char* DISC_PICTURE = "pp.png";
constexpr const char* ARM_PICTURE = "bo.png";
constexpr const char* TOP_OVERLAY = "dbzg.png";

constexpr SDL_Rect BAR{481, 399, 132, 9};
constexpr SDL_Color BAR_TRACK{110, 110, 110, 255};
constexpr SDL_Color BAR_PLAYED{255, 77, 35, 255};
constexpr SDL_Rect LABEL{110, 111, 216, 216};
constexpr SDL_Rect DISC{14, 15, 408, 408};
constexpr SDL_Point DISC_CENTRE{204, 204};
constexpr int LABEL_RADIUS = LABEL.w / 2;
// The turning label reaches this far over the still disc, so that no seam shows between them.
constexpr int LABEL_OVERLAP = 2;
constexpr SDL_Rect ARM{346, 9, 171, 440};
constexpr SDL_Point ARM_PIVOT{131, 97};
// Makes the pixels of picture transparent that lie (by their centres) nearer to centre than
// radius, or, with inside false, farther.
void clearAround(SDL_Surface& picture, SDL_Point centre, int radius, bool inside) {
    for (int y = 0; y < picture.h; ++y) {
        auto* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(picture.pixels) + y * picture.pitch);
        double dy = y + 0.5 - centre.y;
        for (int x = 0; x < picture.w; ++x) {
            double dx = x + 0.5 - centre.x;
            if ((dx * dx + dy * dy < double(radius) * radius) == inside) {
                row[x] = 0;
            }
        }
    }
}

// The arm turns from rest to its playing angle and sways a degree beyond.
constexpr double ARM_LARGEST_ANGLE = RecordAnimation::ARM_PLAYING_ANGLE + 1.0;
constexpr int THUMB_X = 583; // the thumb picture is drawn at its own size, 41 × 78
constexpr int TITLE_LEFT = 62, TITLE_TOP = 38; // the title shows through a window from here
constexpr const char* TITLE_GAP = "  ";        // between the end of a scrolling title and its start
constexpr SDL_Color ARTIST_COLOUR{192, 192, 192, 255};
constexpr int ARTIST_TOP = 73;
constexpr SDL_Color TIME_COLOUR{255, 77, 35, 255};
constexpr int TIME_RIGHT = 601, TIME_TOP = 352;
constexpr SDL_Color LYRIC_COLOUR{122, 122, 122, 255};
constexpr int LYRIC_CENTRE = 320, LYRIC_TOP = 440, LYRIC_WIDTH = 560;

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

std::vector<std::string> RecordSkin::picturePaths(const std::string& folder) {
    std::vector<std::string> paths;
    for (const char* name : {BACKGROUND, BODY, THUMB, DISC_PICTURE, ARM_PICTURE, TOP_OVERLAY}) {
        paths.push_back(SkinPictures::folderPath(folder) + name);
    }
    return paths;
}

void RecordSkin::load(SkinPictures& pictures, const std::string& folder) {
    release();
    std::string base = SkinPictures::folderPath(folder);
    bool complete = background.load(renderer, pictures, base + BACKGROUND);
    complete = body.load(renderer, pictures, base + BODY) && complete;
    complete = thumb.load(renderer, pictures, base + THUMB) && complete;
    discPicture = pictures.take(base + DISC_PICTURE);
    if (discPicture) { // scaled once per skin; each cover's disc starts from a copy
        discPicture = SkinArt::scaledSurface(discPicture.get(), DISC.w, DISC.h);
    }
    discBuilt = false;
    ringLooksRound = discRingLooksRound();
    SurfacePtr armPicture = pictures.take(base + ARM_PICTURE);
    complete = discPicture && armPicture && complete;
    if (armPicture) {
        arm.load(renderer, *armPicture, ARM_PIVOT, ARM_LARGEST_ANGLE);
    }
    complete = topOverlay.load(renderer, pictures, base + TOP_OVERLAY) && complete;
    if (!complete) {
        logError("无法加载唱片机主题资源");
    }
}

void RecordSkin::release() {
    underDisc.invalidate();
    for (SkinLayer* layer : {&background, &body, &thumb, &topOverlay}) {
        layer->release();
    }
    discPicture.reset();
    disc.release();
    label.release();
    discBuilt = false;
    arm.release();
}

void RecordSkin::setTitle(const std::string& text, uint64_t now) {
    title.setText(text, ScrollingTitle::measureWidth(titleFont.get(), text), now);
    loopingTitle = text + TITLE_GAP;
}

void RecordSkin::draw(const SongOnScreen& song) {
    if (!renderer) {
        return;
    }
    drawnPose = pose();
    int played = static_cast<int>(std::clamp(song.progress, 0.0f, 1.0f) * BAR.w);
    underDisc.draw(renderer, {static_cast<uint64_t>(played), 0, 0}, [&] {
        background.draw(renderer);
        drawProgressBar(played);
        body.draw(renderer);
    });
    drawTurntable(song);
    topOverlay.draw(renderer);
    drawTitle();
    texts.drawInBox(renderer, artistFont.get(), song.artist, ARTIST_COLOUR,
                    {TITLE_LEFT, ARTIST_TOP, ScrollingTitle::WINDOW_WIDTH, 0}, TextAlign::CENTRE);
    SkinText::draw(renderer, texts, timeFont.get(), song.remaining, TIME_COLOUR, TIME_RIGHT,
                   TIME_TOP, SkinText::Anchor::RIGHT);
    if (lyricFont) {
        SDL_Rect line{LYRIC_CENTRE - LYRIC_WIDTH / 2, LYRIC_TOP, LYRIC_WIDTH,
                      TTF_FontHeight(lyricFont.get())};
        texts.drawShrunkInBox(renderer, lyricFont.get(), song.lyric, LYRIC_COLOUR, line);
    }
}

void RecordSkin::drawProgressBar(int played) {
    Draw::fillRect(renderer, BAR, BAR_TRACK);
    if (played > 0) {
        Draw::fillRect(renderer, {BAR.x, BAR.y, played, BAR.h}, BAR_PLAYED);
    }
}

void RecordSkin::drawTurntable(const SongOnScreen& song) {
    if (!discBuilt || song.coverVersion != discCoverVersion) {
        buildDisc(song.coverPicture);
        discCoverVersion = song.coverVersion;
        discBuilt = true;
    }
    SDL_Point centre{DISC.x + DISC_CENTRE.x, DISC.y + DISC_CENTRE.y};
    disc.draw(renderer, centre, discTurns ? animation.getDiscAngle() : 0.0);
    label.draw(renderer, centre, animation.getDiscAngle());
    arm.draw(renderer, {ARM.x + ARM_PIVOT.x, ARM.y + ARM_PIVOT.y}, animation.getArmAngle());
    thumb.draw(renderer, {THUMB_X, static_cast<int>(animation.getThumbY())});
}

// The disc picture at its drawn size (transparent without one).
SurfacePtr RecordSkin::discAtSize() const {
    return discPicture ? SkinArt::scaledSurface(discPicture.get(), DISC.w, DISC.h)
                       : SurfacePtr(SDL_CreateRGBSurfaceWithFormat(0, DISC.w, DISC.h, 32,
                                                                   SDL_PIXELFORMAT_RGBA32));
}

// Whether the disc around the label looks the same at every angle (round grooves). It is the
// skin's own picture, so this is asked once per skin, not per cover.
bool RecordSkin::discRingLooksRound() const {
    SurfacePtr ring = discAtSize();
    if (!ring) {
        return false;
    }
    clearAround(*ring, DISC_CENTRE, LABEL_RADIUS, true);
    return TurningPicture::looksTheSameTurned(*ring, DISC_CENTRE);
}

// The cover, scaled smoothly to the label, under the disc's open centre.
void RecordSkin::buildDisc(SDL_Surface* cover) {
    disc.release();
    label.release();
    discTurns = true;
    SurfacePtr composite = discAtSize();
    if (!composite) {
        return;
    }
    SurfacePtr coverLabel = SkinArt::coverSurface(cover, LABEL.w, LABEL.h);
    if (coverLabel) {
        SDL_Rect hole{LABEL.x - DISC.x, LABEL.y - DISC.y, LABEL.w, LABEL.h};
        SDL_SetSurfaceBlendMode(composite.get(), SDL_BLENDMODE_BLEND);
        SDL_BlitSurface(composite.get(), &hole, coverLabel.get(), nullptr);
        SDL_SetSurfaceBlendMode(coverLabel.get(), SDL_BLENDMODE_NONE);
        SDL_BlitSurface(coverLabel.get(), nullptr, composite.get(), &hole);
        if (splitOffLabel(*composite)) {
            return;
        }
        disc.setSmoothRadius(LABEL_RADIUS);
    } else {
        disc.setSmoothRadius(0);
    }
    disc.load(renderer, *composite, DISC_CENTRE, TurningPicture::ANY_ANGLE);
}

// The label (with the disc's edge around it) as a picture of its own, to be turned, and the
// rest of the disc without it, drawn still; false, with nothing loaded, when the rest of the
// disc would not look the same turned.
bool RecordSkin::splitOffLabel(SDL_Surface& composite) {
    if (!ringLooksRound) {
        return false;
    }
    SurfacePtr ring(SDL_DuplicateSurface(&composite));
    int reach = LABEL_RADIUS + LABEL_OVERLAP;
    SurfacePtr labelPart(
        SDL_CreateRGBSurfaceWithFormat(0, 2 * reach, 2 * reach, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!ring || !labelPart) {
        return false;
    }
    clearAround(*ring, DISC_CENTRE, LABEL_RADIUS, true);
    SDL_Rect area{DISC_CENTRE.x - reach, DISC_CENTRE.y - reach, 2 * reach, 2 * reach};
    SDL_SetSurfaceBlendMode(&composite, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(&composite, &area, labelPart.get(), nullptr);
    clearAround(*labelPart, {reach, reach}, reach, false);
    disc.setSmoothRadius(0);
    disc.load(renderer, *ring, DISC_CENTRE, TurningPicture::ANY_ANGLE);
    label.setSmoothRadius(reach);
    label.load(renderer, *labelPart, {reach, reach}, TurningPicture::ANY_ANGLE);
    discTurns = false;
    return true;
}

// A title that fits is centred; a longer one shows through its window from the offset on and
// continues with its own beginning, so it runs round without a gap.
void RecordSkin::drawTitle() {
    int window = ScrollingTitle::WINDOW_WIDTH;
    if (!title.scrolls()) {
        texts.drawInBox(renderer, titleFont.get(), title.getText(), Draw::WHITE,
                        {TITLE_LEFT, TITLE_TOP, window, 0}, TextAlign::CENTRE);
        return;
    }
    TextImage image = texts.get(renderer, titleFont.get(), loopingTitle, Draw::WHITE);
    if (!image.texture || image.width <= 0) {
        return;
    }
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
