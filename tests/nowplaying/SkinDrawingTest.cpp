// The drawing parts of the now-playing skins on the software renderer: layers cut to their
// visible pieces, pictures turned on the CPU, and the cache of the layers under moving parts.
#include "nowplaying/LayerCache.h"
#include "nowplaying/SkinLayer.h"
#include "nowplaying/SkinPictures.h"
#include "nowplaying/TurningPicture.h"

#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "ui/ThemeAssetCodec.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr SDL_Color RED{255, 0, 0, 255};
constexpr SDL_Color BLUE{0, 0, 255, 255};
constexpr SDL_Color GREY{50, 50, 50, 255};

SurfacePtr blankPicture(int width, int height) {
    SurfacePtr picture(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    SDL_FillRect(picture.get(), nullptr, 0);
    return picture;
}

void paint(SDL_Surface* picture, SDL_Rect area, SDL_Color colour) {
    SDL_FillRect(picture, &area,
                 SDL_MapRGBA(picture->format, colour.r, colour.g, colour.b, colour.a));
}

class SkinDrawingTest : public ::testing::Test {
protected:
    void present() { SDL_RenderPresent(sdl.renderer()); }

    ScratchDir scratch;
    SdlTestContext sdl;
};

} // namespace

TEST_F(SkinDrawingTest, ALayerCutIntoPiecesDrawsWhatTheWholePictureDraws) {
    // Two patches far apart, one half transparent, on an otherwise empty screen-sized picture.
    SurfacePtr picture = blankPicture(640, 480);
    paint(picture.get(), {20, 30, 40, 20}, RED);
    paint(picture.get(), {500, 400, 30, 30}, {0, 0, 255, 128});
    ASSERT_EQ(IMG_SavePNG(picture.get(), "layer.png"), 0);
    SkinLayer layer;
    ThemeAssetCodec codec;
    SkinPictures pictures(codec);
    ASSERT_TRUE(layer.load(sdl.renderer(), pictures, "layer.png"));

    const SDL_Point probes[] = {{20, 30}, {59, 49}, {60, 50}, {510, 410}, {300, 200}};
    TexturePtr whole(SDL_CreateTextureFromSurface(sdl.renderer(), picture.get()));
    sdl.clear(GREY);
    SDL_RenderCopy(sdl.renderer(), whole.get(), nullptr, nullptr);
    present();
    std::vector<SDL_Color> expected;
    for (SDL_Point at : probes) {
        expected.push_back(sdl.pixel(at.x, at.y));
    }
    sdl.clear(GREY);
    layer.draw(sdl.renderer());
    present();
    for (size_t i = 0; i < expected.size(); ++i) {
        const SDL_Color drawn = sdl.pixel(probes[i].x, probes[i].y);
        // Blending rounds a step differently in SDL's blitters for the two pixel formats.
        EXPECT_NEAR(drawn.r, expected[i].r, 1) << i;
        EXPECT_NEAR(drawn.g, expected[i].g, 1) << i;
        EXPECT_NEAR(drawn.b, expected[i].b, 1) << i;
    }
}

TEST_F(SkinDrawingTest, APictureTurnsClockwiseAboutItsPivot) {
    // A bar pointing right from the pivot (10, 10): red near it, blue at its end.
    SurfacePtr picture = blankPicture(21, 21);
    paint(picture.get(), {10, 9, 5, 3}, RED);
    paint(picture.get(), {15, 9, 5, 3}, BLUE);
    TurningPicture turning;
    ASSERT_TRUE(turning.load(sdl.renderer(), *picture, {10, 10}, TurningPicture::ANY_ANGLE));

    sdl.clear(GREY);
    turning.draw(sdl.renderer(), {100, 100}, 0.0);
    present();
    EXPECT_EQ(sdl.pixel(103, 100), RED);
    EXPECT_EQ(sdl.pixel(107, 100), BLUE);
    EXPECT_EQ(sdl.pixel(93, 100), GREY);

    sdl.clear(GREY);
    turning.draw(sdl.renderer(), {100, 100}, 90.0); // now pointing down
    present();
    EXPECT_EQ(sdl.pixel(100, 103), RED);
    EXPECT_EQ(sdl.pixel(100, 107), BLUE);
    EXPECT_EQ(sdl.pixel(107, 100), GREY);
}

TEST_F(SkinDrawingTest, CachedLayersAreDrawnAgainOnlyWhenTheirKeyChanges) {
    LayerCache cache;
    int drawn = 0;
    SDL_Color colour = RED;
    auto layers = [&] {
        ++drawn;
        SDL_SetRenderDrawColor(sdl.renderer(), colour.r, colour.g, colour.b, colour.a);
        SDL_Rect patch{10, 10, 20, 20};
        SDL_RenderFillRect(sdl.renderer(), &patch);
    };
    for (int frame = 0; frame < 3; ++frame) {
        sdl.clear(GREY);
        cache.draw(sdl.renderer(), {1, 2, 3}, layers);
        present();
        EXPECT_EQ(sdl.pixel(15, 15), RED);
        EXPECT_EQ(sdl.pixel(50, 50), (SDL_Color{0, 0, 0, 255})); // the cache starts black
    }
    EXPECT_EQ(drawn, 1);
    colour = BLUE;
    cache.draw(sdl.renderer(), {1, 2, 4}, layers);
    present();
    EXPECT_EQ(sdl.pixel(15, 15), BLUE);
    cache.invalidate();
    cache.draw(sdl.renderer(), {1, 2, 4}, layers);
    EXPECT_EQ(drawn, 3);
}

TEST_F(SkinDrawingTest, OnlyAPictureWithRoundRingsLooksTheSameTurned) {
    constexpr int SIZE = 408, CENTRE = SIZE / 2; // as large as the record player's disc
    SurfacePtr disc(SDL_CreateRGBSurfaceWithFormat(0, SIZE, SIZE, 32, SDL_PIXELFORMAT_ARGB8888));
    SDL_FillRect(disc.get(), nullptr, 0);
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            double distance = std::hypot(x + 0.5 - CENTRE, y + 0.5 - CENTRE);
            if (distance < CENTRE) {
                Uint8 shade = static_cast<int>(distance) % 8 < 4 ? 20 : 40; // faint grooves
                paint(disc.get(), {x, y, 1, 1}, {shade, shade, shade, 255});
            }
        }
    }
    EXPECT_TRUE(TurningPicture::looksTheSameTurned(*disc, {CENTRE, CENTRE}));
    paint(disc.get(), {CENTRE + 40, CENTRE - 80, 40, 40}, RED); // a mark on the disc
    EXPECT_FALSE(TurningPicture::looksTheSameTurned(*disc, {CENTRE, CENTRE}));
}
