#pragma once

#include "audio/AudioFormat.h"
#include "audio/PcmRing.h"
#include "audio/SongDecoder.h"
#include "audio/Wakeup.h"
#include "core/FfmpegHandles.h"
#include "model/VolumeLevelling.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// What the decoding thread tells the main thread about the sound it put in the ring. Each
// notice belongs to a ring position and counts once the consumer has got there.
struct PlaybackNotice {
    enum class Kind { SONG_START, POSITION, END };

    Kind kind = Kind::POSITION;
    uint64_t position = 0;   // ring byte where it is heard
    uint64_t generation = 0; // of the load or seek whose sound this is
    uint64_t token = 0;      // the song
    double seconds = 0.0;    // song time at position
    bool announced = false;  // the main thread needs no wake-up for it, or has had one
};

// The thread that reads, decodes, equalizes and converts songs into the ring, keeping it filled
// a little ahead of the audio callback. It works through requests from the main thread in
// order; every request that changes what is heard makes the ring jump, so the stale sound is
// dropped at once. When a song runs out and the next one is prepared, the next one's first
// sample follows the last one's in the ring.
class DecodingThread {
public:
    struct Settings {
        AudioFormat output;
        size_t fillBytes;         // how far ahead of the consumer the ring is kept filled
        size_t deviceBufferBytes; // what one audio callback takes
    };

    // announce is called on this thread when a song start or end has just been heard.
    DecodingThread(PcmRing& ring, Wakeup& wakeup, const Settings& settings,
                   std::vector<float> gains, VolumeLevelling levelling,
                   std::function<void()> announce);
    ~DecodingThread();
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;

    // --- Requests (main thread) ---
    void load(uint64_t generation, uint64_t token, std::unique_ptr<SongDecoder> song,
              double startSeconds);
    // The song to follow the one of afterToken; none when song is null. Turned down when the
    // song that was to follow before is being heard already, or the end is.
    void prepareNext(uint64_t afterToken, uint64_t token, std::unique_ptr<SongDecoder> song);
    void seek(uint64_t generation, uint64_t token, double seconds, const char* failureMessage);
    void unload(uint64_t generation);
    void setEqualizer(const std::vector<float>& gains);
    void setLevelling(VolumeLevelling levelling);

    // Main thread: the notices the consumer has reached, oldest first.
    std::vector<PlaybackNotice> takeHeard(uint64_t heardPosition);

private:
    enum class CommandKind { LOAD, PREPARE, SEEK, UNLOAD, EQUALIZER, LEVELLING, QUIT };
    struct Command {
        CommandKind kind = CommandKind::QUIT;
        uint64_t generation = 0;
        uint64_t token = 0;
        uint64_t afterToken = 0;
        std::unique_ptr<SongDecoder> song;
        double seconds = 0.0;
        const char* failureMessage = "";
        std::vector<float> gains;
        VolumeLevelling levelling = VolumeLevelling::OFF;
    };
    struct Source {
        uint64_t token = 0;
        std::unique_ptr<SongDecoder> decoder;
        uint64_t endPosition = PcmRing::NOW; // where the following song's sound begins
    };
    // A frame as decoded (before the equalizer) and where its sound lies in the ring: what the
    // consumer has not heard yet can be rendered again.
    struct RenderedFrame {
        uint64_t position = 0;
        Frame frame;
        double seconds = 0.0;
    };
    enum class Stage { DECODING, DRAINED, ENDED };

    void send(Command command);
    static int runEntry(void* decodingThread);
    void run();
    bool handleCommands();
    void handle(Command& command);
    void handleLoad(Command& command);
    void handlePrepare(Command& command);
    void followAgain(uint64_t afterToken, std::optional<Source> next);
    std::optional<uint64_t> whereLeft(const Source& song) const;
    void handleSeek(Command& command);
    void handleUnload(Command& command);
    void handleEqualizer(Command& command);
    void handleLevelling(const Command& command);
    bool reactivate(uint64_t token);
    void restartStream(uint64_t newGeneration);
    void keepStreamUnderGeneration(uint64_t newGeneration);
    void rerenderUnheard();

    bool fillStep();
    bool produce();
    bool decodeNext();
    void render(AVFrame* frame, double seconds);
    void finishSong();
    void switchToPrepared();

    void forgetHeard();
    void announceHeard();
    // wake: the main thread is woken when the consumer gets there (a song change, an end).
    void pushNotice(PlaybackNotice::Kind kind, uint64_t token, double seconds, bool wake);
    bool eraseUnheardEnd();
    std::optional<PlaybackNotice> eraseNoticesFrom(uint64_t position);

    PcmRing& ring;
    Wakeup& wakeup;
    const Settings settings;
    std::vector<float> gains;
    VolumeLevelling levelling;
    std::function<void()> announce;

    std::mutex commandMutex;
    std::deque<Command> commands;
    std::mutex noticeMutex;
    std::deque<PlaybackNotice> notices;

    // The decoding thread's own.
    std::deque<Source> retired; // played out into the ring, not all heard yet
    std::optional<Source> current;
    std::optional<Source> prepared;
    Stage stage = Stage::ENDED;
    uint64_t generation = 0;
    std::vector<uint8_t> staged; // converted sound of one frame on its way into the ring
    size_t stagedOffset = 0;
    std::deque<RenderedFrame> history;
    std::deque<RenderedFrame> replay; // to render again, before decoding goes on
    Frame frame;
    double songSeconds = 0.0;     // song time where the next frame starts
    bool restampPosition = false; // the next frame's position must be told (a seek failed)

    // An SDL thread, so that SDL frees what it keeps for the thread (its error text) at the end.
    SDL_Thread* thread = nullptr;
};
