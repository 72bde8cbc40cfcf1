#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

// What the now-playing page hands its skin to draw in a frame. The textures belong to the page.
struct SongOnScreen {
    std::string title;
    std::string artist;
    std::string lyric;                   // the current line; "" when there is none
    std::string remaining;               // "-mm:ss"
    float progress = 0.0f;               // played share of the song
    SDL_Texture* cover = nullptr;        // COVER_SIZE × COVER_SIZE, or null
    SDL_Surface* coverPicture = nullptr; // the same picture, for skins that work on its pixels
    uint64_t coverVersion = 0;           // changes whenever another cover is loaded
    SDL_Color panelColour{0, 0, 0, 255};
    SDL_Texture* modeIcon = nullptr;

    static constexpr int COVER_SIZE = 300;

    // Whether a skin would draw other looks for the two (the pictures compared by version).
    bool looksLike(const SongOnScreen& other) const {
        return title == other.title && artist == other.artist && lyric == other.lyric &&
               remaining == other.remaining && progress == other.progress &&
               coverVersion == other.coverVersion && panelColour.r == other.panelColour.r &&
               panelColour.g == other.panelColour.g && panelColour.b == other.panelColour.b &&
               modeIcon == other.modeIcon;
    }
};
