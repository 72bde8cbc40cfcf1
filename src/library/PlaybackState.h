#pragma once

#include "core/Clock.h"
#include "core/JsonFile.h"
#include "model/Song.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Player;
class PlayList;

// Where the user left off: the queue, the song, the position in it, the play mode and the
// volume, kept in config/playback_state.json. The file is replaced atomically when the song
// changes, on pause, at quit and at most every ten seconds while playing; at start the song is
// restored paused at its position, so that one press of play continues it.
class PlaybackState {
public:
    static constexpr const char* DEFAULT_PATH = "config/playback_state.json";
    static constexpr uint64_t SAVE_INTERVAL_MS = 10000;

    // The file's content.
    struct Record {
        bool queueIsLibrary = false; // its songs are those of the library cache
        std::vector<Song> queue;
        std::size_t currentIndex = 0;
        std::string currentPath;
        double position = 0.0; // seconds
        std::string playMode;
        int volume = 100;
    };

    // False when the file is missing (silently) or unusable (with an error line).
    static bool read(const std::string& path, Record& record);
    static bool write(const std::string& path, const Record& record,
                      JsonFile::Durability durability = JsonFile::Durability::FULL);

    PlaybackState(PlayList& playList, Player& player, std::string path = DEFAULT_PATH,
                  Clock clock = sdlClock());

    // At start: the volume, the saved queue (the songs that still exist) and its song paused at
    // the saved position (dropped when that song is gone). False when nothing was restored. A
    // queue that was the library waits for the library to be read (its first adoption).
    bool restore();
    // Every frame: cues the song a restore is waiting to, then saves when the song changed, when
    // playback paused, and every ten seconds while playing. The saves while playing do not wait
    // for the rename to reach the card, so that the frame is not held up: a power cut may cost
    // the last ten seconds, never the file.
    void update();
    // Saves now (at quit, say); nothing is written while no song is loaded.
    bool save(JsonFile::Durability durability = JsonFile::Durability::FULL);

private:
    Record capture() const;
    bool resume(const Record& record);
    int restoreQueue(const Record& record, double& position);

    PlayList& playList;
    Player& player;
    std::string path;
    Clock clock;
    std::string savedSong;
    bool wasPaused = false;
    uint64_t lastSave = 0;
    std::optional<Record> pending; // a restore waiting for the library
};
