// The queue the player walks: its songs, the current one, the neighbours the play mode picks, and
// the one walk, forwards or backwards, that starts or prepares the first song that will play.
#pragma once

#include "model/Library.h"
#include "model/PlayMode.h"
#include "model/Song.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Player;

// Everything here belongs to the main thread; the player's callbacks run in its update().
class PlayQueue {
public:
    // Asked anew at every lookup, so a mode changed elsewhere applies from the next one.
    using PlayModeSource = std::function<PlayMode()>;

    PlayQueue();
    PlayQueue(const PlayQueue&) = delete;
    PlayQueue& operator=(const PlayQueue&) = delete;

    // --- The songs ---
    void clear(); // empties the queue, current index 0
    void addSong(const Song& song);
    const std::vector<Song>& getSongs() const;
    void setCurrentIndex(int index); // ignored outside the queue
    std::size_t getCurrentIndex() const { return currentIndex; }
    // Out of range: an empty song shared by the whole process.
    const Song& getCurrentSong() const;
    // The queue becomes the library's own song list. The song that was current stays current
    // when the library still holds it, so what follows it follows on from the right place.
    void followLibrary(std::shared_ptr<const Library> library);
    bool isTheLibrary() const { return library != nullptr; }

    // --- The order ---
    void setPlayModeSource(PlayModeSource source);
    PlayMode getPlayMode() const { return playModeSource(); }
    // The neighbour by the play mode; -1 when there is none.
    int getNextIndex() const { return neighbourIndex(FORWARDS, getPlayMode()); }
    int getPrevIndex() const { return neighbourIndex(BACKWARDS, getPlayMode()); }

    // --- Playing ---
    // Also installs on the player the continuation that follows the song being heard and keeps
    // the next one prepared, so that it follows without a gap.
    void setPlayer(Player* newPlayer);
    // Starts the song at index, or the first after it, by the mode, that plays.
    bool play(int index);
    // Like play, but holds the song paused at a position (resuming where the user left off).
    bool cue(int index, double seconds);
    // Stops, then plays the neighbour in the direction of step (+1 next, -1 previous) or, when
    // that cannot be played, the first beyond it in the same direction. The index started, or
    // -1 when there was no neighbour or nothing started.
    int skip(int step);
    // Once per frame: runs the player's notices and prepares the next song anew when the queue
    // or the play mode has changed under the prepared one.
    void update();
    // How often playback has stopped, or could not start, because no song it came to plays.
    uint64_t getUnplayableStops() const { return unplayableStops; }

private:
    static constexpr int FORWARDS = 1;
    static constexpr int BACKWARDS = -1;

    bool holds(int index) const;
    int indexOf(const std::string& filepath) const;
    int neighbourIndex(int step, PlayMode mode) const;
    // The next song to try after index when index could not be played; -1 when all are tried.
    int candidateAfter(int index, int step, PlayMode mode, const std::vector<bool>& tried) const;
    // The first index, from index on in the direction of step, whose song attempt takes; each
    // song refused is logged. -1 when every song the mode leads to was refused.
    int firstTaken(int index, int step, PlayMode mode,
                   const std::function<bool(const Song&)>& attempt) const;
    bool start(int index, int step, double seconds, bool paused);
    bool startInPlayer(const Song& song, double seconds, bool paused);
    void prepareNext(PlayMode mode);
    void offerNext(int index);
    void passOverRefused(const std::string& path, bool fresh);
    void stopForUnplayable();
    void followHeardSong();
    void continueAfterSongEnd();

    std::vector<Song> songs;                // the queue, unless it is the library's
    std::shared_ptr<const Library> library; // set while the queue is the library's song list
    std::size_t currentIndex = 0;
    PlayModeSource playModeSource;
    Player* player = nullptr;
    int preparedIndex = -1;         // offered to the player: being opened, or prepared
    std::vector<bool> triedForNext; // the candidates offered since the current song started
    PlayMode preparedMode = PlayMode::SEQUENCE;
    bool preparingNeeded = false; // the queue changed under the prepared song
    bool nextUnplayable = false;  // the last preparation found no playable song
    uint64_t unplayableStops = 0;
};
