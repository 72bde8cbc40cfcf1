#include "nowplaying/LyricsView.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "library/LyricsParser.h"
#include "nowplaying/SkinText.h"
#include "nowplaying/TimeText.h"
#include "nowplaying/Transport.h"
#include "ui/Draw.h"
#include "ui/Image.h"
#include "ui/UIBase.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr const char* BACKGROUND_PATH = "icons/bg.png";
constexpr const char* MASK_PATH = "icons/qbgz.png";
constexpr const char* FONT_PATH = "resources/font.ttf";
constexpr int NORMAL_POINTS = 22, HIGHLIGHT_POINTS = 24, TITLE_POINTS = 24, ARTIST_POINTS = 18;
constexpr const char* UNKNOWN_TITLE = "未知歌曲";
constexpr const char* UNKNOWN_ARTIST = "未知艺术家";
constexpr int TITLE_TOP = 28, ARTIST_TOP = 57;
constexpr SDL_Rect PROGRESS{35, 395, 570, 14};
constexpr SDL_Rect ELAPSED{35, 414, 100, 20};
constexpr int TOTAL_RIGHT = 605;
constexpr SDL_Rect LYRICS_CLIP{40, 90, 560, 290};
constexpr int LOWEST_LINE_Y = 381; // lines starting here or further down are not drawn
constexpr SDL_Color HIGHLIGHT{255, 255, 255, 255};
constexpr SDL_Color NORMAL{128, 128, 128, 255};
constexpr SDL_Color TIME_COLOUR{128, 128, 128, 255};
// The bar's track darkens from this grey at the top by up to TRACK_GREY_SPAN at the bottom.
constexpr int TRACK_GREY_TOP = 13, TRACK_GREY_SPAN = 27;
// The played part runs from red at the top towards dark red at the bottom.
constexpr int FILL_RED_TOP = 235, FILL_RED_SPAN = 116, FILL_GREEN_BLUE_TOP = 85,
              FILL_GREEN_BLUE_SPAN = 61;
constexpr float MILLISECONDS_PER_SECOND = 1000.0f;

} // namespace

LyricsView::LyricsView(const Input& input, Player* player, const LyricsParser* lyrics,
                       PlayList* playlist)
    : player(player), lyrics(lyrics), playlist(playlist), bindings(input) {
    bindings.add("b", {SDLK_y, SDLK_ESCAPE}, [this] { close(); });
    bindings.add("l1", {}, [this] {
        if (this->player) {
            Transport::skip(this->playlist, -1);
        }
    });
    bindings.add("r1", {}, [this] {
        if (this->player) {
            Transport::skip(this->playlist, +1);
        }
    });
    bindings.add("a", {}, [this] { Transport::togglePlayPause(this->player); });
    bindings.add("x", {}, [this] {
        if (this->player) {
            this->player->stop();
        }
    });
    bindings.add("up", {},
                 [this] { Transport::stepVolume(this->player, +Transport::VOLUME_STEP); });
    bindings.add("down", {},
                 [this] { Transport::stepVolume(this->player, -Transport::VOLUME_STEP); });
}

LyricsView::~LyricsView() = default;

void LyricsView::init(SDL_Renderer* newRenderer, TTF_Font* newInfoFont) {
    renderer = newRenderer;
    infoFont = newInfoFont;
    loadBackdrop();
    normalFont.reset(TTF_OpenFont(FONT_PATH, NORMAL_POINTS));
    highlightFont.reset(TTF_OpenFont(FONT_PATH, HIGHLIGHT_POINTS));
    titleFont.reset(TTF_OpenFont(FONT_PATH, TITLE_POINTS));
    artistFont.reset(TTF_OpenFont(FONT_PATH, ARTIST_POINTS));
    if (!normalFont || !highlightFont || !titleFont || !artistFont) {
        logError(std::string("无法加载字体: ") + TTF_GetError());
    }
    reloadLines();
}

// The background (black without it) with the mask over it, made once into one picture.
void LyricsView::loadBackdrop() {
    SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(
        0, UIBase::SCREEN_WIDTH, UIBase::SCREEN_HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!picture || !renderer) {
        return;
    }
    SDL_FillRect(picture.get(), nullptr, SDL_MapRGBA(picture->format, 0, 0, 0, SDL_ALPHA_OPAQUE));
    if (SurfacePtr background = Image::loadSurface(BACKGROUND_PATH)) {
        SDL_BlitScaled(background.get(), nullptr, picture.get(), nullptr);
    } else {
        logError(std::string("无法加载基础背景图: ") + SDL_GetError());
    }
    if (SurfacePtr mask = Image::loadSurface(MASK_PATH)) {
        SDL_SetSurfaceBlendMode(mask.get(), SDL_BLENDMODE_BLEND);
        SDL_BlitScaled(mask.get(), nullptr, picture.get(), nullptr);
    } else {
        logError(std::string("无法加载遮罩背景图: ") + SDL_GetError());
    }
    backdrop = Image::textureFromSurface(renderer, picture.get());
    if (backdrop) {
        SDL_SetTextureBlendMode(backdrop.get(), SDL_BLENDMODE_NONE); // opaque: a plain copy
    }
}

void LyricsView::reloadLines() {
    lines.clear();
    if (lyrics) {
        std::istringstream text(lyrics->getAllText());
        for (std::string line; std::getline(text, line);) {
            if (!line.empty()) {
                lines.push_back(line);
            }
        }
    }
    items.clear(); // laid out again on the next update
}

void LyricsView::setSong(const std::string& newTitle, const std::string& newArtist) {
    title = newTitle;
    artist = newArtist;
}

void LyricsView::close() {
    if (closeCallback) {
        closeCallback();
    }
}

// Its keys only close it, once per press however long the key is held.
void LyricsView::handleEvent(const SDL_Event& event) {
    bindings.dispatch(event, false);
}

float LyricsView::targetScrollFor(int index) {
    return static_cast<float>(LINE_PITCH * index - (RESTING_Y - FIRST_LINE_Y));
}

float LyricsView::scrollTowards(float scroll, float target, uint64_t elapsedMs) {
    float distance = target - scroll;
    if (std::fabs(distance) <= SCROLL_AT_REST) {
        return scroll;
    }
    float share = static_cast<float>(elapsedMs) / MILLISECONDS_PER_SECOND * SCROLL_SPEED *
                  SCROLL_FRAMES_PER_SECOND;
    return scroll + std::min(share, 1.0f) * distance;
}

void LyricsView::update(uint64_t now) {
    if (!player || !lyrics) {
        return;
    }
    int index = lyrics->getLineIndexAt(player->getCurrentTime());
    if (index != currentIndex || items.empty()) {
        layOut(index);
    }
    scroll = scrollTowards(scroll, targetScroll, now >= lastTick ? now - lastTick : 0);
    lastTick = now;
}

void LyricsView::layOut(int index) {
    currentIndex = index;
    items.clear();
    targetScroll = targetScrollFor(index);
    int last = std::min(static_cast<int>(lines.size()) - 1, index + LINES_AROUND);
    for (int i = std::max(0, index - LINES_AROUND); i <= last; ++i) {
        items.push_back({lines[i], FIRST_LINE_Y + LINE_PITCH * i, i == index});
    }
}

void LyricsView::render() {
    if (!renderer) {
        return;
    }
    if (backdrop) {
        SDL_RenderCopy(renderer, backdrop.get(), nullptr, nullptr);
    } else {
        Draw::fillScreen(renderer, Draw::BLACK);
    }
    drawHeading();
    drawProgressBar(player ? player->getProgress() : 0.0f);
    drawLines();
    drawTimes();
}

void LyricsView::drawHeading() {
    if (!player) {
        return;
    }
    texts.drawInBox(renderer, titleFont.get(), title.empty() ? UNKNOWN_TITLE : title, Draw::WHITE,
                    {LYRICS_CLIP.x, TITLE_TOP, LYRICS_CLIP.w, 0}, TextAlign::CENTRE);
    texts.drawInBox(renderer, artistFont.get(), artist.empty() ? UNKNOWN_ARTIST : artist,
                    Draw::WHITE, {LYRICS_CLIP.x, ARTIST_TOP, LYRICS_CLIP.w, 0}, TextAlign::CENTRE);
}

void LyricsView::drawProgressBar(float progress) {
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    drawCapsule(PROGRESS.w, false);
    int filled = static_cast<int>(std::clamp(progress, 0.0f, 1.0f) * PROGRESS.w);
    if (filled > 0) {
        drawCapsule(filled, true);
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
}

// A bar with half-round ends, one line per row: row k is shortened at both ends by
// r - sqrt(r² - (k - r)²), r being half the height.
void LyricsView::drawCapsule(int length, bool filled) {
    int height = PROGRESS.h;
    int radius = height / 2;
    for (int k = 0; k < height; ++k) {
        double offset = k - radius;
        int inset =
            static_cast<int>(radius - std::sqrt(std::max(0.0, radius * radius - offset * offset)));
        if (filled) {
            double t = static_cast<double>(k) / height;
            Uint8 greenBlue = static_cast<Uint8>(FILL_GREEN_BLUE_TOP - FILL_GREEN_BLUE_SPAN * t);
            Draw::setColor(renderer, {static_cast<Uint8>(FILL_RED_TOP - FILL_RED_SPAN * t),
                                      greenBlue, greenBlue, SDL_ALPHA_OPAQUE});
        } else {
            Uint8 grey = static_cast<Uint8>(TRACK_GREY_TOP + TRACK_GREY_SPAN * k / height);
            Draw::setColor(renderer, {grey, grey, grey, SDL_ALPHA_OPAQUE});
        }
        int left = PROGRESS.x + inset;
        int right = PROGRESS.x + length - 1 - inset;
        if (right >= left) {
            SDL_RenderDrawLine(renderer, left, PROGRESS.y + k, right, PROGRESS.y + k);
        }
    }
}

void LyricsView::drawLines() {
    SDL_RenderSetClipRect(renderer, &LYRICS_CLIP);
    for (const Item& item : items) {
        int y = static_cast<int>(static_cast<float>(item.y) - scroll);
        if (y < FIRST_LINE_Y || y >= LOWEST_LINE_Y) {
            continue;
        }
        TTF_Font* lineFont = item.highlighted ? highlightFont.get() : normalFont.get();
        if (lineFont) {
            SDL_Rect line{LYRICS_CLIP.x, y, LYRICS_CLIP.w, TTF_FontHeight(lineFont)};
            texts.drawShrunkInBox(renderer, lineFont, item.text,
                                  item.highlighted ? HIGHLIGHT : NORMAL, line);
        }
    }
    SDL_RenderSetClipRect(renderer, nullptr);
}

void LyricsView::drawTimes() {
    if (!player || !infoFont) {
        return;
    }
    SkinText::draw(renderer, texts, infoFont, TimeText::clock(player->getCurrentTime()),
                   TIME_COLOUR, ELAPSED.x, ELAPSED.y, SkinText::Anchor::LEFT);
    SkinText::draw(renderer, texts, infoFont, TimeText::clock(player->getDuration()), TIME_COLOUR,
                   TOTAL_RIGHT, ELAPSED.y, SkinText::Anchor::RIGHT);
}
