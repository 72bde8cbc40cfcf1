#include "library/PlayList.h"
#include "library/SongJson.h"

#include "FuzzSupport.h"

MP_FILE_FUZZER("music_library.json") {
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
}
