#include "nowplaying/TurningPicture.h"

#include "core/Log.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;
constexpr uint32_t ALPHA_SHIFT = 24;
constexpr double PIXEL_CENTRE = 0.5;
constexpr double HALF_PIXEL = 0.5;
constexpr int SWEEP_STEPS = 64; // angles tried when the turn is limited
constexpr int SPAN_MARGIN = 1;  // columns computed beyond a row's visible span, for rounding

// Source points are stepped in fixed point: FRACTION_BITS bits below the binary point.
constexpr int FRACTION_BITS = 16;
constexpr double FIXED_ONE = 1 << FRACTION_BITS;
constexpr int32_t FIXED_HALF = 1 << (FRACTION_BITS - 1);
constexpr int WEIGHT_BITS = 8; // of each interpolation weight
constexpr uint32_t WEIGHT_ONE = 1u << WEIGHT_BITS;
constexpr uint32_t WEIGHT_MASK = WEIGHT_ONE - 1;
constexpr uint32_t ALTERNATE_CHANNELS = 0x00FF00FF;
constexpr int CHANNEL_BITS = 8;

// A picture looks the same turned when, at each of these angles, no more than this share of its
// pixels changes by more than the tolerance in some channel: turning to the nearest pixel moves
// the edges of fine rings a little, while a mark of a few dozen pixels across on a disc moves
// wholly away at a quarter turn.
constexpr double SYMMETRY_ANGLES[] = {7.0, 45.0, 90.0};
constexpr double SYMMETRY_SHARE = 0.01;
constexpr int SYMMETRY_TOLERANCE = 32;

int32_t toFixed(double value) {
    return static_cast<int32_t>(std::lround(value * FIXED_ONE));
}

// a and b mixed with b's share weight / WEIGHT_ONE, two channels at a time in each half.
uint32_t lerp(uint32_t a, uint32_t b, uint32_t weight) {
    uint32_t keep = WEIGHT_ONE - weight;
    uint32_t redBlue =
        ((a & ALTERNATE_CHANNELS) * keep + (b & ALTERNATE_CHANNELS) * weight) >> WEIGHT_BITS;
    uint32_t alphaGreen = (((a >> CHANNEL_BITS) & ALTERNATE_CHANNELS) * keep +
                           ((b >> CHANNEL_BITS) & ALTERNATE_CHANNELS) * weight) >>
                          WEIGHT_BITS;
    return (redBlue & ALTERNATE_CHANNELS) | ((alphaGreen & ALTERNATE_CHANNELS) << CHANNEL_BITS);
}

// The columns [first, last) at which start + column * step lies in [low, high).
void clipColumns(double start, double step, double low, double high, double& first, double& last) {
    if (step == 0.0) {
        if (start < low || start >= high) {
            last = first;
        }
        return;
    }
    double a = (low - start) / step, b = (high - start) / step;
    first = std::max(first, std::min(a, b));
    last = std::min(last, std::max(a, b));
}

// The source pixels, held in locals while a picture turns, so that the compiler need not read
// them again after every pixel it writes.
struct SourceView {
    const uint32_t* pixels;
    unsigned width;
    unsigned height;

    // Transparent outside the picture.
    uint32_t at(int x, int y) const {
        bool inside = static_cast<unsigned>(x) < width && static_cast<unsigned>(y) < height;
        return inside ? pixels[static_cast<size_t>(y) * width + x] : 0;
    }

    uint32_t nearest(int32_t u, int32_t v) const {
        return at(u >> FRACTION_BITS, v >> FRACTION_BITS);
    }

    // The four pixels around (u, v), mixed by their distance, channel by channel, as a copy
    // with linear filtering does.
    uint32_t interpolated(int32_t u, int32_t v) const {
        int32_t x = u - FIXED_HALF, y = v - FIXED_HALF;
        int left = x >> FRACTION_BITS, top = y >> FRACTION_BITS;
        uint32_t fx = (x >> (FRACTION_BITS - WEIGHT_BITS)) & WEIGHT_MASK;
        uint32_t fy = (y >> (FRACTION_BITS - WEIGHT_BITS)) & WEIGHT_MASK;
        uint32_t upper = lerp(at(left, top), at(left + 1, top), fx);
        uint32_t lower = lerp(at(left, top + 1), at(left + 1, top + 1), fx);
        return lerp(upper, lower, fy);
    }
};

uint32_t pixelAt(const SDL_Surface& picture, int x, int y) {
    return reinterpret_cast<const uint32_t*>(static_cast<const Uint8*>(picture.pixels) +
                                             y * picture.pitch)[x];
}

bool channelsClose(uint32_t a, uint32_t b) {
    if ((a >> ALPHA_SHIFT) == 0 && (b >> ALPHA_SHIFT) == 0) {
        return true; // both transparent, whatever colour they hold
    }
    for (int shift = 0; shift < 32; shift += CHANNEL_BITS) {
        int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(difference) > SYMMETRY_TOLERANCE) {
            return false;
        }
    }
    return true;
}

} // namespace

bool TurningPicture::looksTheSameTurned(SDL_Surface& picture, SDL_Point pivot) {
    if (picture.format->BytesPerPixel != sizeof(uint32_t) || SDL_LockSurface(&picture) != 0) {
        return false;
    }
    long allowed = static_cast<long>(picture.w * picture.h * SYMMETRY_SHARE);
    bool same = true;
    for (double degrees : SYMMETRY_ANGLES) {
        double c = std::cos(degrees * DEGREES_TO_RADIANS),
               s = std::sin(degrees * DEGREES_TO_RADIANS);
        long differing = 0;
        for (int y = 0; y < picture.h && differing <= allowed; ++y) {
            double dy = y + PIXEL_CENTRE - pivot.y;
            for (int x = 0; x < picture.w; ++x) {
                double dx = x + PIXEL_CENTRE - pivot.x;
                int u = static_cast<int>(std::floor(pivot.x + dx * c + dy * s));
                int v = static_cast<int>(std::floor(pivot.y - dx * s + dy * c));
                bool inside = u >= 0 && v >= 0 && u < picture.w && v < picture.h;
                uint32_t turned = inside ? pixelAt(picture, u, v) : 0;
                differing += channelsClose(pixelAt(picture, x, y), turned) ? 0 : 1;
            }
        }
        if (differing > allowed) {
            same = false;
            break;
        }
    }
    SDL_UnlockSurface(&picture);
    return same;
}

bool TurningPicture::load(SDL_Renderer* renderer, SDL_Surface& picture, SDL_Point newPivot,
                          double maxAngle) {
    release();
    SurfacePtr pixels(SDL_ConvertSurfaceFormat(&picture, SDL_PIXELFORMAT_ARGB8888, 0));
    if (!renderer || !pixels) {
        return false;
    }
    width = pixels->w;
    height = pixels->h;
    source.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const Uint8*>(pixels->pixels) + y * pixels->pitch);
        std::copy(row, row + width, source.begin() + static_cast<long>(y) * width);
    }
    pivot = newPivot;
    findVisiblePart();
    box = boxFor(maxAngle);
    texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    box.w, box.h));
    if (!texture) {
        logError(std::string("无法创建纹理: ") + SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    return true;
}

void TurningPicture::release() {
    texture.reset();
    source.clear();
    width = height = 0;
    visible = {};
    reach = 0.0;
    turned = false;
}

void TurningPicture::findVisiblePart() {
    int left = width, top = height, right = 0, bottom = 0;
    long farthest = 0; // squared: one root at the end rather than one per pixel
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (source[static_cast<size_t>(y) * width + x] >> ALPHA_SHIFT) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
                long dx = std::max(std::abs(x - pivot.x), std::abs(x + 1 - pivot.x));
                long dy = std::max(std::abs(y - pivot.y), std::abs(y + 1 - pivot.y));
                farthest = std::max(farthest, dx * dx + dy * dy);
            }
        }
    }
    reach = std::sqrt(static_cast<double>(farthest));
    visible = right > left ? SDL_Rect{left, top, right - left, bottom - top} : SDL_Rect{};
}

// The box holds the visible pixels at every angle of the turn: for a full turn, the circle
// through the farthest visible pixel; otherwise the corners of the visible part, turned by
// angles across the range.
SDL_Rect TurningPicture::boxFor(double maxAngle) const {
    if (visible.w == 0) {
        return {0, 0, 1, 1};
    }
    double minX = -reach, minY = -reach, maxX = reach, maxY = reach;
    if (maxAngle < ANY_ANGLE) {
        minX = minY = reach;
        maxX = maxY = -reach;
        for (int step = 0; step <= SWEEP_STEPS; ++step) {
            double radians = maxAngle * step / SWEEP_STEPS * DEGREES_TO_RADIANS;
            double c = std::cos(radians), s = std::sin(radians);
            for (int corner = 0; corner < 4; ++corner) {
                double x = visible.x + (corner & 1 ? visible.w : 0) - pivot.x;
                double y = visible.y + (corner & 2 ? visible.h : 0) - pivot.y;
                minX = std::min(minX, x * c - y * s);
                maxX = std::max(maxX, x * c - y * s);
                minY = std::min(minY, x * s + y * c);
                maxY = std::max(maxY, x * s + y * c);
            }
        }
    }
    int left = static_cast<int>(std::floor(minX)), top = static_cast<int>(std::floor(minY));
    return {left, top, static_cast<int>(std::ceil(maxX)) - left,
            static_cast<int>(std::ceil(maxY)) - top};
}

void TurningPicture::draw(SDL_Renderer* renderer, SDL_Point screenPivot, double angle) {
    if (!renderer || !texture) {
        return;
    }
    bool moved = std::abs(angle - turnedAngle) * DEGREES_TO_RADIANS * reach >= HALF_PIXEL;
    if (!turned || moved) {
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture.get(), nullptr, &pixels, &pitch) != 0) {
            return;
        }
        turn(angle, static_cast<uint32_t*>(pixels), pitch);
        SDL_UnlockTexture(texture.get());
        turnedAngle = angle;
        turned = true;
    }
    SDL_Rect place{screenPivot.x + box.x, screenPivot.y + box.y, box.w, box.h};
    SDL_RenderCopy(renderer, texture.get(), nullptr, &place);
}

// Each pixel of the box takes the source pixel that the turn brings there (undoing a clockwise
// turn on screen, where y grows downwards); pixels within the smooth radius of the pivot are
// interpolated instead. The box is filled in small tiles, so that the source pixels a tile reads
// stay in the cache whatever the angle; columns that cannot show a visible pixel are cleared.
void TurningPicture::turn(double angle, uint32_t* pixels, int pitch) const {
    double radians = angle * DEGREES_TO_RADIANS;
    double c = std::cos(radians), s = std::sin(radians);
    int32_t stepU = toFixed(c), stepV = toFixed(-s);
    const SourceView view{source.data(), static_cast<unsigned>(width),
                          static_cast<unsigned>(height)};
    std::array<RowStart, TILE_ROWS> starts;
    for (int blockTop = 0; blockTop < box.h; blockTop += TILE_ROWS) {
        int rows = std::min(TILE_ROWS, box.h - blockTop);
        for (int i = 0; i < rows; ++i) {
            starts[i] = rowStart(blockTop + i, c, s);
            auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<Uint8*>(pixels) +
                                                    (blockTop + i) * pitch);
            std::fill(out, out + starts[i].from, 0u);
            std::fill(out + starts[i].to, out + box.w, 0u);
        }
        for (int left = 0; left < box.w; left += TILE_COLUMNS) {
            int right = std::min(box.w, left + TILE_COLUMNS);
            for (int i = 0; i < rows; ++i) {
                const RowStart& start = starts[i];
                auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<Uint8*>(pixels) +
                                                        (blockTop + i) * pitch);
                int first = std::max(left, start.from), last = std::min(right, start.to);
                int smoothFirst = std::clamp(start.smoothFrom, first, last);
                int smoothLast = std::clamp(start.smoothTo, smoothFirst, last);
                int32_t u = start.u + first * stepU, v = start.v + first * stepV;
                int column = first;
                for (; column < smoothFirst; ++column, u += stepU, v += stepV) {
                    out[column] = view.nearest(u, v);
                }
                for (; column < smoothLast; ++column, u += stepU, v += stepV) {
                    out[column] = view.interpolated(u, v);
                }
                for (; column < last; ++column, u += stepU, v += stepV) {
                    out[column] = view.nearest(u, v);
                }
            }
        }
    }
}

TurningPicture::RowStart TurningPicture::rowStart(int row, double c, double s) const {
    double dy = box.y + row + PIXEL_CENTRE;
    double dx = box.x + PIXEL_CENTRE;
    double u = pivot.x + dx * c + dy * s, v = pivot.y - dx * s + dy * c;
    RowStart start{toFixed(u), toFixed(v), 0, 0, 0, 0};
    double first = 0, last = box.w;
    clipColumns(u, c, visible.x, visible.x + visible.w, first, last);
    clipColumns(v, -s, visible.y, visible.y + visible.h, first, last);
    double half = reach * reach - dy * dy;
    if (half < 0) {
        last = first;
    } else {
        first = std::max(first, -std::sqrt(half) - dx);
        last = std::min(last, std::sqrt(half) - dx);
    }
    if (last > first) {
        start.from = std::clamp(static_cast<int>(std::floor(first)) - SPAN_MARGIN, 0, box.w);
        start.to = std::clamp(static_cast<int>(std::ceil(last)) + SPAN_MARGIN, start.from, box.w);
    }
    if (std::abs(dy) < smoothRadius) {
        double smoothHalf = std::sqrt(double(smoothRadius) * smoothRadius - dy * dy);
        start.smoothFrom = std::clamp(static_cast<int>(std::ceil(-smoothHalf - dx)), 0, box.w);
        start.smoothTo =
            std::clamp(static_cast<int>(std::ceil(smoothHalf - dx)), start.smoothFrom, box.w);
    }
    return start;
}
