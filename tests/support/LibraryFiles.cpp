#include "support/LibraryFiles.h"

#include "library/SongJson.h"
#include "core/JsonFile.h"

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

Json::Value songArray(const std::vector<Song>& songs) {
    Json::Value array(Json::arrayValue);
    for (const Song& song : songs) {
        array.append(songToJson(song));
    }
    return array;
}

void write(const std::string& path, const Json::Value& root) {
    fs::create_directories(fs::path(path).parent_path());
    JsonFile::writeAtomically(path, JsonFile::toStyledText(root));
}

} // namespace

void writeLibraryCache(const std::vector<Song>& songs) {
    Json::Value root(Json::objectValue);
    root["songs"] = songArray(songs);
    root["albums"] = Json::Value(Json::arrayValue);
    write("config/music_library.json", root);
}

void writeFavourites(const std::vector<Song>& songs) {
    Json::Value root(Json::objectValue);
    root["version"] = "1.0";
    root["name"] = "like_playlist";
    root["song_count"] = static_cast<int>(songs.size());
    root["songs"] = songArray(songs);
    write("config/like.json", root);
}
