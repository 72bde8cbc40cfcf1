// Default covers (square, 300×300; the pages scale them) and the cassette case that the tape
// skin draws over album covers.
#include "Artwork.h"

#include <cmath>

namespace art {

namespace {

constexpr int COVER = 300;

Shape cassetteOutline(float cx, float cy, float scale) {
    return shape::box(cx - 92 * scale, cy - 58 * scale, 184 * scale, 116 * scale, 10 * scale);
}

// A line drawing of a cassette on a coloured ground.
Canvas cassetteCover(Rgba light, Rgba dark) {
    Canvas c(COVER, COVER);
    const Shape square = shape::box(0, 0, COVER, COVER);
    c.fill(square, paint::linear(0, 0, light, COVER, COVER, dark));
    c.fill(square, paint::radial(70, 60, 260, rgb(255, 255, 255, 0.16f), rgb(255, 255, 255, 0)));
    for (int i = 0; i < 12; ++i) {
        c.fill(shape::box(0, 24.0f * i + 10, COVER, 1), rgb(255, 255, 255, 0.035f));
    }
    const Rgba ink = rgb(255, 255, 255, 0.88f);
    const float cx = 150, cy = 150;
    const float k = 0.82f; // fits the centre strip that the tape skin shows
    c.fill(shape::translate(cassetteOutline(cx, cy, k), 0, 6), rgb(0, 0, 0, 0.25f), 8);
    c.fill(shape::outline(cassetteOutline(cx, cy, k), 2.2f), ink);
    c.fill(shape::outline(shape::box(cx - k * 72, cy - k * 44, k * 144, k * 52, k * 6), 1.2f),
           withAlpha(ink, 0.5f));
    const Shape window = shape::box(cx - k * 46, cy - k * 30, k * 92, k * 26, k * 13);
    c.fill(shape::outline(window, 1.8f), ink);
    for (float reelX : {cx - k * 33, cx + k * 33}) {
        c.fill(shape::ring(reelX, cy - k * 17, k * 8, 1.6f), ink);
        for (int t = 0; t < 6; ++t) {
            c.fill(shape::rotate(shape::box(reelX - 1, cy - k * 17 - k * 8, 2, k * 4), reelX,
                                 cy - k * 17, t * 60.0f),
                   ink);
        }
    }
    c.fill(shape::outline(shape::polygon({{cx - k * 52, cy + k * 58},
                                          {cx - k * 42, cy + k * 28},
                                          {cx + k * 42, cy + k * 28},
                                          {cx + k * 52, cy + k * 58}}),
                          1.8f),
           ink);
    for (float holeX : {cx - k * 26, cx + k * 26}) {
        c.fill(shape::circle(holeX, cy + k * 44, k * 4.5f), ink);
    }
    return c;
}

Canvas albumCover() {
    Canvas c(COVER, COVER);
    const Shape square = shape::box(0, 0, COVER, COVER);
    c.fill(square, paint::linear(0, 0, rgb(38, 72, 140), COVER, COVER, rgb(12, 16, 44)));
    for (int r = 40; r < 420; r += 14) {
        c.fill(shape::ring(300, 300, static_cast<float>(r), 0.7f), rgb(255, 255, 255, 0.05f));
    }
    c.fill(shape::circle(150, 150, 78), rgb(0, 0, 0, 0.22f), 10);
    c.fill(shape::circle(150, 146, 74), rgb(16, 18, 26));
    for (int r = 30; r < 72; r += 4) {
        c.fill(shape::ring(150, 146, static_cast<float>(r), 0.4f), rgb(255, 255, 255, 0.06f));
    }
    c.fill(shape::circle(150, 146, 24), rgb(255, 72, 60));
    c.fill(shape::circle(150, 146, 3.5f), rgb(16, 18, 26));
    c.fill(shape::arc(150, 146, 62, 200, 250, 1.2f), rgb(255, 255, 255, 0.30f));
    return c;
}

Canvas recordLabel() {
    Canvas c(COVER, COVER);
    const Shape square = shape::box(0, 0, COVER, COVER);
    c.fill(square, paint::radial(150, 150, 212, rgb(255, 96, 52), rgb(150, 28, 16)));
    for (int r = 24; r < 212; r += 22) {
        c.fill(shape::ring(150, 150, static_cast<float>(r), 0.6f), rgb(255, 255, 255, 0.10f));
    }
    c.fill(shape::ring(150, 150, 96, 1.4f), rgb(255, 255, 255, 0.55f));
    c.fill(shape::ring(150, 150, 34, 1.0f), rgb(255, 255, 255, 0.35f));
    // A small waveform above the centre, the label's only mark.
    for (int i = 0; i < 9; ++i) {
        const float h = 10 + 22 * std::abs(std::sin(i * 0.9f + 0.4f));
        c.fill(shape::box(113 + i * 8.5f, 92 - h / 2, 4, h, 2), rgb(255, 255, 255, 0.85f));
    }
    c.fill(shape::circle(150, 150, 6), rgb(20, 20, 22));
    return c;
}

// The clear cassette case around a cover strip at (29, 23, 182, 286).
Canvas cassetteCase() {
    constexpr int W = 240, H = 332;
    constexpr float STRIP_X = 29, STRIP_Y = 23, STRIP_W = 182, STRIP_H = 286;
    Canvas c(W, H);
    const Shape body = shape::box(2, 2, W - 4, H - 4, 9);
    const Shape strip = shape::box(STRIP_X, STRIP_Y, STRIP_W, STRIP_H, 2);
    c.fill(shape::subtract(body, strip), rgb(220, 225, 235, 0.13f));
    // Hinge with ribs along the left side.
    c.fill(shape::box(6, 10, 18, H - 20, 4), rgb(0, 0, 0, 0.35f));
    for (int y = 18; y < H - 18; y += 7) {
        c.fill(shape::box(9, static_cast<float>(y), 12, 2, 1), rgb(255, 255, 255, 0.14f));
    }
    c.fill(shape::outline(body, 1.0f), rgb(255, 255, 255, 0.55f));
    c.fill(shape::outline(shape::box(5, 5, W - 10, H - 10, 7), 0.5f), rgb(255, 255, 255, 0.18f));
    // The card sits in a recess: a dark edge and a gloss across the clear lid.
    c.fill(shape::outline(strip, 1.0f), rgb(0, 0, 0, 0.55f));
    c.fill(shape::intersect(strip, shape::outline(strip, 5)), rgb(0, 0, 0, 0.18f), 3);
    c.fill(shape::intersect(body, shape::polygon({{60, 2}, {150, 2}, {40, H}, {-50, H}})),
           rgb(255, 255, 255, 0.07f));
    c.fill(shape::intersect(body, shape::polygon({{170, 2}, {190, 2}, {80, H}, {60, H}})),
           rgb(255, 255, 255, 0.05f));
    return c;
}

} // namespace

void drawCovers(const ArtOutput& out) {
    const Canvas placeholder = cassetteCover(rgb(190, 30, 44), rgb(70, 8, 18));
    out.plain(placeholder, "icons/tfm.png");
    out.plain(placeholder, "icons/type/tfm.png");
    out.plain(cassetteCover(rgb(245, 140, 180), rgb(160, 60, 110)), "icons/typepink/tfm.png");
    out.plain(albumCover(), "icons/ty.png");
    const Canvas label = recordLabel();
    out.plain(label, "icons/rtfm.png");
    // Read both as a plain image and through the theme-asset reader, so stored plain.
    out.plain(label, "icons/record/rtfm.png");
    out.plain(cassetteCase(), "icons/zg.png");
}

} // namespace art
