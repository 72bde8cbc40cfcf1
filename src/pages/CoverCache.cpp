#include "pages/CoverCache.h"

#include "core/Log.h"
#include "ui/SkinArt.h"

#include <algorithm>

namespace {

// A cover is read at no more than this many times its largest drawn side, so that only the
// reading thread ever holds a large picture.
constexpr int READ_SIZE_FACTOR = 2;

} // namespace

CoverCache::CoverCache() : reader([this] { readWaitingCovers(); }) {
}

CoverCache::~CoverCache() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    reader.join();
}

void CoverCache::configure(SDL_Renderer* newRenderer, int newThemeId, int newWidth, int newHeight,
                           int newSmallWidth, int newSmallHeight) {
    clear();
    std::lock_guard<std::mutex> lock(mutex);
    renderer = newRenderer;
    themeId = newThemeId;
    sizes = {newWidth, newHeight, newSmallWidth, newSmallHeight};
}

void CoverCache::clear() {
    covers.clear();
    asked.clear();
    fallback = {};
    fallbackTried = false;
    std::lock_guard<std::mutex> lock(mutex);
    ++configuration;
    waiting.clear();
    readCovers.clear();
}

SDL_Texture* CoverCache::get(const std::string& path) {
    return texturesOf(path).large.get();
}

SDL_Texture* CoverCache::getSmall(const std::string& path) {
    return texturesOf(path).small.get();
}

const CoverCache::Textures& CoverCache::texturesOf(const std::string& path) {
    auto found = covers.find(path);
    if (found == covers.end()) {
        readAhead(path);
        return defaultCover();
    }
    return found->second.large ? found->second : defaultCover();
}

CoverCache::Textures CoverCache::make(SDL_Surface* picture) const {
    return texturesFrom(scaled(picture, sizes));
}

CoverCache::Textures CoverCache::texturesFrom(const Pictures& pictures) const {
    Textures textures;
    if (pictures.large) {
        textures.large = SkinArt::screenTexture(renderer, pictures.large.get());
    }
    if (pictures.small) {
        textures.small = SkinArt::screenTexture(renderer, pictures.small.get());
    }
    return textures;
}

CoverCache::Pictures CoverCache::read(const std::string& path, const Sizes& sizes) {
    const int limit = READ_SIZE_FACTOR * std::max(sizes.width, sizes.height);
    SurfacePtr picture = SkinArt::shrinkToFit(SkinArt::loadSongCover(path), limit, limit);
    return scaled(picture.get(), sizes);
}

CoverCache::Pictures CoverCache::scaled(SDL_Surface* picture, const Sizes& sizes) {
    Pictures pictures;
    if (!picture) {
        return pictures;
    }
    pictures.large = SkinArt::coverSurface(picture, sizes.width, sizes.height);
    if (sizes.smallWidth > 0 && sizes.smallHeight > 0) {
        pictures.small = SkinArt::coverSurface(picture, sizes.smallWidth, sizes.smallHeight);
    }
    return pictures;
}

void CoverCache::readAhead(const std::string& path) {
    if (path.empty() || contains(path) || !asked.insert(path).second) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        waiting.push_back({path, sizes, configuration});
    }
    wake.notify_one();
}

bool CoverCache::takeReadAhead() {
    std::pair<std::string, Pictures> cover;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (readCovers.empty()) {
            return false;
        }
        cover = std::move(readCovers.back());
        readCovers.pop_back();
    }
    if (asked.erase(cover.first) == 0 || contains(cover.first)) {
        return false;
    }
    covers.emplace(cover.first, texturesFrom(cover.second));
    return true;
}

void CoverCache::keepOnly(const std::unordered_set<std::string>& wanted) {
    for (auto entry = covers.begin(); entry != covers.end();) {
        entry = wanted.count(entry->first) ? std::next(entry) : covers.erase(entry);
    }
    std::unordered_set<std::string> unwanted;
    for (auto entry = asked.begin(); entry != asked.end();) {
        if (wanted.count(*entry)) {
            ++entry;
        } else {
            unwanted.insert(*entry);
            entry = asked.erase(entry);
        }
    }
    if (!unwanted.empty()) {
        stopReading(unwanted);
    }
}

// Drops the paths from the reading thread's queue: their covers are no longer needed.
void CoverCache::stopReading(const std::unordered_set<std::string>& paths) {
    std::lock_guard<std::mutex> lock(mutex);
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [&](const Reading& reading) { return paths.count(reading.path); }),
                  waiting.end());
}

const CoverCache::Textures& CoverCache::defaultCover() {
    if (!fallbackTried) {
        fallbackTried = true;
        SurfacePtr picture = SkinArt::loadPicture(SkinArt::defaultCoverPath(themeId));
        if (!picture) {
            logError(std::string("无法加载默认封面: ") + SDL_GetError());
        }
        fallback = make(picture.get());
    }
    return fallback;
}

void CoverCache::readWaitingCovers() {
    SdlThreadCleanup sdlThread;
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
        wake.wait(lock, [this] { return stopping || !waiting.empty(); });
        if (stopping) {
            return;
        }
        Reading next = waiting.front();
        waiting.pop_front();
        lock.unlock();
        Pictures pictures = read(next.path, next.sizes);
        lock.lock();
        if (next.configuration == configuration) {
            readCovers.emplace_back(next.path, std::move(pictures));
        }
    }
}
