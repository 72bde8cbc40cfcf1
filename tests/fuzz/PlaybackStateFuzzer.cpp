#include "library/PlaybackState.h"

#include "FuzzSupport.h"

// The resume file as the player reads it at start; whatever it reads must write out and read
// back the same.
MP_FILE_FUZZER("playback_state.json") {
    PlaybackState::Record record;
    if (!PlaybackState::read(path, record)) {
        return;
    }
    const std::string copy = FuzzSupport::scratchFolder() + "/copy.json";
    PlaybackState::Record again;
    if (!PlaybackState::write(copy, record) || !PlaybackState::read(copy, again) ||
        again.queue.size() != record.queue.size() || again.currentPath != record.currentPath ||
        again.currentIndex != record.currentIndex || again.position != record.position ||
        again.volume != record.volume) {
        __builtin_trap();
    }
}
