#include "ui/SkinArt.h"

#include "core/Log.h"
#include "library/CoverExtractor.h"
#include "settings/Config.h"
#include "ui/Image.h"
#include "ui/ThemeAssetCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace SkinArt {

namespace {

constexpr const char* TAPE_FRAME = "icons/zg.png";
constexpr const char* RECORD_FRAME = "icons/record/zjzz.png";
constexpr const char* TAPE_DEFAULT_COVER = "icons/ty.png";
constexpr const char* RECORD_DEFAULT_COVER = "icons/record/rtfm.png";
constexpr const char* TAPE_SKIN_COVER = "/tfm.png";
constexpr const char* RECORD_SKIN_COVER = "/rtfm.png";
constexpr const char* TAPE_BACKGROUND = "icons/bg.png";
constexpr const char* RECORD_BACKGROUND = "icons/record/bg.png";
constexpr Uint32 SCREEN_FORMAT = SDL_PIXELFORMAT_ARGB8888;
constexpr Uint32 OPAQUE_SCREEN_FORMAT = SDL_PIXELFORMAT_XRGB8888;
constexpr int SCREEN_ALPHA_SHIFT = 24;

// One output pixel of a resampled row or column: the source pixels it is made of, from first
// on, and their weights.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// How each of outputSize pixels draws on the source span [start, start + length): a shrunk
// pixel averages the source area it covers, an enlarged one interpolates its two nearest
// neighbours.
std::vector<Taps> tapsFor(int start, int length, int outputSize) {
    std::vector<Taps> taps(static_cast<size_t>(outputSize));
    double step = static_cast<double>(length) / outputSize;
    int last = start + length - 1;
    for (int i = 0; i < outputSize; ++i) {
        Taps& tap = taps[static_cast<size_t>(i)];
        if (step >= 1.0) {
            double from = start + i * step;
            double to = from + step;
            tap.first = static_cast<int>(from);
            for (int source = tap.first; source < to && source <= last; ++source) {
                double covered = std::min<double>(to, source + 1) - std::max<double>(from, source);
                tap.weights.push_back(static_cast<float>(covered / step));
            }
        } else {
            double centre = start + (i + 0.5) * step - 0.5;
            double lower = std::clamp(std::floor(centre), double(start), double(last));
            auto fraction = static_cast<float>(std::clamp(centre - lower, 0.0, 1.0));
            tap.first = static_cast<int>(lower);
            tap.weights = {1.0f - fraction};
            if (tap.first < last) {
                tap.weights.push_back(fraction);
            }
        }
    }
    return taps;
}

// Colour channels weighted by alpha, so that transparent pixels lend no colour to their
// neighbours.
struct Premultiplied {
    float r = 0, g = 0, b = 0, a = 0;

    void add(const Premultiplied& other, float weight) {
        r += other.r * weight;
        g += other.g * weight;
        b += other.b * weight;
        a += other.a * weight;
    }
};

Premultiplied premultiply(const Uint8* pixel) {
    float alpha = pixel[3];
    return {pixel[0] * alpha, pixel[1] * alpha, pixel[2] * alpha, alpha};
}

// Rounds to the nearest; the values are never negative, so adding a half and truncating does
// what lround would, without a library call per channel (this runs for every pixel of a cover).
void store(const Premultiplied& colour, Uint8* pixel) {
    auto channel = [](float value) {
        return static_cast<Uint8>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
    };
    float perAlpha = colour.a > 0.0f ? 1.0f / colour.a : 1.0f;
    pixel[0] = channel(colour.r * perAlpha);
    pixel[1] = channel(colour.g * perAlpha);
    pixel[2] = channel(colour.b * perAlpha);
    pixel[3] = channel(colour.a);
}

// Source rows resampled across, made when first asked for. The two latest are kept: a shrunk
// output row shares its first source row with the row before, an enlarged one both of its rows.
class RowsAcross {
public:
    RowsAcross(const SDL_Surface& pixels, std::vector<Taps> across)
        : pixels(pixels), across(std::move(across)) {
        for (Slot& slot : slots) {
            slot.colours.resize(this->across.size());
        }
    }

    const std::vector<Premultiplied>& row(int sourceRow) {
        for (const Slot& slot : slots) {
            if (slot.row == sourceRow) {
                return slot.colours;
            }
        }
        Slot& slot = slots[next];
        next = 1 - next;
        slot.row = sourceRow;
        const auto* line = static_cast<const Uint8*>(pixels.pixels) + sourceRow * pixels.pitch;
        for (size_t x = 0; x < across.size(); ++x) {
            const Taps& tap = across[x];
            Premultiplied sum;
            for (size_t k = 0; k < tap.weights.size(); ++k) {
                sum.add(premultiply(line + (tap.first + static_cast<int>(k)) * 4), tap.weights[k]);
            }
            slot.colours[x] = sum;
        }
        return slot.colours;
    }

private:
    struct Slot {
        int row = -1;
        std::vector<Premultiplied> colours;
    };

    const SDL_Surface& pixels;
    std::vector<Taps> across;
    std::array<Slot, 2> slots;
    int next = 0;
};

// The source rectangle (the whole picture when null) resampled smoothly into a new RGBA surface
// of width × height: each source row across, then the rows down, one output row at a time.
SurfacePtr resampled(SDL_Surface* picture, const SDL_Rect* source, int width, int height) {
    if (!picture || width <= 0 || height <= 0) {
        return nullptr;
    }
    SDL_Rect whole{0, 0, picture->w, picture->h};
    SDL_Rect from = whole;
    if (source && !SDL_IntersectRect(source, &whole, &from)) {
        return nullptr;
    }
    SurfacePtr pixels(SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_RGBA32, 0));
    SurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    if (!pixels || !scaled) {
        logError(std::string("无法创建缩放surface: ") + SDL_GetError());
        return nullptr;
    }
    if (from.w == width && from.h == height) { // nothing to scale: a copy
        SDL_SetSurfaceBlendMode(pixels.get(), SDL_BLENDMODE_NONE);
        return SDL_BlitSurface(pixels.get(), &from, scaled.get(), nullptr) == 0 ? std::move(scaled)
                                                                                : nullptr;
    }
    RowsAcross rows(*pixels, tapsFor(from.x, from.w, width));
    std::vector<Taps> down = tapsFor(from.y, from.h, height);
    std::vector<Premultiplied> sums(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        const Taps& tap = down[static_cast<size_t>(y)];
        std::fill(sums.begin(), sums.end(), Premultiplied{});
        for (size_t k = 0; k < tap.weights.size(); ++k) {
            const std::vector<Premultiplied>& across = rows.row(tap.first + static_cast<int>(k));
            for (size_t x = 0; x < sums.size(); ++x) {
                sums[x].add(across[x], tap.weights[k]);
            }
        }
        auto* line = static_cast<Uint8*>(scaled->pixels) + y * scaled->pitch;
        for (size_t x = 0; x < sums.size(); ++x) {
            store(sums[x], line + x * 4);
        }
    }
    return scaled;
}

bool isOpaque(const SDL_Surface& screenPixels) {
    for (int y = 0; y < screenPixels.h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(screenPixels.pixels) + y * screenPixels.pitch);
        for (int x = 0; x < screenPixels.w; ++x) {
            if (row[x] >> SCREEN_ALPHA_SHIFT != SDL_ALPHA_OPAQUE) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool isTape(int themeId) {
    return themeId == TAPE_THEME_ID;
}

const char* framePath(int themeId) {
    return isTape(themeId) ? TAPE_FRAME : RECORD_FRAME;
}

const char* defaultCoverPath(int themeId) {
    return isTape(themeId) ? TAPE_DEFAULT_COVER : RECORD_DEFAULT_COVER;
}

SurfacePtr loadPicture(const std::string& path) {
    // The codec takes plain PNG files as they are, so both kinds of file are read the same way.
    return ThemeAssetCodec().loadSurface(path);
}

SurfacePtr loadSongCover(const std::string& path) {
    SurfacePtr cover = Image::loadSurface(path);
    if (!cover || !CoverExtractor::isWhole(path)) {
        CoverExtractor::noteUnreadableCover(path);
    }
    return cover;
}

SurfacePtr loadCover(const std::string& coverPath, int themeId) {
    if (!coverPath.empty()) {
        if (SurfacePtr cover = loadSongCover(coverPath)) {
            return cover;
        }
    }
    SurfacePtr fallback = loadPicture(defaultCoverPath(themeId));
    if (!fallback) {
        logError(std::string("无法加载默认封面: ") + SDL_GetError());
    }
    return fallback;
}

TexturePtr scaledTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height,
                         const SDL_Rect* source) {
    if (!renderer) {
        return nullptr;
    }
    SurfacePtr scaled = resampled(picture, source, width, height);
    if (!scaled) {
        return nullptr;
    }
    TexturePtr texture = Image::textureFromSurface(renderer, scaled.get());
    if (!texture) {
        logError(std::string("无法创建纹理: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    return texture;
}

SDL_Rect centreCrop(const SDL_Surface& picture, int width, int height) {
    if (width <= 0 || height <= 0) {
        return {0, 0, picture.w, picture.h};
    }
    // Compared as products, so that no rounding decides which side is cut.
    long long wide = static_cast<long long>(picture.w) * height;
    long long tall = static_cast<long long>(picture.h) * width;
    if (wide > tall) {
        int cropped = std::max(1, static_cast<int>(tall / height));
        return {(picture.w - cropped) / 2, 0, cropped, picture.h};
    }
    int cropped = std::max(1, static_cast<int>(wide / width));
    return {0, (picture.h - cropped) / 2, picture.w, cropped};
}

std::string skinDefaultCoverPath(int themeId, const std::string& folder) {
    return "icons/" + folder + (isTape(themeId) ? TAPE_SKIN_COVER : RECORD_SKIN_COVER);
}

SurfacePtr scaledSurface(SDL_Surface* picture, int width, int height) {
    return resampled(picture, nullptr, width, height);
}

SurfacePtr shrinkToFit(SurfacePtr picture, int maxWidth, int maxHeight) {
    if (!picture || (picture->w <= maxWidth && picture->h <= maxHeight)) {
        return picture;
    }
    double scale = std::min(static_cast<double>(maxWidth) / picture->w,
                            static_cast<double>(maxHeight) / picture->h);
    int width = std::max(1, static_cast<int>(picture->w * scale));
    int height = std::max(1, static_cast<int>(picture->h * scale));
    SurfacePtr smaller = scaledSurface(picture.get(), width, height);
    return smaller ? std::move(smaller) : std::move(picture);
}

bool takeDefaultSkin(const Config& config, int& themeId) {
    int chosen = config.getDefaultThemeId();
    if (chosen == themeId) {
        return false;
    }
    themeId = chosen;
    return true;
}

const char* backgroundPath(int themeId) {
    return isTape(themeId) ? TAPE_BACKGROUND : RECORD_BACKGROUND;
}

TexturePtr loadPictureTexture(SDL_Renderer* renderer, const std::string& path) {
    SurfacePtr picture = loadPicture(path);
    return picture ? screenTexture(renderer, picture.get()) : nullptr;
}

TexturePtr screenTexture(SDL_Renderer* renderer, SDL_Surface* picture) {
    SurfacePtr pixels(picture ? SDL_ConvertSurfaceFormat(picture, SCREEN_FORMAT, 0) : nullptr);
    const bool opaque = pixels && isOpaque(*pixels);
    if (opaque) {
        pixels.reset(SDL_ConvertSurfaceFormat(pixels.get(), OPAQUE_SCREEN_FORMAT, 0));
    }
    TexturePtr texture = pixels ? Image::textureFromSurface(renderer, pixels.get()) : nullptr;
    if (!texture) {
        logError(std::string("无法创建纹理: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture.get(), opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    return texture;
}

TexturePtr coverTexture(SDL_Renderer* renderer, SDL_Surface* picture, int width, int height) {
    SurfacePtr scaled = coverSurface(picture, width, height);
    return scaled ? screenTexture(renderer, scaled.get()) : nullptr;
}

SurfacePtr coverSurface(SDL_Surface* picture, int width, int height) {
    if (!picture) {
        return nullptr;
    }
    SDL_Rect crop = centreCrop(*picture, width, height);
    return resampled(picture, &crop, width, height);
}

} // namespace SkinArt
