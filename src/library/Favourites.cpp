#include "library/Favourites.h"

#include "core/JsonFile.h"
#include "core/Log.h"
#include "library/ExistingFiles.h"
#include "library/SongJson.h"

#include <algorithm>
#include <exception>

namespace {

const char* const FILE_VERSION = "1.0";
const char* const LIST_NAME = "like_playlist";

} // namespace

Favourites::Favourites(std::string path) : path(std::move(path)) {
}

void Favourites::load() {
    songs.clear();
    visible.clear();
    keepCopyBeforeSaving = false;
    JsonFile::ReadResult file = JsonFile::read(path);
    if (file.status == JsonFile::ReadStatus::Missing) {
        return;
    }
    keepCopyBeforeSaving = true; // until the file proves usable
    if (file.status == JsonFile::ReadStatus::OpenFailed) {
        logError("无法打开喜欢列表文件: " + path + " - " + file.error);
        return;
    }
    if (file.status == JsonFile::ReadStatus::ParseFailed) {
        logError("加载喜欢列表失败: " + file.error);
        return;
    }
    const Json::Value& root = file.root;
    if (!root.isObject() || (root.isMember("songs") && !root["songs"].isArray())) {
        logError("加载喜欢列表失败: songs 不是有效的数组");
        return;
    }
    keepCopyBeforeSaving = false;
    for (const Json::Value& element : root["songs"]) {
        try {
            Song song = songFromJson(element);
            if (!song.filepath.empty() && !contains(song.filepath)) {
                songs.push_back(std::move(song));
            }
        } catch (const std::exception& e) {
            // One damaged entry must not cost the others.
            logError(std::string("加载喜欢列表失败: ") + e.what());
        }
    }
    refreshVisible();
}

bool Favourites::save() {
    try {
        if (keepCopyBeforeSaving) {
            // The file on disk could not be used: it may still hold favourites the user wants.
            if (JsonFile::keepCopy(path).empty()) {
                logError("无法备份喜欢列表文件: " + path);
                return false;
            }
            keepCopyBeforeSaving = false;
        }
        Json::Value root(Json::objectValue);
        root["version"] = FILE_VERSION;
        root["name"] = LIST_NAME;
        root["song_count"] = Json::UInt64(songs.size());
        Json::Value& array = root["songs"] = Json::Value(Json::arrayValue);
        for (const Song& song : songs) {
            array.append(songToJson(song, NestedSongs::Write));
        }
        std::string error;
        if (!JsonFile::ensureParentFolder(path) ||
            !JsonFile::writeAtomically(path, JsonFile::toStyledText(root), &error)) {
            logError("无法创建喜欢列表文件: " + path + (error.empty() ? "" : " - " + error));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        logError("保存喜欢列表失败: " + path + " - " + e.what());
        return false;
    }
}

Favourites::Change Favourites::add(const Song& song) {
    if (song.filepath.empty() || contains(song.filepath)) { // an empty song names no file
        return Change::UNCHANGED;
    }
    songs.push_back(song);
    if (!save()) {
        songs.pop_back();
        return Change::SAVE_FAILED;
    }
    refreshVisible();
    return Change::DONE;
}

Favourites::Change Favourites::remove(const std::string& filepath) {
    auto found = std::find_if(songs.begin(), songs.end(),
                              [&](const Song& song) { return song.filepath == filepath; });
    if (found == songs.end()) {
        return Change::UNCHANGED;
    }
    const auto position = found - songs.begin();
    Song removed = std::move(*found);
    songs.erase(found);
    if (!save()) {
        songs.insert(songs.begin() + position, std::move(removed));
        return Change::SAVE_FAILED;
    }
    refreshVisible();
    return Change::DONE;
}

bool Favourites::contains(const std::string& filepath) const {
    return std::any_of(songs.begin(), songs.end(),
                       [&](const Song& song) { return song.filepath == filepath; });
}

void Favourites::refreshVisible() {
    visible.clear();
    ExistingFiles existing;
    for (const Song& song : songs) {
        if (existing.contains(song.filepath)) {
            visible.push_back(song);
        }
    }
}
