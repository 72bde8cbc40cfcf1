#include "nowplaying/AccentColour.h"

#include "core/SdlHandles.h"
#include "ui/SkinArt.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace AccentColour {

namespace {

constexpr SDL_Color NO_ACCENT{0, 0, 0, 255};
constexpr Uint8 LEAST_ALPHA = 128;
constexpr double NEAR_WHITE_SATURATION = 0.1;
constexpr double NEAR_WHITE_VALUE = 0.85;
constexpr double DEGREES_PER_BUCKET = 30.0;
constexpr int BUCKETS = 12;
constexpr double DEGREES_PER_SECTOR = 60.0;
constexpr double HUE_SECTORS = 6.0;
constexpr double CHANNEL_MAX = 255.0;

struct Hsv {
    double h = 0.0; // degrees, 0 up to below 360
    double s = 0.0;
    double v = 0.0;
};

Hsv toHsv(Uint8 red, Uint8 green, Uint8 blue) {
    double r = red / CHANNEL_MAX, g = green / CHANNEL_MAX, b = blue / CHANNEL_MAX;
    double max = std::max({r, g, b});
    double delta = max - std::min({r, g, b});
    Hsv hsv{0.0, max > 0.0 ? delta / max : 0.0, max};
    if (delta > 0.0) {
        if (max == r) {
            hsv.h = DEGREES_PER_SECTOR * std::fmod((g - b) / delta, HUE_SECTORS);
        } else if (max == g) {
            hsv.h = DEGREES_PER_SECTOR * ((b - r) / delta + 2.0);
        } else {
            hsv.h = DEGREES_PER_SECTOR * ((r - g) / delta + 4.0);
        }
        if (hsv.h < 0.0) {
            hsv.h += DEGREES_PER_SECTOR * HUE_SECTORS;
        }
    }
    return hsv;
}

SDL_Color toRgb(const Hsv& hsv) {
    double c = hsv.v * hsv.s;
    double x = c * (1.0 - std::abs(std::fmod(hsv.h / DEGREES_PER_SECTOR, 2.0) - 1.0));
    double m = hsv.v - c;
    const double sectors[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
    int sector = std::clamp(static_cast<int>(hsv.h / DEGREES_PER_SECTOR), 0, 5);
    auto channel = [m](double part) { return static_cast<Uint8>((part + m) * CHANNEL_MAX); };
    return {channel(sectors[sector][0]), channel(sectors[sector][1]), channel(sectors[sector][2]),
            SDL_ALPHA_OPAQUE};
}

struct Bucket {
    int count = 0;
    Hsv sum;
};

// The picture in a 32-bit format, scaled down when it is too large to look at whole.
SurfacePtr analysable(SDL_Surface* picture) {
    if (picture->w > ANALYSED_SIZE || picture->h > ANALYSED_SIZE) {
        return SkinArt::scaledSurface(picture, ANALYSED_SIZE, ANALYSED_SIZE);
    }
    return SurfacePtr(SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_RGBA32, 0));
}

} // namespace

SDL_Color of(SDL_Surface* picture) {
    if (!picture) {
        return NO_ACCENT;
    }
    SurfacePtr pixels = analysable(picture);
    if (!pixels) {
        return NO_ACCENT;
    }
    std::array<Bucket, BUCKETS> buckets{};
    for (int y = 0; y < pixels->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(pixels->pixels) + y * pixels->pitch);
        for (int x = 0; x < pixels->w; ++x) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(row[x], pixels->format, &r, &g, &b, &a);
            if (a < LEAST_ALPHA) {
                continue;
            }
            Hsv hsv = toHsv(r, g, b);
            if (hsv.s < NEAR_WHITE_SATURATION && hsv.v > NEAR_WHITE_VALUE) {
                continue;
            }
            Bucket& bucket = buckets[static_cast<int>(hsv.h / DEGREES_PER_BUCKET) % BUCKETS];
            ++bucket.count;
            bucket.sum.h += hsv.h;
            bucket.sum.s += hsv.s;
            bucket.sum.v += hsv.v;
        }
    }
    // max_element keeps the first of equal counts: the lowest bucket number.
    const Bucket& fullest =
        *std::max_element(buckets.begin(), buckets.end(),
                          [](const Bucket& a, const Bucket& b) { return a.count < b.count; });
    if (fullest.count == 0) {
        return NO_ACCENT;
    }
    double n = fullest.count;
    return toRgb({fullest.sum.h / n, fullest.sum.s / n, fullest.sum.v / n});
}

} // namespace AccentColour
