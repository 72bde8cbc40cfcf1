#pragma once

#include "core/SdlHandles.h"
#include "ui/TextCache.h"

#include <cstdint>
#include <string>

// The name of the group a list has just jumped to (a letter, an album), shown large in the middle
// of the screen for a moment so the user sees where the jump landed.
class JumpOverlay {
public:
    static constexpr uint64_t SHOWN_MS = 800;
    static constexpr const char* FONT_PATH = "resources/font.ttf";
    static constexpr int LETTER_POINTS = 96;
    static constexpr int NAME_POINTS = 36;

    void show(const std::string& newText, uint64_t now);
    // True until SHOWN_MS after the last show: the page must keep drawing frames meanwhile.
    bool isShown(uint64_t now) const { return !text.empty() && now - shownAt < SHOWN_MS; }
    const std::string& getText() const { return text; }
    void render(SDL_Renderer* renderer, uint64_t now);

private:
    TTF_Font* fontFor(const std::string& shown);

    std::string text;
    uint64_t shownAt = 0;
    FontPtr letterFont;
    FontPtr nameFont;
    bool fontsTried = false;
    TextCache texts{4};
};
