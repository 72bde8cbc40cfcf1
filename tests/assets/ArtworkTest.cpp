// The staged pictures: every file the pages load exists at the size they draw it, is readable the
// way the pages read it, and its transparent and opaque parts sit where the pages' coordinates
// need them (windows over the reels, the progress-bar slots, the disc's label hole).
#include "ui/ThemeAssetCodec.h"

#include "support/SdlTestContext.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

SDL_Point textureSize(SDL_Texture* texture) {
    SDL_Point size{-1, -1};
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, &size.x, &size.y);
    }
    return size;
}

struct Picture {
    std::string path;
    int width;
    int height;
};

std::string runtimePath(const std::string& relative) {
    return std::string(MP_RUNTIME_DIR) + "/" + relative;
}

std::vector<Picture> plainPictures() {
    std::vector<Picture> pictures = {
        {"icons/bg.png", 640, 480},  {"icons/tbg.png", 400, 466},     {"icons/1.png", 640, 480},
        {"icons/2.png", 640, 480},   {"icons/qbgz.png", 640, 480},    {"icons/tfm.png", 300, 300},
        {"icons/ty.png", 300, 300},  {"icons/rtfm.png", 300, 300},    {"icons/zg.png", 240, 332},
        {"icons/dx.png", 24, 24},    {"icons/ss.png", 24, 24},        {"icons/ssx.png", 24, 24},
        {"icons/sj.png", 24, 24},    {"icons/eq/jd.png", 16, 293},    {"icons/eq/e1.png", 35, 34},
        {"icons/eq/e2.png", 35, 34}, {"icons/eq/dbzg.png", 640, 480},
    };
    for (const char* icon :
         {"gequ", "zhuanji", "yishujia", "shoucang", "eq", "shezhi", "bofang", "song", "gs"}) {
        pictures.push_back({std::string("icons/") + icon + ".png", 32, 32});
        pictures.push_back({std::string("icons/") + icon + "_l.png", 32, 32});
    }
    return pictures;
}

std::vector<Picture> tapeSkinPictures(const std::string& folder) {
    const std::string base = "icons/" + folder + "/";
    std::vector<Picture> pictures = {{base + "bg.png", 640, 480},
                                     {base + "typebg.png", 640, 480},
                                     {base + "c.png", 104, 104},
                                     {base + "zdbg.png", 640, 480},
                                     {base + "db.png", 640, 480}};
    for (int i = 1; i <= 10; ++i) {
        for (int j = 1; j <= 3; ++j) {
            pictures.push_back(
                {base + "k/" + std::to_string(i) + "-" + std::to_string(j) + ".png", 640, 480});
        }
    }
    return pictures;
}

std::vector<Picture> recordSkinPictures() {
    return {{"icons/record/bg.png", 640, 480},  {"icons/record/cp.png", 640, 480},
            {"icons/record/pp.png", 408, 408},  {"icons/record/bo.png", 171, 440},
            {"icons/record/tn.png", 41, 78},    {"icons/record/dbzg.png", 640, 480},
            {"icons/record/zjzz.png", 244, 244}};
}

// Default covers: read with IMG_Load by the now-playing page and through the codec by others.
std::vector<Picture> sharedCovers() {
    return {{"icons/type/tfm.png", 300, 300},
            {"icons/typepink/tfm.png", 300, 300},
            {"icons/record/rtfm.png", 300, 300}};
}

SurfacePtr rgbaSurface(SurfacePtr surface) {
    if (!surface) {
        return nullptr;
    }
    return SurfacePtr(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

SurfacePtr skinSurface(const std::string& relative) {
    return rgbaSurface(ThemeAssetCodec().loadSurface(runtimePath(relative)));
}

Uint8 alphaAt(SDL_Surface* surface, int x, int y) {
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    return row[4 * x + 3];
}

// Opaque pixels in a column range, a cheap measure of how much is drawn where.
long opaquePixels(SDL_Surface* surface, int fromX, int toX) {
    long count = 0;
    for (int y = 0; y < surface->h; ++y) {
        for (int x = fromX; x < toX; ++x) {
            count += alphaAt(surface, x, y) > 128;
        }
    }
    return count;
}

class ArtworkTest : public ::testing::Test {
protected:
    SdlTestContext sdl;
    ThemeAssetCodec codec;

    void expectCodecReads(const Picture& picture) {
        TexturePtr texture = codec.loadTexture(sdl.renderer(), runtimePath(picture.path));
        ASSERT_NE(texture, nullptr) << picture.path;
        SDL_Point size = textureSize(texture.get());
        EXPECT_EQ(size.x, picture.width) << picture.path;
        EXPECT_EQ(size.y, picture.height) << picture.path;
    }

    void expectImageReads(const Picture& picture) {
        SurfacePtr surface(IMG_Load(runtimePath(picture.path).c_str()));
        ASSERT_NE(surface, nullptr) << picture.path << ": " << IMG_GetError();
        EXPECT_EQ(surface->w, picture.width) << picture.path;
        EXPECT_EQ(surface->h, picture.height) << picture.path;
        // Not blank: something is drawn in every picture.
        SurfacePtr pixels = rgbaSurface(std::move(surface));
        EXPECT_GT(opaquePixels(pixels.get(), 0, pixels->w), 0) << picture.path;
    }
};

} // namespace

TEST_F(ArtworkTest, PlainPicturesLoadAtTheirSizes) {
    for (const Picture& picture : plainPictures()) {
        expectImageReads(picture);
    }
}

TEST_F(ArtworkTest, SkinPicturesAreScrambledAndLoadThroughTheCodec) {
    std::vector<Picture> skins = recordSkinPictures();
    for (const char* folder : {"type", "typepink"}) {
        const std::vector<Picture> tape = tapeSkinPictures(folder);
        skins.insert(skins.end(), tape.begin(), tape.end());
    }
    for (const Picture& picture : skins) {
        expectCodecReads(picture);
        EXPECT_EQ(SurfacePtr(IMG_Load(runtimePath(picture.path).c_str())), nullptr)
            << picture.path << " is not scrambled";
    }
}

TEST_F(ArtworkTest, DefaultCoversInSkinFoldersAreReadByBothReaders) {
    for (const Picture& picture : sharedCovers()) {
        expectImageReads(picture);
        expectCodecReads(picture);
    }
}

TEST_F(ArtworkTest, CassetteBodyLeavesLabelWindowAndProgressSlotWhereThePageDraws) {
    for (const char* folder : {"type", "typepink"}) {
        SurfacePtr body = skinSurface(std::string("icons/") + folder + "/typebg.png");
        ASSERT_NE(body, nullptr);
        EXPECT_LT(alphaAt(body.get(), 80, 60), 30) << "cover shows through the label";
        EXPECT_LT(alphaAt(body.get(), 560, 100), 80) << "title panel shows through the label";
        EXPECT_GT(alphaAt(body.get(), 326, 190), 200) << "smoked window between the reels";
        EXPECT_EQ(alphaAt(body.get(), 320, 436), 0) << "progress bar slot";
        EXPECT_EQ(alphaAt(body.get(), 20, 440), 0) << "progress bar slot";
        EXPECT_GT(alphaAt(body.get(), 320, 360), 200) << "shell below the label";
    }
}

TEST_F(ArtworkTest, TapeWindsFromLeftReelToRightReelAcrossThePictures) {
    long previousRight = -1;
    for (int n = 0; n < 30; ++n) {
        const std::string name = std::to_string(n / 3 + 1) + "-" + std::to_string(n % 3 + 1);
        SurfacePtr picture = skinSurface("icons/type/k/" + name + ".png");
        ASSERT_NE(picture, nullptr) << name;
        const long left = opaquePixels(picture.get(), 0, 326);
        const long right = opaquePixels(picture.get(), 326, 640);
        EXPECT_GT(right, previousRight) << name;
        previousRight = right;
        if (n == 0) {
            EXPECT_GT(left, 2 * right);
        }
        if (n == 29) {
            EXPECT_GT(right, 2 * left);
        }
        // The tape stays inside the window, clear of the label above and below it.
        EXPECT_EQ(alphaAt(picture.get(), 180, 110), 0) << name;
        EXPECT_EQ(alphaAt(picture.get(), 472, 270), 0) << name;
    }
}

TEST_F(ArtworkTest, RecordPartsLineUp) {
    SurfacePtr disc = skinSurface("icons/record/pp.png");
    ASSERT_NE(disc, nullptr);
    EXPECT_EQ(alphaAt(disc.get(), 204 + 60, 204), 0) << "the cover shows as the label";
    EXPECT_GT(alphaAt(disc.get(), 204 + 150, 204), 250) << "grooves";
    EXPECT_EQ(alphaAt(disc.get(), 3, 3), 0) << "round disc";

    SurfacePtr turntable = skinSurface("icons/record/cp.png");
    ASSERT_NE(turntable, nullptr);
    EXPECT_EQ(alphaAt(turntable.get(), 481 + 66, 399 + 4), 0) << "progress bar slot";
    EXPECT_GT(alphaAt(turntable.get(), 600, 450), 250);

    // The arm turns about (131, 97) inside its picture, placed at (346, 9). Its stylus must be
    // over the grooves when playing (15°) and beside the record at rest (0°).
    SurfacePtr arm = skinSurface("icons/record/bo.png");
    ASSERT_NE(arm, nullptr);
    EXPECT_GT(alphaAt(arm.get(), 131, 97), 250) << "pivot";
    const double stylusX = 35, stylusY = 375, pivotX = 131, pivotY = 97;
    EXPECT_GT(alphaAt(arm.get(), static_cast<int>(stylusX), static_cast<int>(stylusY)), 200);
    const double discX = 218, discY = 219;
    auto stylusDistance = [&](double degrees) {
        const double a = degrees * M_PI / 180;
        const double dx = stylusX - pivotX, dy = stylusY - pivotY;
        const double x = 346 + pivotX + dx * std::cos(a) - dy * std::sin(a);
        const double y = 9 + pivotY + dx * std::sin(a) + dy * std::cos(a);
        return std::hypot(x - discX, y - discY);
    };
    EXPECT_GT(stylusDistance(0), 204);
    EXPECT_GT(stylusDistance(15), 105);
    EXPECT_LT(stylusDistance(15), 190);

    SurfacePtr mask = skinSurface("icons/record/zjzz.png");
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(alphaAt(mask.get(), 122, 122), 0) << "the cover shows through the mask";
}

TEST_F(ArtworkTest, EqualizerScaleKeepsClearOfTheKnobs) {
    SurfacePtr scale = rgbaSurface(SurfacePtr(IMG_Load(runtimePath("icons/eq/dbzg.png").c_str())));
    ASSERT_NE(scale, nullptr);
    for (int band = 0; band < 10; ++band) {
        const int knobLeft = 57 + 55 * band;
        for (int y = 103; y < 373 + 34;
             ++y) { // from the knob top at +12 dB to its bottom at −12 dB
            for (int x = knobLeft; x < knobLeft + 35; ++x) {
                ASSERT_EQ(alphaAt(scale.get(), x, y), 0) << "band " << band << " at y " << y;
            }
        }
    }
    // The marks for +12, 0 and −12 dB sit at the knob centres (y 120, 255 and 390).
    for (int y : {120, 255, 390}) {
        EXPECT_GT(alphaAt(scale.get(), 100, y), 0) << y;
        EXPECT_EQ(alphaAt(scale.get(), 100, y + 6), 0) << y;
    }
}
