#include "library/LibraryCache.h"

#include "core/JsonFile.h"
#include "core/Log.h"
#include "library/ExistingFiles.h"
#include "library/SongJson.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string_view>
#include <unordered_map>

namespace fs = std::filesystem;

namespace LibraryCache {

namespace {

const char* const CONFIG_FOLDER = "config";
const char* const INDENTATION = "    ";
// Some 100,000 songs; a larger file is not a cache this program wrote.
constexpr uintmax_t MAX_CACHE_BYTES = 64 * 1024 * 1024;

Json::Value libraryToJson(const Library& library) {
    Json::Value root(Json::objectValue);
    Json::Value& songs = root["songs"] = Json::Value(Json::arrayValue);
    for (const Song& song : library.songs) {
        songs.append(songToJson(song, NestedSongs::Omit));
    }
    Json::Value& albums = root["albums"] = Json::Value(Json::arrayValue);
    for (const Album& album : library.albums) {
        albums.append(albumToJson(album));
    }
    return root;
}

std::string_view filepathOf(const Json::Value& songObject) {
    static constexpr std::string_view KEY = "filepath";
    const Json::Value* filepath =
        songObject.isObject() ? songObject.find(KEY.data(), KEY.data() + KEY.size()) : nullptr;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!filepath || !filepath->getString(&begin, &end)) {
        return {};
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// The songs of the songs array by path: an album lists copies of them, taken from here rather
// than read a second time.
using ListedSongs = std::unordered_map<std::string_view, const Song*>;

// Calls read(element, index) on each element of a JSON array, in order.
template <typename Read> void forEachElement(const Json::Value& array, Read read) {
    Json::ArrayIndex index = 0;
    // Iterated rather than indexed: jsoncpp keeps an array as a tree, so array[index] is a search.
    for (auto element = array.begin(); element != array.end(); ++element, ++index) {
        read(*element, index);
    }
}

// One song object; false when it is not one or is damaged. A damaged entry is logged unless,
// with existing given, its file is gone: such an entry is dropped without a word.
bool readSong(const Json::Value& element, Json::ArrayIndex index, ExistingFiles* existing,
              Song& song) {
    if (!element.isObject()) {
        return false;
    }
    try {
        song = songFromJson(element);
        return true;
    } catch (const std::exception& e) {
        if (!existing || existing->contains(std::string(filepathOf(element)))) {
            logError("解析歌曲信息失败，索引: " + std::to_string(index) + ", 错误: " + e.what());
        }
        return false;
    }
}

// The records of a songs array, whether or not their files exist.
std::vector<Song> readSongs(const Json::Value& array, ExistingFiles* existing) {
    std::vector<Song> songs;
    songs.reserve(array.size());
    forEachElement(array, [&](const Json::Value& element, Json::ArrayIndex index) {
        Song song;
        if (readSong(element, index, existing, song)) {
            songs.push_back(std::move(song));
        }
    });
    return songs;
}

void dropSongsWithoutFiles(std::vector<Song>& songs, ExistingFiles& existing) {
    songs.erase(std::remove_if(songs.begin(), songs.end(),
                               [&](const Song& song) { return !existing.contains(song.filepath); }),
                songs.end());
}

// The songs of an album: copies of those listed already, the others read, those whose files are
// gone left out.
std::vector<Song> readAlbumSongs(const Json::Value& array, ExistingFiles& existing,
                                 const ListedSongs& listed) {
    std::vector<Song> songs;
    songs.reserve(array.size());
    forEachElement(array, [&](const Json::Value& element, Json::ArrayIndex index) {
        const auto found = listed.find(filepathOf(element));
        if (found != listed.end()) {
            songs.push_back(*found->second);
            return;
        }
        Song song;
        if (readSong(element, index, &existing, song) && existing.contains(song.filepath)) {
            songs.push_back(std::move(song));
        }
    });
    return songs;
}

std::vector<Album> readAlbums(const Json::Value& array, ExistingFiles& existing,
                              const ListedSongs& listed) {
    std::vector<Album> albums;
    albums.reserve(array.size());
    forEachElement(array, [&](const Json::Value& element, Json::ArrayIndex index) {
        if (!element.isObject()) {
            return;
        }
        try {
            Album album;
            album.name = element["name"].asString();
            album.artist = element["artist"].asString();
            album.coverPath = element["coverPath"].asString();
            const Json::Value& songs = element["songs"];
            if (songs.isArray()) {
                album.songs = readAlbumSongs(songs, existing, listed);
            }
            if (!album.songs.empty()) {
                albums.push_back(std::move(album));
            }
        } catch (const std::exception& e) {
            logError("解析专辑信息失败，索引: " + std::to_string(index) + ", 错误: " + e.what());
        }
    });
    return albums;
}

bool readDocument(const std::string& path, Json::Value& root) {
    JsonFile::ReadResult file = JsonFile::read(path, MAX_CACHE_BYTES);
    switch (file.status) {
    case JsonFile::ReadStatus::Missing:
        logError("播放列表文件不存在: " + path);
        return false;
    case JsonFile::ReadStatus::OpenFailed:
        logError("无法打开播放列表文件: " + path);
        return false;
    case JsonFile::ReadStatus::ParseFailed:
        logError("JSON解析失败: " + file.error);
        return false;
    case JsonFile::ReadStatus::Ok:
        break;
    }
    root.swap(file.root);
    return true;
}

} // namespace

std::string pathForName(const std::string& name) {
    return std::string(CONFIG_FOLDER) + "/" + name + ".json";
}

bool save(const std::string& path, const Library& library) {
    try {
        const std::string text = JsonFile::toIndentedText(libraryToJson(library), INDENTATION);
        if (!JsonFile::writeAtomically(path, text)) {
            logError("无法打开文件进行写入: " + path);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        logError(std::string("保存播放列表失败: ") + e.what());
        return false;
    }
}

void saveNamed(const std::string& name, const Library& library) {
    try {
        fs::create_directories(CONFIG_FOLDER);
        if (!save(pathForName(name), library)) {
            logError("保存音乐库失败");
        }
    } catch (const std::exception& e) {
        logError(std::string("保存音乐库时发生错误: ") + e.what());
    }
}

bool load(const std::string& path, Library& library) {
    try {
        Json::Value root;
        if (!readDocument(path, root)) {
            return false;
        }
        if (!root.isObject() || !root["songs"].isArray()) {
            logError("songs 不是有效的数组");
            return false;
        }
        ExistingFiles existing;
        Library loaded;
        loaded.songs = readSongs(root["songs"], &existing);
        // The tree of the songs is freed before the files are looked for and the albums read:
        // what they allocate then reuses its memory instead of growing the process, which
        // costs a page fault for every new page.
        root.removeMember("songs");
        dropSongsWithoutFiles(loaded.songs, existing);
        if (root["albums"].isArray()) {
            ListedSongs listed;
            listed.reserve(loaded.songs.size());
            for (const Song& song : loaded.songs) {
                listed.emplace(song.filepath, &song);
            }
            loaded.albums = readAlbums(root["albums"], existing, listed);
        }
        library = std::move(loaded);
        return true;
    } catch (const std::exception& e) {
        logError(std::string("加载播放列表失败: ") + e.what());
        return false;
    }
}

std::vector<Song> loadSongRecords(const std::string& path) {
    std::vector<Song> songs;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return songs;
    }
    try {
        Json::Value root;
        if (readDocument(path, root) && root.isObject() && root["songs"].isArray()) {
            root.removeMember("albums");
            songs = readSongs(root["songs"], nullptr);
        }
    } catch (const std::exception& e) {
        logError(std::string("加载播放列表失败: ") + e.what());
        songs.clear();
    }
    return songs;
}

} // namespace LibraryCache
