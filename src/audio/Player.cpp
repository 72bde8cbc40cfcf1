#include "audio/Player.h"

#include "audio/DecodingThread.h"
#include "audio/EqualizerChain.h"
#include "audio/PcmRing.h"
#include "audio/SongDecoder.h"
#include "audio/SongProber.h"
#include "audio/Wakeup.h"
#include "core/Log.h"
#include "model/Song.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int REQUESTED_RATE = 44100;
constexpr Uint8 OUTPUT_CHANNELS = 2;
// The rate may change; the channel count and the sample format may not, so the ring always
// holds 16-bit stereo.
constexpr int ALLOWED_DEVICE_CHANGES = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
constexpr AVSampleFormat OUTPUT_SAMPLE_FORMAT = AV_SAMPLE_FMT_S16;
constexpr size_t OUTPUT_FRAME_BYTES = OUTPUT_CHANNELS * sizeof(int16_t);
// The ring holds twice the lead: room for the stale sound a jump leaves behind.
constexpr size_t RING_FILLS = 2;
constexpr size_t REFILL_STRIDE_BUFFERS = 2;
// Prepared songs remembered while the decoding thread may still go on to one of them.
constexpr size_t MAX_UPCOMING = 8;
constexpr int MAX_VOLUME = 100;
constexpr double MILLISECONDS_PER_SECOND = 1000.0;

int mixingVolume(int volume) {
    return volume * SDL_MIX_MAXVOLUME / MAX_VOLUME;
}

// As SDL mixes 16-bit samples into silence: each scaled and truncated towards zero.
void scaleSamples(Uint8* bytes, size_t count, int mixVolume) {
    for (size_t offset = 0; offset + sizeof(int16_t) <= count; offset += sizeof(int16_t)) {
        int16_t sample;
        std::memcpy(&sample, bytes + offset, sizeof sample);
        sample = static_cast<int16_t>(sample * mixVolume / SDL_MIX_MAXVOLUME);
        std::memcpy(bytes + offset, &sample, sizeof sample);
    }
}

} // namespace

Player::Player() : Player(Buffering{}) {
}

Player::Player(const Buffering& buffering, Clock clock)
    : clock(std::move(clock)), eqGains(EqualizerChain::BAND_COUNT, 0.0f), buffering(buffering) {
}

Player::~Player() {
    // The callback and the threads stop before what they use goes.
    audioDevice.close();
    prober.reset();
    decodingThread.reset();
    if (SDL_WasInit(SDL_INIT_AUDIO)) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// ---- output device -------------------------------------------------------------------------

bool Player::initAudioDevice() {
    if (audioDevice.isOpen()) {
        return true;
    }
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        logError(std::string("SDL 音频子系统初始化失败: ") + SDL_GetError());
        return false;
    }
    if (!openDevice()) {
        logError(std::string("无法打开音频设备: ") + SDL_GetError());
        return false;
    }
    if (!ring) {
        createEngine();
    }
    return true;
}

// The ring and the decoding thread are set up for the format the device granted first, so a
// device opened again is asked for exactly that format, with no change allowed: SDL converts
// when the hardware differs.
bool Player::openDevice() {
    SDL_AudioSpec request{};
    int allowedChanges = 0;
    if (ring) {
        request = audioSpec;
    } else {
        request.freq = REQUESTED_RATE;
        request.format = AUDIO_S16SYS;
        request.channels = OUTPUT_CHANNELS;
        request.samples = DEVICE_BUFFER_FRAMES;
        allowedChanges = ALLOWED_DEVICE_CHANGES;
    }
    request.callback = &Player::audioCallbackEntry;
    request.userdata = this;
    SDL_AudioSpec granted{};
    if (!audioDevice.open(request, allowedChanges, granted)) {
        return false;
    }
    audioSpec = granted;
    deviceRunning = false;
    restingSince = clock();
    return true;
}

void Player::createEngine() {
    auto bytesOf = [&](double seconds) {
        return static_cast<size_t>(seconds * audioSpec.freq) * OUTPUT_FRAME_BYTES;
    };
    const size_t fillBytes = bytesOf(buffering.leadSeconds);
    const size_t startBytes = bytesOf(std::min(buffering.startSeconds, buffering.leadSeconds));
    ring = std::make_unique<PcmRing>(fillBytes * RING_FILLS, startBytes);
    // The decoding thread tops the ring up in strides of a few buffers, not after every one.
    const size_t deviceBufferBytes = size_t{audioSpec.samples} * OUTPUT_FRAME_BYTES;
    // The decoding thread sleeps until woken: an empty ring always wakes it.
    refillBelowBytes = std::max<size_t>(
        1, fillBytes - std::min(fillBytes, REFILL_STRIDE_BUFFERS * deviceBufferBytes));
    wakeup = std::make_unique<Wakeup>();
    DecodingThread::Settings settings{outputFormat(), fillBytes, deviceBufferBytes};
    decodingThread = std::make_unique<DecodingThread>(*ring, *wakeup, settings, eqGains, levelling,
                                                      [this] { postWakeEvent(); });
    prober = std::make_unique<SongProber>(outputFormat(), [this] { postWakeEvent(); });
}

void Player::setDeviceRunning(bool running) {
    if (running == deviceRunning || !audioDevice.isOpen()) {
        return;
    }
    audioDevice.setPaused(!running);
    deviceRunning = running;
    if (!running) {
        restingSince = clock();
    }
}

// Every frame: a device lost while in use is replaced; one that has rested long enough closes.
void Player::tendDevice() {
    if (!audioDevice.isOpen()) {
        return;
    }
    if (audioDevice.isLost()) {
        recoverLostDevice();
    } else if (!playing && clock() - restingSince >= REST_BEFORE_CLOSE_MS) {
        audioDevice.close();
        deviceRunning = false;
    }
}

// The sound the lost device did not take is still in the ring: a new device goes on from there.
// When none opens, playback pauses where the sound stopped, and play tries again.
void Player::recoverLostDevice() {
    audioDevice.close();
    deviceRunning = false;
    if (!playing) {
        return;
    }
    if (openDevice()) {
        setDeviceRunning(true);
        return;
    }
    logError(std::string("音频设备已断开，无法重新打开: ") + SDL_GetError());
    pause();
}

AudioFormat Player::outputFormat() const {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, OUTPUT_CHANNELS);
    return AudioFormat::of(audioSpec.freq, OUTPUT_SAMPLE_FORMAT, layout);
}

// ---- loading -------------------------------------------------------------------------------

bool Player::loadSong(const Song& song) {
    return start(song, 0.0);
}

bool Player::loadSongAt(const Song& song, double seconds) {
    if (!start(song, seconds)) {
        return false;
    }
    setFlags(false, true, false);
    return true;
}

std::unique_ptr<SongDecoder> Player::openSong(const Song& song) {
    if (!initAudioDevice()) {
        logError("音频设备初始化失败，无法加载音乐");
        return nullptr;
    }
    return SongDecoder::open(song.filepath, outputFormat());
}

bool Player::start(const Song& song, double seconds) {
    std::unique_ptr<SongDecoder> decoder = openSong(song);
    if (!decoder) {
        unload();
        return false;
    }
    if (decoder->duration() > 0.0) {
        seconds = std::min(seconds, decoder->duration());
    }
    seconds = std::max(seconds, 0.0);
    heard = {nextToken++, song.filepath, decoder->duration()};
    upcoming.clear();
    currentFilePath = song.filepath;
    setFlags(false, false, true);
    rewindPending = false;
    endPending = false;
    segment = {};
    heldSeconds = seconds;
    ring->awaitJump(++generation);
    decodingThread->load(generation, heard.token, std::move(decoder), seconds);
    return true;
}

bool Player::prepareNextSong(const Song& song) {
    if (heard.token == 0) {
        return false;
    }
    preparing = {nextToken++, heard.token};
    prober->open(preparing.token, song.filepath);
    return true;
}

// The prober's answers to the latest preparation: an opened song goes to the decoding thread,
// a refusal to the refusal callback. Answers to earlier ones, or for a song no longer heard,
// are dropped.
void Player::takePreparedSongs() {
    if (!prober) {
        return;
    }
    for (SongProber::Result& result : prober->takeResults()) {
        if (result.request != preparing.token) {
            continue;
        }
        const bool forHeardSong = preparing.afterToken == heard.token;
        preparing = {};
        if (!forHeardSong) {
            continue;
        }
        if (!result.decoder) {
            if (refusalCallback) {
                refusalCallback(result.path, !result.knownBefore);
            }
            continue;
        }
        upcoming.push_back({result.request, result.path, result.decoder->duration()});
        if (upcoming.size() > MAX_UPCOMING) {
            upcoming.pop_front();
        }
        decodingThread->prepareNext(heard.token, result.request, std::move(result.decoder));
    }
}

void Player::clearNextSong() {
    preparing = {};
    if (decodingThread && heard.token != 0) {
        decodingThread->prepareNext(heard.token, 0, nullptr);
    }
}

void Player::unload() {
    heard = {};
    upcoming.clear();
    setFlags(false, false, true);
    rewindPending = false;
    segment = {};
    heldSeconds = 0.0;
    if (decodingThread) {
        ring->awaitJump(++generation);
        decodingThread->unload(generation);
    }
}

void Player::cleanup() {
    unload();
}

// ---- transport -----------------------------------------------------------------------------

void Player::setFlags(bool isPlaying, bool isPaused, bool isStopped) {
    playing = isPlaying;
    paused = isPaused;
    stopped = isStopped;
    outputRunning.store(isPlaying, std::memory_order_release);
    setDeviceRunning(isPlaying);
}

void Player::play() {
    if (!initAudioDevice()) {
        logError("音频设备初始化失败，无法播放");
        return;
    }
    if (playing) {
        return;
    }
    if (heard.token == 0) {
        logError("解码器未初始化");
        endPending = true;
        return;
    }
    if (rewindPending) {
        rewindPending = false;
        requestSeek(0.0, "快退失败: ");
    }
    setFlags(true, false, false);
}

void Player::pause() {
    if (!playing) {
        return;
    }
    heldSeconds = getCurrentTime();
    setFlags(false, true, false);
}

void Player::stop() {
    if (!playing && !paused) {
        return;
    }
    setFlags(false, false, true);
    heldSeconds = 0.0;
    segment = {};
    rewindPending = true;
}

void Player::setVolume(int value) {
    volume = std::clamp(value, 0, MAX_VOLUME);
}

int Player::getVolume() const {
    return volume;
}

float Player::getProgress() const {
    double duration = getDuration();
    return duration <= 0.0 ? 0.0f : static_cast<float>(getCurrentTime() / duration);
}

double Player::getCurrentTime() const {
    return playing && segment.valid ? heardSeconds() : heldSeconds;
}

double Player::heardSeconds() const {
    const double bytesPerSecond = static_cast<double>(audioSpec.freq) * OUTPUT_FRAME_BYTES;
    double seconds = segment.seconds +
                     static_cast<double>(ring->readPosition() - segment.position) / bytesPerSecond;
    // The next song may be heard already without update() having noticed it yet.
    return heard.duration > 0.0 ? std::min(seconds, heard.duration) : seconds;
}

double Player::getDuration() const {
    return heard.duration;
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

// ---- following what is heard ---------------------------------------------------------------

void Player::setSongEndCallback(std::function<void()> callback) {
    songEndCallback = std::move(callback);
}

void Player::setSongChangeCallback(std::function<void()> callback) {
    songChangeCallback = std::move(callback);
}

void Player::setNextSongRefusedCallback(RefusalCallback callback) {
    refusalCallback = std::move(callback);
}

void Player::postWakeEvent() {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = SONG_END_EVENT_CODE;
    event.user.data1 = this;
    SDL_PushEvent(&event); // a full queue loses it; the next update() catches up anyway
}

void Player::handleEvent(SDL_Event* event) {
    if (!event) {
        return;
    }
    const bool wakeUp = event->type == SDL_USEREVENT && event->user.code == SONG_END_EVENT_CODE &&
                        event->user.data1 == this;
    const bool deviceRemoved = event->type == SDL_AUDIODEVICEREMOVED && !event->adevice.iscapture &&
                               event->adevice.which == audioDevice.id();
    if (wakeUp || deviceRemoved) {
        update();
    }
}

void Player::update() {
    tendDevice();
    takePreparedSongs();
    bool changed = false;
    bool ended = std::exchange(endPending, false);
    // Until the latest request is answered, notices of the generation before may yet be told
    // again under the new one (a seek that cannot be carried out).
    if (decodingThread && ring->isAnswered()) {
        for (const PlaybackNotice& notice : decodingThread->takeHeard(ring->readPosition())) {
            if (notice.generation != generation) {
                continue; // sound of a song or position the user has left
            }
            switch (notice.kind) {
            case PlaybackNotice::Kind::SONG_START:
                if (notice.token != heard.token) {
                    adopt(notice.token);
                    changed = true;
                }
                segment = {true, notice.position, notice.seconds};
                break;
            case PlaybackNotice::Kind::POSITION:
                segment = {true, notice.position, notice.seconds};
                break;
            case PlaybackNotice::Kind::END:
                ended = true;
                break;
            }
        }
    }
    if (changed && songChangeCallback) {
        songChangeCallback();
    }
    if (ended) {
        endSong();
    }
}

void Player::adopt(uint64_t token) {
    auto found = std::find_if(upcoming.begin(), upcoming.end(),
                              [&](const SongInfo& song) { return song.token == token; });
    if (found != upcoming.end()) {
        heard = *found;
        currentFilePath = heard.path;
    }
    upcoming.clear();
}

// After the end, play starts the song again from its beginning.
void Player::endSong() {
    heldSeconds = getCurrentTime();
    setFlags(false, false, true);
    rewindPending = heard.token != 0;
    if (songEndCallback) {
        songEndCallback();
    }
}

// ---- the audio callback --------------------------------------------------------------------

void Player::audioCallbackEntry(void* player, Uint8* stream, int length) {
    static_cast<Player*>(player)->audioCallback(stream, length);
}

void Player::audioCallback(Uint8* stream, int length) {
    const Uint64 startedAt = SDL_GetPerformanceCounter();
    const size_t wanted = static_cast<size_t>(std::max(length, 0));
    size_t delivered = 0;
    if (outputRunning.load(std::memory_order_acquire)) {
        delivered = ring->read(stream, wanted);
        const int mixVolume = mixingVolume(volume.load(std::memory_order_relaxed));
        if (mixVolume < SDL_MIX_MAXVOLUME) {
            scaleSamples(stream, delivered, mixVolume);
        }
        if (ring->lastReadStarved()) {
            underrunCount.fetch_add(1, std::memory_order_relaxed);
        }
        if (ring->lastReadLeft() < refillBelowBytes) {
            wakeup->post();
        }
    }
    std::memset(stream + delivered, audioSpec.silence, wanted - delivered);
    callbackCount.fetch_add(1, std::memory_order_relaxed);
    const Uint64 elapsed = SDL_GetPerformanceCounter() - startedAt;
    if (elapsed > worstCallbackTicks.load(std::memory_order_relaxed)) {
        worstCallbackTicks.store(elapsed, std::memory_order_relaxed);
    }
}

Player::OutputStats Player::getOutputStats() const {
    OutputStats stats;
    stats.worstCallbackMs = static_cast<double>(worstCallbackTicks.load()) *
                            MILLISECONDS_PER_SECOND /
                            static_cast<double>(SDL_GetPerformanceFrequency());
    stats.callbacks = callbackCount.load();
    stats.underruns = underrunCount.load();
    return stats;
}

// ---- seeking -------------------------------------------------------------------------------

void Player::fastForward(int seconds) {
    if (heard.token == 0) {
        logError("无法快进：播放器未初始化");
        return;
    }
    const double now = getCurrentTime();
    double target = now + static_cast<double>(seconds);
    // With no known length there is no end to stop at; the demuxer finds it.
    if (heard.duration > 0.0) {
        target = std::min(heard.duration, target);
    }
    if (target != now) {
        requestSeek(target, "快进失败: ");
    }
}

void Player::rewind(int seconds) {
    if (heard.token == 0) {
        logError("无法快退：播放器未初始化");
        return;
    }
    const double now = getCurrentTime();
    const double target = std::max(0.0, now - static_cast<double>(seconds));
    if (target != now) {
        requestSeek(target, "快退失败: ");
    }
}

void Player::requestSeek(double target, const char* failureMessage) {
    segment = {};
    heldSeconds = target;
    ring->awaitJump(++generation);
    decodingThread->seek(generation, heard.token, target, failureMessage);
}

// ---- equalizer and levelling ---------------------------------------------------------------

void Player::setEQGains(const std::vector<float>& gains) {
    eqGains = gains;
    if (decodingThread) {
        decodingThread->setEqualizer(eqGains);
    }
}

void Player::setVolumeLevelling(VolumeLevelling newLevelling) {
    levelling = newLevelling;
    if (decodingThread) {
        decodingThread->setLevelling(levelling);
    }
}
