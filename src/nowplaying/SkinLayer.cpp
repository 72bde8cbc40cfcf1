#include "nowplaying/SkinLayer.h"

#include "core/Log.h"
#include "nowplaying/SkinPictures.h"
#include "ui/Image.h"
#include "ui/ThemeAssetCodec.h"

#include <utility>

namespace {

constexpr Uint32 ALPHA_SHIFT = 24; // of SDL_PIXELFORMAT_ARGB8888
constexpr Uint32 OPAQUE_ALPHA = 0xFF;
// Empty stretches narrower than this do not split a picture: a piece costs a draw call.
constexpr int SMALLEST_GAP = 16;

// The alpha of each pixel of a picture, row by row.
class AlphaMap {
public:
    explicit AlphaMap(SDL_Surface& picture)
        : pixels(SDL_ConvertSurfaceFormat(&picture, SDL_PIXELFORMAT_ARGB8888, 0)) {}

    bool isValid() const { return pixels != nullptr; }
    Uint32 alpha(int x, int y) const {
        const auto* row = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(pixels->pixels) + y * pixels->pitch);
        return row[x] >> ALPHA_SHIFT;
    }

    bool rowVisible(int y, int left, int right) const {
        for (int x = left; x < right; ++x) {
            if (alpha(x, y)) {
                return true;
            }
        }
        return false;
    }
    bool columnVisible(int x, int top, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            if (alpha(x, y)) {
                return true;
            }
        }
        return false;
    }
    bool opaque(const SDL_Rect& area) const {
        for (int y = area.y; y < area.y + area.h; ++y) {
            for (int x = area.x; x < area.x + area.w; ++x) {
                if (alpha(x, y) != OPAQUE_ALPHA) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    SurfacePtr pixels;
};

// The runs [first, last) of visible lines between from and to, merging runs that lie closer
// than gap lines (visible tells whether one line holds a visible pixel).
template <typename Visible>
std::vector<std::pair<int, int>> visibleRuns(int from, int to, int gap, Visible visible) {
    std::vector<std::pair<int, int>> runs;
    for (int line = from; line < to; ++line) {
        if (!visible(line)) {
            continue;
        }
        if (!runs.empty() && line - runs.back().second < gap) {
            runs.back().second = line + 1;
        } else {
            runs.push_back({line, line + 1});
        }
    }
    return runs;
}

// Rectangles that together hold every visible pixel: bands of rows, each cut into columns.
std::vector<SDL_Rect> visibleAreas(const AlphaMap& map, int width, int height, int gap) {
    std::vector<SDL_Rect> areas;
    auto bands = visibleRuns(0, height, gap, [&](int y) { return map.rowVisible(y, 0, width); });
    for (auto [top, bottom] : bands) {
        auto columns = visibleRuns(0, width, gap, [&, top = top, bottom = bottom](int x) {
            return map.columnVisible(x, top, bottom);
        });
        for (auto [left, right] : columns) {
            auto rows = visibleRuns(top, bottom, height, [&, left = left, right = right](int y) {
                return map.rowVisible(y, left, right);
            });
            for (auto [first, last] : rows) {
                areas.push_back({left, first, right - left, last - first});
            }
        }
    }
    return areas;
}

} // namespace

bool SkinLayer::load(SDL_Renderer* renderer, SkinPictures& pictures, const std::string& path) {
    release();
    SurfacePtr picture = pictures.take(path);
    if (!picture || !renderer) {
        return false;
    }
    AlphaMap map(*picture);
    if (!map.isValid()) {
        logError(std::string("无法转换图片格式: ") + SDL_GetError());
        return false;
    }
    for (const SDL_Rect& area : visibleAreas(map, picture->w, picture->h, SMALLEST_GAP)) {
        if (!addPiece(renderer, *picture, area)) {
            release();
            return false;
        }
        if (map.opaque(area)) {
            SDL_SetTextureBlendMode(pieces.back().texture.get(), SDL_BLENDMODE_NONE);
        }
    }
    return true;
}

SurfacePtr SkinLayer::readPicture(const ThemeAssetCodec& codec, const std::string& path) {
    bool ok = false;
    SurfacePtr picture = codec.loadSurface(path, &ok);
    if (!picture || !ok) {
        logError("加载加密纹理失败");
        return nullptr;
    }
    return picture;
}

bool SkinLayer::addPiece(SDL_Renderer* renderer, SDL_Surface& picture, const SDL_Rect& area) {
    SurfacePtr part(
        SDL_CreateRGBSurfaceWithFormat(0, area.w, area.h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (part) {
        SDL_SetSurfaceBlendMode(&picture, SDL_BLENDMODE_NONE);
        SDL_Rect from = area;
        SDL_BlitSurface(&picture, &from, part.get(), nullptr);
    }
    TexturePtr texture = Image::textureFromSurface(renderer, part.get());
    if (!texture) {
        logError(std::string("创建纹理失败: ") + SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    pieces.push_back({std::move(texture), area});
    return true;
}

void SkinLayer::release() {
    pieces.clear();
}

void SkinLayer::draw(SDL_Renderer* renderer, SDL_Point origin) const {
    if (!renderer) {
        return;
    }
    for (const Piece& piece : pieces) {
        SDL_Rect place{origin.x + piece.area.x, origin.y + piece.area.y, piece.area.w,
                       piece.area.h};
        SDL_RenderCopy(renderer, piece.texture.get(), nullptr, &place);
    }
}
