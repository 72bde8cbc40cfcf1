#pragma once

#include "core/FileIdentity.h"
#include "library/CoverExtractor.h"
#include "model/Album.h"
#include "model/Library.h"
#include "model/Song.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class PlayList;

// What one scan reads: the folders to walk (none: the folder "music" beside the program) and the
// formats to take, as extensions with their dot in lower case (".mp3"); no format takes every
// file. known is the library whose records of unchanged files the scan may take (the play
// list's); without one, those of the cache file are taken.
struct ScanRequest {
    std::vector<std::string> directories;
    std::vector<std::string> formats;
    std::shared_ptr<const Library> known;
};

// How far a scan has got: files read (or taken from the cache unchanged) and files found. While
// the walk is still counting, filesFound grows; once counted is set it is the total.
struct ScanProgress {
    uint64_t filesRead = 0;
    uint64_t filesFound = 0;
    bool counted = false;
};

// Builds the library: walks the scan directories, reads the tags, stream parameters and
// embedded cover of every audio file that is new or has changed since the cache was written
// (a file of unchanged path, size and modification time keeps its cached record), groups the
// songs into albums, writes the library cache and hands the result to the play list. A scan runs
// on the loading dialog's thread.
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

    // How often the progress seen by other threads is brought up to date.
    static constexpr std::chrono::milliseconds PROGRESS_INTERVAL{250};

    // Rebuilds the library from the request's folders into the play list and writes the cache
    // (unless nothing changed). Failures are logged. A scan that is asked to stop leaves the
    // play list, the cache and the covers as they were.
    void scanMusicFiles(PlayList* playList, const ScanRequest& request);

    // Any thread: reads the library cache and hands it to the play list as a scan would, so a
    // scan started meanwhile publishes after it. False (logged) when there is no usable cache.
    bool loadCache(PlayList* playList);

    // Any thread: the progress of the running (or last) scan, at most PROGRESS_INTERVAL old.
    ScanProgress getProgress() const;

    // Any thread: makes a running scan, and every later one, stop at the next file or the next
    // read FFmpeg makes. For quitting.
    void requestStop() { stopRequested.store(true); }

    // The albums of a set of songs: grouped by album and artist, then merged by album name.
    static std::vector<Album> groupAlbums(const std::vector<Song>& songs);

    // The songs of one album in the order they are played: disc, then track (unnumbered after
    // numbered), then file name; ties keep their order.
    static void sortAlbumTracks(std::vector<Song>& songs);

private:
    // The records of the last scan that can be used again, by path.
    using KnownSongs = std::unordered_map<std::string_view, const Song*>;

    // The songs of files, in their order; false when the scan was asked to stop.
    bool readSongs(const ScanRequest& request, const std::vector<std::filesystem::path>& files,
                   std::vector<Song>& songs, bool& unchanged);
    static int interruptWhenStopping(void* scanner);
    bool isStopping() const { return stopRequested.load(); }
    // formats: lower case, with the dot; empty takes every file.
    void walkDirectory(const std::string& directory, const std::set<std::string>& formats,
                       std::vector<std::filesystem::path>& files);
    // Appends the song of one file: the known record when the file is unchanged and its cover
    // readable, else one read now; nothing when the file is gone.
    void takeFile(const std::string& path, const KnownSongs& known,
                  const std::unordered_set<std::string>& unreadableCovers, std::vector<Song>& songs,
                  bool& reused);
    // One song from one file; a file FFmpeg cannot read is named after its file.
    Song readFile(const std::string& path, const FileIdentity& identity);
    // Tags, stream parameters and cover: what FFmpeg can read of song.filepath.
    void readContainer(Song& song);
    void publishProgress(uint64_t read, uint64_t found, bool counted, bool force);

    CoverExtractor coverExtractor;
    std::mutex scanMutex; // one scan at a time
    std::atomic<bool> stopRequested{false};
    std::atomic<uint64_t> progressRead{0};
    std::atomic<uint64_t> progressFound{0};
    std::atomic<bool> progressCounted{false};
    std::chrono::steady_clock::time_point lastProgress{}; // scanning thread only
};
