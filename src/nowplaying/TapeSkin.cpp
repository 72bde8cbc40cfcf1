#include "nowplaying/TapeSkin.h"

#include "core/Log.h"
#include "nowplaying/SkinPictures.h"
#include "nowplaying/SongOnScreen.h"
#include "ui/Draw.h"
#include "ui/Image.h"

#include <algorithm>
#include <string>

namespace {

constexpr SDL_Rect COVER{14, 16, SongOnScreen::COVER_SIZE, SongOnScreen::COVER_SIZE};
constexpr SDL_Rect PANEL{314, 16, 312, 300};
// The fade's lines reach one pixel below the cover.
constexpr int FADE_HEIGHT = SongOnScreen::COVER_SIZE + 1;
constexpr SDL_Rect BAR{2, 409, 636, 55};
constexpr SDL_Color BAR_TOP{150, 40, 39, 255};
constexpr SDL_Color BAR_BOTTOM{18, 18, 18, 255};
constexpr SDL_Rect LEFT_REEL{128, 137, 104, 104};
constexpr SDL_Point LEFT_REEL_CENTRE{52, 53};
constexpr SDL_Rect RIGHT_REEL{420, 137, 104, 104};
constexpr SDL_Point RIGHT_REEL_CENTRE{53, 53};
constexpr int TITLE_RIGHT = 540, TITLE_TOP = 64;
constexpr int ARTIST_RIGHT = 588, ARTIST_TOP = 256;
constexpr int LARGE_TEXT_LEFT = COVER.x; // title and artist keep this clear of the screen's edge
constexpr SDL_Rect MODE_ICON{538, 453, 24, 24};
constexpr SDL_Rect LYRIC_AREA{40, 450, 560, 30};
// The lyric stays centred in its area but keeps clear of the mode icon on its right.
constexpr int LYRIC_ICON_GAP = 6;
constexpr int LYRIC_CENTRE = LYRIC_AREA.x + LYRIC_AREA.w / 2;
constexpr int LYRIC_HALF_WIDTH = MODE_ICON.x - LYRIC_ICON_GAP - LYRIC_CENTRE;
constexpr SDL_Rect LYRIC_BOX{LYRIC_CENTRE - LYRIC_HALF_WIDTH, LYRIC_AREA.y, 2 * LYRIC_HALF_WIDTH,
                             LYRIC_AREA.h};
constexpr SDL_Rect TIME_AREA{510, 450, 118, 30};
constexpr int TIME_INSET = 2;
constexpr int TAPE_ROWS = 10, TAPE_COLUMNS = 3;
constexpr const char* BACKGROUND = "bg.png";
constexpr const char* BODY = "typebg.png";
constexpr const char* REEL = "c.png";
constexpr const char* OVERLAY = "zdbg.png";
constexpr const char* TOP_OVERLAY = "db.png";

// The tape picture of a stretch of the song, in row and column of the skin's grid of them.
std::string tapePicturePath(const std::string& folder, int row, int column) {
    return SkinPictures::folderPath(folder) + "k/" + std::to_string(row) + "-" +
           std::to_string(column) + ".png";
}

bool sameColour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// A part of a channel's blend, truncated as the bar's colours always were.
Uint8 blendChannel(Uint8 top, Uint8 bottom, double share) {
    return static_cast<Uint8>(static_cast<int>(bottom * share) +
                              static_cast<int>(top * (1 - share)));
}

TexturePtr pixelTexture(SDL_Renderer* renderer, int width, int height) {
    TexturePtr texture(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STATIC, width, height));
    if (!texture) {
        logError(std::string("无法创建纹理: ") + SDL_GetError());
    }
    return texture;
}

Uint32 argb(SDL_Color colour, Uint8 alpha) {
    return (Uint32(alpha) << 24) | (Uint32(colour.r) << 16) | (Uint32(colour.g) << 8) | colour.b;
}

} // namespace

void TapeSkin::init(SDL_Renderer* newRenderer, TTF_Font* newInfoFont) {
    renderer = newRenderer;
    infoFont = newInfoFont;
    titleFont.reset(TTF_OpenFont(TITLE_FONT_PATH, TITLE_POINTS));
    if (!titleFont) {
        logError(std::string("无法加载歌曲字体: ") + TTF_GetError());
    }
    artistFont.reset(TTF_OpenFont(TITLE_FONT_PATH, ARTIST_POINTS));
    if (!artistFont) {
        logError(std::string("无法加载艺术家字体: ") + TTF_GetError());
    }
    buildBarGradient();
}

std::vector<std::string> TapeSkin::picturePaths(const std::string& folder) {
    std::vector<std::string> paths;
    for (const char* name : {BACKGROUND, BODY, REEL, OVERLAY, TOP_OVERLAY}) {
        paths.push_back(SkinPictures::folderPath(folder) + name);
    }
    for (int row = 1; row <= TAPE_ROWS; ++row) {
        for (int column = 1; column <= TAPE_COLUMNS; ++column) {
            paths.push_back(tapePicturePath(folder, row, column));
        }
    }
    return paths;
}

void TapeSkin::load(SkinPictures& pictures, const std::string& folder) {
    release();
    std::string base = SkinPictures::folderPath(folder);
    background.load(renderer, pictures, base + BACKGROUND);
    body.load(renderer, pictures, base + BODY);
    if (SurfacePtr reel = pictures.take(base + REEL)) {
        leftReel.load(renderer, *reel, LEFT_REEL_CENTRE, TurningPicture::ANY_ANGLE);
        rightReel.load(renderer, *reel, RIGHT_REEL_CENTRE, TurningPicture::ANY_ANGLE);
    }
    overlay.load(renderer, pictures, base + OVERLAY);
    topOverlay.load(renderer, pictures, base + TOP_OVERLAY);
    for (int row = 1; row <= TAPE_ROWS; ++row) {
        for (int column = 1; column <= TAPE_COLUMNS; ++column) {
            std::string path = tapePicturePath(folder, row, column);
            // A picture that fails keeps its place (drawn as nothing), so the others still
            // show at their own stretch of the song.
            SkinLayer& picture = tapePictures.emplace_back();
            if (!picture.load(renderer, pictures, path)) {
                logError("Failed to load tape texture: " + path + " Error: " + SDL_GetError());
            }
        }
    }
}

void TapeSkin::release() {
    underReels.invalidate();
    for (SkinLayer* layer : {&background, &body, &overlay, &topOverlay}) {
        layer->release();
    }
    leftReel.release();
    rightReel.release();
    tapePictures.clear();
}

void TapeSkin::draw(const SongOnScreen& song) {
    if (!renderer) {
        return;
    }
    drawnPose = pose();
    int played = static_cast<int>(std::clamp(song.progress, 0.0f, 1.0f) * BAR.w);
    SDL_Color panel = song.panelColour;
    uint64_t panelKey = (Uint32(panel.r) << 16) | (Uint32(panel.g) << 8) | panel.b;
    underReels.draw(renderer, {song.coverVersion, panelKey, static_cast<uint64_t>(played)}, [&] {
        background.draw(renderer);
        drawCover(song);
        drawProgressBar(played);
        body.draw(renderer);
        overlay.draw(renderer);
    });
    drawReels();
    int index = animation.getPictureIndex();
    if (index >= 0 && index < static_cast<int>(tapePictures.size())) {
        tapePictures[index].draw(renderer);
    }
    drawLargeText(titleFont.get(), song.title, TITLE_RIGHT, TITLE_TOP);
    drawLargeText(artistFont.get(), song.artist, ARTIST_RIGHT, ARTIST_TOP);
    topOverlay.draw(renderer);
    drawTexts(song);
}

void TapeSkin::drawCover(const SongOnScreen& song) {
    if (!song.cover) {
        return;
    }
    SDL_RenderCopy(renderer, song.cover, nullptr, &COVER);
    if (!fade || !sameColour(fadeColour, song.panelColour)) {
        buildFade(song.panelColour);
    }
    if (fade) {
        SDL_Rect place{COVER.x, COVER.y, COVER.w, FADE_HEIGHT};
        SDL_RenderCopy(renderer, fade.get(), nullptr, &place);
    }
    Draw::fillRect(renderer, PANEL,
                   {song.panelColour.r, song.panelColour.g, song.panelColour.b, SDL_ALPHA_OPAQUE});
}

// Column i of the fade is the panel colour at alpha i × 255 / width: the cover shows through on
// the left and gives way to the panel on the right.
void TapeSkin::buildFade(SDL_Color colour) {
    fade = pixelTexture(renderer, COVER.w, FADE_HEIGHT);
    fadeColour = colour;
    if (!fade) {
        return;
    }
    std::vector<Uint32> pixels(static_cast<size_t>(COVER.w) * FADE_HEIGHT);
    for (int x = 0; x < COVER.w; ++x) {
        Uint32 value = argb(colour, static_cast<Uint8>(x * SDL_ALPHA_OPAQUE / COVER.w));
        for (int y = 0; y < FADE_HEIGHT; ++y) {
            pixels[static_cast<size_t>(y) * COVER.w + x] = value;
        }
    }
    SDL_UpdateTexture(fade.get(), nullptr, pixels.data(), COVER.w * sizeof(Uint32));
    SDL_SetTextureBlendMode(fade.get(), SDL_BLENDMODE_BLEND);
}

// Row r of the bar runs from dark red at the top to near black at the bottom.
void TapeSkin::buildBarGradient() {
    int width = BAR.w + 1; // a line from x to x + w covers w + 1 pixels
    barGradient = pixelTexture(renderer, width, BAR.h);
    if (!barGradient) {
        return;
    }
    std::vector<Uint32> pixels(static_cast<size_t>(width) * BAR.h);
    for (int row = 0; row < BAR.h; ++row) {
        double share = static_cast<double>(row) / BAR.h;
        SDL_Color colour{blendChannel(BAR_TOP.r, BAR_BOTTOM.r, share),
                         blendChannel(BAR_TOP.g, BAR_BOTTOM.g, share),
                         blendChannel(BAR_TOP.b, BAR_BOTTOM.b, share), SDL_ALPHA_OPAQUE};
        std::fill_n(pixels.begin() + static_cast<long>(row) * width, width,
                    argb(colour, SDL_ALPHA_OPAQUE));
    }
    SDL_UpdateTexture(barGradient.get(), nullptr, pixels.data(), width * sizeof(Uint32));
}

// A line from x to x + played, as the bar was always drawn, covers played + 1 pixels.
void TapeSkin::drawProgressBar(int played) {
    if (!barGradient) {
        return;
    }
    SDL_Rect part{0, 0, played + 1, BAR.h};
    SDL_Rect place{BAR.x, BAR.y, played + 1, BAR.h};
    SDL_RenderCopy(renderer, barGradient.get(), &part, &place);
}

void TapeSkin::drawReels() {
    leftReel.draw(renderer, {LEFT_REEL.x + LEFT_REEL_CENTRE.x, LEFT_REEL.y + LEFT_REEL_CENTRE.y},
                  animation.getLeftAngle());
    rightReel.draw(renderer,
                   {RIGHT_REEL.x + RIGHT_REEL_CENTRE.x, RIGHT_REEL.y + RIGHT_REEL_CENTRE.y},
                   animation.getRightAngle());
}

// Right-aligned at right; a text too long for the screen is made smaller, on the same line.
void TapeSkin::drawLargeText(TTF_Font* font, const std::string& text, int right, int top) {
    if (font) {
        SDL_Rect area{LARGE_TEXT_LEFT, top, right - LARGE_TEXT_LEFT, TTF_FontHeight(font)};
        texts.drawShrunkInBox(renderer, font, text, Draw::WHITE, area, TextAlign::RIGHT);
    }
}

void TapeSkin::drawTexts(const SongOnScreen& song) {
    if (song.modeIcon) {
        SDL_RenderCopy(renderer, song.modeIcon, nullptr, &MODE_ICON);
    }
    texts.drawShrunkInBox(renderer, infoFont, song.lyric, Draw::WHITE, LYRIC_BOX);
    TextImage time = texts.get(renderer, infoFont, song.remaining, Draw::WHITE);
    if (time.texture) {
        SDL_Rect place{TIME_AREA.x + TIME_AREA.w - TIME_INSET - time.width,
                       TIME_AREA.y + (TIME_AREA.h - time.height) / 2, time.width, time.height};
        SDL_RenderCopy(renderer, time.texture, nullptr, &place);
    }
}
