#pragma once

#include "core/SdlHandles.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// A rendered piece of text. The texture belongs to the cache that made it.
struct TextImage {
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
};

// Where a text sits across the box it is drawn in.
enum class TextAlign { LEFT, CENTRE, RIGHT };

// Renders UTF-8 text (blended, optionally wrapped) into textures and keeps the most recently
// used ones, so an unchanged label costs a lookup per frame instead of a rasterisation. A new
// text, colour or font is a new entry, so a change is drawn at once.
class TextCache {
public:
    static constexpr double SMALLEST_SHRINK = 0.5;

    explicit TextCache(size_t capacity = 64);

    // The text rendered with the font and colour; wrapWidth > 0 wraps at that width. An empty
    // text or a rendering failure gives an image without texture.
    TextImage get(SDL_Renderer* renderer, TTF_Font* font, const std::string& text, SDL_Color color,
                  int wrapWidth = 0);

    // The text on one line no wider than maxWidth: a longer text is cut after the last whole
    // character that leaves room for an ellipsis, which ends it.
    TextImage getFitting(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                         SDL_Color color, int maxWidth);

    // Draws the text inside box and nowhere else: a text wider than the box ends in an ellipsis
    // (getFitting), placed across by align, at the top of the box or, when middle is true,
    // centred in its height. A box of height 0 is one line of the text high.
    TextImage drawInBox(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                        SDL_Color color, const SDL_Rect& box, TextAlign align = TextAlign::LEFT,
                        bool middle = false);

    // Draws the text inside box, made smaller (proportions kept) when it is larger than the box,
    // down to SMALLEST_SHRINK of its size, beyond which it also ends in an ellipsis: centred in
    // the box's height and placed across by align.
    TextImage drawShrunkInBox(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                              SDL_Color color, const SDL_Rect& box,
                              TextAlign align = TextAlign::CENTRE);

    // Draws the text at its natural size with its top-left corner at (x, y).
    TextImage draw(SDL_Renderer* renderer, TTF_Font* font, const std::string& text, SDL_Color color,
                   int x, int y);

    // Draws the text centred horizontally in area, at its top, or also centred vertically
    // when middle is true.
    TextImage drawCentred(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                          SDL_Color color, const SDL_Rect& area, bool middle = false);

    void clear();

private:
    struct Entry {
        TexturePtr texture;
        int width = 0;
        int height = 0;
        uint64_t lastUse = 0;
    };

    TextImage remember(std::string key, SDL_Texture* texture, int width, int height);
    TextImage render(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                     SDL_Color color, int wrapWidth, std::string key);
    static std::string makeKey(TTF_Font* font, const std::string& text, SDL_Color color,
                               int wrapWidth);
    void evictLeastRecentlyUsed();

    size_t capacity;
    uint64_t useCounter = 0;
    std::unordered_map<std::string, Entry> entries;
};
