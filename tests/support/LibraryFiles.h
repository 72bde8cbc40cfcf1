#pragma once

#include "model/Song.h"

#include <string>
#include <vector>

// Songs for page tests: real files in the scratch folder (empty placeholders unless the test
// makes real media) and the library cache and favourites files that list them.
std::vector<Song> placeholderSongs(int count, const std::string& folder = "music");

// Writes config/music_library.json listing the songs (and no albums).
void writeLibraryCache(const std::vector<Song>& songs);

// Writes config/like.json listing the songs.
void writeFavourites(const std::vector<Song>& songs);
