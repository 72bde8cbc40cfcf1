// Holds the library the main thread reads, and takes one that a scan publishes from the loading
// thread over only when the main thread asks for it.
#pragma once

#include "model/Library.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// Threads: publish, setScanning and isScanning may be called from any thread; everything else
// belongs to the main thread. Between two adoptions the library does not change, so a
// reference into it stays valid until the main thread adopts or replaces it.
class LibraryHolder {
public:
    const Library& get() const { return *library; }
    // Shared with a queue that plays the library's own song list.
    std::shared_ptr<const Library> share() const { return library; }
    // Advanced by every library adopted or replaced.
    uint64_t getVersion() const { return version; }

    // Any thread: a finished library for the main thread to adopt.
    void publish(Library published);
    // Takes the library published since the last adoption; false when there is none.
    bool adoptPublished();
    // Installs a library read on the main thread at once; one published before it is dropped.
    void replace(Library replacement);

    bool isScanning() const { return scanning.load(); }
    void setScanning(bool value) { scanning.store(value); }

private:
    std::shared_ptr<const Library> library = std::make_shared<const Library>();
    uint64_t version = 0;
    std::atomic<bool> scanning{false};

    std::mutex handOverMutex;
    std::optional<Library> published;
    uint64_t publishedVersion = 0;
    uint64_t lastVersionGiven = 0;
    std::atomic<bool> waiting{false};
};
