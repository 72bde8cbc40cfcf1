#include "library/PlayList.h"
#include "library/SongJson.h"

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzSupport::scratchFolder() + "/music_library.json";
    FuzzSupport::writeInput(path, data, size);
    PlayList playList;
    if (playList.loadFromFile(path)) {
        // What was loaded must be writable again.
        for (const Album& album : playList.getAlbums()) {
            albumToJson(album);
        }
        if (playList.getSongs().size() != playList.getLibrarySongs().size()) {
            __builtin_trap();
        }
    }
    return 0;
}
