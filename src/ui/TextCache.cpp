#include "ui/TextCache.h"

#include <cstdio>

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
    if (found == entries.end()) {
        SurfacePtr surface(
            wrapWidth > 0 ? TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), color, wrapWidth)
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
        Entry entry{std::move(texture), surface->w, surface->h, 0};
        found = entries.emplace(std::move(key), std::move(entry)).first;
    }
    found->second.lastUse = ++useCounter;
    return {found->second.texture.get(), found->second.width, found->second.height};
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
