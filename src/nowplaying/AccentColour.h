#pragma once

#include <SDL.h>

// The colour that stands for a cover on the tape skin's panel: the average of the most common
// hue among the picture's coloured pixels. Hues fall into twelve buckets of 30 degrees; the
// fullest bucket wins, the lowest-numbered one among equals. Pixels more than half transparent
// and near-white pixels (saturation below 0.1 with value above 0.85) do not count. Opaque black
// when no pixel counts or there is no picture. A picture larger than ANALYSED_SIZE either way is
// looked at scaled to ANALYSED_SIZE × ANALYSED_SIZE.
namespace AccentColour {

constexpr int ANALYSED_SIZE = 300;

SDL_Color of(SDL_Surface* picture);

} // namespace AccentColour
