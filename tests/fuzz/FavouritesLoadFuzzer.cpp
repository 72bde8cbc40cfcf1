#include "library/Favourites.h"
#include "library/SongJson.h"

#include "FuzzSupport.h"

MP_FILE_FUZZER("like.json") {
    Favourites favourites(path);
    favourites.load();
    for (const Song& song : favourites.getSongs()) {
        songToJson(song);
        if (!favourites.contains(song.filepath)) {
            __builtin_trap();
        }
    }
}
