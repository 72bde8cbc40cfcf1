// What the pages and the application use of the library, the queue and the favourites, each
// handed on to the part that keeps it.
#pragma once

#include "library/Favourites.h"
#include "library/LibraryHolder.h"
#include "library/PlayQueue.h"
#include "model/Album.h"
#include "model/Library.h"
#include "model/PlayMode.h"
#include "model/Song.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class Player;

// The library (songs and albums of the last scan or cache load), the queue the player walks and
// the favourites. The album, artist and favourites pages replace only the queue; a scan or a
// cache load replaces the library and makes the queue the whole library.
//
// Threads: everything here belongs to the main thread except setScanning, isScanning and
// setLibrary, which a scan calls from the loading thread. setLibrary hands a finished library
// over; update(), once per frame, adopts it, so a frame sees the old library or the new one,
// never a mixture. No getter changes anything: a reference one returns stays valid until the
// queue is changed or the next update(). Copy what must outlive the frame.
class PlayList {
public:
    PlayList() = default;
    PlayList(const PlayList&) = delete;
    PlayList& operator=(const PlayList&) = delete;

    // --- The queue ---
    void clear() { queue.clear(); } // empties the queue, current index 0; the library stays
    void addSong(const Song& song) { queue.addSong(song); }
    const std::vector<Song>& getSongs() const { return queue.getSongs(); }
    void setCurrentIndex(int index) { queue.setCurrentIndex(index); } // ignored outside it
    std::size_t getCurrentIndex() const { return queue.getCurrentIndex(); }
    // Out of range: an empty song shared by the whole process.
    const Song& getCurrentSong() const { return queue.getCurrentSong(); }
    bool isQueueTheLibrary() const { return queue.isTheLibrary(); }

    // --- The library ---
    const std::vector<Song>& getLibrarySongs() const { return library.get().songs; }
    const std::vector<Album>& getAlbums() const { return library.get().albums; }
    // The library as it is now, to be read on another thread (a scan's): it never changes.
    std::shared_ptr<const Library> shareLibrary() const { return library.share(); }
    // Advanced by every library adopted and every successful cache load.
    uint64_t getLibraryVersion() const { return library.getVersion(); }
    bool isScanning() const { return library.isScanning(); }
    void setScanning(bool value) { library.setScanning(value); }
    // Any thread: publishes a finished library for the next update() to adopt.
    void setLibrary(Library published) { library.publish(std::move(published)); }
    // The cache file of the library (format in LibraryCache). A load replaces the library at
    // once: it runs on the main thread.
    bool saveToFile(const std::string& path) const;
    bool loadFromFile(const std::string& path);

    // --- Playing ---
    // Also installs on the player the continuation that follows the song being heard and keeps
    // the next one (by the play mode) prepared, so that it follows without a gap.
    void setPlayer(Player* player) { queue.setPlayer(player); }
    // Where the play mode comes from; asked at every lookup. Sequence until one is set.
    void setPlayModeSource(PlayQueue::PlayModeSource source) {
        queue.setPlayModeSource(std::move(source));
    }
    PlayMode getPlayMode() const { return queue.getPlayMode(); }
    // Starts the song at index; an unplayable song is logged and skipped, onwards by the mode.
    bool play(int index) { return queue.play(index); }
    // Like play, but holds the song paused at a position (resuming where the user left off).
    bool cue(int index, double seconds) { return queue.cue(index, seconds); }
    // -1 when the mode has no such song.
    int getNextIndex() const { return queue.getNextIndex(); }
    int getPrevIndex() const { return queue.getPrevIndex(); }
    // Stop, then play the neighbour, skipping unplayable songs in the same direction; the index
    // started, or -1 when there was none or nothing started.
    int playNext() { return queue.skip(1); }
    int playPrevious() { return queue.skip(-1); }
    // Once per frame: adopts a library a scan has published, runs the player's notices and
    // prepares the next song anew when the queue or the play mode has changed.
    void update();
    // How often playback has stopped, or could not start, because the songs it came to could
    // not be played: the application tells the user at each new stop.
    uint64_t getUnplayableStops() const { return queue.getUnplayableStops(); }

    // --- Favourites (config/like.json) ---
    // The favourites to show: those whose files exist (see Favourites).
    const std::vector<Song>& getLikedSongs() const { return favourites.getSongs(); }
    void loadFavourites() { favourites.load(); }
    // SAVE_FAILED: nothing changed, and an error line names the file.
    Favourites::Change addFavourite(const Song& song) { return favourites.add(song); }
    Favourites::Change removeFavourite(const std::string& filepath) {
        return favourites.remove(filepath);
    }
    bool isFavourite(const Song& song) const { return favourites.contains(song.filepath); }

private:
    LibraryHolder library;
    PlayQueue queue;
    Favourites favourites;
};
