#pragma once

#include "audio/Player.h"
#include "library/Song.h"
#include "support/EventPump.h"
#include "support/MediaFactory.h"
#include "support/ScratchDir.h"
#include "support/SoundCapture.h"

#include <memory>
#include <string>
#include <vector>

// A real Player whose output goes to capture files in a scratch folder, with generated media
// and an event pump that counts end-of-song events.
class PlayerRig {
public:
    static constexpr int SONG_TIMEOUT_MS = 30000;

    explicit PlayerRig(int diskDelayMs = 1);

    static Song songAt(const std::string& path);
    // The program's own error lines, without the notices SDL's disk driver prints.
    static std::string errorLines(const std::string& text);

    // Loads the file with the device writing to captureFile.
    bool load(const std::string& path, const std::string& captureFile);
    // Plays and waits for the next end-of-song event; false when none came in time.
    bool playToEnd(int timeoutMs = SONG_TIMEOUT_MS);
    // Waits for the next end-of-song event.
    bool waitForSongEnd(int timeoutMs = SONG_TIMEOUT_MS);
    // Waits until playback has reached this position (in seconds).
    bool waitForPosition(double seconds);
    // Closes the device (the disk driver stops writing) and reads what was captured.
    std::vector<int16_t> finish(const std::string& captureFile);

    ScratchDir scratch;
    SoundCapture capture;
    EventPump pump;
    MediaFactory media;
    std::unique_ptr<Player> player;
    int songEnds = 0;
};
