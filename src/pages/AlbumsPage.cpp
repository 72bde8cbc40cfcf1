#include "pages/AlbumsPage.h"

#include "core/Log.h"
#include "library/PlayList.h"
#include "settings/Config.h"
#include "ui/Image.h"
#include "ui/SkinArt.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

constexpr SDL_Rect PAGE_BOUNDS = UIBase::CONTENT_AREA;

// The tape skin: the centre strip of the cover as a cassette insert, inside the shell.
constexpr int TAPE_COVER_WIDTH = 182;
constexpr int TAPE_COVER_HEIGHT = 286;
constexpr int TAPE_COVER_TOP = 97;
constexpr int TAPE_SHELL_WIDTH = 240;
constexpr int TAPE_SHELL_HEIGHT = 332;
constexpr SDL_Rect TAPE_NAME_AREA{20, 390, 600, 30};
constexpr SDL_Rect TAPE_ARTIST_AREA{20, 430, 600, 24};

// The record skin: square covers under the record mask.
constexpr int RECORD_COVER_SIZE = 212;
constexpr int RECORD_COVER_TOP = 135;
constexpr int RECORD_MASK_SIZE = 244;
constexpr int RECORD_MASK_TOP = 123;
constexpr int RECORD_CAPTION_WIDTH = 200;
constexpr int RECORD_CAPTION_GAP = 20; // between the cover and the album's name
constexpr int RECORD_INFO_OFFSET = 25; // from the name's top to the info line's top
constexpr const char* RECORD_INFO_SEPARATOR = " · ";
constexpr const char* SONGS_SUFFIX = "首歌曲";

constexpr const char* CAPTION_FONT_PATH = "resources/font.ttf";
constexpr int CAPTION_POINTS[] = {20, 16}; // large, small
constexpr SDL_Color CAPTION_COLORS[] = {{255, 255, 255, 255}, {180, 180, 180, 255}};
constexpr SDL_Color EMPTY_TEXT{180, 180, 180, 255};
constexpr SDL_Rect EMPTY_AREA{0, 0, 640, 450};

int truncated(float value) {
    return static_cast<int>(value);
}

Uint8 alphaOf(const AlbumCardState& card) {
    return static_cast<Uint8>(std::clamp(card.alpha, 0.0f, 255.0f));
}

// The texture made at the destination's size when there is one, so that it is copied unscaled.
SDL_Texture* atSize(SDL_Texture* large, SDL_Texture* small, const SDL_Rect& destination) {
    int smallWidth = 0;
    if (small && SDL_QueryTexture(small, nullptr, nullptr, &smallWidth, nullptr) == 0 &&
        smallWidth == destination.w) {
        return small;
    }
    return large;
}

} // namespace

AlbumsPage::AlbumsPage(const PageServices& services, PlayList* playlist, Player* player)
    : LibraryBrowsePage(services, playlist, player), themeId(services.config.getDefaultThemeId()) {
    bindings.add("left", {SDLK_LEFT}, [this] { moveSelection(-1); });
    bindings.add("right", {SDLK_RIGHT}, [this] { moveSelection(+1); });
    bindings.add("a", {SDLK_RETURN, SDLK_KP_ENTER}, [this] { chooseSelected(); });
    bindings.add("b", {SDLK_ESCAPE}, [this] { goBack(); });
    bindings.add("l1", {}, [this] { moveSelection(-JUMP); });
    bindings.add("r1", {}, [this] { moveSelection(+JUMP); });
}

AlbumsPage::~AlbumsPage() = default;

void AlbumsPage::init(SDL_Renderer* newRenderer, TTF_Font* newFont) {
    if (!initBrowsePage(newRenderer, newFont, PAGE_BOUNDS, "初始化失败：无效的渲染器或字体")) {
        return;
    }
    for (size_t size = 0; size < captionFonts.size(); ++size) {
        captionFonts[size].reset(TTF_OpenFont(CAPTION_FONT_PATH, CAPTION_POINTS[size]));
    }
    loadSkin();
}

bool AlbumsPage::isTape() const {
    return SkinArt::isTape(themeId);
}

// The skin's backdrop; its frame and the covers made anew at the two sizes of the skin's cards,
// so that a card at rest is copied without scaling.
void AlbumsPage::loadSkin() {
    background = SkinArt::loadPictureTexture(renderer, SkinArt::backgroundPath(themeId));
    SurfacePtr framePicture = SkinArt::loadPicture(SkinArt::framePath(themeId));
    const SDL_Point frameSize = isTape() ? SDL_Point{TAPE_SHELL_WIDTH, TAPE_SHELL_HEIGHT}
                                         : SDL_Point{RECORD_MASK_SIZE, RECORD_MASK_SIZE};
    const SDL_Point coverSize = isTape() ? SDL_Point{TAPE_COVER_WIDTH, TAPE_COVER_HEIGHT}
                                         : SDL_Point{RECORD_COVER_SIZE, RECORD_COVER_SIZE};
    painter.configure(renderer, framePicture.get(), frameSize,
                      {smallSide(frameSize.x), smallSide(frameSize.y)}, coverSize,
                      static_cast<Uint8>(OTHER_ALPHA));
    if (!background || !painter.hasFrame()) {
        logError(isTape() ? "无法加载磁带主题资源" : "无法加载唱片主题资源");
    }
    covers.configure(renderer, themeId, coverSize.x, coverSize.y, smallSide(coverSize.x),
                     smallSide(coverSize.y));
    buildCardStates();
}

int AlbumsPage::smallSide(int side) {
    return truncated(OTHER_SCALE * static_cast<float>(side));
}

void AlbumsPage::update() {
    if (SkinArt::takeDefaultSkin(services.config, themeId) && renderer) {
        loadSkin();
        notePictureChanged();
    }
    LibraryBrowsePage::update();
    stepCarouselAnimation();
    if (coversToRelease) {
        releaseFarCovers();
    }
    readCoversAhead();
    if (covers.takeReadAhead()) {
        notePictureChanged(); // a card may have shown the default cover until now
    }
}

// Ready once every card on screen has its own cover.
bool AlbumsPage::readyToShow() const {
    for (size_t index : drawingOrder()) {
        if (!covers.isReady(albums[index].coverPath)) {
            return false;
        }
    }
    return true;
}

// Takes the library's albums; the selected album stays selected when the new library still has
// it, otherwise the selection stays at its place inside the new list.
void AlbumsPage::rebuildFromLibrary() {
    std::string selectedName;
    std::string selectedArtist;
    if (selectedIndex < albums.size()) {
        selectedName = albums[selectedIndex].name;
        selectedArtist = albums[selectedIndex].artist;
    }
    albums.clear();
    for (const Album& album : playlist->getAlbums()) {
        albums.push_back({album.name, album.artist, album.coverPath, album.songs.size()});
    }
    auto same = std::find_if(albums.begin(), albums.end(), [&](const AlbumEntry& album) {
        return album.name == selectedName && album.artist == selectedArtist;
    });
    if (same != albums.end()) {
        selectedIndex = static_cast<size_t>(same - albums.begin());
    } else {
        selectedIndex = std::min(selectedIndex, albums.empty() ? 0 : albums.size() - 1);
    }
    covers.clear();
    buildCardStates();
}

void AlbumsPage::setTargets(size_t index, AlbumCardState& card) const {
    bool selected = index == selectedIndex;
    int spacing = isTape() ? TAPE_SPACING : RECORD_SPACING;
    int offset = static_cast<int>(index) - static_cast<int>(selectedIndex);
    card.targetX = static_cast<float>(CENTRE_X + offset * spacing);
    card.targetScale = selected ? SELECTED_SCALE : OTHER_SCALE;
    card.targetAlpha = selected ? SELECTED_ALPHA : OTHER_ALPHA;
}

// Every card at its place at once, without animation.
void AlbumsPage::buildCardStates() {
    cards.assign(albums.size(), AlbumCardState{});
    for (size_t index = 0; index < cards.size(); ++index) {
        AlbumCardState& card = cards[index];
        setTargets(index, card);
        card.x = card.targetX;
        card.scale = card.targetScale;
        card.alpha = card.targetAlpha;
    }
}

void AlbumsPage::startCarouselAnimation() {
    for (size_t index = 0; index < cards.size(); ++index) {
        setTargets(index, cards[index]);
    }
    coversToRelease = true;
}

// Each card eases towards its target, and lands on it once less than a pixel (and less than one
// alpha step) is left: the easing alone would stop a float step short and never rest.
void AlbumsPage::stepCarouselAnimation() {
    bool moved = false;
    auto ease = [&moved](float& current, float target, float landing) {
        if (current == target) {
            return;
        }
        moved = true;
        current = std::fma(target - current, EASING, current);
        if (std::fabs(target - current) < landing) {
            current = target;
        }
    };
    const float scaleLanding =
        1.0f / static_cast<float>(isTape() ? TAPE_SHELL_HEIGHT : RECORD_MASK_SIZE);
    for (AlbumCardState& card : cards) {
        ease(card.scale, card.targetScale, scaleLanding);
        ease(card.alpha, card.targetAlpha, 1.0f);
        ease(card.x, card.targetX, 1.0f);
    }
    if (moved) {
        notePictureChanged();
    }
}

void AlbumsPage::moveSelection(int step) {
    if (albums.empty()) {
        return;
    }
    long last = static_cast<long>(albums.size()) - 1;
    auto target =
        static_cast<size_t>(std::clamp(static_cast<long>(selectedIndex) + step, 0L, last));
    if (target != selectedIndex) {
        selectedIndex = target;
        startCarouselAnimation();
    }
}

// Hands the library's album (with its songs) to the callback.
void AlbumsPage::chooseSelected() {
    if (!playlist || !albumSelectedCallback) {
        return;
    }
    takeLibraryChanges();
    const std::vector<Album>& libraryAlbums = playlist->getAlbums();
    if (selectedIndex >= albums.size() || selectedIndex >= libraryAlbums.size()) {
        return;
    }
    Album chosen = libraryAlbums[selectedIndex];
    albumSelectedCallback(chosen);
}

// Asks for the covers of the neighbourhood, nearest to the selection first, to be read on the
// cover reading thread, so that the cards a move brings on screen are ready without a frame
// reading pictures.
void AlbumsPage::readCoversAhead() {
    for (int distance = 0; distance <= PRELOAD_RADIUS; ++distance) {
        for (int side : {+1, -1}) {
            long index = static_cast<long>(selectedIndex) + side * distance;
            if (index >= 0 && index < static_cast<long>(albums.size())) {
                covers.readAhead(albums[static_cast<size_t>(index)].coverPath);
            }
        }
    }
}

void AlbumsPage::releaseFarCovers() {
    coversToRelease = false;
    std::unordered_set<std::string> wanted;
    size_t first = selectedIndex > RELEASE_RADIUS ? selectedIndex - RELEASE_RADIUS : 0;
    size_t end = std::min(albums.size(), selectedIndex + RELEASE_RADIUS + 1);
    for (size_t index = first; index < end; ++index) {
        wanted.insert(albums[index].coverPath);
    }
    for (size_t index : drawingOrder()) {
        wanted.insert(albums[index].coverPath);
    }
    covers.keepOnly(wanted);
}

float AlbumsPage::cardHalfWidth(const AlbumCardState& card) const {
    int widest = isTape() ? TAPE_SHELL_WIDTH : RECORD_MASK_SIZE;
    return card.scale * static_cast<float>(widest) / 2.0f + 1.0f;
}

std::vector<size_t> AlbumsPage::drawingOrder() const {
    std::vector<size_t> order;
    for (size_t index = 0; index < cards.size(); ++index) {
        float half = cardHalfWidth(cards[index]);
        if (cards[index].x + half > 0.0f && cards[index].x - half < SCREEN_WIDTH) {
            order.push_back(index);
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return cards[a].x < cards[b].x; });
    return order;
}

void AlbumsPage::render() {
    if (!renderer) {
        logError("render: 无效的渲染器");
        return;
    }
    Image::drawFullScreen(renderer, background.get());
    if (albums.empty()) {
        texts.drawCentred(renderer, font, EMPTY_MESSAGE, EMPTY_TEXT, EMPTY_AREA, true);
    } else {
        for (size_t index : drawingOrder()) {
            if (isTape()) {
                drawTapeCard(index);
            } else {
                drawRecordCard(index);
            }
        }
        if (isTape()) {
            drawTapeCaptions();
        } else {
            drawRecordCaptions();
        }
    }
    drawTopBar();
}

void AlbumsPage::drawTapeCard(size_t index) {
    const AlbumCardState& card = cards[index];
    int centre = truncated(card.x);
    int width = truncated(card.scale * TAPE_COVER_WIDTH);
    int height = truncated(card.scale * TAPE_COVER_HEIGHT);
    SDL_Rect cover{centre - width / 2, TAPE_COVER_TOP + (TAPE_COVER_HEIGHT - height) / 2, width,
                   height};
    int shellWidth = truncated(card.scale * TAPE_SHELL_WIDTH);
    int shellHeight = truncated(card.scale * TAPE_SHELL_HEIGHT);
    SDL_Rect shell{centre - shellWidth / 2, cover.y - (shellHeight - height) / 2, shellWidth,
                   shellHeight};
    drawCard(albums[index].coverPath, cover, shell, alphaOf(card));
}

void AlbumsPage::drawRecordCard(size_t index) {
    const AlbumCardState& card = cards[index];
    int centre = truncated(card.x);
    int size = truncated(card.scale * RECORD_COVER_SIZE);
    SDL_Rect cover{centre - size / 2, RECORD_COVER_TOP + (RECORD_COVER_SIZE - size) / 2, size,
                   size};
    int maskSize = truncated(card.scale * RECORD_MASK_SIZE);
    SDL_Rect mask{centre - maskSize / 2, RECORD_MASK_TOP + (RECORD_MASK_SIZE - maskSize) / 2,
                  maskSize, maskSize};
    drawCard(albums[index].coverPath, cover, mask, alphaOf(card));
}

void AlbumsPage::drawCard(const std::string& coverPath, const SDL_Rect& cover,
                          const SDL_Rect& frameArea, Uint8 alpha) {
    SDL_Texture* large = covers.get(coverPath);
    painter.drawCover(atSize(large, covers.getSmall(coverPath), cover), cover, alpha);
    painter.drawFrame(frameArea, alpha);
}

void AlbumsPage::drawTapeCaptions() {
    const AlbumEntry& album = albums[selectedIndex];
    drawCaption(album.name, TAPE_NAME_AREA, LARGE);
    drawCaption(album.artist, TAPE_ARTIST_AREA, SMALL);
}

// Under the selected record, following it while it slides.
void AlbumsPage::drawRecordCaptions() {
    const AlbumEntry& album = albums[selectedIndex];
    const AlbumCardState& card = cards[selectedIndex];
    int centre = truncated(card.x);
    int size = truncated(card.scale * RECORD_COVER_SIZE);
    int top = RECORD_COVER_TOP + (RECORD_COVER_SIZE - size) / 2 + size + RECORD_CAPTION_GAP;
    int left = centre - RECORD_CAPTION_WIDTH / 2;
    // Each line is as high as its font's line (a box of height 0), which keeps the name clear
    // of the info line.
    drawCaption(album.name, {left, top, RECORD_CAPTION_WIDTH, 0}, LARGE);
    std::string info =
        album.artist + RECORD_INFO_SEPARATOR + std::to_string(album.songCount) + SONGS_SUFFIX;
    drawCaption(info, {left, top + RECORD_INFO_OFFSET, RECORD_CAPTION_WIDTH, 0}, SMALL);
}

void AlbumsPage::drawCaption(const std::string& text, const SDL_Rect& area, CaptionSize size) {
    TTF_Font* captionFont = captionFonts[size] ? captionFonts[size].get() : font;
    texts.drawInBox(renderer, captionFont, text, CAPTION_COLORS[size], area, TextAlign::CENTRE);
}
