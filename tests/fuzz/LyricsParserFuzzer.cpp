#include "library/LyricsParser.h"

#include "FuzzSupport.h"

MP_FILE_FUZZER("song.lrc") {
    LyricsParser parser;
    parser.parseFile(path);
    for (double time : {-1.0, 0.0, 12.5, 1e9}) {
        const int index = parser.getLineIndexAt(time);
        if (index >= static_cast<int>(parser.getLines().size())) {
            __builtin_trap();
        }
        parser.getLyricAt(time);
    }
    parser.getAllText();
}
