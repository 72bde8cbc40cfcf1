#include "library/PlayList.h"

#include "library/LibraryCache.h"

#include <utility>

bool PlayList::saveToFile(const std::string& path) const {
    return LibraryCache::save(path, library.get());
}

bool PlayList::loadFromFile(const std::string& path) {
    Library loaded;
    if (!LibraryCache::load(path, loaded)) {
        return false;
    }
    library.replace(std::move(loaded));
    queue.followLibrary(library.share());
    return true;
}

void PlayList::update() {
    if (library.adoptPublished()) {
        queue.followLibrary(library.share());
    }
    queue.update();
}
