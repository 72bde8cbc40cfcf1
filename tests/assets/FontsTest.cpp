// The two staged fonts must draw every label of the nine languages and the titles and artists
// that tags bring: accented Latin, Chinese, Japanese and Hangul, without missing-glyph boxes.
#include "core/SdlHandles.h"
#include "support/RuntimeFiles.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Decodes UTF-8 text into code points (the shipped files are valid UTF-8).
std::vector<Uint32> codePoints(const std::string& text) {
    std::vector<Uint32> points;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        Uint32 point = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        points.push_back(point);
        i += static_cast<std::size_t>(length);
    }
    return points;
}

class FontsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TTF_Init(), 0); }
    void TearDown() override { TTF_Quit(); }

    static FontPtr open(const char* file) {
        return FontPtr(TTF_OpenFont((fs::path(MP_RUNTIME_DIR) / "resources" / file).c_str(), 24));
    }

    static void expectDraws(TTF_Font* font, const std::string& text, const std::string& where) {
        for (Uint32 point : codePoints(text)) {
            if (point >= 0x20 && point != 0x7F) {
                EXPECT_TRUE(TTF_GlyphIsProvided32(font, point))
                    << where << ": U+" << std::hex << point;
            }
        }
    }
};

const char* const SCRIPTS = "Léa Fontaine Ñandú Über Çà 夏夜晚风 林小雨 星河 お気に入り カタカナ "
                            "지금 재생 중 별빛";

} // namespace

TEST_F(FontsTest, InterfaceFontDrawsEveryLabelOfEveryLanguage) {
    FontPtr font = open("font.ttf");
    ASSERT_NE(font, nullptr) << TTF_GetError();
    for (const auto& entry : fs::directory_iterator(fs::path(MP_RUNTIME_DIR) / "lan")) {
        expectDraws(font.get(), readWholeFile(entry.path().string()),
                    entry.path().filename().string());
    }
    expectDraws(font.get(), SCRIPTS, "sample titles");
    // Fixed texts of the pages: units, counters and the time signs.
    expectDraws(font.get(), "首歌曲 · -12:05 100% 暂无专辑 喜爱列表为空 未知艺术家", "page texts");
    FontPtr titles = open("cover.ttf");
    ASSERT_NE(titles, nullptr) << TTF_GetError();
    expectDraws(titles.get(), SCRIPTS, "titles");
}
