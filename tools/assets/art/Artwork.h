#pragma once

#include "ArtOutput.h"

// The player's artwork, drawn from code. Each function writes one group of pictures into the
// runtime folder at the sizes and positions the pages draw them.
namespace art {

// Colours shared by every picture.
namespace palette {
const Rgba INK = rgb(14, 14, 17);
const Rgba GRAPHITE = rgb(30, 30, 35);
const Rgba RED = rgb(255, 0, 0);
const Rgba EMBER = rgb(255, 77, 35); // the record player's display colour
const Rgba WHITE = rgb(255, 255, 255);
const Rgba MUTED = rgb(150, 150, 150);
} // namespace palette

void drawIcons(const ArtOutput& out);
void drawScreens(const ArtOutput& out); // backdrop, side panel, lyrics mask, key guides
void drawCovers(const ArtOutput& out);  // default covers and the cassette case
void drawEqualizer(const ArtOutput& out);
void drawTapeSkins(const ArtOutput& out);
void drawRecordSkin(const ArtOutput& out);

// A triangle with its tip at (x, y), pointing along the angle (degrees, clockwise from +x).
Shape arrowHead(float x, float y, float degrees, float size);

} // namespace art
