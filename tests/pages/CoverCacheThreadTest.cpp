#include "pages/CoverCache.h"

#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

// Covers read ahead on the cache's thread while the skin changes under it: what arrives for the
// earlier skin is dropped, the covers asked for since come with textures of both sizes, and the
// cache goes away with readings still waiting.
TEST(CoverCacheThreadTest, CoversReadAheadArriveForTheSkinTheyWereAskedFor) {
    ScratchDir scratch;
    linkRuntimeResources(scratch.path(), {"icons"});
    SdlTestContext sdl;
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(0, 40, 40, 32, SDL_PIXELFORMAT_RGBA32));
        paths.push_back(std::to_string(i) + ".png");
        ASSERT_EQ(IMG_SavePNG(picture.get(), paths.back().c_str()), 0);
    }
    auto cache = std::make_unique<CoverCache>();
    cache->configure(sdl.renderer(), 1, 20, 30);
    for (const std::string& path : paths) {
        cache->readAhead(path);
    }
    cache->configure(sdl.renderer(), 2, 24, 24, 16, 16);
    cache->readAhead(paths[0]);
    cache->readAhead(paths[1]);
    while (!cache->contains(paths[0]) || !cache->contains(paths[1])) {
        cache->takeReadAhead();
        std::this_thread::yield();
    }
    int width = 0;
    SDL_QueryTexture(cache->getSmall(paths[1]), nullptr, nullptr, &width, nullptr);
    EXPECT_EQ(width, 16);
    for (int turn = 0; turn < 100; ++turn) {
        cache->takeReadAhead();
    }
    EXPECT_EQ(cache->size(), 2u);
    for (const std::string& path : paths) {
        cache->readAhead(path);
    }
    cache.reset();
}
