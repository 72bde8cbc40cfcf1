#include "ui/ThemeAssetCodec.h"

#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "support/StderrCapture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

SDL_Point textureSize(SDL_Texture* texture) {
    SDL_Point size{-1, -1};
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, &size.x, &size.y);
    }
    return size;
}

using Bytes = std::vector<std::uint8_t>;

Bytes readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// A 7×5 PNG with a distinct colour in its top-left pixel, saved as a real file by SDL_image.
Bytes makePng(const std::string& path) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, 7, 5, 32, SDL_PIXELFORMAT_RGBA32));
    SDL_FillRect(surface.get(), nullptr, SDL_MapRGBA(surface->format, 10, 20, 30, 255));
    SDL_Rect corner{0, 0, 1, 1};
    SDL_FillRect(surface.get(), &corner, SDL_MapRGBA(surface->format, 200, 100, 50, 255));
    EXPECT_EQ(IMG_SavePNG(surface.get(), path.c_str()), 0) << IMG_GetError();
    return readBytes(path);
}

SDL_Color pixelAt(SDL_Surface* surface, int x, int y) {
    SurfacePtr converted(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0));
    const auto* row = static_cast<const std::uint8_t*>(converted->pixels) + y * converted->pitch;
    const std::uint8_t* pixel = row + 4 * x;
    return SDL_Color{pixel[0], pixel[1], pixel[2], pixel[3]};
}

class ThemeAssetCodecTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    SdlTestContext sdl;
    ThemeAssetCodec codec;
};

} // namespace

TEST_F(ThemeAssetCodecTest, TransformXorsWithTheRepeatingKeyAndUndoesItself) {
    const std::string key = ThemeAssetCodec::ASSET_KEY;
    ASSERT_EQ(key.size(), 36u);
    Bytes original(100);
    for (std::size_t i = 0; i < original.size(); ++i) {
        original[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    Bytes scrambled = codec.transform(original);
    ASSERT_EQ(scrambled.size(), original.size());
    EXPECT_NE(scrambled, original);
    // Bytes 0 and 36 are combined with the same key character.
    EXPECT_EQ(scrambled[0] ^ original[0], static_cast<std::uint8_t>(key[0]));
    EXPECT_EQ(scrambled[36] ^ original[36], static_cast<std::uint8_t>(key[0]));
    EXPECT_EQ(scrambled[71] ^ original[71], static_cast<std::uint8_t>(key[35]));
    EXPECT_EQ(codec.transform(scrambled), original);
    EXPECT_TRUE(codec.transform(Bytes{}).empty());
}

TEST_F(ThemeAssetCodecTest, ScrambledPngLoadsAsTextureAndSurface) {
    Bytes png = makePng("plain.png");
    writeBytes("skin.png", codec.transform(png));
    ASSERT_FALSE(ThemeAssetCodec::isPlainPng(readBytes("skin.png")));

    bool ok = false;
    EXPECT_EQ(codec.decodeAsset("skin.png", &ok), png);
    EXPECT_TRUE(ok);

    TexturePtr texture = codec.loadTexture(sdl.renderer(), "skin.png");
    SDL_Point size = textureSize(texture.get());
    EXPECT_EQ(size.x, 7);
    EXPECT_EQ(size.y, 5);

    SurfacePtr surface = codec.loadSurface("skin.png", &ok);
    ASSERT_TRUE(surface);
    EXPECT_TRUE(ok);
    SDL_Color corner = pixelAt(surface.get(), 0, 0);
    SDL_Color inside = pixelAt(surface.get(), 4, 3);
    EXPECT_EQ(corner.r, 200);
    EXPECT_EQ(corner.g, 100);
    EXPECT_EQ(corner.b, 50);
    EXPECT_EQ(inside.r, 10);
    EXPECT_EQ(inside.b, 30);
}

// Default covers are read with IMG_Load by one page and through the codec by others, so a plain
// PNG passes through unchanged and both readers see the same picture.
TEST_F(ThemeAssetCodecTest, PlainPngIsReadByBothReaders) {
    Bytes png = makePng("cover.png");
    bool ok = false;
    EXPECT_EQ(codec.decodeAsset("cover.png", &ok), png);
    EXPECT_TRUE(ok);
    TexturePtr viaCodec = codec.loadTexture(sdl.renderer(), "cover.png");
    EXPECT_EQ(textureSize(viaCodec.get()).x, 7);
    SurfacePtr viaImage(IMG_Load("cover.png"));
    ASSERT_TRUE(viaImage);
    EXPECT_EQ(viaImage->w, 7);

    // A scrambled copy is not readable by the plain reader, only by the codec.
    writeBytes("scrambled.png", codec.transform(png));
    EXPECT_EQ(SurfacePtr(IMG_Load("scrambled.png")), nullptr);
}

TEST_F(ThemeAssetCodecTest, MissingFileReportsEachStep) {
    StderrCapture errors;
    bool ok = true;
    EXPECT_TRUE(codec.decodeAsset("icons/none.png", &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_EQ(errors.take(), "[ERROR] 无法打开文件: icons/none.png\n"
                             "[ERROR] 解密失败：无法读取文件 icons/none.png\n");
    EXPECT_EQ(codec.loadTexture(sdl.renderer(), "icons/none.png"), nullptr);
    EXPECT_EQ(errors.take(), "[ERROR] 无法打开文件: icons/none.png\n"
                             "[ERROR] 解密失败：无法读取文件 icons/none.png\n"
                             "[ERROR] 加载加密纹理失败\n");
}

TEST_F(ThemeAssetCodecTest, UnusableFilesFailWithoutATexture) {
    StderrCapture errors;
    bool ok = true;

    // One byte decodes to one byte (XOR with the key's first character), which is no image.
    writeBytes("one.png", Bytes{0x41});
    Bytes restored = codec.decodeAsset("one.png", &ok);
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0], 0x41 ^ static_cast<std::uint8_t>('3'));
    EXPECT_EQ(codec.loadAssetTexture("one.png", sdl.renderer(), &ok), nullptr);
    EXPECT_FALSE(ok);
    EXPECT_NE(errors.take().find("[ERROR] 加载图片失败: "), std::string::npos);

    // Empty files and folders have no usable size.
    writeBytes("empty.png", Bytes{});
    EXPECT_TRUE(codec.decodeAsset("empty.png", &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_NE(errors.take().find("[ERROR] 文件大小异常: empty.png (size: 0)"), std::string::npos);
    scratch.writeFile("folder/inside.txt", "x");
    EXPECT_EQ(codec.loadTexture(sdl.renderer(), "folder"), nullptr);
    EXPECT_NE(errors.take().find("[ERROR] 加载加密纹理失败"), std::string::npos);

    // A scrambled PNG cut short, and a scrambled PNG with a wrong key, decode to no image.
    Bytes png = makePng("plain.png");
    Bytes truncated = codec.transform(png);
    truncated.resize(truncated.size() / 2);
    writeBytes("truncated.png", truncated);
    EXPECT_EQ(codec.loadTexture(sdl.renderer(), "truncated.png"), nullptr);
    writeBytes("otherkey.png", ThemeAssetCodec("another key").transform(png));
    EXPECT_EQ(codec.loadTexture(sdl.renderer(), "otherkey.png"), nullptr);
    errors.take();

    // Without a renderer nothing is read.
    EXPECT_EQ(codec.loadAssetTexture("plain.png", nullptr, &ok), nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(errors.take(), "[ERROR] 无效的SDL渲染器\n");
}
