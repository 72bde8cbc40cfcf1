#include "library/LibraryHolder.h"

#include <utility>

void LibraryHolder::publish(Library library) {
    std::lock_guard<std::mutex> lock(handOverMutex);
    published = std::move(library);
    publishedVersion = ++lastVersionGiven;
    waiting.store(true);
}

bool LibraryHolder::adoptPublished() {
    if (!waiting.load()) {
        return false;
    }
    std::optional<Library> taken;
    {
        std::lock_guard<std::mutex> lock(handOverMutex);
        if (!published) {
            return false;
        }
        taken.swap(published);
        version = publishedVersion;
        waiting.store(false);
    }
    // The old library is released here, outside the lock, so a publishing scan never waits
    // for thousands of songs to be freed.
    library = std::make_shared<const Library>(std::move(*taken));
    return true;
}

void LibraryHolder::replace(Library replacement) {
    {
        std::lock_guard<std::mutex> lock(handOverMutex);
        published.reset();
        version = ++lastVersionGiven;
        waiting.store(false);
    }
    library = std::make_shared<const Library>(std::move(replacement));
}
