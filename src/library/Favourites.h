#pragma once

#include "model/Song.h"

#include <string>
#include <vector>

// The user's favourite songs, oldest first, stored in config/like.json after every change.
// No two entries share a filepath. Every entry is kept, also while its file is missing (a card
// that is not mounted); only the list to show leaves those out.
class Favourites {
public:
    static constexpr const char* DEFAULT_PATH = "config/like.json";

    // What add and remove did. On SAVE_FAILED the list is as it was: memory matches the file.
    enum class Change { DONE, UNCHANGED, SAVE_FAILED };

    explicit Favourites(std::string path = DEFAULT_PATH);

    // The favourites to show: those whose files existed at the last load or change.
    const std::vector<Song>& getSongs() const { return visible; }
    // Every entry of the file, shown or not.
    const std::vector<Song>& getAllSongs() const { return songs; }

    // Replaces the list from the file. A file that is there but cannot be used is copied aside
    // (see JsonFile::keepCopy) before the next save replaces it.
    void load();
    // Writes the whole list atomically; false after an error line naming the file.
    bool save();

    // Appends and saves unless the song is already a favourite (or names no file).
    Change add(const Song& song);
    // Removes and saves the favourite with exactly this filepath.
    Change remove(const std::string& filepath);
    bool contains(const std::string& filepath) const;

private:
    void refreshVisible();

    std::string path;
    std::vector<Song> songs;
    std::vector<Song> visible;
    bool keepCopyBeforeSaving = false;
};
