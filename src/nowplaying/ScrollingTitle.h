#pragma once

#include <SDL_ttf.h>

#include <cstdint>
#include <string>

// A title too wide for its window moves left by one pixel every STEP_MS and starts over without
// a gap; a title that fits stands still.
class ScrollingTitle {
public:
    static constexpr int WINDOW_WIDTH = 222;
    static constexpr uint64_t STEP_MS = 50;
    // The offset is brought back into one turn once it passes this.
    static constexpr float OFFSET_LIMIT = 10000.0f;
    static constexpr int WRAP_MARGIN = 10;

    // A new title (measured width in pixels): the offset starts again at 0.
    void setText(const std::string& newText, int newWidth, uint64_t now);
    void advance(uint64_t now);

    const std::string& getText() const { return text; }
    bool scrolls() const { return width > WINDOW_WIDTH; }
    float getOffset() const { return offset; }

    // The width of text in font as the title is measured: glyph by glyph, one pixel between
    // glyphs, one less between two glyphs wider together than the font is high.
    static int measureWidth(TTF_Font* font, const std::string& text);

private:
    std::string text;
    int width = 0;
    float offset = 0.0f;
    uint64_t lastStep = 0;
};
