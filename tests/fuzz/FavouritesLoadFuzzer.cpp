#include "library/Favourites.h"
#include "library/SongJson.h"

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzSupport::scratchFolder() + "/like.json";
    FuzzSupport::writeInput(path, data, size);
    Favourites favourites(path);
    favourites.load();
    for (const Song& song : favourites.getSongs()) {
        songToJson(song);
        if (!favourites.contains(song.filepath)) {
            __builtin_trap();
        }
    }
    return 0;
}
