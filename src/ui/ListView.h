#pragma once

#include "ui/ListSelection.h"
#include "ui/TextCache.h"

#include <functional>
#include <string>

// Where a list page draws its rows: a red marker and a dark bar behind the selected row, an
// icon, then the row's text vertically centred; a text too long for the row ends in an ellipsis.
struct ListRowStyle {
    int firstRowTop = 30;
    int rowHeight = 55;
    int markerX = 0;
    int markerWidth = 10;
    int highlightX = 10;
    int highlightWidth = 630;
    int iconX = 20;
    int iconOffsetY = 11;
    int iconSize = 32;
    int textX = 70;
    int textLimit = 0; // where something else begins beside the rows; 0 when nothing does
    SDL_Color selectedTextColor{255, 255, 255, 255};
    SDL_Color textColor{128, 128, 128, 255};
};

// A vertical scroll bar: a thumb inside a track, optionally with the track drawn.
struct ScrollBarStyle {
    SDL_Rect track{634, 35, 4, 440};
    SDL_Color thumbColor{128, 128, 128, 128};
    int minThumbHeight = 0;
    bool drawTrack = false;
    SDL_Color trackColor{0, 0, 0, 0};
};

// What one row shows.
struct ListRow {
    SDL_Texture* icon = nullptr;
    std::string text;
};

// Draws the visible rows of a list and its scroll bar in a page's own style.
class ListView {
public:
    static constexpr SDL_Color MARKER_COLOR{255, 0, 0, 255};
    static constexpr SDL_Color HIGHLIGHT_COLOR{40, 40, 40, 255};
    static constexpr int TEXT_MARGIN = 10;

    explicit ListView(const ListRowStyle& rows = {}, const ScrollBarStyle& bar = {});

    // Draws rows scrollOffset .. scrollOffset + visibleItems - 1 (those that exist); rowAt gives
    // the content of row index i, knowing whether it is the selected one.
    void drawRows(SDL_Renderer* renderer, TTF_Font* font, const ListSelection& selection, int count,
                  const std::function<ListRow(int index, bool selected)>& rowAt);

    // Draws the scroll bar when the list has more rows than fit.
    void drawScrollBar(SDL_Renderer* renderer, const ListSelection& selection, int count) const;

    // The thumb: height track × visible / count (at least the minimum), placed so that it
    // runs from the top of the track at the first row to the bottom at the last.
    static SDL_Rect thumbRect(const SDL_Rect& track, int count, int visibleItems, int scrollOffset,
                              int minThumbHeight);

    ListRowStyle& rowStyle() { return rows; }
    ScrollBarStyle& scrollBarStyle() { return bar; }

private:
    int textRight() const;

    ListRowStyle rows;
    ScrollBarStyle bar;
    TextCache texts{48};
};
