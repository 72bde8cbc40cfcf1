#pragma once

// A small vector painter for the artwork generator. Shapes are signed distance functions
// (negative inside, in pixels), so every edge is anti-aliased, soft shadows are a wider edge,
// and outlines and cut-outs are simple arithmetic on distances.

#include "core/SdlHandles.h"

#include <functional>
#include <string>
#include <vector>

namespace art {

// A colour with straight alpha, every component 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba rgb(int r, int g, int b, float alpha = 1.0f);
Rgba withAlpha(Rgba colour, float alpha);
Rgba mix(Rgba from, Rgba to, float t);

using Shape = std::function<float(float x, float y)>;
using Paint = std::function<Rgba(float x, float y)>;

namespace shape {
Shape circle(float cx, float cy, float radius);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape box(float x, float y, float w, float h, float radius = 0);
Shape capsule(float ax, float ay, float bx, float by, float halfWidth);
Shape ring(float cx, float cy, float radius, float halfWidth);
// An arc of a circle from angle a0 to a1 (degrees, clockwise from +x on screen), round caps.
Shape arc(float cx, float cy, float radius, float a0, float a1, float halfWidth);
Shape polygon(std::vector<std::pair<float, float>> points);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
Shape outline(Shape a, float halfWidth);
Shape grow(Shape a, float amount);
// The shape turned by degrees (clockwise on screen) about (cx, cy).
Shape rotate(Shape a, float cx, float cy, float degrees);
Shape translate(Shape a, float dx, float dy);
} // namespace shape

namespace paint {
Paint solid(Rgba colour);
Paint linear(float x0, float y0, Rgba c0, float x1, float y1, Rgba c1);
Paint radial(float cx, float cy, float radius, Rgba inner, Rgba outer);
// Colour stops along a line; stops are (position 0..1, colour), ascending.
Paint stops(float x0, float y0, float x1, float y1, std::vector<std::pair<float, Rgba>> stops);
} // namespace paint

enum class Align { LEFT, CENTER, RIGHT };

class Font {
public:
    Font(const std::string& path, int points);
    TTF_Font* get() const { return font.get(); }
    int width(const std::string& text) const;
    int height() const;

private:
    FontPtr font;
};

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return w; }
    int height() const { return h; }

    // Paints the inside of a shape. blur > 0 widens the edge into a soft fall-off of that many
    // pixels (shadows, glows).
    void fill(const Shape& area, const Paint& colour, float blur = 0);
    void fill(const Shape& area, Rgba colour, float blur = 0);
    // Makes the inside of a shape transparent (a window cut through what is painted).
    void erase(const Shape& area, float blur = 0);
    // Paints another canvas over this one at an offset.
    void draw(const Canvas& layer, int x, int y, float opacity = 1);
    // Paints text with its top edge at y; x is the left edge, centre or right edge.
    void text(const Font& font, const std::string& text, float x, float y, Rgba colour,
              Align align = Align::LEFT);

    // Straight-alpha colour of a pixel.
    Rgba pixel(int x, int y) const;

    SurfacePtr toSurface() const;
    bool savePng(const std::string& path) const;

private:
    int w;
    int h;
    std::vector<float> premultiplied; // RGBA per pixel

    static constexpr int TILE = 8;

    float coverage(float distance, float blur) const;
    void forEachCovered(const Shape& area, float blur,
                        const std::function<void(int, int, float, float, float)>& visit);
    void blend(int x, int y, Rgba colour, float amount);
};

} // namespace art
