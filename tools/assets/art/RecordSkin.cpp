// The record-player skin. The page draws, in order: the backdrop, the progress bar at
// (481, 399, 132, 9), the turntable, the cover as the disc label at (110, 111, 216, 216), the disc
// (408×408 at (14, 15), turning about its centre), the tone arm (171×440 at (346, 9), turning
// about (131, 97): 0° at rest, 15° playing), the volume thumb (41×78 at x 583, y 68 … 260), the
// top overlay, then the texts. The albums and detail pages draw the mask over square covers.
#include "Artwork.h"

#include <cmath>

namespace art {

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr float PI = 3.14159265f;

constexpr float DISC_X = 218, DISC_Y = 219; // screen centre of the disc and the label
constexpr float DISC_RADIUS = 197;    // the vinyl; its picture is 408×408, with a clear margin
constexpr float LABEL_RADIUS = 100;   // the disc is open inside this, showing the cover
constexpr float PLATTER_RADIUS = 201; // keeps the resting arm clear of the record
constexpr float STROBE_RADIUS = 199.2f;
constexpr SDL_Rect PROGRESS_BAR{481, 399, 132, 9};
constexpr float ARM_LEFT = 346, ARM_TOP = 9;
constexpr float PIVOT_X = 131, PIVOT_Y = 97;   // inside the arm picture
constexpr float NEEDLE_X = 35, NEEDLE_Y = 381; // inside the arm picture, at rest
constexpr float THUMB_X = 583, THUMB_W = 41, THUMB_H = 78;
constexpr float THUMB_TOP_FULL = 68, THUMB_TOP_SILENT = 260;
const std::string FOLDER = "icons/record/";

float pivotScreenX() {
    return ARM_LEFT + PIVOT_X;
}
float pivotScreenY() {
    return ARM_TOP + PIVOT_Y;
}

void backdrop(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Shape screen = shape::box(0, 0, SCREEN_W, SCREEN_H);
    c.fill(screen, paint::linear(0, 0, rgb(36, 31, 29), 0, SCREEN_H, rgb(12, 11, 11)));
    c.fill(screen, paint::radial(120, 60, 520, rgb(255, 120, 60, 0.07f), rgb(255, 120, 60, 0)));
    c.fill(shape::box(0, 0, SCREEN_W, 30), rgb(0, 0, 0, 0.3f));
    c.fill(shape::box(0, 29, SCREEN_W, 1), rgb(255, 255, 255, 0.07f));
    out.scrambled(c, FOLDER + "bg.png");
}

void turntable(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Shape plinth = shape::box(5, 5, 630, 470, 22);
    c.fill(shape::translate(plinth, 0, 3), rgb(0, 0, 0, 0.6f), 4);
    c.fill(plinth, paint::linear(0, 5, rgb(40, 40, 44), 0, 475, rgb(20, 20, 23)));
    c.fill(shape::outline(plinth, 0.7f), rgb(0, 0, 0, 0.8f));
    c.fill(shape::intersect(shape::outline(shape::grow(plinth, -1.5f), 0.7f),
                            shape::box(0, 0, SCREEN_W, 80)),
           rgb(255, 255, 255, 0.12f));

    // Platter with a strobe ring around the disc.
    c.fill(shape::circle(DISC_X, DISC_Y + 3, PLATTER_RADIUS + 2), rgb(0, 0, 0, 0.6f), 5);
    c.fill(shape::circle(DISC_X, DISC_Y, PLATTER_RADIUS),
           paint::linear(0, DISC_Y - PLATTER_RADIUS, rgb(170, 170, 176), 0, DISC_Y + PLATTER_RADIUS,
                         rgb(70, 70, 76)));
    for (int i = 0; i < 120; ++i) {
        const float angle = 2 * PI * i / 120;
        c.fill(shape::circle(DISC_X + STROBE_RADIUS * std::cos(angle),
                             DISC_Y + STROBE_RADIUS * std::sin(angle), 0.9f),
               rgb(30, 30, 34));
    }
    c.fill(shape::circle(DISC_X, DISC_Y, DISC_RADIUS - 1), rgb(22, 22, 24));

    // Tone-arm base and the rest that holds the arm off the record.
    const float px = pivotScreenX(), py = pivotScreenY();
    c.fill(shape::circle(px, py + 3, 38), rgb(0, 0, 0, 0.55f), 4);
    c.fill(shape::circle(px, py, 37),
           paint::linear(0, py - 37, rgb(86, 86, 92), 0, py + 37, rgb(34, 34, 38)));
    c.fill(shape::ring(px, py, 28, 0.8f), rgb(0, 0, 0, 0.5f));
    c.fill(shape::ring(px, py, 36.5f, 0.6f), rgb(255, 255, 255, 0.2f));
    const float restX = 410, restY = 305; // under the tube when the arm is at 0°
    c.fill(shape::circle(restX, restY + 2, 9), rgb(0, 0, 0, 0.5f), 2);
    c.fill(shape::circle(restX, restY, 8), rgb(70, 70, 76));
    c.fill(shape::capsule(restX - 9, restY, restX + 9, restY, 2.5f), rgb(24, 24, 26));

    // Volume fader: track, scale and labels beside the thumb's travel.
    const float trackTop = THUMB_TOP_FULL + THUMB_H / 2,
                trackBottom = THUMB_TOP_SILENT + THUMB_H / 2;
    const float trackX = THUMB_X + THUMB_W / 2;
    c.fill(shape::box(trackX - 4, trackTop - 8, 8, trackBottom - trackTop + 16, 4), rgb(6, 6, 8));
    c.fill(shape::outline(shape::box(trackX - 4, trackTop - 8, 8, trackBottom - trackTop + 16, 4),
                          0.5f),
           rgb(255, 255, 255, 0.15f));
    for (int i = 0; i <= 10; ++i) {
        const float y = trackTop + (trackBottom - trackTop) * i / 10;
        c.fill(shape::box(i % 5 == 0 ? 566 : 570, y - 0.5f, i % 5 == 0 ? 12 : 8, 1),
               rgb(255, 255, 255, i % 5 == 0 ? 0.45f : 0.25f));
    }
    const Font small(out.uiFont(), 11);
    c.text(small, "MAX", 562, trackTop - small.height() / 2.0f, rgb(160, 160, 160), Align::RIGHT);
    c.text(small, "MIN", 562, trackBottom - small.height() / 2.0f, rgb(160, 160, 160),
           Align::RIGHT);

    // The display behind the remaining time and the progress bar.
    const Shape display = shape::box(466, 340, 160, 80, 9);
    c.fill(display, rgb(8, 8, 9));
    c.fill(shape::intersect(display, shape::outline(display, 5)), rgb(0, 0, 0, 0.6f), 3);
    c.fill(shape::outline(display, 0.6f), rgb(255, 255, 255, 0.14f));
    // The progress bar is drawn before the turntable and shows through this slot.
    const Shape slot = shape::box(PROGRESS_BAR.x, PROGRESS_BAR.y, PROGRESS_BAR.w, PROGRESS_BAR.h);
    c.fill(shape::grow(slot, 2), rgb(0, 0, 0));
    c.erase(slot);
    c.text(small, "33⅓ RPM", 468, 318, rgb(255, 77, 35, 0.85f));
    c.fill(shape::circle(457, 326, 3), rgb(255, 77, 35));
    out.scrambled(c, FOLDER + "cp.png");
}

// A small deterministic variation so the grooves do not look machined.
float grooveShade(int index) {
    const unsigned h = static_cast<unsigned>(index) * 2654435761u;
    return 0.015f + 0.03f * ((h >> 16) % 100) / 100.0f;
}

void disc(const ArtOutput& out) {
    constexpr int SIZE = 408;
    const float cx = SIZE / 2.0f, cy = SIZE / 2.0f;
    Canvas c(SIZE, SIZE);
    c.fill(shape::circle(cx, cy, DISC_RADIUS - 0.5f), rgb(15, 15, 17));
    int index = 0;
    for (float r = 108; r < DISC_RADIUS - 6; r += 1.3f, ++index) {
        c.fill(shape::ring(cx, cy, r, 0.35f), rgb(255, 255, 255, grooveShade(index)));
    }
    for (float gap : {134.0f, 159.0f, 181.0f}) {
        c.fill(shape::ring(cx, cy, gap, 1.2f), rgb(4, 4, 5));
        c.fill(shape::ring(cx, cy, gap + 1.6f, 0.4f), rgb(255, 255, 255, 0.08f));
    }
    c.fill(shape::ring(cx, cy, DISC_RADIUS - 2, 1.4f), rgb(64, 64, 70));
    c.fill(shape::ring(cx, cy, 104, 3.5f), rgb(24, 24, 27));
    // Open centre: the cover shows through as the label, slightly shaded at its rim.
    c.erase(shape::circle(cx, cy, LABEL_RADIUS));
    constexpr float SHADE_FROM = 90;
    c.fill(shape::subtract(shape::circle(cx, cy, LABEL_RADIUS), shape::circle(cx, cy, SHADE_FROM)),
           [=](float x, float y) {
               const float r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
               return rgb(0, 0, 0, 0.5f * (r - SHADE_FROM) / (LABEL_RADIUS - SHADE_FROM));
           });
    c.fill(shape::circle(cx, cy, 6.5f), rgb(0, 0, 0, 0.5f), 1.5f);
    c.fill(shape::circle(cx, cy, 5.5f),
           paint::linear(0, cy - 6, rgb(230, 230, 236), 0, cy + 6, rgb(120, 120, 128)));
    out.scrambled(c, FOLDER + "pp.png");
}

void toneArm(const ArtOutput& out) {
    constexpr int W = 171, H = 440;
    Canvas c(W, H);
    // The arm's axis from the pivot to the stylus.
    const float dx = NEEDLE_X - PIVOT_X, dy = NEEDLE_Y - PIVOT_Y;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float ux = dx / length, uy = dy / length;
    const float axisDegrees = std::atan2(-ux, uy) * 180 / PI; // turns a downward box onto the axis
    auto alongAxis = [&](float cx, float cy, float w, float h, float radius, float extraDegrees) {
        return shape::rotate(shape::box(cx - w / 2, cy - h / 2, w, h, radius), cx, cy,
                             axisDegrees + extraDegrees);
    };

    const float weightX = PIVOT_X - 50 * ux, weightY = PIVOT_Y - 50 * uy;
    const float tubeEndX = PIVOT_X + 0.76f * length * ux, tubeEndY = PIVOT_Y + 0.76f * length * uy;
    const float shellX = PIVOT_X + 0.9f * length * ux, shellY = PIVOT_Y + 0.9f * length * uy;
    const Shape weight = alongAxis(weightX, weightY, 30, 38, 6, 0);
    const Shape tube = shape::capsule(PIVOT_X, PIVOT_Y, tubeEndX, tubeEndY, 4.5f);
    const Shape headShell = alongAxis(shellX, shellY, 22, 58, 4, 8);
    const Shape fingerLift =
        shape::capsule(shellX + 8, shellY - 14, shellX + 22, shellY - 10, 2.2f);
    const Shape arm = shape::unite(shape::unite(weight, tube), shape::unite(headShell, fingerLift));

    c.fill(shape::translate(arm, 5, 7), rgb(0, 0, 0, 0.45f), 4);
    const Paint metal = paint::linear(PIVOT_X - 5 * uy, PIVOT_Y + 5 * ux, rgb(120, 120, 126),
                                      PIVOT_X + 5 * uy, PIVOT_Y - 5 * ux, rgb(232, 232, 238));
    c.fill(tube, metal);
    c.fill(shape::outline(tube, 0.5f), rgb(0, 0, 0, 0.45f));
    c.fill(weight,
           paint::linear(0, weightY - 20, rgb(90, 90, 96), 0, weightY + 20, rgb(34, 34, 38)));
    for (int ring = -2; ring <= 2; ++ring) {
        c.fill(shape::intersect(weight, alongAxis(weightX + ring * 6 * ux, weightY + ring * 6 * uy,
                                                  40, 1.2f, 0, 0)),
               rgb(0, 0, 0, 0.35f));
    }
    c.fill(headShell,
           paint::linear(shellX - 10, 0, rgb(70, 70, 76), shellX + 10, 0, rgb(30, 30, 34)));
    c.fill(alongAxis(shellX - 1.5f * ux, shellY + 6 * uy, 14, 30, 2, 8), rgb(16, 16, 18));
    c.fill(shape::outline(headShell, 0.5f), rgb(255, 255, 255, 0.2f));
    c.fill(fingerLift, rgb(200, 200, 206));
    c.fill(shape::circle(PIVOT_X, PIVOT_Y, 19),
           paint::linear(0, PIVOT_Y - 19, rgb(210, 210, 216), 0, PIVOT_Y + 19, rgb(80, 80, 86)));
    c.fill(shape::ring(PIVOT_X, PIVOT_Y, 12, 1), rgb(0, 0, 0, 0.35f));
    c.fill(shape::circle(PIVOT_X, PIVOT_Y, 4), palette::EMBER);
    out.scrambled(c, FOLDER + "bo.png");
}

void volumeThumb(const ArtOutput& out) {
    Canvas c(static_cast<int>(THUMB_W), static_cast<int>(THUMB_H));
    const Shape cap = shape::box(3, 3, THUMB_W - 6, THUMB_H - 7, 6);
    c.fill(shape::translate(cap, 0, 2), rgb(0, 0, 0, 0.6f), 2);
    c.fill(cap, paint::linear(0, 3, rgb(214, 214, 220), 0, THUMB_H - 4, rgb(104, 104, 110)));
    for (float y = 10; y < THUMB_H - 10; y += 5) {
        if (std::abs(y - THUMB_H / 2) > 6) {
            c.fill(shape::box(8, y, THUMB_W - 16, 1.2f), rgb(0, 0, 0, 0.22f));
        }
    }
    c.fill(shape::box(6, THUMB_H / 2 - 3, THUMB_W - 12, 4, 1), palette::EMBER);
    c.fill(shape::outline(cap, 0.5f), rgb(0, 0, 0, 0.6f));
    out.scrambled(c, FOLDER + "tn.png");
}

void topOverlay(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    // Light caught in the grooves: two opposite soft wedges that stay put while the disc turns.
    const Shape grooves = shape::subtract(shape::circle(DISC_X, DISC_Y, DISC_RADIUS - 4),
                                          shape::circle(DISC_X, DISC_Y, 106));
    c.fill(grooves, [](float x, float y) {
        const float angle = std::atan2(y - DISC_Y, x - DISC_X);
        const float wedge = std::pow(std::max(0.0f, std::cos(2 * (angle + PI / 4))), 8.0f);
        return rgb(255, 255, 255, 0.10f * wedge);
    });
    c.fill(shape::intersect(shape::box(466, 340, 160, 80, 9), shape::box(466, 340, 160, 22)),
           paint::linear(0, 340, rgb(255, 255, 255, 0.05f), 0, 362, rgb(255, 255, 255, 0)));
    out.scrambled(c, FOLDER + "dbzg.png");
}

// The frame over square covers: the album carousel draws it at 244×244 over a 212×212 cover.
void coverMask(const ArtOutput& out) {
    constexpr int SIZE = 244;
    constexpr float EDGE = 16, COVER = 212;
    Canvas c(SIZE, SIZE);
    const Shape cover = shape::box(EDGE, EDGE, COVER, COVER, 3);
    c.fill(shape::subtract(shape::circle(EDGE + 140, EDGE + COVER / 2, 100), cover),
           rgb(12, 12, 14));
    c.fill(shape::subtract(shape::ring(EDGE + 140, EDGE + COVER / 2, 92, 0.5f), cover),
           rgb(255, 255, 255, 0.10f));
    c.fill(shape::translate(cover, 0, 5), rgb(0, 0, 0, 0.55f), 7);
    c.erase(cover);
    c.fill(shape::intersect(cover, shape::outline(cover, 5)), rgb(0, 0, 0, 0.22f), 3);
    c.fill(shape::intersect(cover,
                            shape::polygon({{EDGE, EDGE}, {EDGE + 120, EDGE}, {EDGE, EDGE + 120}})),
           paint::linear(EDGE, EDGE, rgb(255, 255, 255, 0.14f), EDGE + 60, EDGE + 60,
                         rgb(255, 255, 255, 0)));
    c.fill(shape::outline(cover, 0.6f), rgb(255, 255, 255, 0.35f));
    out.scrambled(c, FOLDER + "zjzz.png");
}

} // namespace

void drawRecordSkin(const ArtOutput& out) {
    backdrop(out);
    turntable(out);
    disc(out);
    toneArm(out);
    volumeThumb(out);
    topOverlay(out);
    coverMask(out);
}

} // namespace art
