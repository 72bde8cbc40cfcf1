#include "ui/JumpOverlay.h"

#include "core/Log.h"
#include "ui/Draw.h"
#include "ui/UIBase.h"

#include <algorithm>

namespace {

constexpr SDL_Color BOX_FILL{0, 0, 0, 200};
constexpr SDL_Color BOX_OUTLINE{80, 80, 80, 255};
constexpr int PADDING = 24;
constexpr int MIN_BOX_SIDE = 160;
constexpr int MAX_TEXT_WIDTH = UIBase::SCREEN_WIDTH - 4 * PADDING;
// A group's name up to this many bytes is drawn in the letter size (one character of any
// script is at most four).
constexpr std::size_t LETTER_BYTES = 4;

} // namespace

void JumpOverlay::show(const std::string& newText, uint64_t now) {
    text = newText;
    shownAt = now;
}

TTF_Font* JumpOverlay::fontFor(const std::string& shown) {
    if (!fontsTried) {
        fontsTried = true;
        letterFont.reset(TTF_OpenFont(FONT_PATH, LETTER_POINTS));
        nameFont.reset(TTF_OpenFont(FONT_PATH, NAME_POINTS));
        if (!letterFont || !nameFont) {
            logError(std::string("无法加载字体: ") + FONT_PATH + " - " + TTF_GetError());
        } else {
            TTF_SetFontWrappedAlign(nameFont.get(), TTF_WRAPPED_ALIGN_CENTER);
        }
    }
    return (shown.size() <= LETTER_BYTES ? letterFont : nameFont).get();
}

void JumpOverlay::render(SDL_Renderer* renderer, uint64_t now) {
    if (!renderer || !isShown(now)) {
        return;
    }
    TTF_Font* font = fontFor(text);
    if (!font) {
        return;
    }
    const TextImage image = texts.get(renderer, font, text, Draw::WHITE, MAX_TEXT_WIDTH);
    if (!image.texture) {
        return;
    }
    const int width = std::max(MIN_BOX_SIDE, image.width + 2 * PADDING);
    const int height = std::max(MIN_BOX_SIDE, image.height + 2 * PADDING);
    const SDL_Rect box{(UIBase::SCREEN_WIDTH - width) / 2, (UIBase::SCREEN_HEIGHT - height) / 2,
                       width, height};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    Draw::fillRect(renderer, box, BOX_FILL);
    Draw::outlineRect(renderer, box, BOX_OUTLINE);
    const SDL_Rect place{box.x + (box.w - image.width) / 2, box.y + (box.h - image.height) / 2,
                         image.width, image.height};
    SDL_RenderCopy(renderer, image.texture, nullptr, &place);
}
