// The cassette skin of the now-playing page, in two colourways. The page draws, in order: the
// backdrop, the cover at (14, 16, 300, 300) with its colour panel to x 626, the progress bar at
// (2, 409, 636, 55), the cassette body, the overlay, both reels (104×104 at (128, 137) and
// (420, 137), turning about (52, 53) and (53, 53)), the tape picture, the title and artist, the
// top overlay, then the play-mode icon, lyric and time along the bottom.
#include "Artwork.h"

#include <cmath>
#include <string>

namespace art {

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;

// Reel hubs on screen: the reel picture's hub sits at (52.5, 53) inside it.
constexpr float LEFT_HUB_X = 180.5f, RIGHT_HUB_X = 472.5f, HUB_Y = 190;
constexpr float HUB_IN_REEL_X = 52.5f, HUB_IN_REEL_Y = 53;
constexpr int REEL_SIZE = 104;
constexpr float HUB_RADIUS = 33.5f; // the tape is wound from here outwards
constexpr float FULL_REEL = 112;    // radius of a full pack
constexpr int TAPE_PICTURES = 30;   // k/1-1.png … k/10-3.png
constexpr int PICTURES_PER_ROW = 3;

struct TapeColours {
    std::string folder;
    Rgba shellLight, shellDark;
    Rgba detail; // printing on the shell
    Rgba window; // smoked window
    Rgba backdropTop, backdropBottom;
};

Shape shellShape() {
    return shape::box(3, 3, 634, 400, 18);
}
Shape labelShape() {
    return shape::box(14, 16, 612, 300, 6);
}
Shape windowShape() {
    return shape::box(LEFT_HUB_X - 60, HUB_Y - 60, RIGHT_HUB_X - LEFT_HUB_X + 120, 120, 60);
}
Shape slotShape() {
    return shape::box(2, 409, 636, 55, 6);
}
Shape headAreaShape() {
    return shape::polygon({{150, 403}, {172, 334}, {468, 334}, {490, 403}});
}

void backdrop(const ArtOutput& out, const TapeColours& colours) {
    Canvas c(SCREEN_W, SCREEN_H);
    c.fill(shape::box(0, 0, SCREEN_W, SCREEN_H),
           paint::linear(0, 0, colours.backdropTop, 0, SCREEN_H, colours.backdropBottom));
    c.fill(slotShape(), rgb(9, 9, 11));
    c.fill(shape::intersect(slotShape(), shape::box(0, 409, SCREEN_W, 8)),
           paint::linear(0, 409, rgb(0, 0, 0, 0.6f), 0, 417, rgb(0, 0, 0, 0)));
    for (int x = 22; x < SCREEN_W; x += 20) {
        c.fill(shape::box(static_cast<float>(x), 441, 1, x % 100 == 2 ? 8 : 4),
               rgb(255, 255, 255, 0.10f));
    }
    out.scrambled(c, "icons/" + colours.folder + "/bg.png");
}

void screw(Canvas& c, float x, float y, const TapeColours& colours) {
    c.fill(shape::circle(x, y + 0.8f, 5.5f), rgb(255, 255, 255, 0.15f));
    c.fill(shape::circle(x, y, 5.5f), paint::linear(0, y - 5, colours.shellDark, 0, y + 5,
                                                    mix(colours.shellDark, rgb(0, 0, 0), 0.5f)));
    c.fill(shape::rotate(shape::box(x - 3.5f, y - 0.7f, 7, 1.4f), x, y, 35), rgb(0, 0, 0, 0.6f));
    c.fill(shape::rotate(shape::box(x - 0.7f, y - 3.5f, 1.4f, 7), x, y, 35), rgb(0, 0, 0, 0.6f));
}

void body(const ArtOutput& out, const TapeColours& colours) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Shape shell = shellShape();
    const Shape label = labelShape();
    c.fill(shape::subtract(shell, label),
           paint::linear(0, 0, colours.shellLight, 0, 403, colours.shellDark));
    c.fill(shape::outline(shell, 0.8f), rgb(0, 0, 0, 0.7f));
    c.fill(
        shape::intersect(shape::outline(shape::grow(shell, -2), 0.8f), shape::box(0, 0, 640, 60)),
        rgb(255, 255, 255, 0.18f));

    // The label lies in a shallow recess; a darker laminate on its right half keeps white titles
    // readable on pale cover colours.
    c.fill(shape::outline(label, 1), rgb(0, 0, 0, 0.55f));
    c.fill(shape::intersect(label, shape::outline(label, 6)), rgb(0, 0, 0, 0.22f), 4);
    c.fill(label, paint::linear(314, 0, rgb(0, 0, 0, 0), 626, 0, rgb(0, 0, 0, 0.28f)));
    c.fill(shape::box(330, 248, 280, 1), rgb(255, 255, 255, 0.22f));
    c.fill(shape::box(330, 306, 280, 1), rgb(255, 255, 255, 0.14f));

    // The window through which reels and tape show.
    const Shape window = windowShape();
    c.fill(shape::grow(window, 4), withAlpha(colours.shellDark, 1));
    c.fill(shape::outline(shape::grow(window, 4), 0.6f), rgb(0, 0, 0, 0.6f));
    c.fill(window, colours.window);
    for (int i = 0; i <= 8; ++i) {
        const float x = 270 + i * 14.0f;
        c.fill(shape::box(x, HUB_Y - 54, 1, i % 4 == 0 ? 9 : 5), rgb(255, 255, 255, 0.22f));
    }

    // The lower edge where the tape meets the heads.
    const Shape head = headAreaShape();
    c.fill(head, paint::linear(0, 334, mix(colours.shellDark, rgb(0, 0, 0), 0.25f), 0, 403,
                               mix(colours.shellDark, rgb(0, 0, 0), 0.45f)));
    c.fill(shape::outline(head, 0.7f), rgb(0, 0, 0, 0.6f));
    c.fill(shape::intersect(shape::outline(head, 0.7f), shape::box(150, 333, 340, 3)),
           rgb(255, 255, 255, 0.15f));
    for (float x : {200.0f, 440.0f}) {
        c.fill(shape::circle(x, 372, 8), rgb(6, 6, 8));
    }
    for (float x : {258.0f, 366.0f}) {
        c.fill(shape::box(x, 364, 16, 16, 2), rgb(6, 6, 8));
    }
    c.fill(shape::box(298, 360, 44, 26, 3), rgb(6, 6, 8));

    screw(c, 32, 372, colours);
    screw(c, 608, 372, colours);
    screw(c, 320, 326, colours);
    const Font mark(out.uiFont(), 22);
    const Font small(out.uiFont(), 12);
    c.fill(shape::ring(70, 368, 15, 1.2f), colours.detail);
    c.text(mark, "A", 70, 368 - mark.height() / 2.0f, colours.detail, Align::CENTER);
    c.text(small, "NORMAL POSITION", 572, 352, colours.detail, Align::RIGHT);
    c.text(small, "TYPE I  ·  60 MIN", 572, 370, withAlpha(colours.detail, 0.6f), Align::RIGHT);
    out.scrambled(c, "icons/" + colours.folder + "/typebg.png");
}

void overlay(const ArtOutput& out, const TapeColours& colours) {
    Canvas c(SCREEN_W, SCREEN_H);
    // Shade inside the window's upper edge.
    c.fill(shape::intersect(windowShape(), shape::box(0, HUB_Y - 60, SCREEN_W, 18)),
           paint::linear(0, HUB_Y - 60, rgb(0, 0, 0, 0.5f), 0, HUB_Y - 42, rgb(0, 0, 0, 0)));
    // The tape runs along the bottom edge between two guide rollers.
    c.fill(shape::box(176, 394, 288, 3), rgb(74, 48, 34));
    for (float x : {176.0f, 464.0f}) {
        c.fill(shape::circle(x, 393, 7), rgb(200, 200, 205));
        c.fill(shape::circle(x, 393, 2.5f), rgb(60, 60, 66));
    }
    (void)colours;
    out.scrambled(c, "icons/" + colours.folder + "/zdbg.png");
}

void topOverlay(const ArtOutput& out, const TapeColours& colours) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Shape window = windowShape();
    c.fill(shape::outline(window, 1.2f), mix(colours.shellLight, rgb(255, 255, 255), 0.2f));
    c.fill(
        shape::intersect(window, shape::polygon({{250, 120}, {330, 120}, {250, 260}, {170, 260}})),
        rgb(255, 255, 255, 0.07f));
    c.fill(
        shape::intersect(window, shape::polygon({{350, 120}, {372, 120}, {292, 260}, {270, 260}})),
        rgb(255, 255, 255, 0.05f));
    c.fill(shape::outline(slotShape(), 0.6f), rgb(255, 255, 255, 0.12f));
    out.scrambled(c, "icons/" + colours.folder + "/db.png");
}

void reel(const ArtOutput& out, const TapeColours& colours) {
    Canvas c(REEL_SIZE, REEL_SIZE);
    const float cx = HUB_IN_REEL_X, cy = HUB_IN_REEL_Y;
    const Rgba ivory = rgb(238, 233, 222);
    c.fill(shape::ring(cx, cy, 50, 0.6f), rgb(255, 255, 255, 0.10f));
    c.fill(shape::ring(cx, cy, 28.5f, 5),
           paint::linear(0, cy - 34, ivory, 0, cy + 34, rgb(176, 170, 160)));
    for (int t = 0; t < 6; ++t) {
        c.fill(shape::rotate(shape::box(cx - 2.5f, cy - 24.5f, 5, 8, 1), cx, cy, t * 60.0f),
               rgb(220, 214, 204));
    }
    c.fill(shape::ring(cx, cy, 33.2f, 0.5f), rgb(0, 0, 0, 0.5f));
    c.fill(shape::ring(cx, cy, 23.8f, 0.5f), rgb(0, 0, 0, 0.35f));
    // A notch on the rim makes the turning visible even on a bare reel.
    c.fill(shape::box(cx - 1.5f, cy + 24, 3, 9), rgb(120, 112, 100));
    (void)colours;
    out.scrambled(c, "icons/" + colours.folder + "/c.png");
}

void pack(Canvas& c, float cx, float cy, float radius) {
    const Shape inside = shape::grow(windowShape(), -1.5f);
    const Shape wound = shape::intersect(
        shape::subtract(shape::circle(cx, cy, radius), shape::circle(cx, cy, HUB_RADIUS)), inside);
    c.fill(wound, paint::radial(cx, cy, radius, rgb(46, 30, 22), rgb(84, 56, 40)));
    for (float r = HUB_RADIUS + 4; r < radius - 2; r += 3.5f) {
        c.fill(shape::intersect(shape::ring(cx, cy, r, 0.4f), inside), rgb(255, 220, 190, 0.05f));
    }
    c.fill(shape::intersect(shape::ring(cx, cy, radius - 0.8f, 0.8f), inside),
           rgb(150, 110, 80, 0.8f));
}

float packRadius(float share) {
    return std::sqrt(HUB_RADIUS * HUB_RADIUS +
                     share * (FULL_REEL * FULL_REEL - HUB_RADIUS * HUB_RADIUS));
}

void tapePictures(const ArtOutput& out, const TapeColours& colours) {
    for (int n = 0; n < TAPE_PICTURES; ++n) {
        const float wound = (n + 0.5f) / TAPE_PICTURES; // share already on the right reel
        Canvas c(SCREEN_W, SCREEN_H);
        pack(c, LEFT_HUB_X, HUB_Y, packRadius(1 - wound));
        pack(c, RIGHT_HUB_X, HUB_Y, packRadius(wound));
        const std::string name = std::to_string(n / PICTURES_PER_ROW + 1) + "-" +
                                 std::to_string(n % PICTURES_PER_ROW + 1) + ".png";
        out.scrambled(c, "icons/" + colours.folder + "/k/" + name);
    }
}

void tapeSkin(const ArtOutput& out, const TapeColours& colours) {
    backdrop(out, colours);
    body(out, colours);
    overlay(out, colours);
    topOverlay(out, colours);
    reel(out, colours);
    tapePictures(out, colours);
}

} // namespace

void drawTapeSkins(const ArtOutput& out) {
    tapeSkin(out, TapeColours{"type", rgb(52, 52, 58), rgb(22, 22, 26), rgb(190, 190, 196, 0.8f),
                              rgb(10, 10, 12, 0.93f), rgb(30, 30, 35), rgb(10, 10, 12)});
    tapeSkin(out, TapeColours{"typepink", rgb(246, 186, 206), rgb(214, 128, 160),
                              rgb(255, 255, 255, 0.9f), rgb(40, 18, 30, 0.92f), rgb(46, 24, 36),
                              rgb(16, 8, 13)});
}

} // namespace art
