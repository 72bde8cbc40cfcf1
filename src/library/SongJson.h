#pragma once

#include "model/Album.h"
#include "model/Song.h"

#include <json/json.h>

// The JSON form of songs and albums, shared by the library cache and the favourites file.

// Whether a song object carries its nested "songs" array: the favourites file writes it, the
// library cache does not.
enum class NestedSongs { Write, Omit };

Json::Value songToJson(const Song& song, NestedSongs nested = NestedSongs::Write);

// Reads a song object with jsoncpp's conversions: a missing key gives an empty string or zero,
// a value that does not convert (a duration written as text, say) throws Json::Exception.
// Anything that is not an object reads as an empty song.
Song songFromJson(const Json::Value& object);

Json::Value albumToJson(const Album& album);
