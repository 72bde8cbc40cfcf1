#include "ui/TextCache.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* ELLIPSIS = "\u2026";

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Where each character of the UTF-8 text begins.
std::vector<size_t> characterStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i])) {
            starts.push_back(i);
        }
    }
    return starts;
}

int widthOf(TTF_Font* font, const std::string& text) {
    int width = 0;
    return TTF_SizeUTF8(font, text.c_str(), &width, nullptr) == 0 ? width : 0;
}

// The first count characters of the text, without the spaces they end in, and an ellipsis.
std::string shortened(const std::string& text, const std::vector<size_t>& starts, size_t count) {
    std::string kept = text.substr(0, count < starts.size() ? starts[count] : text.size());
    kept.erase(kept.find_last_not_of(' ') + 1);
    return kept + ELLIPSIS;
}

// The longest shortened text that is at most maxWidth wide (the ellipsis alone when none is).
std::string ellipsized(TTF_Font* font, const std::string& text, int maxWidth) {
    std::vector<size_t> starts = characterStarts(text);
    size_t fits = 0;
    size_t tooMany = starts.size();
    while (tooMany - fits > 1) {
        size_t middle = (fits + tooMany) / 2;
        if (widthOf(font, shortened(text, starts, middle)) <= maxWidth) {
            fits = middle;
        } else {
            tooMany = middle;
        }
    }
    return shortened(text, starts, fits);
}

} // namespace

TextCache::TextCache(size_t capacity) : capacity(capacity) {
}

std::string TextCache::makeKey(TTF_Font* font, const std::string& text, SDL_Color color,
                               int wrapWidth) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%p:%02x%02x%02x%02x:%d:", static_cast<void*>(font),
                  color.r, color.g, color.b, color.a, wrapWidth);
    return prefix + text;
}

TextImage TextCache::get(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                         SDL_Color color, int wrapWidth) {
    if (!renderer || !font || text.empty()) {
        return {};
    }
    std::string key = makeKey(font, text, color, wrapWidth);
    auto found = entries.find(key);
    if (found != entries.end()) {
        found->second.lastUse = ++useCounter;
        return {found->second.texture.get(), found->second.width, found->second.height};
    }
    return render(renderer, font, text, color, wrapWidth, std::move(key));
}

// A negative width in the key stands for "fitted to that width", beside the wrapped texts.
TextImage TextCache::getFitting(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                                SDL_Color color, int maxWidth) {
    if (!renderer || !font || text.empty()) {
        return {};
    }
    maxWidth = std::max(1, maxWidth);
    std::string key = makeKey(font, text, color, -maxWidth);
    auto found = entries.find(key);
    if (found != entries.end()) {
        found->second.lastUse = ++useCounter;
        return {found->second.texture.get(), found->second.width, found->second.height};
    }
    bool fits = widthOf(font, text) <= maxWidth;
    return render(renderer, font, fits ? text : ellipsized(font, text, maxWidth), color, 0,
                  std::move(key));
}

TextImage TextCache::render(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                            SDL_Color color, int wrapWidth, std::string key) {
    SurfacePtr surface(wrapWidth > 0
                           ? TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), color, wrapWidth)
                           : TTF_RenderUTF8_Blended(font, text.c_str(), color));
    if (!surface) {
        return {};
    }
    TexturePtr texture(SDL_CreateTextureFromSurface(renderer, surface.get()));
    if (!texture) {
        return {};
    }
    if (entries.size() >= capacity) {
        evictLeastRecentlyUsed();
    }
    Entry& entry = entries[std::move(key)];
    entry = Entry{std::move(texture), surface->w, surface->h, ++useCounter};
    return {entry.texture.get(), entry.width, entry.height};
}

TextImage TextCache::drawInBox(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                               SDL_Color color, const SDL_Rect& box, TextAlign align, bool middle) {
    TextImage image = getFitting(renderer, font, text, color, box.w);
    if (!image.texture) {
        return image;
    }
    SDL_Rect clip{box.x, box.y, box.w, box.h > 0 ? box.h : image.height};
    int x = box.x;
    if (align == TextAlign::CENTRE) {
        x += (box.w - image.width) / 2;
    } else if (align == TextAlign::RIGHT) {
        x += box.w - image.width;
    }
    int y = middle ? clip.y + (clip.h - image.height) / 2 : clip.y;
    SDL_Rect placed{x, y, image.width, image.height};
    SDL_Rect shown;
    if (SDL_IntersectRect(&placed, &clip, &shown)) {
        SDL_Rect part{shown.x - placed.x, shown.y - placed.y, shown.w, shown.h};
        SDL_RenderCopy(renderer, image.texture, &part, &shown);
    }
    return image;
}

TextImage TextCache::drawShrunkInBox(SDL_Renderer* renderer, TTF_Font* font,
                                     const std::string& text, SDL_Color color, const SDL_Rect& box,
                                     TextAlign align) {
    TextImage image =
        getFitting(renderer, font, text, color, static_cast<int>(box.w / SMALLEST_SHRINK));
    if (!image.texture || image.width <= 0 || image.height <= 0) {
        return image;
    }
    double scale = std::min(
        {1.0, static_cast<double>(box.w) / image.width, static_cast<double>(box.h) / image.height});
    int width = static_cast<int>(image.width * scale);
    int height = static_cast<int>(image.height * scale);
    int x = box.x;
    if (align == TextAlign::CENTRE) {
        x += (box.w - width) / 2;
    } else if (align == TextAlign::RIGHT) {
        x += box.w - width;
    }
    SDL_Rect place{x, box.y + (box.h - height) / 2, width, height};
    if (scale < 1.0) {
        SDL_SetTextureScaleMode(image.texture, SDL_ScaleModeLinear);
    }
    SDL_RenderCopy(renderer, image.texture, nullptr, &place);
    return image;
}

TextImage TextCache::draw(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                          SDL_Color color, int x, int y) {
    TextImage image = get(renderer, font, text, color);
    if (image.texture) {
        SDL_Rect destination{x, y, image.width, image.height};
        SDL_RenderCopy(renderer, image.texture, nullptr, &destination);
    }
    return image;
}

TextImage TextCache::drawCentred(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                                 SDL_Color color, const SDL_Rect& area, bool middle) {
    TextImage image = get(renderer, font, text, color);
    if (image.texture) {
        int top = middle ? area.y + (area.h - image.height) / 2 : area.y;
        SDL_Rect destination{area.x + (area.w - image.width) / 2, top, image.width, image.height};
        SDL_RenderCopy(renderer, image.texture, nullptr, &destination);
    }
    return image;
}

void TextCache::clear() {
    entries.clear();
}

void TextCache::evictLeastRecentlyUsed() {
    auto oldest = entries.begin();
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        if (entry->second.lastUse < oldest->second.lastUse) {
            oldest = entry;
        }
    }
    if (oldest != entries.end()) {
        entries.erase(oldest);
    }
}
