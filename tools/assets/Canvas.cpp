#include "Canvas.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {

namespace {

constexpr float PI = 3.14159265358979f;

float clamp01(float value) {
    return std::min(1.0f, std::max(0.0f, value));
}

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

float radians(float degrees) {
    return degrees * PI / 180.0f;
}

} // namespace

Rgba rgb(int r, int g, int b, float alpha) {
    return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, alpha};
}

Rgba withAlpha(Rgba colour, float alpha) {
    colour.a = alpha;
    return colour;
}

Rgba mix(Rgba from, Rgba to, float t) {
    t = clamp01(t);
    return Rgba{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

namespace shape {

Shape circle(float cx, float cy, float radius) {
    return [=](float x, float y) { return length(x - cx, y - cy) - radius; };
}

Shape ellipse(float cx, float cy, float rx, float ry) {
    // Scaled circle distance: exact enough for anti-aliasing when rx and ry are close.
    const float scale = std::min(rx, ry);
    return [=](float x, float y) { return (length((x - cx) / rx, (y - cy) / ry) - 1.0f) * scale; };
}

Shape box(float x, float y, float w, float h, float radius) {
    const float cx = x + w / 2, cy = y + h / 2;
    const float hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        const float qx = std::abs(px - cx) - hx;
        const float qy = std::abs(py - cy) - hy;
        return length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
               radius;
    };
}

Shape capsule(float ax, float ay, float bx, float by, float halfWidth) {
    return [=](float x, float y) {
        const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
        const float lengthSquared = dx * dx + dy * dy;
        const float t = lengthSquared > 0 ? clamp01((px * dx + py * dy) / lengthSquared) : 0;
        return length(px - dx * t, py - dy * t) - halfWidth;
    };
}

Shape ring(float cx, float cy, float radius, float halfWidth) {
    return [=](float x, float y) { return std::abs(length(x - cx, y - cy) - radius) - halfWidth; };
}

Shape arc(float cx, float cy, float radius, float a0, float a1, float halfWidth) {
    const float start = radians(a0), sweep = radians(a1 - a0);
    const float sx = cx + radius * std::cos(start), sy = cy + radius * std::sin(start);
    const float ex = cx + radius * std::cos(start + sweep),
                ey = cy + radius * std::sin(start + sweep);
    return [=](float x, float y) {
        float angle = std::atan2(y - cy, x - cx) - start;
        while (angle < 0) {
            angle += 2 * PI;
        }
        while (angle >= 2 * PI) {
            angle -= 2 * PI;
        }
        if (angle <= sweep) {
            return std::abs(length(x - cx, y - cy) - radius) - halfWidth;
        }
        return std::min(length(x - sx, y - sy), length(x - ex, y - ey)) - halfWidth;
    };
}

Shape polygon(std::vector<std::pair<float, float>> points) {
    return [points](float x, float y) {
        float best = 1e30f;
        float sign = 1.0f;
        const std::size_t n = points.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const float ex = points[j].first - points[i].first;
            const float ey = points[j].second - points[i].second;
            const float wx = x - points[i].first, wy = y - points[i].second;
            const float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
            const float bx = wx - ex * t, by = wy - ey * t;
            best = std::min(best, bx * bx + by * by);
            const bool c1 = y >= points[i].second, c2 = y < points[j].second;
            const bool c3 = ex * wy > ey * wx;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) {
                sign = -sign;
            }
        }
        return sign * std::sqrt(best);
    };
}

Shape unite(Shape a, Shape b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape subtract(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shape intersect(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Shape outline(Shape a, float halfWidth) {
    return [=](float x, float y) { return std::abs(a(x, y)) - halfWidth; };
}

Shape grow(Shape a, float amount) {
    return [=](float x, float y) { return a(x, y) - amount; };
}

Shape rotate(Shape a, float cx, float cy, float degrees) {
    const float c = std::cos(radians(-degrees)), s = std::sin(radians(-degrees));
    return [=](float x, float y) {
        const float dx = x - cx, dy = y - cy;
        return a(cx + dx * c - dy * s, cy + dx * s + dy * c);
    };
}

Shape translate(Shape a, float dx, float dy) {
    return [=](float x, float y) { return a(x - dx, y - dy); };
}

} // namespace shape

namespace paint {

Paint solid(Rgba colour) {
    return [=](float, float) { return colour; };
}

Paint linear(float x0, float y0, Rgba c0, float x1, float y1, Rgba c1) {
    return stops(x0, y0, x1, y1, {{0.0f, c0}, {1.0f, c1}});
}

Paint radial(float cx, float cy, float radius, Rgba inner, Rgba outer) {
    return [=](float x, float y) { return mix(inner, outer, length(x - cx, y - cy) / radius); };
}

Paint stops(float x0, float y0, float x1, float y1, std::vector<std::pair<float, Rgba>> stops) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = std::max(1e-6f, dx * dx + dy * dy);
    return [=](float x, float y) {
        const float t = clamp01(((x - x0) * dx + (y - y0) * dy) / lengthSquared);
        if (t <= stops.front().first) {
            return stops.front().second;
        }
        for (std::size_t i = 1; i < stops.size(); ++i) {
            if (t <= stops[i].first) {
                const float span = std::max(1e-6f, stops[i].first - stops[i - 1].first);
                return mix(stops[i - 1].second, stops[i].second, (t - stops[i - 1].first) / span);
            }
        }
        return stops.back().second;
    };
}

} // namespace paint

Font::Font(const std::string& path, int points) : font(TTF_OpenFont(path.c_str(), points)) {
    if (!font) {
        throw std::runtime_error("cannot open font " + path + ": " + TTF_GetError());
    }
}

int Font::width(const std::string& text) const {
    int w = 0, h = 0;
    TTF_SizeUTF8(font.get(), text.c_str(), &w, &h);
    return w;
}

int Font::height() const {
    return TTF_FontHeight(font.get());
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), premultiplied(static_cast<std::size_t>(width) * height * 4, 0.0f) {
}

float Canvas::coverage(float distance, float blur) const {
    if (blur <= 0.5f) {
        return clamp01(0.5f - distance);
    }
    const float t = clamp01(0.5f - distance / (2 * blur));
    return t * t * (3 - 2 * t);
}

void Canvas::blend(int x, int y, Rgba colour, float amount) {
    const float alpha = colour.a * amount;
    if (alpha <= 0) {
        return;
    }
    float* p = &premultiplied[(static_cast<std::size_t>(y) * w + x) * 4];
    p[0] = colour.r * alpha + p[0] * (1 - alpha);
    p[1] = colour.g * alpha + p[1] * (1 - alpha);
    p[2] = colour.b * alpha + p[2] * (1 - alpha);
    p[3] = alpha + p[3] * (1 - alpha);
}

void Canvas::forEachCovered(const Shape& area, float blur,
                            const std::function<void(int, int, float, float, float)>& visit) {
    // Shapes are distance functions, so one sample at a tile's centre tells whether the whole
    // tile lies outside (or inside) the edge: most tiles of a small shape are skipped at once.
    const float reach = TILE * 0.7072f + 2 * std::max(blur, 0.5f) + 1;
    for (int ty = 0; ty < h; ty += TILE) {
        for (int tx = 0; tx < w; tx += TILE) {
            const float centre = area(tx + TILE / 2.0f, ty + TILE / 2.0f);
            if (centre > reach) {
                continue;
            }
            const bool inside = centre < -reach;
            for (int y = ty; y < std::min(h, ty + TILE); ++y) {
                for (int x = tx; x < std::min(w, tx + TILE); ++x) {
                    const float px = x + 0.5f, py = y + 0.5f;
                    const float amount = inside ? 1.0f : coverage(area(px, py), blur);
                    if (amount > 0) {
                        visit(x, y, px, py, amount);
                    }
                }
            }
        }
    }
}

void Canvas::fill(const Shape& area, const Paint& colour, float blur) {
    forEachCovered(area, blur, [&](int x, int y, float px, float py, float amount) {
        blend(x, y, colour(px, py), amount);
    });
}

void Canvas::fill(const Shape& area, Rgba colour, float blur) {
    fill(area, paint::solid(colour), blur);
}

void Canvas::erase(const Shape& area, float blur) {
    forEachCovered(area, blur, [&](int x, int y, float, float, float amount) {
        float* p = &premultiplied[(static_cast<std::size_t>(y) * w + x) * 4];
        for (int c = 0; c < 4; ++c) {
            p[c] *= 1 - amount;
        }
    });
}

void Canvas::draw(const Canvas& layer, int x, int y, float opacity) {
    for (int ly = 0; ly < layer.h; ++ly) {
        for (int lx = 0; lx < layer.w; ++lx) {
            const int tx = x + lx, ty = y + ly;
            if (tx < 0 || ty < 0 || tx >= w || ty >= h) {
                continue;
            }
            const float* s =
                &layer.premultiplied[(static_cast<std::size_t>(ly) * layer.w + lx) * 4];
            float* p = &premultiplied[(static_cast<std::size_t>(ty) * w + tx) * 4];
            const float alpha = s[3] * opacity;
            for (int c = 0; c < 3; ++c) {
                p[c] = s[c] * opacity + p[c] * (1 - alpha);
            }
            p[3] = alpha + p[3] * (1 - alpha);
        }
    }
}

void Canvas::text(const Font& font, const std::string& text, float x, float y, Rgba colour,
                  Align align) {
    if (text.empty()) {
        return;
    }
    SurfacePtr rendered(
        TTF_RenderUTF8_Blended(font.get(), text.c_str(), SDL_Color{255, 255, 255, 255}));
    if (!rendered) {
        throw std::runtime_error(std::string("cannot render text: ") + TTF_GetError());
    }
    SurfacePtr pixels(SDL_ConvertSurfaceFormat(rendered.get(), SDL_PIXELFORMAT_RGBA32, 0));
    int left = static_cast<int>(std::lround(x));
    if (align == Align::CENTER) {
        left -= pixels->w / 2;
    } else if (align == Align::RIGHT) {
        left -= pixels->w;
    }
    const int top = static_cast<int>(std::lround(y));
    for (int ty = 0; ty < pixels->h; ++ty) {
        const auto* row = static_cast<const std::uint8_t*>(pixels->pixels) + ty * pixels->pitch;
        for (int tx = 0; tx < pixels->w; ++tx) {
            const int cx = left + tx, cy = top + ty;
            if (cx >= 0 && cy >= 0 && cx < w && cy < h) {
                blend(cx, cy, colour, row[tx * 4 + 3] / 255.0f);
            }
        }
    }
}

Rgba Canvas::pixel(int x, int y) const {
    const float* p = &premultiplied[(static_cast<std::size_t>(y) * w + x) * 4];
    if (p[3] <= 0) {
        return Rgba{0, 0, 0, 0};
    }
    return Rgba{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

SurfacePtr Canvas::toSurface() const {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32));
    if (!surface) {
        throw std::runtime_error(std::string("cannot make a surface: ") + SDL_GetError());
    }
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < w; ++x) {
            const Rgba c = pixel(x, y);
            row[x * 4 + 0] = static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255));
            row[x * 4 + 1] = static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255));
            row[x * 4 + 2] = static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255));
            row[x * 4 + 3] = static_cast<std::uint8_t>(std::lround(clamp01(c.a) * 255));
        }
    }
    return surface;
}

bool Canvas::savePng(const std::string& path) const {
    SurfacePtr surface = toSurface();
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

} // namespace art
