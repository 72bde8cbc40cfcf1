#pragma once

#include "library/Favourites.h"
#include "model/Album.h"
#include "model/Library.h"
#include "model/PlayMode.h"
#include "model/Song.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class Player;

// The library (songs and albums of the last scan or cache load), the queue the player walks,
// the play mode and the favourites. The album, artist and favourites pages replace only the
// queue; a scan or a cache load replaces the library and makes the queue the whole library.
//
// Threads: everything here belongs to the main thread except setScanning, isScanning and
// setLibrary, which a scan calls from the loading thread. setLibrary hands a finished library
// over under a lock; the main thread adopts it the next time it reads the library or the
// queue, so a frame sees either the old library or the new one, never a mixture. A reference
// that a getter returns stays valid until the queue is changed or a new library is adopted:
// copy what must outlive the frame.
class PlayList {
public:
    PlayList();
    virtual ~PlayList();
    PlayList(const PlayList&) = delete;
    PlayList& operator=(const PlayList&) = delete;

    // --- The queue ---
    void clear(); // empties the queue, current index 0; the library stays
    void addSong(const Song& song);
    const std::vector<Song>& getSongs();
    void setCurrentIndex(int index); // ignored outside the queue
    std::size_t getCurrentIndex();
    // Out of range: an empty song shared by the whole process.
    const Song& getCurrentSong();
    // The neighbour the play mode picks, or the current song when there is none.
    const Song& getNextSong();
    const Song& getPrevSong();

    // --- The library ---
    const std::vector<Song>& getLibrarySongs();
    const std::vector<Album>& getAlbums();
    // Advanced by every scan and every successful cache load.
    uint64_t getLibraryVersion();
    bool isScanning() const { return scanning.load(); }
    void setScanning(bool value) { scanning.store(value); }
    // Any thread: publishes a finished library for the main thread to adopt.
    void setLibrary(Library library);
    // The cache file of the library (format in LibraryCache).
    bool saveToFile(const std::string& path);
    bool loadFromFile(const std::string& path);

    // --- Playing ---
    // Also installs on the player the continuation that follows the song being heard and keeps
    // the next one (by the play mode) prepared, so that it follows without a gap.
    void setPlayer(Player* player);
    // Starts the song at index; an unplayable song is logged and skipped, onwards by the mode.
    bool play(int index);
    // Like play, but holds the song paused at a position (resuming where the user left off).
    bool cue(int index, double seconds);
    // Where the play mode comes from; asked at every lookup. Sequence until one is set.
    void setPlayModeSource(std::function<PlayMode()> source);
    // Both ask for the play mode anew; -1 when there is no such song.
    int getNextIndex();
    int getPrevIndex();
    // Stop, then play the neighbour, skipping unplayable songs in the same direction; the index
    // started, or -1 when there was none or nothing started.
    int playNext();
    int playPrevious();
    PlayMode getPlayMode() const { return playMode; }
    // Once per frame: runs the player's notices and prepares the next song anew when the play
    // mode has changed.
    void update();
    // Songs found unplayable since the user last started one, in the order they were met.
    const std::vector<std::string>& getUnplayableSongs() const { return unplayableSongs; }
    // Playback stopped, or could not start, because the songs it came to could not be played.
    bool isStoppedForUnplayable() const { return stoppedForUnplayable; }
    // How often playback has stopped so: the application tells the user at each new stop.
    uint64_t getUnplayableStops() const { return unplayableStops; }
    bool isQueueTheLibrary();

    // Transport, forwarded to the player; nothing happens without one.
    void stop();
    void pause();
    void resume();
    void fastForward(int seconds);
    void rewind(int seconds);
    void setVolume(int volume);
    int getVolume() const;

    // --- Favourites (config/like.json) ---
    // The favourites to show: those whose files exist (see Favourites).
    const std::vector<Song>& getLikedSongs() const { return favourites.getSongs(); }
    void loadFavourites() { favourites.load(); }
    bool saveFavourites() { return favourites.save(); }
    // SAVE_FAILED: nothing changed, and an error line names the file.
    Favourites::Change addFavourite(const Song& song) { return favourites.add(song); }
    Favourites::Change removeFavourite(const std::string& filepath) {
        return favourites.remove(filepath);
    }
    bool isFavourite(const Song& song) const { return favourites.contains(song.filepath); }

private:
    void adoptPublishedLibrary();
    // The queue: the library's own song list until a page replaces it.
    const std::vector<Song>& queue() const { return queueIsLibrary ? library.songs : songs; }
    void refreshPlayMode();
    // The neighbour one step forwards (+1) or backwards (-1) of index under the play mode.
    int neighbourOf(int index, int step);
    int neighbourIndex(int step);
    int skip(int step);
    // The next song to try after index when index could not be played; -1 when all are tried.
    int candidateAfter(int index, int step, std::vector<bool>& tried);
    const Song& songAtOrCurrent(int index);
    int randomIndexOtherThan(int index) const;
    bool startFirstPlayable(int index, int step, double seconds, bool paused);
    bool startInPlayer(std::size_t index, double seconds, bool paused);
    void prepareNext();
    void noteUnplayable(const Song& song);
    void stopForUnplayable();
    void followHeardSong();
    void continueAfterSongEnd();

    Favourites favourites;
    std::atomic<bool> scanning{false};
    std::vector<Song> songs; // the queue, unless queueIsLibrary
    bool queueIsLibrary = false;
    Library library;
    uint64_t libraryVersion = 0;
    std::size_t currentIndex = 0;
    PlayMode playMode = PlayMode::SEQUENCE;
    std::function<PlayMode()> playModeSource = [] { return PlayMode::SEQUENCE; };
    Player* player = nullptr;
    int preparedIndex = -1;
    PlayMode preparedMode = PlayMode::SEQUENCE;
    bool preparingNeeded = false; // the queue changed under the prepared song
    bool nextUnplayable = false;  // the last preparation found no playable song
    bool stoppedForUnplayable = false;
    uint64_t unplayableStops = 0;
    std::vector<std::string> unplayableSongs;

    // Hand-over from the loading thread.
    std::mutex publishMutex;
    std::optional<Library> publishedLibrary;
    uint64_t publishedVersion = 0;
    std::atomic<bool> libraryWaiting{false};
};

// Writes the play list's library to config/<name>.json; failures are logged.
void saveLibrary(PlayList* playList, const std::string& name);
