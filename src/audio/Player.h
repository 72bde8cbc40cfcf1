#pragma once

#include "audio/AudioConverter.h"
#include "audio/AudioDevice.h"
#include "audio/AudioFormat.h"
#include "core/FfmpegHandles.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class EqualizerChain;
struct Song;

// The audio engine: decodes one file at a time inside the SDL audio callback, runs it through
// the ten-band equalizer and mixes it into the device at the current volume.
//
// Threads: the main thread calls every public operation; SDL's audio thread runs the callback,
// which decodes under decoderMutex and equalizes under eqMutex (always in that order). The
// callback only ever tries those locks: when the main thread holds one, that buffer stays
// silent or that frame passes unfiltered, so the audio thread never waits for the main thread.
class Player {
public:
    // The code of the SDL_USEREVENT posted at the end of a song, with the Player as data1.
    static constexpr Sint32 SONG_END_EVENT_CODE = 1;

    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool initAudioDevice();
    bool loadSong(const Song& song);
    void play();
    void pause();
    void stop();
    void cleanup();

    void setVolume(int volume);
    int getVolume() const;
    float getProgress() const;
    double getCurrentTime() const;
    double getDuration() const;
    bool isPlaying() const;
    bool isPaused() const;
    bool isStopped() const;

    void setSongEndCallback(std::function<void()> callback);
    void handleEvent(SDL_Event* event);
    std::string getCurrentFilePath() const;

    void fastForward(int seconds);
    void rewind(int seconds);
    void setEQGains(const std::vector<float>& gains);

private:
    enum class DecodeResult { FRAME, END, FAILED };
    struct SeekKind;

    static void audioCallbackEntry(void* player, Uint8* stream, int length);
    void audioCallback(Uint8* stream, int length);
    bool fillStream(Uint8* stream, int length);
    void endSong();

    bool openFile(const std::string& path);
    bool openDecoder();
    bool openResampler();
    double knownDuration() const;
    void releaseFile();
    bool isFileOpen() const;

    bool decodeNextFrame();
    DecodeResult receiveFrame();
    bool feedDecoder();
    bool skipUndecodablePacket(int error, const char* message);
    bool endsBeforeSeekTarget(const AVFrame& frame) const;
    void updateCurrentTime(const AVFrame& frame);
    bool convertFrame(const AVFrame& frame);
    bool drainResampler();
    bool reserveAudioBuffer(int samples);
    uint64_t bytesOf(int samples) const;
    AudioFormat outputFormat() const;
    void restartDecoding();

    void seek(double target, const SeekKind& kind);

    bool initEqualizer();
    void applyEqualizer(AVFrame* frame);

    // Owned by the main thread, or by the audio thread under decoderMutex while a file plays.
    FormatContext formatContext;
    CodecContext codecContext;
    AudioConverter swrContext; // decoded samples -> the device's format
    AVStream* audioStream = nullptr;
    int audioStreamIndex = -1;
    Packet packet;
    Frame decodedFrame;
    bool decoderFlushed = false;         // the end-of-input packet went to the decoder
    bool resamplerDrained = false;       // the resampler's last samples were taken
    int undecodablePackets = 0;          // in a row; too many end the song
    int64_t seekTarget = AV_NOPTS_VALUE; // in the stream's time base, until a frame reaches it

    AudioDevice audioDevice;
    SDL_AudioSpec audioSpec{};
    std::atomic<bool> playing{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> stopped{true};
    std::atomic<int> volume{100};
    std::atomic<double> currentTime{0.0};
    double duration = 0.0;
    std::string currentFilePath; // of the song last loaded successfully

    // The converted PCM of the frame being played; kept allocated between frames.
    AvBytes audioBuffer;
    uint64_t audioBufferCapacity = 0;
    uint64_t audioBufferSize = 0;
    uint64_t audioBufferIndex = 0;

    std::function<void()> songEndCallback;
    std::atomic<bool> hasSongEndCallback{false};
    // SDL ticks when the latest song was loaded: an end-of-song event posted before then is
    // about a song that is gone (say the user picked another before the event was handled).
    Uint32 songLoadedAt = 0;

    std::vector<float> eqGains;
    AudioFormat streamFormat; // of the open file's decoder; sampleRate 0 when none is open
    std::unique_ptr<EqualizerChain> equalizer;
    bool rewindPending = false;

    std::mutex decoderMutex;
    std::mutex eqMutex;
};
