#pragma once

#include "core/SdlHandles.h"

#include <cstdint>
#include <vector>

// A skin picture that turns about a point of its own: a reel, the disc with its label, the tone
// arm. The picture is turned on the CPU into a streaming texture, and only when the angle has
// moved its farthest pixel by half a pixel or more. SDL's software renderer turns a picture by
// building new surfaces for every copy, many times slower, and the disc, the arm and the reels
// turn every frame.
class TurningPicture {
public:
    static constexpr double ANY_ANGLE = 360.0;

    // Takes a copy of the picture. The texture holds the picture turned by any angle from 0 up
    // to maxAngle degrees (ANY_ANGLE: every angle); pivot is the point it turns about.
    bool load(SDL_Renderer* renderer, SDL_Surface& picture, SDL_Point pivot, double maxAngle);
    void release();
    bool isLoaded() const { return texture != nullptr; }

    // Within this distance of the pivot the turned pixels are interpolated from their four
    // neighbours (a cover shown as the disc's label); elsewhere the nearest pixel is taken.
    void setSmoothRadius(int radius) { smoothRadius = radius; }

    // Draws the picture turned clockwise by angle degrees, its pivot at screenPivot.
    void draw(SDL_Renderer* renderer, SDL_Point screenPivot, double angle);

    // True when turning the picture (32-bit ARGB) about pivot changes next to no pixel, as with
    // a disc whose grooves are round: such a picture looks the same at every angle.
    static bool looksTheSameTurned(SDL_Surface& picture, SDL_Point pivot);

private:
    static constexpr int TILE_ROWS = 16;
    static constexpr int TILE_COLUMNS = 32;

    // Where a row of the box starts in the source (fixed point), the columns that can show a
    // visible pixel, and those within the smooth radius.
    struct RowStart {
        int32_t u, v;
        int from, to;
        int smoothFrom, smoothTo;
    };

    void findVisiblePart();
    SDL_Rect boxFor(double maxAngle) const;
    void turn(double angle, uint32_t* pixels, int pitch) const;
    RowStart rowStart(int row, double c, double s) const;

    std::vector<uint32_t> source; // ARGB, row after row
    int width = 0;
    int height = 0;
    SDL_Point pivot{};
    SDL_Rect visible{}; // the part of the source with visible pixels
    double reach = 0.0; // from the pivot to the farthest visible pixel
    SDL_Rect box{};
    int smoothRadius = 0;
    TexturePtr texture;
    double turnedAngle = 0.0;
    bool turned = false;
};
