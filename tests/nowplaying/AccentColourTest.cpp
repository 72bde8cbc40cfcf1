// The tape skin's panel colour from small pictures painted pixel by pixel.
#include "nowplaying/AccentColour.h"

#include "core/SdlHandles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Paint {
    SDL_Color colour;
    int count;
};

// A one-row picture holding each colour count times, in order.
SurfacePtr picture(const std::vector<Paint>& paints, SDL_PixelFormatEnum format) {
    int width = 0;
    for (const Paint& paint : paints) {
        width += paint.count;
    }
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, width, 1, 32, format));
    int x = 0;
    for (const Paint& paint : paints) {
        SDL_Rect run{x, 0, paint.count, 1};
        SDL_FillRect(surface.get(), &run,
                     SDL_MapRGBA(surface->format, paint.colour.r, paint.colour.g, paint.colour.b,
                                 paint.colour.a));
        x += paint.count;
    }
    return surface;
}

SDL_Color accentOf(const std::vector<Paint>& paints,
                   SDL_PixelFormatEnum format = SDL_PIXELFORMAT_RGBA32) {
    return AccentColour::of(picture(paints, format).get());
}

// Channels within one step: the conversion back truncates.
void expectColour(SDL_Color actual, SDL_Color expected) {
    EXPECT_NEAR(actual.r, expected.r, 1);
    EXPECT_NEAR(actual.g, expected.g, 1);
    EXPECT_NEAR(actual.b, expected.b, 1);
    EXPECT_EQ(actual.a, 255);
}

constexpr SDL_Color RED{200, 0, 0, 255};
constexpr SDL_Color BLUE{0, 0, 200, 255};

} // namespace

TEST(AccentColourTest, TheFullestHueBucketWinsAndTheLowestAmongEquals) {
    expectColour(accentOf({{BLUE, 3}, {RED, 2}}), BLUE);
    expectColour(accentOf({{BLUE, 2}, {RED, 2}}), RED);
    // Another pixel format reads the same.
    expectColour(accentOf({{BLUE, 2}, {RED, 2}}, SDL_PIXELFORMAT_BGRA8888), RED);
}

TEST(AccentColourTest, TheWinningBucketIsAveragedInHueSaturationAndValue) {
    // Hues 0 and 20 degrees, both fully saturated, values 1 and 0.6: the mean is hue 10,
    // saturation 1, value 0.8.
    SDL_Color mixed = accentOf({{{255, 0, 0, 255}, 1}, {{153, 51, 0, 255}, 1}});
    expectColour(mixed, {204, 34, 0, 255});
}

TEST(AccentColourTest, TransparentAndNearWhitePixelsDoNotCount) {
    expectColour(accentOf({{{0, 200, 0, 127}, 5}, {{250, 245, 245, 255}, 5}, {BLUE, 1}}), BLUE);
    // A pale tint is still coloured enough to count.
    expectColour(accentOf({{{240, 200, 200, 255}, 3}, {BLUE, 2}}), {240, 200, 200, 255});
    expectColour(accentOf({{{0, 200, 0, 127}, 4}}), {0, 0, 0, 255});
    expectColour(AccentColour::of(nullptr), {0, 0, 0, 255});
}

TEST(AccentColourTest, ALargePictureIsLookedAtWholeThoughScaledDown) {
    SurfacePtr large(SDL_CreateRGBSurfaceWithFormat(0, 1200, 900, 32, SDL_PIXELFORMAT_RGBA32));
    SDL_FillRect(large.get(), nullptr, SDL_MapRGBA(large->format, 200, 0, 0, 255));
    SDL_Rect blueQuarter{0, 0, 300, 900}; // all a crop of the top-left corner would see
    SDL_FillRect(large.get(), &blueQuarter, SDL_MapRGBA(large->format, 0, 0, 200, 255));
    expectColour(AccentColour::of(large.get()), RED);
}
