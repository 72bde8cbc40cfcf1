// Line icons of the menus and lists (32×32), the play-mode icons of the tape skin (24×24).
// Each list icon has a plain variant in muted grey and a highlighted "_l" variant for the
// selected (40, 40, 40) row: white lines with a red accent.
#include "Artwork.h"

#include <cmath>
#include <functional>

namespace art {

namespace {

constexpr int ICON = 32;
constexpr int MODE_ICON = 24;
constexpr float STROKE = 1.3f; // half width of an icon line
constexpr float PI = 3.14159265f;

struct IconStyle {
    Rgba line;
    Rgba accent;
    bool solidShapes; // outlines such as the heart are filled with the accent
};

const IconStyle PLAIN{palette::MUTED, palette::MUTED, false};
const IconStyle HIGHLIGHTED{palette::WHITE, palette::RED, true};

using IconDrawing = std::function<void(Canvas&, const IconStyle&)>;

Shape line(float ax, float ay, float bx, float by, float halfWidth = STROKE) {
    return shape::capsule(ax, ay, bx, by, halfWidth);
}

Shape noteHead(float cx, float cy) {
    return shape::rotate(shape::ellipse(cx, cy, 4.4f, 3.3f), cx, cy, -22);
}

void songs(Canvas& c, const IconStyle& s) {
    c.fill(noteHead(10, 23.5f), s.accent);
    c.fill(noteHead(23, 21), s.accent);
    c.fill(line(13.9f, 23, 13.9f, 8.5f), s.line);
    c.fill(line(26.9f, 20.5f, 26.9f, 6), s.line);
    c.fill(shape::polygon({{12.6f, 7.2f}, {28.2f, 4.2f}, {28.2f, 8.6f}, {12.6f, 11.6f}}), s.line);
}

void song(Canvas& c, const IconStyle& s) {
    c.fill(noteHead(12, 23.5f), s.accent);
    c.fill(line(15.9f, 23, 15.9f, 6), s.line);
    c.fill(line(15.9f, 6, 22.5f, 10), s.line);
    c.fill(line(22.5f, 10, 23.2f, 15.5f), s.line);
}

void albums(Canvas& c, const IconStyle& s) {
    c.fill(shape::ring(16, 16, 12, STROKE), s.line);
    c.fill(shape::arc(16, 16, 8, 200, 255, 0.8f), s.line);
    c.fill(shape::arc(16, 16, 8, 20, 75, 0.8f), s.line);
    c.fill(shape::circle(16, 16, 4), s.accent);
    c.erase(shape::circle(16, 16, 1.3f));
}

void artists(Canvas& c, const IconStyle& s) {
    c.fill(shape::circle(16, 11, 5.2f), s.accent);
    c.fill(shape::arc(16, 30.5f, 11.5f, 203, 337, STROKE), s.line);
}

void singer(Canvas& c, const IconStyle& s) {
    c.fill(shape::capsule(16, 7.5f, 16, 13.5f, 4.6f), s.accent);
    c.fill(shape::arc(16, 13, 8, 15, 165, STROKE), s.line);
    c.fill(line(16, 21.2f, 16, 26.5f), s.line);
    c.fill(line(11, 26.8f, 21, 26.8f), s.line);
}

Shape heart(float cx, float cy, float scale) {
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < 72; ++i) {
        const float t = 2 * PI * i / 72;
        const float x = 16 * std::pow(std::sin(t), 3.0f);
        const float y =
            13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        points.emplace_back(cx + x * scale, cy - y * scale);
    }
    return shape::polygon(points);
}

void favourites(Canvas& c, const IconStyle& s) {
    const Shape outline = heart(16, 15.5f, 0.72f);
    if (s.solidShapes) {
        c.fill(shape::grow(outline, -1), s.accent);
    }
    c.fill(shape::outline(outline, STROKE), s.line);
}

void equalizer(Canvas& c, const IconStyle& s) {
    const float xs[] = {8.5f, 16, 23.5f};
    const float knobs[] = {19.5f, 10, 15.5f};
    for (int i = 0; i < 3; ++i) {
        c.fill(line(xs[i], 5.5f, xs[i], 26.5f, 1.0f), s.line);
        c.fill(shape::box(xs[i] - 3.6f, knobs[i] - 2.4f, 7.2f, 4.8f, 1.5f), s.accent);
    }
}

void settings(Canvas& c, const IconStyle& s) {
    constexpr int TEETH = 8;
    Shape gear = shape::circle(16, 16, 9.2f);
    for (int i = 0; i < TEETH; ++i) {
        gear = shape::unite(gear, shape::rotate(shape::box(13.4f, 3.2f, 5.2f, 6, 1.2f), 16, 16,
                                                360.0f * i / TEETH));
    }
    c.fill(shape::outline(gear, STROKE * 0.9f), s.line);
    c.fill(shape::circle(16, 16, 3.8f), s.accent);
}

void nowPlaying(Canvas& c, const IconStyle& s) {
    c.fill(shape::ring(16, 16, 12.5f, STROKE), s.line);
    c.fill(shape::polygon({{12.8f, 10}, {12.8f, 22}, {22.8f, 16}}), s.accent);
}

void writeIconPair(const ArtOutput& out, const std::string& name, const IconDrawing& drawing) {
    Canvas plain(ICON, ICON);
    drawing(plain, PLAIN);
    out.plain(plain, "icons/" + name + ".png");
    Canvas highlighted(ICON, ICON);
    drawing(highlighted, HIGHLIGHTED);
    out.plain(highlighted, "icons/" + name + "_l.png");
}

// Play-mode icons: light lines on the tape skin's dark bottom strip.
const Rgba MODE_LINE = rgb(225, 225, 225);

void sequence(Canvas& c) {
    c.fill(line(3.5f, 6.5f, 13, 6.5f, 1.1f), MODE_LINE);
    c.fill(line(3.5f, 12, 13, 12, 1.1f), MODE_LINE);
    c.fill(line(3.5f, 17.5f, 10, 17.5f, 1.1f), MODE_LINE);
    c.fill(line(18.5f, 5, 18.5f, 16, 1.1f), MODE_LINE);
    c.fill(arrowHead(18.5f, 20.5f, 90, 5), MODE_LINE);
}

void sequenceLoop(Canvas& c) {
    c.fill(shape::arc(12, 12, 7.5f, 200, 340, 1.1f), MODE_LINE);
    c.fill(shape::arc(12, 12, 7.5f, 20, 160, 1.1f), MODE_LINE);
    c.fill(arrowHead(19.2f, 9.6f, 70, 4.6f), MODE_LINE);
    c.fill(arrowHead(4.8f, 14.4f, 250, 4.6f), MODE_LINE);
}

void single(Canvas& c) {
    c.fill(shape::arc(12, 12, 8, -40, 250, 1.1f), MODE_LINE);
    c.fill(arrowHead(9.9f, 3.6f, -10, 4.6f), MODE_LINE);
    c.fill(line(12.5f, 8.5f, 12.5f, 15.5f, 1.1f), MODE_LINE);
    c.fill(line(12.5f, 8.5f, 10.6f, 10.2f, 1.0f), MODE_LINE);
}

void shuffle(Canvas& c) {
    c.fill(line(2.5f, 7, 7.5f, 7, 1.1f), MODE_LINE);
    c.fill(line(7.5f, 7, 15, 17, 1.1f), MODE_LINE);
    c.fill(line(15, 17, 18.5f, 17, 1.1f), MODE_LINE);
    c.fill(line(2.5f, 17, 7.5f, 17, 1.1f), MODE_LINE);
    c.fill(line(7.5f, 17, 15, 7, 1.1f), MODE_LINE);
    c.fill(line(15, 7, 18.5f, 7, 1.1f), MODE_LINE);
    c.fill(arrowHead(21.5f, 7, 0, 4.6f), MODE_LINE);
    c.fill(arrowHead(21.5f, 17, 0, 4.6f), MODE_LINE);
}

void writeModeIcon(const ArtOutput& out, const std::string& name,
                   const std::function<void(Canvas&)>& drawing) {
    Canvas canvas(MODE_ICON, MODE_ICON);
    drawing(canvas);
    out.plain(canvas, "icons/" + name + ".png");
}

} // namespace

Shape arrowHead(float x, float y, float degrees, float size) {
    // A triangle with its tip at (x, y), pointing along the angle.
    return shape::rotate(
        shape::polygon({{x, y}, {x - size, y - size * 0.62f}, {x - size, y + size * 0.62f}}), x, y,
        degrees);
}

void drawIcons(const ArtOutput& out) {
    writeIconPair(out, "gequ", songs);
    writeIconPair(out, "zhuanji", albums);
    writeIconPair(out, "yishujia", artists);
    writeIconPair(out, "shoucang", favourites);
    writeIconPair(out, "eq", equalizer);
    writeIconPair(out, "shezhi", settings);
    writeIconPair(out, "bofang", nowPlaying);
    writeIconPair(out, "song", song);
    writeIconPair(out, "gs", singer);
    writeModeIcon(out, "ss", sequence);
    writeModeIcon(out, "ssx", sequenceLoop);
    writeModeIcon(out, "dx", single);
    writeModeIcon(out, "sj", shuffle);
}

} // namespace art
