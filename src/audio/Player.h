#pragma once

#include "audio/AudioDevice.h"
#include "audio/AudioFormat.h"
#include "core/Clock.h"
#include "model/VolumeLevelling.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class DecodingThread;
class PcmRing;
class SongDecoder;
class SongProber;
class Wakeup;
struct Song;

// The audio engine. A decoding thread reads, decodes, equalizes and converts the songs into a
// ring of sound a fraction of a second ahead; SDL's audio callback only copies from the ring and
// applies the volume. The device runs only while a song plays: paused or stopped, it is paused,
// and after a few seconds of rest closed; playing again opens it with the format it had, and
// the sound goes on from the ring where it stopped. A device that is lost (unplugged) is opened
// again the same way. The songs to follow are opened off the main thread.
//
// Threads: the main thread calls every public operation. Requests that change what is heard (a
// new song, a seek, new equalizer gains) go to the decoding thread, which makes the ring skip
// the stale sound, so they are heard from the next device buffer on. The decoding thread tells
// the main thread, through notices tied to ring positions, when a song starts or ends being
// heard; update() (every frame) follows them and runs the callbacks. The callback takes no lock,
// allocates nothing and logs nothing.
class Player {
public:
    // The code of the SDL_USEREVENT (data1: the Player) that wakes the main thread when a song
    // starts or ends being heard. The event only hurries update() along: losing it loses nothing.
    static constexpr Sint32 SONG_END_EVENT_CODE = 1;
    // Sample frames per device callback.
    static constexpr Uint16 DEVICE_BUFFER_FRAMES = 4096;
    // How far ahead of the device the decoding thread works.
    struct Buffering {
        // The ring is kept filled this far ahead: a read that stalls (a busy memory card) for
        // up to this long goes unheard.
        double leadSeconds = 0.5;
        // A stream (a new song, a seek) starts once this much is decoded: enough to ride out a
        // short stall, little enough to take a few milliseconds.
        double startSeconds = 0.2;
    };

    // After this long paused or stopped the device is closed (SDL would keep writing silence to
    // it); playing opens it again.
    static constexpr uint64_t REST_BEFORE_CLOSE_MS = 5000;

    // How the audio callback has fared since the device opened.
    struct OutputStats {
        double worstCallbackMs = 0.0;
        uint64_t callbacks = 0;
        uint64_t underruns = 0; // callbacks that found the ring short in the middle of a song
    };

    Player();
    // clock: the time of the device's rest.
    explicit Player(const Buffering& buffering, Clock clock = sdlClock());
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Opens the output device when it is not open: the first time in the format the device
    // offers, then always in that same format.
    bool initAudioDevice();
    bool loadSong(const Song& song);
    // Loads a song and holds it paused at a position, e.g. where the user left off.
    bool loadSongAt(const Song& song, double seconds);
    // The song to follow the current one without a gap. It is opened off the main thread; when
    // it cannot be opened or decoded from its start, the refusal callback says so at a later
    // update(). A later call replaces an earlier one. False when no song is loaded.
    bool prepareNextSong(const Song& song);
    void clearNextSong();
    void play();
    void pause();
    void stop();
    void cleanup();

    void setVolume(int volume);
    int getVolume() const;
    float getProgress() const;
    // The position being heard.
    double getCurrentTime() const;
    double getDuration() const;
    bool isPlaying() const;
    bool isPaused() const;
    bool isStopped() const;

    // Runs when a song has ended with nothing prepared after it.
    void setSongEndCallback(std::function<void()> callback);
    // Runs when the prepared song has begun to be heard.
    void setSongChangeCallback(std::function<void()> callback);
    // Runs when the song of the latest prepareNextSong cannot be played, with its path; fresh is
    // false when the file was known to fail already and was not opened again.
    using RefusalCallback = std::function<void(const std::string& path, bool fresh)>;
    void setNextSongRefusedCallback(RefusalCallback callback);
    // The wake-up event, and the loss of an output device.
    void handleEvent(SDL_Event* event);
    // Once per frame on the main thread: follows what is being heard, runs the callbacks and
    // looks after the device (rest, loss).
    void update();
    // The song being heard (the last one loaded successfully).
    std::string getCurrentFilePath() const;

    void fastForward(int seconds);
    void rewind(int seconds);
    void setEQGains(const std::vector<float>& gains);
    // Heard within a device buffer or two, like new equalizer gains.
    void setVolumeLevelling(VolumeLevelling levelling);

    OutputStats getOutputStats() const;

private:
    struct SongInfo {
        uint64_t token = 0; // 0: none
        std::string path;
        double duration = 0.0;
    };
    // Where a stretch of the ring lies in the song being heard.
    struct Segment {
        bool valid = false;
        uint64_t position = 0;
        double seconds = 0.0;
    };
    // The preparation the prober is working on.
    struct Preparation {
        uint64_t token = 0; // 0: none
        uint64_t afterToken = 0;
    };

    static void audioCallbackEntry(void* player, Uint8* stream, int length);
    void audioCallback(Uint8* stream, int length);
    void postWakeEvent();

    bool openDevice();
    void createEngine();
    void setDeviceRunning(bool running);
    void tendDevice();
    void recoverLostDevice();
    void takePreparedSongs();
    AudioFormat outputFormat() const;
    std::unique_ptr<SongDecoder> openSong(const Song& song);
    bool start(const Song& song, double seconds);
    void unload();
    void requestSeek(double target, const char* failureMessage);
    double heardSeconds() const;
    void adopt(uint64_t token);
    void endSong();
    void setFlags(bool isPlaying, bool isPaused, bool isStopped);

    AudioDevice audioDevice;
    SDL_AudioSpec audioSpec{};
    std::unique_ptr<PcmRing> ring;
    std::unique_ptr<Wakeup> wakeup;
    std::unique_ptr<DecodingThread> decodingThread;
    std::unique_ptr<SongProber> prober;
    Clock clock;
    uint64_t restingSince = 0; // when the device last stopped running
    bool deviceRunning = false;

    // Read by the audio callback.
    std::atomic<bool> outputRunning{false};
    std::atomic<int> volume{100};
    std::atomic<uint64_t> callbackCount{0};
    std::atomic<uint64_t> underrunCount{0};
    std::atomic<uint64_t> worstCallbackTicks{0};
    size_t refillBelowBytes = 0; // the callback wakes the decoding thread when less is left

    // The main thread's view.
    bool playing = false;
    bool paused = false;
    bool stopped = true;
    bool rewindPending = false; // the next play starts the song from its beginning
    bool endPending = false;    // play without a song: the end is reported at the next update
    SongInfo heard;
    std::deque<SongInfo> upcoming; // prepared songs the decoding thread may go on to
    Preparation preparing;
    std::string currentFilePath;
    uint64_t generation = 0; // of the latest load or seek
    uint64_t nextToken = 1;
    Segment segment;
    double heldSeconds = 0.0; // shown while nothing of the latest request is heard yet
    std::vector<float> eqGains;
    VolumeLevelling levelling = VolumeLevelling::OFF;
    Buffering buffering;

    std::function<void()> songEndCallback;
    std::function<void()> songChangeCallback;
    RefusalCallback refusalCallback;
};
