#include "library/PlaybackState.h"

#include "audio/Player.h"
#include "core/JsonFile.h"
#include "core/Log.h"
#include "library/ExistingFiles.h"
#include "library/PlayList.h"
#include "library/SongJson.h"
#include "model/PlayMode.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {

constexpr const char* QUEUE_KEY = "queue";
constexpr const char* LIBRARY_QUEUE = "library";
constexpr const char* CURRENT_INDEX_KEY = "current_index";
constexpr const char* CURRENT_SONG_KEY = "current_song";
constexpr const char* POSITION_KEY = "position";
constexpr const char* PLAY_MODE_KEY = "play_mode";
constexpr const char* VOLUME_KEY = "volume";

const JsonFile::ReadErrorMessages READ_ERRORS{"",
                                              "无法打开播放状态文件: ", "播放状态文件解析失败: "};

void readRecord(const Json::Value& root, PlaybackState::Record& record) {
    const Json::Value& queue = root[QUEUE_KEY];
    record.queueIsLibrary = queue.isString() && queue.asString() == LIBRARY_QUEUE;
    if (queue.isArray()) {
        for (const Json::Value& song : queue) {
            record.queue.push_back(songFromJson(song));
        }
    }
    record.currentIndex = root[CURRENT_INDEX_KEY].asUInt();
    record.currentPath = root[CURRENT_SONG_KEY].asString();
    const double position = root[POSITION_KEY].asDouble();
    record.position = std::isfinite(position) ? std::max(0.0, position) : 0.0;
    record.playMode = root[PLAY_MODE_KEY].asString();
    record.volume = root.isMember(VOLUME_KEY) ? root[VOLUME_KEY].asInt() : record.volume;
}

} // namespace

bool PlaybackState::read(const std::string& path, Record& record) {
    JsonFile::ReadResult file = JsonFile::readReporting(path, READ_ERRORS);
    if (file.status != JsonFile::ReadStatus::Ok) {
        return false;
    }
    try {
        Record read;
        readRecord(file.root, read);
        record = std::move(read);
        return true;
    } catch (const std::exception& error) {
        logError("播放状态文件解析失败: " + path + ", " + error.what());
        return false;
    }
}

bool PlaybackState::write(const std::string& path, const Record& record,
                          JsonFile::Durability durability) {
    Json::Value root(Json::objectValue);
    if (record.queueIsLibrary) {
        root[QUEUE_KEY] = LIBRARY_QUEUE; // the library cache has them; no need to copy thousands
    } else {
        Json::Value& queue = root[QUEUE_KEY] = Json::Value(Json::arrayValue);
        for (const Song& song : record.queue) {
            queue.append(songToJson(song, NestedSongs::Omit));
        }
    }
    root[CURRENT_INDEX_KEY] = static_cast<Json::UInt64>(record.currentIndex);
    root[CURRENT_SONG_KEY] = record.currentPath;
    root[POSITION_KEY] = record.position;
    root[PLAY_MODE_KEY] = record.playMode;
    root[VOLUME_KEY] = record.volume;
    if (!JsonFile::saveStyled(path, root, durability)) {
        logError("保存播放状态失败: " + path);
        return false;
    }
    return true;
}

PlaybackState::PlaybackState(PlayList& playList, Player& player, std::string path, Clock clock)
    : playList(playList), player(player), path(std::move(path)), clock(std::move(clock)) {
}

bool PlaybackState::restore() {
    Record record;
    if (!read(path, record)) {
        return false;
    }
    player.setVolume(record.volume);
    if (record.queueIsLibrary && playList.getLibraryVersion() == 0) {
        // The library is still being read: its song is cued once it is in (see update).
        pending = std::move(record);
        return true;
    }
    return resume(record);
}

bool PlaybackState::resume(const Record& record) {
    double position = record.position;
    int index = restoreQueue(record, position);
    if (index < 0) {
        return false;
    }
    playList.setPlayer(&player);
    if (!playList.cue(index, position)) {
        return false;
    }
    savedSong = player.getCurrentFilePath();
    wasPaused = true;
    lastSave = clock();
    return true;
}

// Puts the saved queue back, without the songs that are gone; returns the index of the song
// to resume (-1 when none is left). The position is dropped when its song is gone.
int PlaybackState::restoreQueue(const Record& record, double& position) {
    std::size_t index = record.currentIndex;
    bool currentKept = false;
    if (record.queueIsLibrary) {
        const std::vector<Song>& songs = playList.getSongs();
        auto found = std::find_if(songs.begin(), songs.end(), [&](const Song& song) {
            return song.filepath == record.currentPath;
        });
        currentKept = found != songs.end();
        index = currentKept ? static_cast<std::size_t>(found - songs.begin()) : index;
    } else {
        ExistingFiles existing;
        playList.clear();
        std::size_t keptBefore = 0; // songs left before the saved one: its index now
        for (std::size_t old = 0; old < record.queue.size(); ++old) {
            const Song& song = record.queue[old];
            if (!existing.contains(song.filepath)) {
                continue;
            }
            keptBefore += old < record.currentIndex ? 1 : 0;
            currentKept =
                currentKept || (old == record.currentIndex && song.filepath == record.currentPath);
            playList.addSong(song);
        }
        index = keptBefore;
    }
    const std::size_t count = playList.getSongs().size();
    if (count == 0) {
        return -1;
    }
    if (!currentKept) {
        position = 0.0;
    }
    return static_cast<int>(std::min(index, count - 1));
}

void PlaybackState::update() {
    if (pending && (!player.getCurrentFilePath().empty() || playList.getLibraryVersion() != 0)) {
        Record record = std::move(*pending);
        pending.reset();
        if (player.getCurrentFilePath().empty()) { // the user has not chosen a song meanwhile
            resume(record);
        }
    }
    const std::string song = player.getCurrentFilePath();
    if (song.empty()) {
        return;
    }
    const bool pausedNow = player.isPaused();
    const bool changed = song != savedSong || (pausedNow && !wasPaused);
    const bool due = player.isPlaying() && clock() - lastSave >= SAVE_INTERVAL_MS;
    wasPaused = pausedNow;
    if (changed) {
        save();
    } else if (due) {
        save(JsonFile::Durability::CONTENT);
    }
}

bool PlaybackState::save(JsonFile::Durability durability) {
    Record record = capture();
    if (record.currentPath.empty()) {
        return false;
    }
    savedSong = record.currentPath;
    lastSave = clock();
    return write(path, record, durability);
}

PlaybackState::Record PlaybackState::capture() const {
    Record record;
    record.queueIsLibrary = playList.isQueueTheLibrary();
    if (!record.queueIsLibrary) {
        record.queue = playList.getSongs();
    }
    record.currentIndex = playList.getCurrentIndex();
    record.currentPath = player.getCurrentFilePath();
    record.position = player.getCurrentTime();
    record.playMode = playModeText(playList.getPlayMode());
    record.volume = player.getVolume();
    return record;
}
