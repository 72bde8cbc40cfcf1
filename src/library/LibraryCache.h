// Reads and writes the library cache, config/<name>.json.
#pragma once

#include "model/Library.h"

#include <string>

// The songs and albums of the last scan, kept so that a start shows the library at once instead
// of opening every audio file again.
namespace LibraryCache {

// "config/" + name + ".json".
std::string pathForName(const std::string& name);

// Writes the cache atomically (4-space indentation, members in jsoncpp's key order).
bool save(const std::string& path, const Library& library);

// Creates config/ and writes config/<name>.json, logging what goes wrong.
void saveNamed(const std::string& name, const Library& library);

// Reads a cache. Songs and album songs whose files no longer exist are left out, albums left
// without songs are dropped. On false, library is untouched and the reason has been logged.
bool load(const std::string& path, Library& library);

// The song records of a cache as they were written, whether or not their files still exist;
// empty when there is no cache or it cannot be read (a cache that cannot be read is logged).
std::vector<Song> loadSongRecords(const std::string& path);

} // namespace LibraryCache
