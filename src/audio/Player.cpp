#include "audio/Player.h"

#include "audio/EqualizerChain.h"
#include "core/Log.h"
#include "core/MediaFile.h"
#include "library/Song.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int REQUESTED_RATE = 44100;
constexpr Uint8 REQUESTED_CHANNELS = 2;
constexpr Uint16 DEVICE_BUFFER_FRAMES = 2048;
// The rate may change; the channel count may not, so the device always takes the stereo the
// resampler makes.
constexpr int ALLOWED_DEVICE_CHANGES = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
constexpr AVSampleFormat DEVICE_SAMPLE_FORMAT = AV_SAMPLE_FMT_S16;
constexpr int MAX_VOLUME = 100;
constexpr int MAX_EMPTY_REFILLS_PER_CALLBACK = 10;
// Damaged packets are skipped, as FFmpeg's own player does; this many in a row end the song.
constexpr int MAX_UNDECODABLE_PACKETS = 32;
// Frames decoded and dropped per refill on the way from a demuxer's seek point to the target.
constexpr int MAX_SKIPPED_FRAMES_PER_REFILL = 16;
constexpr Uint64 SEEK_RETRY_INTERVAL_MS = 10;
constexpr Uint64 SEEK_GIVE_UP_MS = 1000;

int mixingVolume(int volume) {
    return volume * SDL_MIX_MAXVOLUME / MAX_VOLUME;
}

} // namespace

struct Player::SeekKind {
    const char* notLoadedMessage;
    const char* timeoutMessage;
    const char* failureMessage;
    int flags;
};

Player::Player() : eqGains(EqualizerChain::BAND_COUNT, 0.0f) {
}

Player::~Player() {
    cleanup();
    audioDevice.close();
    if (SDL_WasInit(SDL_INIT_AUDIO)) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// ---- output device -------------------------------------------------------------------------

bool Player::initAudioDevice() {
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        logError(std::string("SDL 音频子系统初始化失败: ") + SDL_GetError());
        return false;
    }
    audioDevice.close();
    SDL_AudioSpec request{};
    request.freq = REQUESTED_RATE;
    request.format = AUDIO_S16SYS;
    request.channels = REQUESTED_CHANNELS;
    request.samples = DEVICE_BUFFER_FRAMES;
    request.callback = &Player::audioCallbackEntry;
    request.userdata = this;
    if (!audioDevice.open(request, ALLOWED_DEVICE_CHANGES, audioSpec)) {
        logError(std::string("无法打开音频设备: ") + SDL_GetError());
        return false;
    }
    return true;
}

AudioFormat Player::outputFormat() const {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, audioSpec.channels);
    return AudioFormat::of(audioSpec.freq, DEVICE_SAMPLE_FORMAT, layout);
}

uint64_t Player::bytesOf(int samples) const {
    return static_cast<uint64_t>(samples) * audioSpec.channels *
           av_get_bytes_per_sample(DEVICE_SAMPLE_FORMAT);
}

// ---- loading -------------------------------------------------------------------------------

bool Player::loadSong(const Song& song) {
    stop();
    cleanup();
    if (!initAudioDevice()) {
        logError("音频设备初始化失败，无法加载音乐");
        return false;
    }
    // The old device is closed: no further event about the previous song can be posted.
    songLoadedAt = SDL_GetTicks();

    std::lock_guard<std::mutex> lock(decoderMutex);
    if (!openFile(song.filepath) || !openDecoder() || !openResampler()) {
        releaseFile();
        return false;
    }
    duration = knownDuration();
    streamFormat = AudioFormat::ofCodec(*codecContext);
    if (!initEqualizer()) {
        logError("EQ滤镜初始化失败");
    }
    currentFilePath = song.filepath;
    currentTime = 0.0;
    rewindPending = false;
    return true;
}

bool Player::openFile(const std::string& path) {
    formatContext = MediaFile::open(path);
    if (!formatContext) {
        logError("无法打开音频文件: " + path);
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
    return true;
}

bool Player::openDecoder() {
    const AVCodec* decoder = avcodec_find_decoder(audioStream->codecpar->codec_id);
    if (!decoder) {
        logError("无法找到解码器");
        return false;
    }
    CodecContext context(avcodec_alloc_context3(decoder));
    if (!context) {
        logError("无法分配解码器上下文");
        return false;
    }
    if (avcodec_parameters_to_context(context.get(), audioStream->codecpar) < 0) {
        logError("无法复制编解码器参数");
        return false;
    }
    context->pkt_timebase = audioStream->time_base;
    if (avcodec_open2(context.get(), decoder, nullptr) < 0) {
        logError("无法打开解码器");
        return false;
    }
    packet.reset(av_packet_alloc());
    decodedFrame.reset(av_frame_alloc());
    if (!packet || !decodedFrame) {
        logError("无法分配解码帧");
        return false;
    }
    codecContext = std::move(context);
    restartDecoding();
    return true;
}

bool Player::openResampler() {
    switch (swrContext.configure(AudioFormat::ofCodec(*codecContext), outputFormat())) {
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

double Player::knownDuration() const {
    if (audioStream->duration != AV_NOPTS_VALUE && audioStream->duration > 0) {
        return audioStream->duration * av_q2d(audioStream->time_base);
    }
    if (formatContext->duration != AV_NOPTS_VALUE && formatContext->duration > 0) {
        return static_cast<double>(formatContext->duration) / AV_TIME_BASE;
    }
    return 0.0;
}

void Player::releaseFile() {
    swrContext.release();
    codecContext.reset();
    formatContext.reset();
    packet.reset();
    decodedFrame.reset();
    audioStream = nullptr;
    audioStreamIndex = -1;
}

bool Player::isFileOpen() const {
    return formatContext && audioStreamIndex >= 0 && codecContext;
}

void Player::cleanup() {
    audioDevice.setPaused(true);
    {
        std::lock_guard<std::mutex> lock(eqMutex);
        equalizer.reset();
    }
    streamFormat = AudioFormat{};
    audioBuffer.reset();
    audioBufferCapacity = audioBufferSize = audioBufferIndex = 0;
    {
        std::lock_guard<std::mutex> lock(decoderMutex);
        releaseFile();
    }
    playing = false;
    paused = false;
    stopped = true;
    currentTime = 0.0;
    duration = 0.0;
}

// ---- transport -----------------------------------------------------------------------------

void Player::play() {
    if (!audioDevice.isOpen()) {
        logError("音频设备未初始化，尝试重新初始化");
        if (!initAudioDevice()) {
            logError("音频设备初始化失败，无法播放");
            return;
        }
    }
    if (playing && !paused) {
        return;
    }
    if (rewindPending) {
        std::lock_guard<std::mutex> lock(decoderMutex);
        if (isFileOpen()) {
            av_seek_frame(formatContext.get(), audioStreamIndex, 0, AVSEEK_FLAG_BACKWARD);
            restartDecoding();
        }
        rewindPending = false;
    }
    playing = true;
    paused = false;
    stopped = false;
    audioDevice.setPaused(false);
}

void Player::pause() {
    if (!playing || paused) {
        return;
    }
    playing = false;
    paused = true;
    audioDevice.setPaused(true);
}

void Player::stop() {
    if (!playing) {
        return;
    }
    playing = false;
    paused = false;
    stopped = true;
    audioDevice.setPaused(true);
    currentTime = 0.0;
    {
        std::lock_guard<std::mutex> lock(decoderMutex);
        audioBufferIndex = audioBufferSize;
    }
    rewindPending = true;
}

void Player::setVolume(int value) {
    volume = std::clamp(value, 0, MAX_VOLUME);
}

int Player::getVolume() const {
    return volume;
}

float Player::getProgress() const {
    return duration <= 0.0 ? 0.0f : static_cast<float>(currentTime / duration);
}

double Player::getCurrentTime() const {
    return currentTime;
}

double Player::getDuration() const {
    return duration;
}

bool Player::isPlaying() const {
    return playing;
}

bool Player::isPaused() const {
    return paused;
}

bool Player::isStopped() const {
    return stopped;
}

std::string Player::getCurrentFilePath() const {
    return currentFilePath;
}

// ---- end of song ---------------------------------------------------------------------------

void Player::setSongEndCallback(std::function<void()> callback) {
    songEndCallback = std::move(callback);
    hasSongEndCallback = static_cast<bool>(songEndCallback);
}

void Player::endSong() {
    playing = false;
    stopped = true;
    audioDevice.setPaused(true);
    if (!hasSongEndCallback) {
        return;
    }
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = SONG_END_EVENT_CODE;
    event.user.data1 = this;
    event.user.data2 = nullptr;
    SDL_PushEvent(&event);
}

void Player::handleEvent(SDL_Event* event) {
    if (!event || event->type != SDL_USEREVENT || event->user.code != SONG_END_EVENT_CODE ||
        event->user.data1 != this) {
        return;
    }
    // SDL stamps every pushed event; an event made by hand carries no stamp.
    if (event->common.timestamp != 0 && event->common.timestamp < songLoadedAt) {
        return;
    }
    if (songEndCallback) {
        songEndCallback();
    }
}

// ---- the audio thread ----------------------------------------------------------------------

void Player::audioCallbackEntry(void* player, Uint8* stream, int length) {
    static_cast<Player*>(player)->audioCallback(stream, length);
}

void Player::audioCallback(Uint8* stream, int length) {
    SDL_memset(stream, audioSpec.silence, static_cast<size_t>(std::max(length, 0)));
    if (!playing || paused || length < 1) {
        return;
    }
    bool songGoesOn = true;
    {
        // Held by a seek on the main thread: this buffer stays silent rather than waiting.
        std::unique_lock<std::mutex> lock(decoderMutex, std::try_to_lock);
        if (!lock.owns_lock()) {
            return;
        }
        songGoesOn = fillStream(stream, length);
    }
    if (!songGoesOn) {
        endSong();
    }
}

// Mixes converted samples into the stream, refilling the PCM buffer as often as needed: small
// frames (multichannel PCM comes in a few hundred samples each) must not leave gaps. Every
// refill either brings samples, which bounds the work by the stream's length, or counts towards
// a small limit. False when the song has ended.
bool Player::fillStream(Uint8* stream, int length) {
    const uint64_t wanted = static_cast<uint64_t>(length);
    const int mixVolume = mixingVolume(volume);
    uint64_t filled = 0;
    int emptyRefills = 0;
    while (filled < wanted && emptyRefills < MAX_EMPTY_REFILLS_PER_CALLBACK) {
        if (audioBufferIndex >= audioBufferSize) {
            if (!decodeNextFrame()) {
                return false;
            }
            if (!audioBuffer) {
                logError("音频缓冲区无效");
                return true;
            }
            if (audioBufferSize == 0) {
                ++emptyRefills;
                continue;
            }
        }
        uint64_t count = std::min(wanted - filled, audioBufferSize - audioBufferIndex);
        SDL_MixAudioFormat(stream + filled, audioBuffer.get() + audioBufferIndex, audioSpec.format,
                           static_cast<Uint32>(count), mixVolume);
        filled += count;
        audioBufferIndex += count;
    }
    return true;
}

// Refills the PCM buffer with the next decoded frame (or the resampler's last samples at the
// end). True while there is something to play, even when this frame converted to nothing.
bool Player::decodeNextFrame() {
    if (!formatContext || audioStreamIndex < 0 || !codecContext) {
        logError("解码器未初始化");
        return false;
    }
    if (audioBufferIndex < audioBufferSize) {
        return true;
    }
    audioBufferSize = audioBufferIndex = 0;
    DecodeResult result = receiveFrame();
    for (int skipped = 1; result == DecodeResult::FRAME && endsBeforeSeekTarget(*decodedFrame);
         ++skipped) {
        av_frame_unref(decodedFrame.get());
        if (skipped == MAX_SKIPPED_FRAMES_PER_REFILL) {
            return true; // nothing to play yet; the next refill goes on
        }
        result = receiveFrame();
    }
    switch (result) {
    case DecodeResult::FAILED:
        return false;
    case DecodeResult::END:
        return drainResampler();
    case DecodeResult::FRAME:
        break;
    }
    seekTarget = AV_NOPTS_VALUE;
    updateCurrentTime(*decodedFrame);
    applyEqualizer(decodedFrame.get());
    bool converted = convertFrame(*decodedFrame);
    av_frame_unref(decodedFrame.get());
    return converted;
}

Player::DecodeResult Player::receiveFrame() {
    for (;;) {
        int result = avcodec_receive_frame(codecContext.get(), decodedFrame.get());
        if (result == 0) {
            undecodablePackets = 0;
            return DecodeResult::FRAME;
        }
        if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && decoderFlushed)) {
            return DecodeResult::END;
        }
        if (result != AVERROR(EAGAIN)) {
            if (!skipUndecodablePacket(result, "接收解码帧失败: ")) {
                return DecodeResult::FAILED;
            }
            continue;
        }
        if (!feedDecoder()) {
            return DecodeResult::FAILED;
        }
    }
}

// Hands the decoder the next packet of the chosen stream, or the end-of-input marker once the
// file has no more (a read error ends the input too, so what was decoded still plays).
bool Player::feedDecoder() {
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

bool Player::skipUndecodablePacket(int error, const char* message) {
    logError(message + ffmpegErrorText(error));
    return ++undecodablePackets < MAX_UNDECODABLE_PACKETS;
}

// Some demuxers (Ogg, for one) land well before the position asked for; the sound before it
// is not played.
bool Player::endsBeforeSeekTarget(const AVFrame& frame) const {
    if (seekTarget == AV_NOPTS_VALUE || frame.pts == AV_NOPTS_VALUE || frame.sample_rate <= 0) {
        return false;
    }
    int64_t length =
        av_rescale_q(frame.nb_samples, AVRational{1, frame.sample_rate}, audioStream->time_base);
    return frame.pts + length <= seekTarget;
}

void Player::updateCurrentTime(const AVFrame& frame) {
    if (frame.pts != AV_NOPTS_VALUE) {
        // Some containers start slightly before zero (encoder delay); the position does not.
        currentTime = std::max(0.0, frame.pts * av_q2d(audioStream->time_base));
    }
}

bool Player::convertFrame(const AVFrame& frame) {
    // A stream may change its format mid-way (a damaged or chained file): follow it.
    if (swrContext.configure(AudioFormat::ofFrame(frame), outputFormat()) !=
        AudioConverter::Status::READY) {
        logError("无法初始化重采样上下文");
        return false;
    }
    int capacity = swrContext.outputCapacity(frame.nb_samples);
    if (!reserveAudioBuffer(capacity)) {
        return false;
    }
    uint8_t* output[] = {audioBuffer.get()};
    int converted = swrContext.convert(output, capacity, frame.extended_data, frame.nb_samples);
    if (converted < 0) {
        logError("重采样失败: " + ffmpegErrorText(converted));
        return false;
    }
    audioBufferSize = bytesOf(converted);
    audioBufferIndex = 0;
    return true;
}

// At the end of the file the resampler still holds the last few samples of a rate change.
bool Player::drainResampler() {
    if (resamplerDrained || !swrContext.isReady()) {
        return false;
    }
    resamplerDrained = true;
    int capacity = swrContext.outputCapacity(0);
    if (capacity <= 0 || !reserveAudioBuffer(capacity)) {
        return false;
    }
    uint8_t* output[] = {audioBuffer.get()};
    int converted = swrContext.convert(output, capacity, nullptr, 0);
    if (converted <= 0) {
        return false;
    }
    audioBufferSize = bytesOf(converted);
    audioBufferIndex = 0;
    return true;
}

bool Player::reserveAudioBuffer(int samples) {
    uint64_t needed = bytesOf(std::max(samples, 1));
    if (audioBuffer && needed <= audioBufferCapacity) {
        return true;
    }
    audioBuffer.reset(static_cast<uint8_t*>(av_malloc(needed)));
    audioBufferCapacity = audioBuffer ? needed : 0;
    if (!audioBuffer) {
        logError("无法分配音频缓冲区");
        return false;
    }
    return true;
}

// After a seek or a rewind: the decoder, the resampler and the PCM buffer forget the old position.
void Player::restartDecoding() {
    if (codecContext) {
        avcodec_flush_buffers(codecContext.get());
    }
    swrContext.reset();
    decoderFlushed = false;
    resamplerDrained = false;
    seekTarget = AV_NOPTS_VALUE;
    undecodablePackets = 0;
    audioBufferIndex = audioBufferSize;
}

// ---- seeking -------------------------------------------------------------------------------

void Player::fastForward(int seconds) {
    static const SeekKind forward{"无法快进：播放器未初始化", "获取互斥锁超时，放弃快进操作",
                                  "快进失败: ", 0};
    if (!isFileOpen()) {
        logError(forward.notLoadedMessage);
        return;
    }
    double target = currentTime + static_cast<double>(seconds);
    // With no known length there is no end to stop at; the demuxer finds it.
    if (duration > 0.0) {
        target = std::min(duration, target);
    }
    if (target == currentTime) {
        return;
    }
    seek(target, forward);
}

void Player::rewind(int seconds) {
    static const SeekKind backward{"无法快退：播放器未初始化", "获取互斥锁超时，放弃快退操作",
                                   "快退失败: ", AVSEEK_FLAG_BACKWARD};
    if (!isFileOpen()) {
        logError(backward.notLoadedMessage);
        return;
    }
    double target = std::max(0.0, currentTime - static_cast<double>(seconds));
    if (target == currentTime) {
        return;
    }
    seek(target, backward);
}

void Player::seek(double target, const SeekKind& kind) {
    double timeBase = av_q2d(audioStream->time_base);
    Uint64 firstAttempt = SDL_GetTicks64();
    std::unique_lock<std::mutex> lock(decoderMutex, std::try_to_lock);
    while (!lock.owns_lock() && !lock.try_lock()) {
        if (SDL_GetTicks64() - firstAttempt > SEEK_GIVE_UP_MS) {
            logError(kind.timeoutMessage);
            return;
        }
        SDL_Delay(SEEK_RETRY_INTERVAL_MS);
    }
    int64_t timestamp = static_cast<int64_t>(target / timeBase);
    int result = av_seek_frame(formatContext.get(), audioStreamIndex, timestamp, kind.flags);
    if (result < 0 && !(kind.flags & AVSEEK_FLAG_BACKWARD)) {
        // No seek point at or after the target (typically the very end of an MP3 or MP4):
        // land before it instead; the frames up to the target are skipped.
        result =
            av_seek_frame(formatContext.get(), audioStreamIndex, timestamp, AVSEEK_FLAG_BACKWARD);
    }
    if (result < 0) {
        logError(kind.failureMessage + ffmpegErrorText(result));
        return;
    }
    restartDecoding();
    seekTarget = timestamp;
    currentTime = target;
}

// ---- equalizer -----------------------------------------------------------------------------

void Player::setEQGains(const std::vector<float>& gains) {
    eqGains = gains;
    if (streamFormat.sampleRate > 0) {
        initEqualizer();
    }
}

// Builds the chain for the open file on this thread and only then swaps it in, so the audio
// thread never waits for a build. Flat gains need no chain at all.
bool Player::initEqualizer() {
    std::unique_ptr<EqualizerChain> chain;
    bool built = true;
    if (!EqualizerChain::isFlat(eqGains)) {
        chain = std::make_unique<EqualizerChain>();
        built = chain->build(streamFormat, eqGains);
        if (!built) {
            chain.reset();
        }
    }
    {
        std::lock_guard<std::mutex> lock(eqMutex);
        std::swap(equalizer, chain);
    }
    return built;
}

void Player::applyEqualizer(AVFrame* frame) {
    // Held while the main thread swaps chains: this frame passes unfiltered.
    std::unique_lock<std::mutex> lock(eqMutex, std::try_to_lock);
    if (lock.owns_lock() && equalizer && equalizer->accepts(*frame)) {
        equalizer->apply(frame);
    }
}
