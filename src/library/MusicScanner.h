#pragma once

#include "library/CoverExtractor.h"
#include "model/Album.h"
#include "model/Song.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class PlayList;

// What one scan reads: the folders to walk (none: the folder "music" beside the program) and the
// formats to take, as extensions with their dot in lower case (".mp3"); no format takes every
// file.
struct ScanRequest {
    std::vector<std::string> directories;
    std::vector<std::string> formats;
};

// Builds the library: walks the scan directories, reads every audio file's tags, stream
// parameters and embedded cover with FFmpeg, groups the songs into albums, writes the library
// cache and hands the result to the play list. A scan runs on the loading dialog's thread.
class MusicScanner {
public:
    static constexpr const char* DEFAULT_SCAN_DIRECTORY = "music";
    static constexpr const char* CACHE_NAME = "music_library";
    static constexpr const char* UNKNOWN_ARTIST = "未知艺术家";
    static constexpr const char* PLACEHOLDER_COVER = "icons/tfm.png";

    static MusicScanner& getInstance();

    MusicScanner() = default;
    MusicScanner(const MusicScanner&) = delete;
    MusicScanner& operator=(const MusicScanner&) = delete;

    // Rebuilds the library from the request's folders into the play list and writes the cache.
    // Failures are logged. A scan that is asked to stop leaves the play list, the cache and the
    // covers as they were.
    void scanMusicFiles(PlayList* playList, const ScanRequest& request);
    // One song from one file; a file FFmpeg cannot read is named after its file.
    Song readMetadata(const std::string& path);

    // Any thread: makes a running scan, and every later one, stop at the next file or the next
    // read FFmpeg makes. For quitting.
    void requestStop() { stopRequested.store(true); }

    // The albums of a set of songs: grouped by album and artist, then merged by album name.
    static std::vector<Album> groupAlbums(const std::vector<Song>& songs);

private:
    static int interruptWhenStopping(void* scanner);
    bool isStopping() const { return stopRequested.load(); }
    // formats: lower case, with the dot; empty takes every file.
    void scanDirectory(const std::string& directory, const std::set<std::string>& formats,
                       std::vector<Song>& songs);
    void addFile(const std::string& path, std::vector<Song>& songs);
    // Tags, stream parameters and cover: what FFmpeg can read of song.filepath.
    void readContainer(Song& song);

    CoverExtractor coverExtractor;
    std::mutex scanMutex; // one scan at a time
    std::atomic<bool> stopRequested{false};
};
