#pragma once

#include <cstdint>

// The ten pages of the application; exactly one is on screen.
enum class Page : int32_t {
    MAIN = 0,
    SONGS = 1,
    ALBUMS = 2,
    ALBUM_DETAIL = 3,
    ARTISTS = 4,
    ARTIST_DETAIL = 5,
    PLAYLISTS = 6,
    NOW_PLAYING = 7,
    SETTINGS = 8,
    EQUALIZER = 9,
};
