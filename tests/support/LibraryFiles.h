#pragma once

#include "model/Song.h"

#include <string>
#include <vector>

// Songs for page tests: real files in the scratch folder (empty placeholders unless the test
// makes real media) and the library cache and favourites files that list them.
std::vector<Song> placeholderSongs(int count, const std::string& folder = "music");

// config/music_library.json and config/like.json listing the songs.
void writeLibraryCache(const std::vector<Song>& songs);
void writeFavourites(const std::vector<Song>& songs);
