#include "pages/CoverDetailPage.h"

#include "core/Log.h"
#include "settings/Config.h"
#include "settings/ThemeManager.h"
#include "ui/Image.h"
#include "ui/SkinArt.h"

namespace {

constexpr int LIST_BOTTOM_MARGIN = 10;
constexpr SDL_Rect PAGE_BOUNDS = UIBase::contentAreaAbove(LIST_BOTTOM_MARGIN);
constexpr int LIST_INSET = 5;
constexpr int COVER_PANEL_WIDTH = 210; // from the right edge: where the scroll bar runs
constexpr int SCROLL_BAR_WIDTH = 3;
constexpr int SCROLL_THUMB_MIN_HEIGHT = 30;
constexpr SDL_Color SCROLL_THUMB{180, 180, 180, 255};

// The list takes the left of the page, beside the cover panel.
ListRowStyle detailRows(int highlightWidth) {
    ListRowStyle style;
    style.firstRowTop = PAGE_BOUNDS.y;
    style.markerX = PAGE_BOUNDS.x + LIST_INSET;
    style.highlightX = style.markerX + style.markerWidth;
    style.highlightWidth = highlightWidth;
    style.iconX = PAGE_BOUNDS.x + 25;
    style.textX = PAGE_BOUNDS.x + 75;
    return style;
}

ScrollBarStyle detailScrollBar() {
    ScrollBarStyle style;
    style.track = {PAGE_BOUNDS.x + PAGE_BOUNDS.w - COVER_PANEL_WIDTH, PAGE_BOUNDS.y + LIST_INSET,
                   SCROLL_BAR_WIDTH, PAGE_BOUNDS.h};
    style.thumbColor = SCROLL_THUMB;
    style.minThumbHeight = SCROLL_THUMB_MIN_HEIGHT;
    return style;
}

// Where the cover and the frame over it are drawn: the tape skin shows a cassette insert in its
// shell, the record skin a square cover under the record mask.
constexpr SDL_Rect TAPE_COVER{431, 48, 182, 286};
constexpr SDL_Rect TAPE_FRAME{401, 30, 238, 326};
constexpr SDL_Rect RECORD_COVER{431, 48, 182, 182};
constexpr SDL_Rect RECORD_FRAME{419, 38, 210, 210};
constexpr int RECORD_CAPTION_LIFT = 100;
constexpr const char* CAPTION_FONT_PATH = "resources/font.ttf";

} // namespace

CoverDetailPage::CoverDetailPage(const PageServices& services, PlayList* playlist, Player* player,
                                 Page listPage, ListShape shape, CaptionStyle title,
                                 CaptionStyle subtitle)
    : SongListPage(services, playlist, player, nullptr, listPage, detailRows(shape.highlightWidth),
                   detailScrollBar()),
      themeId(services.config.getDefaultThemeId()),
      showsScrollBar(shape.scrollBar), captionStyles{title, subtitle} {
}

CoverDetailPage::~CoverDetailPage() = default;

void CoverDetailPage::init(SDL_Renderer* newRenderer, TTF_Font* newFont) {
    if (!newRenderer || !newFont) {
        logError("初始化失败：无效的渲染器或字体");
        return;
    }
    initListPage(newRenderer, newFont, PAGE_BOUNDS);
    background.load(renderer);
    songIcon = Image::loadTextureOrReport(renderer, "icons/song.png", "无法加载歌曲图标: ");
    selectedSongIcon =
        Image::loadTextureOrReport(renderer, "icons/song_l.png", "无法加载选中歌曲图标: ");
    for (size_t line = 0; line < captionFonts.size(); ++line) {
        captionFonts[line].reset(TTF_OpenFont(CAPTION_FONT_PATH, captionStyles[line].points));
    }
    loadSkin();
}

void CoverDetailPage::loadSkin() {
    bool tape = SkinArt::isTape(themeId);
    const SDL_Rect& coverArea = tape ? TAPE_COVER : RECORD_COVER;
    const SDL_Rect& frameArea = tape ? TAPE_FRAME : RECORD_FRAME;
    cover.configure(renderer, themeId, coverArea.w, coverArea.h);
    listView.rowStyle().textLimit = frameArea.x;
    SurfacePtr picture = SkinArt::loadPicture(SkinArt::framePath(themeId));
    frame = SkinArt::scaledTexture(renderer, picture.get(), frameArea.w, frameArea.h);
    if (!frame) {
        logError(std::string("无法加载遮盖图: ") + SDL_GetError());
    }
}

void CoverDetailPage::showDetail(std::vector<Song> newSongs, const std::string& newCoverPath,
                                 std::string newTitle, std::string newSubtitle) {
    list.reset();
    showSongs(std::move(newSongs));
    coverPath = newCoverPath;
    cover.keepOnly({coverPath});
    title = std::move(newTitle);
    subtitle = std::move(newSubtitle);
}

void CoverDetailPage::update() {
    SongListPage::update();
    if (SkinArt::takeDefaultSkin(services.config, themeId) && renderer) {
        loadSkin();
        notePictureChanged();
    }
}

void CoverDetailPage::render() {
    if (!renderer) {
        return;
    }
    background.setFallback(services.themes.getCurrentColors().background);
    background.draw(renderer);
    drawTopBar();
    drawSongRows([this](const Song&, bool selected) {
        return selected ? selectedSongIcon.get() : songIcon.get();
    });
    if (showsScrollBar && isScrollBarShown()) {
        drawScrollBar();
    }
    drawCoverPanel();
}

void CoverDetailPage::drawCoverPanel() {
    bool tape = SkinArt::isTape(themeId);
    if (SDL_Texture* picture = cover.get(coverPath)) {
        SDL_SetTextureAlphaMod(picture, SDL_ALPHA_OPAQUE);
        SDL_RenderCopy(renderer, picture, nullptr, tape ? &TAPE_COVER : &RECORD_COVER);
    }
    if (frame) {
        SDL_RenderCopy(renderer, frame.get(), nullptr, tape ? &TAPE_FRAME : &RECORD_FRAME);
    }
    drawCaption(title, captionStyles[0], captionFonts[0].get());
    drawCaption(subtitle, captionStyles[1], captionFonts[1].get());
}

void CoverDetailPage::drawCaption(const std::string& text, const CaptionStyle& style,
                                  TTF_Font* captionFont) {
    int top = style.tapeTop - (SkinArt::isTape(themeId) ? 0 : RECORD_CAPTION_LIFT);
    texts.drawInBox(renderer, captionFont ? captionFont : font, text, style.color,
                    {style.left, top, style.width, 0}, TextAlign::CENTRE);
}
