#include "nowplaying/ScrollingTitle.h"

#include <cmath>

namespace {

// The length of the UTF-8 sequence that starts with lead; a stray byte counts as one character.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// The code point of the sequence at text[at], length bytes long (cut short at the end).
Uint32 codePoint(const std::string& text, size_t at, size_t length) {
    static constexpr unsigned char LEAD_MASKS[] = {0x7F, 0x7F, 0x1F, 0x0F, 0x07};
    static constexpr unsigned char CONTINUATION_MASK = 0x3F;
    static constexpr int CONTINUATION_BITS = 6;
    Uint32 value = static_cast<unsigned char>(text[at]) & LEAD_MASKS[length];
    for (size_t i = 1; i < length && at + i < text.size(); ++i) {
        value = (value << CONTINUATION_BITS) |
                (static_cast<unsigned char>(text[at + i]) & CONTINUATION_MASK);
    }
    return value;
}

int glyphWidth(TTF_Font* font, Uint32 character) {
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (!TTF_GlyphIsProvided32(font, character) ||
        TTF_GlyphMetrics32(font, character, &minX, &maxX, &minY, &maxY, &advance) != 0) {
        return TTF_FontHeight(font) / 2;
    }
    return maxX - minX;
}

} // namespace

void ScrollingTitle::setText(const std::string& newText, int newWidth, uint64_t now) {
    text = newText;
    width = newWidth;
    offset = 0.0f;
    lastStep = now;
}

void ScrollingTitle::advance(uint64_t now) {
    if (!scrolls() || now < lastStep + STEP_MS) {
        return;
    }
    offset += 1.0f;
    lastStep = now;
    if (offset > OFFSET_LIMIT) {
        offset = std::fmod(offset, static_cast<float>(width + WRAP_MARGIN));
    }
}

int ScrollingTitle::measureWidth(TTF_Font* font, const std::string& text) {
    if (!font) {
        return 0;
    }
    int height = TTF_FontHeight(font);
    int total = 0;
    int previous = -1;
    for (size_t at = 0; at < text.size();) {
        size_t length = sequenceLength(static_cast<unsigned char>(text[at]));
        int current = glyphWidth(font, codePoint(text, at, length));
        total += current + 1;
        if (previous >= 0 && previous + current > height) {
            total -= 1;
        }
        previous = current;
        at += length;
    }
    return total;
}
