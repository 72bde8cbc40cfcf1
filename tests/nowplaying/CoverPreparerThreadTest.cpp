#include "nowplaying/CoverPreparer.h"

#include "support/ScratchDir.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

std::string paintedCover(const std::string& name, Uint8 red, Uint8 blue) {
    SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(0, 64, 48, 32, SDL_PIXELFORMAT_RGBA32));
    SDL_FillRect(picture.get(), nullptr, SDL_MapRGBA(picture->format, red, 0, blue, 255));
    IMG_SavePNG(picture.get(), name.c_str());
    return name;
}

PreparedCover waitForCover(CoverPreparer& preparer) {
    std::optional<PreparedCover> ready;
    while (!(ready = preparer.takeReady())) {
        std::this_thread::yield();
    }
    return std::move(*ready);
}

} // namespace

// Covers asked for one after another: only the last one is handed out, at the size asked for,
// a cover that cannot be read gives way to the fallback, and the preparer goes away with work
// still running.
TEST(CoverPreparerThreadTest, OnlyTheLatestCoverAskedForIsHandedOut) {
    ScratchDir scratch;
    const std::string red = paintedCover("red.png", 255, 0);
    const std::string blue = paintedCover("blue.png", 0, 255);
    auto preparer = std::make_unique<CoverPreparer>();
    preparer->prepare(red, blue, 30);
    preparer->prepare(blue, red, 20);
    EXPECT_TRUE(preparer->isPreparing());
    PreparedCover cover = waitForCover(*preparer);
    EXPECT_FALSE(preparer->isPreparing());
    ASSERT_TRUE(cover.picture);
    EXPECT_EQ(cover.picture->w, 20);
    EXPECT_GT(cover.accent.b, 200);
    EXPECT_LT(cover.accent.r, 50);
    for (int turn = 0; turn < 100; ++turn) {
        EXPECT_FALSE(preparer->takeReady());
    }

    preparer->prepare("missing.png", red, 20);
    EXPECT_GT(waitForCover(*preparer).accent.r, 200);
    preparer->prepare(red, blue, 20);
    preparer.reset();
}
