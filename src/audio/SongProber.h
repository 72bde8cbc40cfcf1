#pragma once

#include "audio/AudioFormat.h"
#include "audio/SongDecoder.h"
#include "core/FileIdentity.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Opens the songs that are to follow off the main thread, so that a song change never waits for
// a memory card. A file that could not be opened is remembered by its identity (size and time)
// and turned down at once, without being read, until it changes; only the latest failures are
// remembered. The thread sleeps while there is nothing to open.
class SongProber {
public:
    struct Result {
        uint64_t request = 0;
        std::string path;
        std::unique_ptr<SongDecoder> decoder; // null: the song cannot be played
        bool knownBefore = false; // turned down by memory, nothing was opened or written
    };

    // opened is called on the prober's thread after each result, to hurry the main thread.
    SongProber(const AudioFormat& output, std::function<void()> opened);
    ~SongProber();
    SongProber(const SongProber&) = delete;
    SongProber& operator=(const SongProber&) = delete;

    // Main thread.
    void open(uint64_t request, const std::string& path);
    std::vector<Result> takeResults();

private:
    void run();
    Result probe(uint64_t request, const std::string& path);
    bool failedBefore(const std::string& path, const FileIdentity& identity) const;
    void rememberFailure(const std::string& path, const FileIdentity& identity);

    const AudioFormat output;
    std::function<void()> opened;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<uint64_t, std::string>> requests;
    std::vector<Result> results;
    bool quitting = false;
    // The prober's own: the latest files that failed, oldest first.
    std::deque<std::pair<std::string, FileIdentity>> failures;
    std::thread thread;
};
