#include "pages/CoverCache.h"

#include "core/Log.h"
#include "ui/SkinArt.h"

void CoverCache::configure(SDL_Renderer* newRenderer, int newThemeId, int newWidth, int newHeight) {
    renderer = newRenderer;
    themeId = newThemeId;
    width = newWidth;
    height = newHeight;
    clear();
}

void CoverCache::clear() {
    covers.clear();
    fallback.reset();
    fallbackTried = false;
}

SDL_Texture* CoverCache::get(const std::string& path) {
    auto found = covers.find(path);
    if (found == covers.end()) {
        SurfacePtr picture = path.empty() ? nullptr : SkinArt::loadSongCover(path);
        TexturePtr texture = SkinArt::coverTexture(renderer, picture.get(), width, height);
        found = covers.emplace(path, std::move(texture)).first;
    }
    return found->second ? found->second.get() : defaultCover();
}

void CoverCache::keepOnly(const std::unordered_set<std::string>& wanted) {
    for (auto entry = covers.begin(); entry != covers.end();) {
        entry = wanted.count(entry->first) ? std::next(entry) : covers.erase(entry);
    }
}

SDL_Texture* CoverCache::defaultCover() {
    if (!fallbackTried) {
        fallbackTried = true;
        SurfacePtr picture = SkinArt::loadPicture(SkinArt::defaultCoverPath(themeId));
        if (!picture) {
            logError(std::string("无法加载默认封面: ") + SDL_GetError());
        }
        fallback = SkinArt::coverTexture(renderer, picture.get(), width, height);
    }
    return fallback.get();
}
