// The equalizer page: the slider track (16×293 at track x, y 112), the knob (35×34, normal and
// edited) and the scale overlay. The page puts a knob's top at y 103 for +12 dB and at y 373 for
// −12 dB, so the knob centres, and the scale marks, sit at y 120 (+12), 255 (0) and 390 (−12).
#include "Artwork.h"

#include <string>

namespace art {

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr int BANDS = 10;
constexpr float KNOB_X = 57, KNOB_W = 35, BAND_STEP = 55;
constexpr float KNOB_CENTRE_TOP = 120, KNOB_CENTRE_BOTTOM = 390; // +12 dB and −12 dB
constexpr float MAX_DB = 12;

float levelY(float db) {
    const float t = (MAX_DB - db) / (2 * MAX_DB);
    return KNOB_CENTRE_TOP + t * (KNOB_CENTRE_BOTTOM - KNOB_CENTRE_TOP);
}

void track(const ArtOutput& out) {
    Canvas c(16, 293);
    const Shape groove = shape::box(4.5f, 1.5f, 7, 290, 3.5f);
    c.fill(shape::grow(groove, 1.5f), rgb(255, 255, 255, 0.06f));
    c.fill(groove, paint::linear(4.5f, 0, rgb(4, 4, 6), 11.5f, 0, rgb(18, 18, 22)));
    c.fill(shape::outline(groove, 0.5f), rgb(0, 0, 0, 0.8f));
    out.plain(c, "icons/eq/jd.png");
}

Canvas knob(bool edited) {
    Canvas c(35, 34);
    const float cx = 17.5f, cy = 17;
    c.fill(shape::circle(cx, cy + 1.5f, 15), rgb(0, 0, 0, 0.6f), 1.5f);
    c.fill(shape::circle(cx, cy, 15),
           paint::linear(0, 2, rgb(104, 104, 112), 0, 32, rgb(36, 36, 40)));
    c.fill(shape::circle(cx, cy, 12), paint::linear(0, 5, rgb(52, 52, 58), 0, 29, rgb(84, 84, 92)));
    c.fill(shape::outline(shape::circle(cx, cy, 15), 0.5f), rgb(0, 0, 0, 0.7f));
    c.fill(shape::arc(cx, cy, 13.5f, 200, 340, 0.6f), rgb(255, 255, 255, 0.35f));
    const Rgba indicator = edited ? palette::RED : palette::WHITE;
    if (edited) {
        c.fill(shape::ring(cx, cy, 15.5f, 1.2f), rgb(255, 30, 30, 0.9f));
    }
    c.fill(shape::capsule(cx - 7, cy, cx + 7, cy, 1.3f), indicator);
    return c;
}

void scale(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Font label(out.uiFont(), 13);
    struct Mark {
        float db;
        const char* text;
        float alpha;
    };
    const Mark marks[] = {{12, "+12", 0.30f},
                          {6, "+6", 0.16f},
                          {0, "0", 0.40f},
                          {-6, "-6", 0.16f},
                          {-12, "-12", 0.30f}};
    for (const Mark& mark : marks) {
        const float y = levelY(mark.db);
        const Rgba text = rgb(150, 150, 150, 0.5f + mark.alpha);
        c.text(label, mark.text, 46, y - label.height() / 2.0f, text, Align::RIGHT);
        c.text(label, std::string(mark.text) + " dB", 598, y - label.height() / 2.0f,
               withAlpha(text, 0.35f + mark.alpha));
        // Marks printed between the faders, clear of the knobs.
        for (int gap = -1; gap < BANDS; ++gap) {
            const float left = gap < 0 ? 50 : KNOB_X + KNOB_W + BAND_STEP * gap + 3;
            const float right = gap < BANDS - 1 ? KNOB_X + BAND_STEP * (gap + 1) - 3 : 594;
            c.fill(shape::box(left, y - 0.5f, right - left, 1), rgb(255, 255, 255, mark.alpha));
        }
    }
    c.fill(shape::box(296, 56, 48, 3, 1.5f), palette::RED);
    c.fill(shape::box(40, 407, 560, 1), rgb(255, 255, 255, 0.08f));
    out.plain(c, "icons/eq/dbzg.png");
}

} // namespace

void drawEqualizer(const ArtOutput& out) {
    track(out);
    out.plain(knob(false), "icons/eq/e1.png");
    out.plain(knob(true), "icons/eq/e2.png");
    scale(out);
}

} // namespace art
