// The two staged fonts must draw every label of the nine languages and the titles and artists
// that tags bring: accented Latin, Chinese, Japanese and Hangul, without missing-glyph boxes.
#include "core/SdlHandles.h"
#include "support/RuntimeFiles.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

FontPtr openFont(const char* file) {
    return FontPtr(TTF_OpenFont((fs::path(MP_RUNTIME_DIR) / "resources" / file).c_str(), 24));
}

void expectDraws(TTF_Font* font, const std::string& text, const std::string& where) {
    std::unique_ptr<char, decltype(&SDL_free)> converted(
        SDL_iconv_string("UTF-32LE", "UTF-8", text.c_str(), text.size() + 1), &SDL_free);
    ASSERT_NE(converted, nullptr) << where;
    for (const Uint32* point = reinterpret_cast<const Uint32*>(converted.get()); *point; ++point) {
        if (*point >= 0x20 && *point != 0x7F) {
            EXPECT_TRUE(TTF_GlyphIsProvided32(font, *point))
                << where << ": U+" << std::hex << *point;
        }
    }
}

const char* const SCRIPTS = "Léa Fontaine Ñandú Über Çà 夏夜晚风 林小雨 星河 お気に入り カタカナ "
                            "지금 재생 중 별빛";

} // namespace

TEST(FontsTest, InterfaceFontDrawsEveryLabelOfEveryLanguage) {
    ASSERT_EQ(TTF_Init(), 0);
    FontPtr font = openFont("font.ttf");
    ASSERT_NE(font, nullptr) << TTF_GetError();
    for (const auto& entry : fs::directory_iterator(fs::path(MP_RUNTIME_DIR) / "lan")) {
        expectDraws(font.get(), readWholeFile(entry.path().string()),
                    entry.path().filename().string());
    }
    expectDraws(font.get(), SCRIPTS, "sample titles");
    // Fixed texts of the pages: units, counters and the time signs.
    expectDraws(font.get(), "首歌曲 · -12:05 100% 暂无专辑 喜爱列表为空 未知艺术家", "page texts");
    FontPtr titles = openFont("cover.ttf");
    ASSERT_NE(titles, nullptr) << TTF_GetError();
    expectDraws(titles.get(), SCRIPTS, "titles");
    font.reset();
    titles.reset();
    TTF_Quit();
}
