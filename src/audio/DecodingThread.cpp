#include "audio/DecodingThread.h"

#include "core/Log.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

constexpr const char* REWIND_FAILURE = "快退失败: ";
constexpr const char* THREAD_NAME = "decoder";

} // namespace

DecodingThread::DecodingThread(PcmRing& ring, Wakeup& wakeup, const Settings& settings,
                               std::vector<float> gains, VolumeLevelling levelling,
                               std::function<void()> announce)
    : ring(ring), wakeup(wakeup), settings(settings), gains(std::move(gains)), levelling(levelling),
      announce(std::move(announce)), frame(av_frame_alloc()) {
    thread = SDL_CreateThread(&DecodingThread::runEntry, THREAD_NAME, this);
    if (!thread) {
        logError(std::string("无法创建解码线程: ") + SDL_GetError());
    }
}

DecodingThread::~DecodingThread() {
    send(Command{});
    SDL_WaitThread(thread, nullptr);
}

// ---- requests ------------------------------------------------------------------------------

void DecodingThread::load(uint64_t newGeneration, uint64_t token, std::unique_ptr<SongDecoder> song,
                          double startSeconds) {
    Command command;
    command.kind = CommandKind::LOAD;
    command.generation = newGeneration;
    command.token = token;
    command.song = std::move(song);
    command.seconds = startSeconds;
    send(std::move(command));
}

void DecodingThread::prepareNext(uint64_t afterToken, uint64_t token,
                                 std::unique_ptr<SongDecoder> song) {
    Command command;
    command.kind = CommandKind::PREPARE;
    command.afterToken = afterToken;
    command.token = token;
    command.song = std::move(song);
    send(std::move(command));
}

void DecodingThread::seek(uint64_t newGeneration, uint64_t token, double seconds,
                          const char* failureMessage) {
    Command command;
    command.kind = CommandKind::SEEK;
    command.generation = newGeneration;
    command.token = token;
    command.seconds = seconds;
    command.failureMessage = failureMessage;
    send(std::move(command));
}

void DecodingThread::unload(uint64_t newGeneration) {
    Command command;
    command.kind = CommandKind::UNLOAD;
    command.generation = newGeneration;
    send(std::move(command));
}

void DecodingThread::setEqualizer(const std::vector<float>& newGains) {
    Command command;
    command.kind = CommandKind::EQUALIZER;
    command.gains = newGains;
    send(std::move(command));
}

void DecodingThread::setLevelling(VolumeLevelling newLevelling) {
    Command command;
    command.kind = CommandKind::LEVELLING;
    command.levelling = newLevelling;
    send(std::move(command));
}

void DecodingThread::send(Command command) {
    {
        std::lock_guard<std::mutex> lock(commandMutex);
        commands.push_back(std::move(command));
    }
    wakeup.post();
}

std::vector<PlaybackNotice> DecodingThread::takeHeard(uint64_t heardPosition) {
    std::vector<PlaybackNotice> heard;
    std::lock_guard<std::mutex> lock(noticeMutex);
    while (!notices.empty() && notices.front().position <= heardPosition) {
        heard.push_back(notices.front());
        notices.pop_front();
    }
    return heard;
}

// ---- the thread ----------------------------------------------------------------------------

int DecodingThread::runEntry(void* decodingThread) {
    static_cast<DecodingThread*>(decodingThread)->run();
    return 0;
}

void DecodingThread::run() {
    // It feeds the device: where the system allows, it goes before the rest of the program and
    // other programs (a library scan, say), as the audio callback itself does.
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
    while (handleCommands()) {
        forgetHeard();
        announceHeard();
        if (!fillStep()) {
            // Every request posts, and so does the audio callback when the ring runs low: with
            // nothing to do the thread sleeps until then, however long the pause.
            wakeup.wait();
        }
    }
}

bool DecodingThread::handleCommands() {
    std::deque<Command> pending;
    {
        std::lock_guard<std::mutex> lock(commandMutex);
        pending.swap(commands);
    }
    for (Command& command : pending) {
        if (command.kind == CommandKind::QUIT) {
            return false;
        }
        handle(command);
    }
    return true;
}

void DecodingThread::handle(Command& command) {
    switch (command.kind) {
    case CommandKind::LOAD:
        handleLoad(command);
        break;
    case CommandKind::PREPARE:
        handlePrepare(command);
        break;
    case CommandKind::SEEK:
        handleSeek(command);
        break;
    case CommandKind::UNLOAD:
        handleUnload(command);
        break;
    case CommandKind::EQUALIZER:
        handleEqualizer(command);
        break;
    case CommandKind::LEVELLING:
        handleLevelling(command);
        break;
    case CommandKind::QUIT:
        break;
    }
    if (command.generation != 0) {
        ring.answer(command.generation);
    }
}

void DecodingThread::handleLoad(Command& command) {
    retired.clear();
    prepared.reset();
    current = Source{command.token, std::move(command.song)};
    current->decoder->setEqualizer(gains);
    current->decoder->setLevelling(levelling);
    double start = 0.0;
    if (command.seconds > 0.0 && current->decoder->seek(command.seconds, REWIND_FAILURE)) {
        start = command.seconds;
    }
    restartStream(command.generation);
    songSeconds = start;
    pushNotice(PlaybackNotice::Kind::SONG_START, current->token, start, false);
}

void DecodingThread::handlePrepare(Command& command) {
    std::optional<Source> next;
    if (command.song) {
        next = Source{command.token, std::move(command.song)};
    }
    if (current && current->token == command.afterToken) {
        if (stage != Stage::ENDED) {
            prepared = std::move(next);
        } else if (next && eraseUnheardEnd()) {
            // The end is in the ring already: the next song takes its place.
            prepared = std::move(next);
            switchToPrepared();
        }
        return;
    }
    followAgain(command.afterToken, std::move(next));
}

// The thread has gone on from the song of afterToken to the one prepared before: when that one
// is not heard yet, the ring is cut where it begins and the new choice follows there instead.
void DecodingThread::followAgain(uint64_t afterToken, std::optional<Source> next) {
    auto found = std::find_if(retired.begin(), retired.end(),
                              [&](const Source& source) { return source.token == afterToken; });
    if (found == retired.end()) {
        return;
    }
    const std::optional<uint64_t> leftAt = whereLeft(*found);
    if (!leftAt || ring.readPosition() + settings.deviceBufferBytes > *leftAt) {
        return; // too late: the next song is being heard
    }
    const uint64_t cut = *leftAt;
    eraseNoticesFrom(cut);
    current = std::move(*found);
    current->endPosition = PcmRing::NOW;
    retired.erase(found, retired.end());
    prepared = std::move(next);
    staged.clear();
    stagedOffset = 0;
    history.clear();
    replay.clear();
    stage = Stage::DRAINED; // its whole sound is in the ring; what follows comes next
    ring.markEnd(PcmRing::NOW);
    ring.jump({cut, ring.writePosition()});
}

// Where the consumer will leave a song that the thread has gone on from: its end, or, when an
// earlier choice of what follows is not heard yet, where that choice's jump leaves it. None when
// the song cannot be cut there without losing a pending jump within its own sound.
std::optional<uint64_t> DecodingThread::whereLeft(const Source& song) const {
    if (!ring.isJumpPending()) {
        return song.endPosition;
    }
    const PcmRing::Jump& pending = ring.lastJump();
    if (pending.from == PcmRing::NOW) {
        return std::nullopt;
    }
    if (pending.from >= song.endPosition) {
        return song.endPosition; // the jump lies in what follows, which goes
    }
    if (pending.to >= song.endPosition) {
        return pending.from; // the song is left there for what follows it already
    }
    return std::nullopt;
}

void DecodingThread::handleSeek(Command& command) {
    // A song heard to its end already (the main thread has not followed the change yet) cannot
    // be sought in any more: the sound goes on, and the main thread follows it.
    if (!reactivate(command.token) ||
        !current->decoder->seek(command.seconds, command.failureMessage)) {
        keepStreamUnderGeneration(command.generation);
        return;
    }
    restartStream(command.generation);
    songSeconds = command.seconds;
    pushNotice(PlaybackNotice::Kind::POSITION, current->token, command.seconds, false);
}

void DecodingThread::handleUnload(Command& command) {
    retired.clear();
    prepared.reset();
    current.reset();
    restartStream(command.generation);
}

void DecodingThread::handleEqualizer(Command& command) {
    gains = std::move(command.gains);
    if (current) {
        current->decoder->setEqualizer(gains);
        rerenderUnheard();
    }
}

// Heard as soon as new equalizer gains are.
void DecodingThread::handleLevelling(const Command& command) {
    levelling = command.levelling;
    if (current) {
        current->decoder->setLevelling(levelling);
        rerenderUnheard();
    }
}

// A seek may name a song whose sound is still in the ring although its successor is being
// decoded already: it becomes the current song again and its successor starts over.
bool DecodingThread::reactivate(uint64_t token) {
    if (current && current->token == token) {
        return true;
    }
    auto found = std::find_if(retired.begin(), retired.end(),
                              [&](const Source& source) { return source.token == token; });
    if (found == retired.end()) {
        return false;
    }
    auto follower = std::next(found);
    Source next = follower != retired.end() ? std::move(*follower) : std::move(*current);
    next.decoder->seek(0.0, REWIND_FAILURE);
    next.endPosition = PcmRing::NOW;
    prepared = std::move(next);
    current = std::move(*found);
    current->endPosition = PcmRing::NOW;
    retired.erase(found, retired.end());
    return true;
}

// The sound goes on where it was, but the main thread now listens for the notices of a newer
// generation: the unheard ones are told again under it, and so is the end when it was heard.
void DecodingThread::keepStreamUnderGeneration(uint64_t newGeneration) {
    generation = newGeneration;
    restampPosition = true;
    {
        std::lock_guard<std::mutex> lock(noticeMutex);
        for (PlaybackNotice& notice : notices) {
            notice.generation = generation;
        }
    }
    if (stage == Stage::ENDED && current) {
        eraseUnheardEnd();
        pushNotice(PlaybackNotice::Kind::END, current->token, songSeconds, true);
    }
}

// Everything in the ring beyond the consumer is stale: the consumer jumps over it at once.
void DecodingThread::restartStream(uint64_t newGeneration) {
    generation = newGeneration;
    staged.clear();
    stagedOffset = 0;
    history.clear();
    replay.clear();
    restampPosition = false;
    stage = current ? Stage::DECODING : Stage::ENDED;
    ring.jump({PcmRing::NOW, ring.writePosition()});
}

// New equalizer gains are heard from the next callback on: the frames whose sound the consumer
// has not reached are rendered again and the consumer switches over where the first of them
// begins. Sound already on its way to the device keeps the old gains. While an earlier change
// is not heard yet, the consumer still plays up to where that one switches over: only what it
// switches to is rendered again.
void DecodingThread::rerenderUnheard() {
    PcmRing::Jump jump = ring.lastJump();
    const bool switchPending = ring.isJumpPending();
    const uint64_t earliest =
        switchPending ? jump.to : ring.readPosition() + settings.deviceBufferBytes;
    auto found = std::find_if(history.begin(), history.end(), [&](const RenderedFrame& entry) {
        return entry.position >= earliest;
    });
    if (found == history.end()) {
        return;
    }
    const size_t first = static_cast<size_t>(found - history.begin());
    if (!switchPending) {
        jump.from = found->position;
    }
    std::optional<PlaybackNotice> start = eraseNoticesFrom(history[first].position);
    replay.insert(replay.begin(), std::make_move_iterator(history.begin() + first),
                  std::make_move_iterator(history.end()));
    history.erase(history.begin() + first, history.end());
    staged.clear();
    stagedOffset = 0;
    current->decoder->restartRendering();
    if (stage != Stage::DECODING) {
        stage = Stage::DECODING; // decoding on finds the end again
    }
    ring.markEnd(PcmRing::NOW);
    jump.to = ring.writePosition();
    ring.jump(jump);
    restampPosition = false;
    bool songStarts = start && start->kind == PlaybackNotice::Kind::SONG_START;
    pushNotice(songStarts ? PlaybackNotice::Kind::SONG_START : PlaybackNotice::Kind::POSITION,
               current->token, replay.front().seconds, songStarts && !start->announced);
}

// ---- filling the ring ----------------------------------------------------------------------

bool DecodingThread::fillStep() {
    if (ring.unplayedBytes() >= settings.fillBytes) {
        return false;
    }
    if (stagedOffset < staged.size()) {
        size_t count = std::min(staged.size() - stagedOffset, ring.writableBytes());
        if (count == 0) {
            return false;
        }
        ring.write(staged.data() + stagedOffset, count);
        stagedOffset += count;
        return true;
    }
    return produce();
}

bool DecodingThread::produce() {
    if (!current) {
        return false;
    }
    staged.clear();
    stagedOffset = 0;
    if (!replay.empty()) {
        RenderedFrame entry = std::move(replay.front());
        replay.pop_front();
        render(entry.frame.get(), entry.seconds);
        return true;
    }
    switch (stage) {
    case Stage::DECODING:
        return decodeNext();
    case Stage::DRAINED:
        finishSong();
        return true;
    case Stage::ENDED:
        return false;
    }
    return false;
}

bool DecodingThread::decodeNext() {
    switch (current->decoder->decode(frame.get())) {
    case SongDecoder::Step::FRAME:
        render(frame.get(), current->decoder->secondsAt(*frame, songSeconds));
        av_frame_unref(frame.get());
        return true;
    case SongDecoder::Step::NOTHING_YET:
        return true;
    case SongDecoder::Step::END:
    case SongDecoder::Step::FAILED:
        // A song that cannot be decoded further ends as if the file ended there.
        current->decoder->drain(staged);
        stage = Stage::DRAINED;
        return true;
    }
    return false;
}

void DecodingThread::render(AVFrame* decoded, double seconds) {
    if (restampPosition) {
        pushNotice(PlaybackNotice::Kind::POSITION, current->token, seconds, false);
        restampPosition = false;
    }
    history.push_back({ring.writePosition(), Frame(av_frame_clone(decoded)), seconds});
    if (!current->decoder->render(*decoded, staged)) {
        staged.clear();
        stage = Stage::DRAINED;
        return;
    }
    if (decoded->sample_rate > 0) {
        songSeconds = seconds + static_cast<double>(decoded->nb_samples) / decoded->sample_rate;
    }
}

void DecodingThread::finishSong() {
    if (prepared) {
        switchToPrepared();
        return;
    }
    pushNotice(PlaybackNotice::Kind::END, current->token, songSeconds, true);
    ring.markEnd(ring.writePosition());
    stage = Stage::ENDED;
}

void DecodingThread::switchToPrepared() {
    current->endPosition = ring.writePosition();
    retired.push_back(std::move(*current));
    current = std::move(prepared);
    prepared.reset();
    current->decoder->setEqualizer(gains);
    current->decoder->setLevelling(levelling);
    history.clear();
    stage = Stage::DECODING;
    songSeconds = 0.0;
    ring.markEnd(PcmRing::NOW);
    pushNotice(PlaybackNotice::Kind::SONG_START, current->token, 0.0, true);
}

// ---- bookkeeping ---------------------------------------------------------------------------

void DecodingThread::forgetHeard() {
    const uint64_t heard = ring.readPosition();
    while (!retired.empty() && retired.front().endPosition <= heard) {
        retired.pop_front();
    }
    while (history.size() > 1 && history[1].position <= heard) {
        history.pop_front();
    }
}

void DecodingThread::announceHeard() {
    const uint64_t heard = ring.readPosition();
    bool fresh = false;
    {
        std::lock_guard<std::mutex> lock(noticeMutex);
        for (PlaybackNotice& notice : notices) {
            if (notice.position > heard) {
                break;
            }
            if (!notice.announced) {
                notice.announced = true;
                fresh = true;
            }
        }
    }
    if (fresh && announce) {
        announce();
    }
}

void DecodingThread::pushNotice(PlaybackNotice::Kind kind, uint64_t token, double seconds,
                                bool wake) {
    PlaybackNotice notice;
    notice.announced = !wake;
    notice.kind = kind;
    notice.position = ring.writePosition();
    notice.generation = generation;
    notice.token = token;
    notice.seconds = seconds;
    std::lock_guard<std::mutex> lock(noticeMutex);
    notices.push_back(notice);
}

bool DecodingThread::eraseUnheardEnd() {
    std::lock_guard<std::mutex> lock(noticeMutex);
    auto end = std::find_if(notices.begin(), notices.end(), [&](const PlaybackNotice& notice) {
        return notice.kind == PlaybackNotice::Kind::END && notice.generation == generation;
    });
    if (end == notices.end()) {
        return false;
    }
    notices.erase(end);
    return true;
}

// Drops the notices of sound that will not be heard; returns the first of them.
std::optional<PlaybackNotice> DecodingThread::eraseNoticesFrom(uint64_t position) {
    std::lock_guard<std::mutex> lock(noticeMutex);
    auto first = std::find_if(notices.begin(), notices.end(), [&](const PlaybackNotice& notice) {
        return notice.position >= position;
    });
    std::optional<PlaybackNotice> erased;
    if (first != notices.end()) {
        erased = *first;
    }
    notices.erase(first, notices.end());
    return erased;
}
