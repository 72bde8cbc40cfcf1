#pragma once

#include "core/SdlHandles.h"

#include <array>
#include <cstdint>
#include <functional>

// The layers under a skin's moving parts, drawn once into a screen-sized texture and copied
// every frame after that. They are drawn again only when the key of what they show changes (a
// new cover or panel colour, a longer progress bar) or after invalidate. A renderer without
// render targets gets the layers drawn every frame.
class LayerCache {
public:
    using Key = std::array<uint64_t, 3>;

    void draw(SDL_Renderer* renderer, const Key& key, const std::function<void()>& drawLayers);
    void invalidate() { valid = false; }

private:
    bool redraw(SDL_Renderer* renderer, const std::function<void()>& drawLayers);

    TexturePtr texture;
    Key drawnKey{};
    bool valid = false;
};
