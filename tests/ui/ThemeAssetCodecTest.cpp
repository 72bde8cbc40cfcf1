#include "ui/ThemeAssetCodec.h"

#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "support/StderrCapture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readBytes(const std::string& path) {
    const std::string text = readWholeFile(path);
    return Bytes(text.begin(), text.end());
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// A 7×5 PNG saved as a real file by SDL_image.
Bytes makePng(const std::string& path) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, 7, 5, 32, SDL_PIXELFORMAT_RGBA32));
    SDL_FillRect(surface.get(), nullptr, SDL_MapRGBA(surface->format, 200, 100, 50, 255));
    EXPECT_EQ(IMG_SavePNG(surface.get(), path.c_str()), 0) << IMG_GetError();
    return readBytes(path);
}

class ThemeAssetCodecTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    SdlTestContext sdl;
    ThemeAssetCodec codec;
};

} // namespace

// A picture scrambled with the key reads back as the same picture; a plain one (the default
// covers, which one page reads with IMG_Load and others through the codec) passes unchanged.
TEST_F(ThemeAssetCodecTest, ScrambledAndPlainPngsReadAsTheSamePicture) {
    Bytes png = makePng("plain.png");
    writeBytes("skin.png", codec.transform(png));
    ASSERT_FALSE(ThemeAssetCodec::isPlainPng(readBytes("skin.png")));

    bool ok = false;
    EXPECT_EQ(codec.decodeAsset("skin.png", &ok), png);
    EXPECT_TRUE(ok);
    EXPECT_EQ(codec.decodeAsset("plain.png", &ok), png);

    EXPECT_NE(codec.loadTexture(sdl.renderer(), "skin.png"), nullptr);

    SurfacePtr surface = codec.loadSurface("skin.png", &ok);
    ASSERT_TRUE(surface);
    EXPECT_TRUE(ok);
    EXPECT_EQ(surface->w, 7);
    EXPECT_EQ(surface->h, 5);
}

TEST_F(ThemeAssetCodecTest, UnusableFilesFailWithoutATexture) {
    StderrCapture errors;
    bool ok = true;

    // Missing, one byte (no image), empty, and a folder.
    writeBytes("one.png", Bytes{0x41});
    writeBytes("empty.png", Bytes{});
    scratch.writeFile("folder/inside.txt", "x");
    for (const char* path : {"none.png", "one.png", "empty.png", "folder"}) {
        EXPECT_EQ(codec.loadAssetTexture(path, sdl.renderer(), &ok), nullptr) << path;
        EXPECT_FALSE(ok) << path;
    }
    EXPECT_NE(errors.take(), "");

    // A scrambled PNG with a wrong key decodes to no image.
    Bytes png = makePng("plain.png");
    writeBytes("otherkey.png", ThemeAssetCodec("another key").transform(png));
    EXPECT_EQ(codec.loadTexture(sdl.renderer(), "otherkey.png"), nullptr);
}
