#include "nowplaying/SkinPictures.h"

#include "nowplaying/SkinLayer.h"

#include <utility>

SkinPictures::~SkinPictures() {
    collect();
}

void SkinPictures::readAhead(std::vector<std::string> paths) {
    collect();
    ready.clear();
    reading = std::async(std::launch::async, [&codec = codec, paths = std::move(paths)] {
        SdlThreadCleanup sdlThread;
        Read read;
        for (const std::string& path : paths) {
            read[path] = SkinLayer::readPicture(codec, path);
        }
        return read;
    });
}

SurfacePtr SkinPictures::take(const std::string& path) {
    collect();
    auto found = ready.find(path);
    if (found == ready.end()) {
        return SkinLayer::readPicture(codec, path);
    }
    SurfacePtr picture = std::move(found->second);
    ready.erase(found);
    return picture;
}

void SkinPictures::collect() {
    if (reading.valid()) {
        for (auto& [path, picture] : reading.get()) {
            ready[path] = std::move(picture);
        }
    }
}
