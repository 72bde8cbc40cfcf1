#include "library/Favourites.h"

#include "core/Log.h"
#include "library/ExistingFiles.h"
#include "library/SongJson.h"
#include "core/JsonFile.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const FILE_VERSION = "1.0";
const char* const LIST_NAME = "like_playlist";
const char* const BACKUP_SUFFIX = ".bak";

} // namespace

Favourites::Favourites(std::string path) : path(std::move(path)) {
}

void Favourites::load() {
    songs.clear();
    JsonFile::ReadResult file = JsonFile::read(path);
    if (file.status == JsonFile::ReadStatus::Missing ||
        file.status == JsonFile::ReadStatus::OpenFailed) {
        return;
    }
    if (file.status == JsonFile::ReadStatus::ParseFailed) {
        logError("加载喜欢列表失败: " + file.error);
        keepBrokenFile();
        return;
    }
    const Json::Value& root = file.root;
    if (!root.isObject() || (root.isMember("songs") && !root["songs"].isArray())) {
        logError("加载喜欢列表失败: songs 不是有效的数组");
        keepBrokenFile();
        return;
    }
    ExistingFiles existing;
    for (const Json::Value& element : root["songs"]) {
        try {
            Song song = songFromJson(element);
            if (existing.contains(song.filepath) && !contains(song.filepath)) {
                songs.push_back(std::move(song));
            }
        } catch (const std::exception& e) {
            // One damaged entry must not cost the others.
            logError(std::string("加载喜欢列表失败: ") + e.what());
        }
    }
}

bool Favourites::save() const {
    try {
        Json::Value root(Json::objectValue);
        root["version"] = FILE_VERSION;
        root["name"] = LIST_NAME;
        root["song_count"] = Json::UInt64(songs.size());
        Json::Value& array = root["songs"] = Json::Value(Json::arrayValue);
        for (const Song& song : songs) {
            array.append(songToJson(song, NestedSongs::Write));
        }
        const fs::path parent = fs::path(path).parent_path();
        if (!parent.empty()) {
            fs::create_directories(parent);
        }
        if (!JsonFile::writeAtomically(path, JsonFile::toStyledText(root))) {
            logError("无法创建喜欢列表文件: " + path);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        logError(std::string("保存喜欢列表失败: ") + e.what());
        return false;
    }
}

bool Favourites::add(const Song& song) {
    if (song.filepath.empty() || contains(song.filepath)) { // an empty song names no file
        return false;
    }
    songs.push_back(song);
    save();
    return true;
}

bool Favourites::remove(const std::string& filepath) {
    auto found = std::find_if(songs.begin(), songs.end(),
                              [&](const Song& song) { return song.filepath == filepath; });
    if (found == songs.end()) {
        return false;
    }
    songs.erase(found);
    save();
    return true;
}

bool Favourites::contains(const std::string& filepath) const {
    return std::any_of(songs.begin(), songs.end(),
                       [&](const Song& song) { return song.filepath == filepath; });
}

void Favourites::keepBrokenFile() const {
    std::error_code ec;
    fs::copy_file(path, path + BACKUP_SUFFIX, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        logError("无法备份喜欢列表文件: " + path + " - " + ec.message());
    }
}
