#include "library/PlaybackState.h"

#include "FuzzSupport.h"

// The resume file as the player reads it at start; whatever it reads must write out and read
// back the same.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzSupport::scratchFolder() + "/playback_state.json";
    FuzzSupport::writeInput(path, data, size);
    PlaybackState::Record record;
    if (!PlaybackState::read(path, record)) {
        return 0;
    }
    const std::string copy = FuzzSupport::scratchFolder() + "/copy.json";
    PlaybackState::Record again;
    if (!PlaybackState::write(copy, record) || !PlaybackState::read(copy, again) ||
        again.queue.size() != record.queue.size() || again.currentPath != record.currentPath ||
        again.currentIndex != record.currentIndex || again.position != record.position ||
        again.volume != record.volume) {
        __builtin_trap();
    }
    return 0;
}
