#pragma once

#include "model/Album.h"
#include "model/Song.h"

#include <vector>

// The user's collection as one scan or one cache load found it.
struct Library {
    std::vector<Song> songs;   // in discovery order
    std::vector<Album> albums; // in ascending name order after a scan
};
