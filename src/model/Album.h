#pragma once

#include "model/Song.h"

#include <string>
#include <vector>

// A named group of songs.
struct Album {
    std::string name;
    std::string artist; // one artist, or several joined with " / "
    std::string coverPath;
    std::vector<Song> songs; // copies, in the order they were found
};
