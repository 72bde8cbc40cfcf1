#pragma once

#include "library/Song.h"

#include <string>
#include <vector>

// The user's favourite songs, oldest first, stored in config/like.json after every change.
// No two entries share a filepath.
class Favourites {
public:
    static constexpr const char* DEFAULT_PATH = "config/like.json";

    explicit Favourites(std::string path = DEFAULT_PATH);

    const std::vector<Song>& getSongs() const { return songs; }

    // Replaces the list from the file. Entries whose files no longer exist are left out. A file
    // that cannot be used is copied to "<path>.bak" first, so the next save cannot destroy
    // favourites the user may still want back.
    void load();
    // Writes the whole list atomically.
    bool save() const;

    // Appends and saves unless the song is already a favourite (or names no file); true when it
    // was added.
    bool add(const Song& song);
    // Removes and saves the favourite with exactly this filepath; true when there was one.
    bool remove(const std::string& filepath);
    bool contains(const std::string& filepath) const;

private:
    void keepBrokenFile() const;

    std::string path;
    std::vector<Song> songs;
};
