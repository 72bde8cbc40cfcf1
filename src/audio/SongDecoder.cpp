#include "audio/SongDecoder.h"

#include "audio/EqualizerChain.h"
#include "core/Log.h"
#include "core/MediaFile.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <utility>

namespace {

// Damaged packets are skipped, as FFmpeg's own player does; this many in a row end the song.
constexpr int MAX_UNDECODABLE_PACKETS = 32;

} // namespace

SongDecoder::SongDecoder(std::string path, const AudioFormat& output)
    : filePath(std::move(path)), output(output) {
}

SongDecoder::~SongDecoder() = default;

std::unique_ptr<SongDecoder> SongDecoder::open(const std::string& path, const AudioFormat& output) {
    std::unique_ptr<SongDecoder> song(new SongDecoder(path, output));
    if (!song->openFile() || !song->openDecoder() || !song->openConverter() || !song->prime()) {
        return nullptr;
    }
    return song;
}

bool SongDecoder::openFile() {
    formatContext = MediaFile::open(filePath);
    if (!formatContext) {
        logError("无法打开音频文件: " + filePath);
        return false;
    }
    if (avformat_find_stream_info(formatContext.get(), nullptr) < 0) {
        logError("无法获取流信息");
        return false;
    }
    for (unsigned index = 0; index < formatContext->nb_streams; ++index) {
        AVStream* stream = formatContext->streams[index];
        if (audioStreamIndex < 0 && stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            audioStreamIndex = static_cast<int>(index);
            audioStream = stream;
        } else {
            stream->discard = AVDISCARD_ALL; // e.g. a cover picture: never needed here
        }
    }
    if (audioStreamIndex < 0) {
        logError("无法找到音频流");
        return false;
    }
    replayGain = ReplayGain::of(*formatContext, *audioStream);
    if (audioStream->duration != AV_NOPTS_VALUE && audioStream->duration > 0) {
        knownDuration = audioStream->duration * av_q2d(audioStream->time_base);
    } else if (formatContext->duration != AV_NOPTS_VALUE && formatContext->duration > 0) {
        knownDuration = static_cast<double>(formatContext->duration) / AV_TIME_BASE;
    }
    return true;
}

bool SongDecoder::openDecoder() {
    const AVCodec* decoder = avcodec_find_decoder(audioStream->codecpar->codec_id);
    if (!decoder) {
        logError("无法找到解码器");
        return false;
    }
    codecContext.reset(avcodec_alloc_context3(decoder));
    if (!codecContext) {
        logError("无法分配解码器上下文");
        return false;
    }
    if (avcodec_parameters_to_context(codecContext.get(), audioStream->codecpar) < 0) {
        logError("无法复制编解码器参数");
        return false;
    }
    codecContext->pkt_timebase = audioStream->time_base;
    if (avcodec_open2(codecContext.get(), decoder, nullptr) < 0) {
        logError("无法打开解码器");
        return false;
    }
    packet.reset(av_packet_alloc());
    primed.reset(av_frame_alloc());
    if (!packet || !primed) {
        logError("无法分配解码帧");
        return false;
    }
    return true;
}

bool SongDecoder::openConverter() {
    switch (converter.configure(AudioFormat::ofCodec(*codecContext), output)) {
    case AudioConverter::Status::READY:
        return true;
    case AudioConverter::Status::ALLOCATION_FAILED:
        logError("无法创建重采样上下文");
        return false;
    case AudioConverter::Status::INITIALISATION_FAILED:
        logError("无法初始化重采样上下文");
        return false;
    }
    return false;
}

// A song whose first frame cannot be decoded is not playable: better to know before it is due.
bool SongDecoder::prime() {
    if (receiveFrame(primed.get()) != Step::FRAME) {
        logError("无法解码音频文件: " + filePath);
        return false;
    }
    return true;
}

SongDecoder::Step SongDecoder::decode(AVFrame* frame) {
    if (primed && primed->nb_samples > 0) {
        av_frame_move_ref(frame, primed.get());
        return Step::FRAME;
    }
    Step step = receiveFrame(frame);
    if (step != Step::FRAME || seekTarget == AV_NOPTS_VALUE) {
        return step;
    }
    if (endsBeforeSeekTarget(*frame)) {
        av_frame_unref(frame);
        return Step::NOTHING_YET;
    }
    trimToSeekTarget(frame);
    seekTarget = AV_NOPTS_VALUE;
    return Step::FRAME;
}

SongDecoder::Step SongDecoder::receiveFrame(AVFrame* frame) {
    for (;;) {
        int result = avcodec_receive_frame(codecContext.get(), frame);
        if (result == 0) {
            undecodablePackets = 0;
            return Step::FRAME;
        }
        if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && decoderFlushed)) {
            return Step::END;
        }
        if (result != AVERROR(EAGAIN)) {
            if (!skipUndecodablePacket(result, "接收解码帧失败: ")) {
                return Step::FAILED;
            }
            continue;
        }
        if (!feedDecoder()) {
            return Step::FAILED;
        }
    }
}

// Hands the decoder the next packet of the chosen stream, or the end-of-input marker once the
// file has no more (a read error ends the input too, so what was decoded still plays).
bool SongDecoder::feedDecoder() {
    for (;;) {
        int result = av_read_frame(formatContext.get(), packet.get());
        if (result < 0) {
            if (result != AVERROR_EOF) {
                logError("读取帧失败: " + ffmpegErrorText(result));
            }
            decoderFlushed = true;
            result = avcodec_send_packet(codecContext.get(), nullptr);
            if (result < 0 && result != AVERROR_EOF) {
                logError("发送空包刷新解码器失败: " + ffmpegErrorText(result));
                return false;
            }
            return true;
        }
        if (packet->stream_index != audioStreamIndex) {
            av_packet_unref(packet.get());
            continue;
        }
        result = avcodec_send_packet(codecContext.get(), packet.get());
        av_packet_unref(packet.get());
        if (result >= 0) {
            return true;
        }
        if (!skipUndecodablePacket(result, "发送数据包到解码器失败: ")) {
            return false;
        }
    }
}

bool SongDecoder::skipUndecodablePacket(int error, const char* message) {
    logError(message + ffmpegErrorText(error));
    return ++undecodablePackets < MAX_UNDECODABLE_PACKETS;
}

double SongDecoder::secondsAt(const AVFrame& frame, double fallback) const {
    if (frame.pts == AV_NOPTS_VALUE) {
        return fallback;
    }
    // Some containers start slightly before zero (encoder delay); the song time does not.
    return std::max(0.0, frame.pts * av_q2d(audioStream->time_base));
}

// Demuxers land on a packet at or before the position asked for (Ogg well before it).
bool SongDecoder::endsBeforeSeekTarget(const AVFrame& frame) const {
    if (frame.pts == AV_NOPTS_VALUE || frame.sample_rate <= 0) {
        return false;
    }
    int64_t length =
        av_rescale_q(frame.nb_samples, AVRational{1, frame.sample_rate}, audioStream->time_base);
    return frame.pts + length <= seekTarget;
}

void SongDecoder::trimToSeekTarget(AVFrame* frame) {
    if (frame->pts == AV_NOPTS_VALUE || frame->pts >= seekTarget || frame->sample_rate <= 0) {
        return;
    }
    int skipped = static_cast<int>(av_rescale_q(seekTarget - frame->pts, audioStream->time_base,
                                                AVRational{1, frame->sample_rate}));
    if (skipped <= 0 || skipped >= frame->nb_samples) {
        return;
    }
    Frame kept(av_frame_alloc());
    if (!kept || av_frame_copy_props(kept.get(), frame) < 0) {
        return;
    }
    kept->format = frame->format;
    kept->sample_rate = frame->sample_rate;
    kept->nb_samples = frame->nb_samples - skipped;
    if (av_channel_layout_copy(&kept->ch_layout, &frame->ch_layout) < 0 ||
        av_frame_get_buffer(kept.get(), 0) < 0) {
        return;
    }
    av_samples_copy(kept->extended_data, frame->extended_data, 0, skipped, kept->nb_samples,
                    frame->ch_layout.nb_channels, static_cast<AVSampleFormat>(frame->format));
    kept->pts = seekTarget;
    av_frame_unref(frame);
    av_frame_move_ref(frame, kept.get());
}

bool SongDecoder::seek(double seconds, const char* failureMessage) {
    int64_t timestamp = static_cast<int64_t>(seconds / av_q2d(audioStream->time_base));
    // Landing at or before the target and dropping what precedes it makes every seek exact.
    int result =
        av_seek_frame(formatContext.get(), audioStreamIndex, timestamp, AVSEEK_FLAG_BACKWARD);
    if (result < 0) {
        result = av_seek_frame(formatContext.get(), audioStreamIndex, timestamp, 0);
    }
    if (result < 0) {
        logError(failureMessage + ffmpegErrorText(result));
        return false;
    }
    avcodec_flush_buffers(codecContext.get());
    av_frame_unref(primed.get());
    decoderFlushed = false;
    undecodablePackets = 0;
    seekTarget = timestamp;
    restartRendering();
    return true;
}

void SongDecoder::setEqualizer(const std::vector<float>& newGains) {
    gains = newGains;
    equalizerStale = true;
}

void SongDecoder::setLevelling(VolumeLevelling newLevelling) {
    levelling = newLevelling;
    equalizerStale = true;
}

// Built on first use, so that setting the gains and the levelling of a new song builds once. The
// levelling is a factor the converter to the device's format applies.
void SongDecoder::buildEqualizer() {
    equalizerStale = false;
    volume = replayGain.volumeFor(levelling);
    equalizer.reset();
    if (EqualizerChain::isFlat(gains)) {
        return;
    }
    auto chain = std::make_unique<EqualizerChain>();
    if (chain->build(AudioFormat::ofCodec(*codecContext), gains)) {
        equalizer = std::move(chain);
    } else {
        logError("EQ滤镜初始化失败");
    }
}

bool SongDecoder::render(const AVFrame& frame, std::vector<uint8_t>& pcm) {
    if (equalizerStale) {
        buildEqualizer();
    }
    const AVFrame* sound = &frame;
    if (equalizer && equalizer->accepts(frame)) {
        if (const AVFrame* equalized = equalizer->filter(frame)) {
            sound = equalized; // straight on to the device's format, without a detour
        }
    }
    double converterVolume = volume;
    const uint8_t* const* input = sound->extended_data;
    if (volume != AudioConverter::UNITY_VOLUME && levelFloatSamples(*sound)) {
        converterVolume = AudioConverter::UNITY_VOLUME;
        input = levelledPlanes.data();
    }
    // A stream may change its format mid-way (a damaged or chained file): follow it.
    if (converter.configure(AudioFormat::ofFrame(*sound), output, converterVolume) !=
        AudioConverter::Status::READY) {
        logError("无法初始化重采样上下文");
        return false;
    }
    return convert(input, sound->nb_samples, pcm);
}

namespace {

// Each sample of the planes times factor, into to (laid out plane after plane, perPlane each).
template <typename Sample>
void scaleSamples(const AVFrame& sound, int planes, size_t perPlane, double volume,
                  std::vector<uint8_t>& to, std::vector<const uint8_t*>& planeStarts) {
    to.resize(perPlane * static_cast<size_t>(planes) * sizeof(Sample));
    planeStarts.resize(static_cast<size_t>(planes));
    const auto factor = static_cast<Sample>(volume);
    for (int plane = 0; plane < planes; ++plane) {
        const auto* from = reinterpret_cast<const Sample*>(sound.extended_data[plane]);
        auto* into = reinterpret_cast<Sample*>(to.data()) + static_cast<size_t>(plane) * perPlane;
        for (size_t index = 0; index < perPlane; ++index) {
            into[index] = from[index] * factor;
        }
        planeStarts[static_cast<size_t>(plane)] = reinterpret_cast<const uint8_t*>(into);
    }
}

} // namespace

// Floating-point sound (a float decoder's, or the equalizer's in double) is levelled here by one
// multiply per sample, as FFmpeg's volume filter does, which spares the converter a mixing
// pass. The result goes to a copy: the decoded frame stays as it is, to be rendered again after
// a change. False for integer sound, which the converter levels in float.
bool SongDecoder::levelFloatSamples(const AVFrame& sound) {
    const auto format = static_cast<AVSampleFormat>(sound.format);
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    if (packed != AV_SAMPLE_FMT_FLT && packed != AV_SAMPLE_FMT_DBL) {
        return false;
    }
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int channels = sound.ch_layout.nb_channels;
    const int planes = planar ? channels : 1;
    const size_t perPlane = static_cast<size_t>(sound.nb_samples) * (planar ? 1 : channels);
    if (packed == AV_SAMPLE_FMT_FLT) {
        scaleSamples<float>(sound, planes, perPlane, volume, levelledSamples, levelledPlanes);
    } else {
        scaleSamples<double>(sound, planes, perPlane, volume, levelledSamples, levelledPlanes);
    }
    return true;
}

bool SongDecoder::drain(std::vector<uint8_t>& pcm) {
    pcm.clear();
    return converter.isReady() && convert(nullptr, 0, pcm) && !pcm.empty();
}

bool SongDecoder::convert(const uint8_t* const* input, int count, std::vector<uint8_t>& pcm) {
    const int bytesPerFrame = output.channelCount * av_get_bytes_per_sample(output.sampleFormat);
    int capacity = std::max(converter.outputCapacity(count), 0);
    pcm.resize(static_cast<size_t>(capacity) * bytesPerFrame);
    uint8_t* planes[] = {pcm.data()};
    int converted = converter.convert(planes, capacity, input, count);
    if (converted < 0) {
        logError("重采样失败: " + ffmpegErrorText(converted));
        pcm.clear();
        return false;
    }
    pcm.resize(static_cast<size_t>(converted) * bytesPerFrame);
    return true;
}

void SongDecoder::restartRendering() {
    converter.reset();
}
