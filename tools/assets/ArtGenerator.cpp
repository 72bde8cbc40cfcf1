// Draws every picture of the player into a runtime folder:
//   mp-artgen <runtime folder> <interface font> <title font>
#include "art/Artwork.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <runtime folder> <interface font> <title font>\n", argv[0]);
        return 2;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "SDL_ttf: %s\n", TTF_GetError());
        return 1;
    }
    try {
        const art::ArtOutput out(argv[1], argv[2], argv[3]);
        art::drawIcons(out);
        art::drawScreens(out);
        art::drawCovers(out);
        art::drawEqualizer(out);
        art::drawTapeSkins(out);
        art::drawRecordSkin(out);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "artwork: %s\n", error.what());
        TTF_Quit();
        return 1;
    }
    TTF_Quit();
    return 0;
}
