#pragma once

#include "core/SdlHandles.h"
#include "pages/CoverCache.h"
#include "pages/SongListPage.h"
#include "ui/TextCache.h"

#include <array>
#include <string>
#include <vector>

// The songs of one album or one artist on the left, played from this list, and on the right
// the cover in the current skin's frame with two lines of text under it. The cover and the frame
// are scaled once for each cover and skin, not every frame.
class CoverDetailPage : public SongListPage {
public:
    ~CoverDetailPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void update() override;
    void render() override;

    // How one line of text under the cover is drawn: its font size, colour, the span it is
    // centred in and its top in the tape skin (the record skin lifts both lines).
    struct CaptionStyle {
        int points;
        SDL_Color color;
        int left;
        int width;
        int tapeTop;
    };

    // The list's highlight width, and whether the list shows a scroll bar after a move.
    struct ListShape {
        int highlightWidth;
        bool scrollBar;
    };

protected:
    CoverDetailPage(const PageServices& services, PlayList* playlist, Player* player, Page listPage,
                    ListShape shape, CaptionStyle title, CaptionStyle subtitle);

    // Lists the songs from the first row and shows the cover at coverPath with the two lines.
    void showDetail(std::vector<Song> newSongs, const std::string& newCoverPath,
                    std::string newTitle, std::string newSubtitle);

private:
    void loadSkin();
    void drawCoverPanel();
    void drawCaption(const std::string& text, const CaptionStyle& style, TTF_Font* captionFont);

    int themeId;
    bool showsScrollBar;
    CoverCache cover;
    std::string coverPath;
    TexturePtr frame;
    std::array<CaptionStyle, 2> captionStyles;
    std::array<FontPtr, 2> captionFonts;
    std::string title;
    std::string subtitle;
    TextCache texts{8};
    TexturePtr songIcon;
    TexturePtr selectedSongIcon;
};
