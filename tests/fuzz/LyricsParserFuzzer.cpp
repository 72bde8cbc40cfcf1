#include "library/LyricsParser.h"

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzSupport::scratchFolder() + "/song.lrc";
    FuzzSupport::writeInput(path, data, size);
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
    return 0;
}
