#pragma once

#include "audio/AudioConverter.h"
#include "audio/AudioFormat.h"
#include "audio/ReplayGain.h"
#include "core/FfmpegHandles.h"
#include "model/VolumeLevelling.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EqualizerChain;

// One open song: the demuxer, the decoder, its ReplayGain, the equalizer and levelling for the
// song's own format and the converter to the device's format. Opened on the main thread or the
// prober's (so that a song that cannot be played is known before it is due), then handed to the
// decoding thread, which alone uses it.
class SongDecoder {
public:
    enum class Step { FRAME, NOTHING_YET, END, FAILED };

    // Opens the file and decodes its first frame; null, with the error line written, when the
    // file cannot be opened or decoded from its start.
    static std::unique_ptr<SongDecoder> open(const std::string& path, const AudioFormat& output);

    ~SongDecoder();
    SongDecoder(const SongDecoder&) = delete;
    SongDecoder& operator=(const SongDecoder&) = delete;

    const std::string& path() const { return filePath; }
    // 0 when the file gives no length.
    double duration() const { return knownDuration; }

    // The next decoded frame, before the equalizer. After a seek the frames before the target
    // are dropped (NOTHING_YET) and the first one is cut to start exactly there.
    Step decode(AVFrame* frame);
    // The song time of the frame's first sample; fallback when the frame carries no timestamp.
    double secondsAt(const AVFrame& frame, double fallback) const;
    // Moves to a position; the failure message (with FFmpeg's text) is logged when it fails.
    bool seek(double seconds, const char* failureMessage);

    // The equalizer gains and the volume levelling the sound is rendered with from the next
    // frame on (neither filter nor factor for flat gains and no known gain).
    void setEqualizer(const std::vector<float>& gains);
    void setLevelling(VolumeLevelling levelling);
    // Equalizes and levels the frame and converts it into the device's format; false (logged) when
    // the conversion fails.
    bool render(const AVFrame& frame, std::vector<uint8_t>& pcm);
    // The converter's last samples at the end of the song; false when it holds none.
    bool drain(std::vector<uint8_t>& pcm);
    // Forgets what the converter holds, before frames are rendered again from an earlier point.
    void restartRendering();

private:
    SongDecoder(std::string path, const AudioFormat& output);

    bool openFile();
    bool openDecoder();
    bool openConverter();
    bool prime();
    Step receiveFrame(AVFrame* frame);
    bool feedDecoder();
    bool skipUndecodablePacket(int error, const char* message);
    bool endsBeforeSeekTarget(const AVFrame& frame) const;
    void trimToSeekTarget(AVFrame* frame);
    bool convert(const uint8_t* const* input, int count, std::vector<uint8_t>& pcm);
    bool levelFloatSamples(const AVFrame& sound);
    void buildEqualizer();

    std::string filePath;
    AudioFormat output;
    FormatContext formatContext;
    CodecContext codecContext;
    AVStream* audioStream = nullptr;
    int audioStreamIndex = -1;
    Packet packet;
    Frame primed;                        // the first frame, decoded while opening
    bool decoderFlushed = false;         // the end-of-input packet went to the decoder
    int undecodablePackets = 0;          // in a row; too many end the song
    int64_t seekTarget = AV_NOPTS_VALUE; // in the stream's time base, until a frame reaches it
    double knownDuration = 0.0;
    AudioConverter converter;
    ReplayGain replayGain;
    std::vector<float> gains;
    VolumeLevelling levelling = VolumeLevelling::OFF;
    bool equalizerStale = false;                  // built before the next frame is rendered
    double volume = AudioConverter::UNITY_VOLUME; // of the levelling
    std::vector<uint8_t> levelledSamples;         // a floating-point frame's sound, levelled
    std::vector<const uint8_t*> levelledPlanes;
    std::unique_ptr<EqualizerChain> equalizer;
};
