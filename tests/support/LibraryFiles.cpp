#include "support/LibraryFiles.h"

#include "core/JsonFile.h"
#include "library/SongJson.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

std::vector<Song> placeholderSongs(int count, const std::string& folder) {
    fs::create_directories(folder);
    std::vector<Song> songs;
    for (int i = 0; i < count; ++i) {
        Song song;
        char name[32];
        std::snprintf(name, sizeof name, "Song %02d", i + 1);
        song.title = name;
        song.artist = "Artist";
        song.album = "Album";
        song.filepath = folder + "/" + name + ".mp3";
        song.coverPath = "icons/tfm.png";
        std::ofstream(song.filepath).put('x');
        songs.push_back(song);
    }
    return songs;
}

namespace {

// The files hold more (albums, a version), which their readers do without.
void writeSongList(const std::string& path, const std::vector<Song>& songs) {
    Json::Value root(Json::objectValue);
    Json::Value& array = root["songs"] = Json::Value(Json::arrayValue);
    for (const Song& song : songs) {
        array.append(songToJson(song));
    }
    fs::create_directories(fs::path(path).parent_path());
    JsonFile::writeAtomically(path, JsonFile::toStyledText(root));
}

} // namespace

void writeLibraryCache(const std::vector<Song>& songs) {
    writeSongList("config/music_library.json", songs);
}

void writeFavourites(const std::vector<Song>& songs) {
    writeSongList("config/like.json", songs);
}
