#include "ui/ListView.h"

#include "ui/Draw.h"

#include <algorithm>

ListView::ListView(const ListRowStyle& rows, const ScrollBarStyle& bar) : rows(rows), bar(bar) {
}

void ListView::drawRows(SDL_Renderer* renderer, TTF_Font* font, const ListSelection& selection,
                        int count, const std::function<ListRow(int, bool)>& rowAt) {
    if (!renderer) {
        return;
    }
    for (int i = std::max(0, selection.scrollOffset); i < selection.visibleEnd(count); ++i) {
        int y = rows.firstRowTop + (i - selection.scrollOffset) * rows.rowHeight;
        bool selected = i == selection.selectedIndex;
        if (selected) {
            Draw::fillRect(renderer, {rows.markerX, y, rows.markerWidth, rows.rowHeight},
                           MARKER_COLOR);
            Draw::fillRect(renderer, {rows.highlightX, y, rows.highlightWidth, rows.rowHeight},
                           HIGHLIGHT_COLOR);
        }
        ListRow row = rowAt(i, selected);
        if (row.icon) {
            SDL_Rect iconArea{rows.iconX, y + rows.iconOffsetY, rows.iconSize, rows.iconSize};
            SDL_RenderCopy(renderer, row.icon, nullptr, &iconArea);
        }
        texts.drawInBox(
            renderer, font, row.text, selected ? rows.selectedTextColor : rows.textColor,
            {rows.textX, y, textRight() - rows.textX, rows.rowHeight}, TextAlign::LEFT, true);
    }
}

// The row's text ends a margin before the highlight's end, or before the scroll bar or whatever
// else begins within the row.
int ListView::textRight() const {
    int right = rows.highlightX + rows.highlightWidth;
    for (int limit : {bar.track.x, rows.textLimit}) {
        if (limit > rows.textX) {
            right = std::min(right, limit);
        }
    }
    return right - TEXT_MARGIN;
}

void ListView::drawScrollBar(SDL_Renderer* renderer, const ListSelection& selection,
                             int count) const {
    if (!renderer || count <= selection.visibleItems) {
        return;
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    if (bar.drawTrack) {
        Draw::fillRect(renderer, bar.track, bar.trackColor);
    }
    Draw::fillRect(renderer,
                   thumbRect(bar.track, count, selection.visibleItems, selection.scrollOffset,
                             bar.minThumbHeight),
                   bar.thumbColor);
}

SDL_Rect ListView::thumbRect(const SDL_Rect& track, int count, int visibleItems, int scrollOffset,
                             int minThumbHeight) {
    int height = static_cast<int>(static_cast<double>(track.h) * visibleItems / count);
    height = std::min(track.h, std::max(minThumbHeight, height));
    int top = track.y + static_cast<int>(static_cast<double>(track.h - height) * scrollOffset /
                                         std::max(1, count - visibleItems));
    return {track.x, top, track.w, height};
}
