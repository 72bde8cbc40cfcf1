#pragma once

#include "audio/Player.h"
#include "model/Song.h"
#include "support/ScratchDir.h"
#include "support/SoundCapture.h"
#include "support/SyntheticMedia.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Runs the application's per-frame work while waiting, as its frame loop does: the Player's (or
// the play list's) update, with SDL's events waited for in between so that the Player's wake-up
// event ends a wait early.
class EventPump {
public:
    EventPump();
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;
    ~EventPump();

    // Runs frame() until done() holds (true) or timeoutMs have passed (false).
    bool pumpUntil(const std::function<void()>& frame, const std::function<bool()>& done,
                   int timeoutMs);
    bool pumpUntil(Player& player, const std::function<bool()>& done, int timeoutMs);
    void pumpFor(Player& player, int milliseconds);
};

// A real Player whose device writes to a capture file in a scratch folder, with generated media
// and an event pump that counts song ends.
class PlayerRig {
public:
    static constexpr int SONG_TIMEOUT_MS = 30000;
    // Milliseconds the disk driver waits per device buffer: FAST plays about 4.6 times real
    // time (the decoding thread keeps well ahead), SLOW about 2.3 times (time to act mid-song).
    static constexpr int FAST = 20;
    static constexpr int SLOW = 40;
    // A busy test machine may not run the decoding thread for a good part of a second: a lead
    // and a start that long keep captures made faster than real time free of dropouts.
    static constexpr Player::Buffering BUFFERING{2.0, 1.0};
    // Equalizer gains that change every part of the test tones audibly.
    static inline const std::vector<float> SHAPED_GAINS = {6.0f, 4.0f,  0.0f,  -3.0f, 0.0f,
                                                           5.0f, -2.0f, -6.0f, 3.0f,  8.0f};

    explicit PlayerRig(int diskDelayMs = FAST, const std::string& captureFile = "capture.raw");

    static Song songAt(const std::string& path);
    // The program's own error lines, without the notices SDL's disk driver prints.
    static std::string errorLines(const std::string& text);
    // The "anequalizer" filter that makes FFmpeg's command-line tool shape the sound as the
    // equalizer's documented bands do: the reference for equalized sound.
    static std::string equalizerFilter(const std::vector<float>& gains, int channels);

    bool load(const std::string& path);
    // A new Player, its device writing to captureFile, its clock nowMs.
    void restart(const std::string& captureFile);
    // Plays and waits for the next song end; false when none came in time.
    bool playToEnd(int timeoutMs = SONG_TIMEOUT_MS);
    bool waitForSongEnd(int timeoutMs = SONG_TIMEOUT_MS);
    bool waitForPosition(double seconds);
    // Lets the device write this many more buffers (silent ones while paused or stopped),
    // however fast the machine runs.
    bool letBuffersPass(size_t buffers = 2);
    size_t capturedFrames() const;
    // Closes the device (the disk driver stops writing) and reads what was captured.
    std::vector<int16_t> finish();

    ScratchDir scratch;
    SoundCapture capture;
    EventPump pump;
    MediaFactory media;
    std::string captureFile;
    std::unique_ptr<Player> player;
    int songEnds = 0;
    uint64_t nowMs = 0; // the players' clock
};
