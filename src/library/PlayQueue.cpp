#include "library/PlayQueue.h"

#include "audio/Player.h"
#include "core/Log.h"

#include <algorithm>
#include <random>
#include <string>
#include <utility>

namespace {

const Song& emptySong() {
    static const Song song;
    return song;
}

int randomBelow(int count) {
    std::random_device seed;
    std::mt19937 generator(seed());
    return std::uniform_int_distribution<int>(0, count - 1)(generator);
}

int randomIndexOtherThan(int index, int count) {
    if (count < 2) {
        return index;
    }
    int drawn = randomBelow(count);
    while (drawn == index) {
        drawn = randomBelow(count);
    }
    return drawn;
}

int randomUntried(const std::vector<bool>& tried) {
    std::vector<int> untried;
    for (std::size_t candidate = 0; candidate < tried.size(); ++candidate) {
        if (!tried[candidate]) {
            untried.push_back(static_cast<int>(candidate));
        }
    }
    return untried.empty() ? -1 : untried[randomBelow(static_cast<int>(untried.size()))];
}

// The neighbour one step forwards (+1) or backwards (-1) of index in a queue of count songs.
int neighbourOf(int index, int step, int count, PlayMode mode) {
    switch (mode) {
    case PlayMode::SEQUENCE: {
        const int target = index + step;
        return target >= 0 && target < count ? target : -1;
    }
    case PlayMode::SEQUENCE_LOOP:
        return (index + step + count) % count;
    case PlayMode::SINGLE:
        return -1;
    case PlayMode::SINGLE_LOOP:
        return index;
    case PlayMode::RANDOM:
        return randomIndexOtherThan(index, count);
    }
    return -1;
}

} // namespace

PlayQueue::PlayQueue() : playModeSource([] { return PlayMode::SEQUENCE; }) {
}

// --- The songs ---

void PlayQueue::clear() {
    songs.clear();
    library.reset();
    currentIndex = 0;
    preparedIndex = -1;
}

void PlayQueue::addSong(const Song& song) {
    if (library) {
        songs = library->songs;
        library.reset();
    }
    songs.push_back(song);
}

const std::vector<Song>& PlayQueue::getSongs() const {
    return library ? library->songs : songs;
}

void PlayQueue::setCurrentIndex(int index) {
    if (holds(index)) {
        currentIndex = static_cast<std::size_t>(index);
    }
}

const Song& PlayQueue::getCurrentSong() const {
    return currentIndex < getSongs().size() ? getSongs()[currentIndex] : emptySong();
}

void PlayQueue::followLibrary(std::shared_ptr<const Library> newLibrary) {
    const std::string current = getCurrentSong().filepath;
    songs.clear();
    library = std::move(newLibrary);
    const int found = current.empty() ? -1 : indexOf(current);
    currentIndex = found >= 0 ? static_cast<std::size_t>(found) : 0;
    preparedIndex = -1;
    preparingNeeded = true;
}

bool PlayQueue::holds(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < getSongs().size();
}

int PlayQueue::indexOf(const std::string& filepath) const {
    const std::vector<Song>& queue = getSongs();
    for (std::size_t index = 0; index < queue.size(); ++index) {
        if (queue[index].filepath == filepath) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

// --- The order ---

void PlayQueue::setPlayModeSource(PlayModeSource source) {
    if (source) {
        playModeSource = std::move(source);
    }
}

int PlayQueue::neighbourIndex(int step, PlayMode mode) const {
    const std::size_t count = getSongs().size();
    if (count == 0) {
        return -1;
    }
    const int index = static_cast<int>(std::min(currentIndex, count - 1));
    return neighbourOf(index, step, static_cast<int>(count), mode);
}

int PlayQueue::candidateAfter(int index, int step, PlayMode mode,
                              const std::vector<bool>& tried) const {
    if (mode == PlayMode::RANDOM) {
        return randomUntried(tried);
    }
    const int next = neighbourOf(index, step, static_cast<int>(tried.size()), mode);
    return next >= 0 && !tried[next] ? next : -1;
}

int PlayQueue::firstTaken(int index, int step, PlayMode mode,
                          const std::function<bool(const Song&)>& attempt) const {
    std::vector<bool> tried(getSongs().size(), false);
    while (holds(index) && !tried[index]) {
        tried[index] = true;
        const Song& song = getSongs()[index];
        if (attempt(song)) {
            return index;
        }
        logError("加载歌曲失败: " + song.filepath);
        index = candidateAfter(index, step, mode, tried);
    }
    return -1;
}

// --- Playing ---

void PlayQueue::setPlayer(Player* newPlayer) {
    player = newPlayer;
    if (!player) {
        logError("PlayList: 设置了空的 player");
        return;
    }
    player->setSongEndCallback([this] { continueAfterSongEnd(); });
    player->setSongChangeCallback([this] { followHeardSong(); });
    player->setNextSongRefusedCallback(
        [this](const std::string& path, bool fresh) { passOverRefused(path, fresh); });
}

bool PlayQueue::play(int index) {
    if (!holds(index) || !player) {
        logError("播放失败: 无效索引或播放器未初始化");
        return false;
    }
    return start(index, FORWARDS, 0.0, false);
}

bool PlayQueue::cue(int index, double seconds) {
    return holds(index) && player && start(index, FORWARDS, seconds, true);
}

int PlayQueue::skip(int step) {
    if (!player) {
        return -1;
    }
    player->stop();
    const int neighbour = neighbourIndex(step, getPlayMode());
    return neighbour >= 0 && start(neighbour, step, 0.0, false) ? static_cast<int>(currentIndex)
                                                                : -1;
}

// Every way of starting a song comes here: the song at index plays, or the first beyond it in
// the direction of step that can; each song is tried once, so a queue with nothing playable
// stops once.
bool PlayQueue::start(int index, int step, double seconds, bool paused) {
    const PlayMode mode = getPlayMode();
    const int started = firstTaken(index, step, mode, [&](const Song& song) {
        const bool playing = startInPlayer(song, seconds, paused);
        seconds = 0.0; // a position belongs to the song it was taken in
        return playing;
    });
    if (started < 0) {
        stopForUnplayable();
        return false;
    }
    currentIndex = static_cast<std::size_t>(started);
    prepareNext(mode);
    return true;
}

bool PlayQueue::startInPlayer(const Song& song, double seconds, bool paused) {
    if (paused) {
        return player->loadSongAt(song, seconds);
    }
    if (!player->loadSong(song)) {
        return false;
    }
    player->play();
    return true;
}

void PlayQueue::stopForUnplayable() {
    ++unplayableStops;
    logError("没有可播放的歌曲");
}

// Tells the player which song follows the current one. The player opens it off the main thread
// and reports a song that cannot be played; the walk then goes on from there to the next one.
void PlayQueue::prepareNext(PlayMode mode) {
    preparedMode = mode;
    preparingNeeded = false;
    nextUnplayable = false;
    triedForNext.assign(getSongs().size(), false);
    if (player) {
        offerNext(neighbourIndex(FORWARDS, mode));
    }
}

void PlayQueue::offerNext(int index) {
    preparedIndex = -1;
    if (!holds(index) || triedForNext[index]) {
        player->clearNextSong();
        return;
    }
    triedForNext[index] = true;
    if (player->prepareNextSong(getSongs()[index])) {
        preparedIndex = index;
    }
}

void PlayQueue::passOverRefused(const std::string& path, bool fresh) {
    if (!holds(preparedIndex) || triedForNext.size() != getSongs().size() ||
        getSongs()[preparedIndex].filepath != path) {
        return; // the queue has changed since
    }
    if (fresh) {
        logError("加载歌曲失败: " + path);
    }
    offerNext(candidateAfter(preparedIndex, FORWARDS, preparedMode, triedForNext));
    nextUnplayable = preparedIndex < 0;
}

// The prepared song is being heard: it becomes the current one, and the one after it is
// prepared in turn.
void PlayQueue::followHeardSong() {
    const std::string heard = player->getCurrentFilePath();
    if (holds(preparedIndex) && getSongs()[preparedIndex].filepath == heard) {
        currentIndex = static_cast<std::size_t>(preparedIndex);
    } else if (const int found = indexOf(heard); found >= 0) {
        currentIndex = static_cast<std::size_t>(found);
    }
    prepareNext(getPlayMode());
}

// The player ran out with nothing after the song: the mode had no next song, none of the next
// ones could be played, or the preparation came too late to follow without a gap.
void PlayQueue::continueAfterSongEnd() {
    if (holds(preparedIndex)) {
        start(std::exchange(preparedIndex, -1), FORWARDS, 0.0, false);
    } else if (nextUnplayable) {
        stopForUnplayable();
    }
}

void PlayQueue::update() {
    if (!player) {
        return;
    }
    player->update();
    if (player->isStopped()) {
        return;
    }
    const PlayMode mode = getPlayMode();
    if (!preparingNeeded && mode == preparedMode) {
        return;
    }
    const int next = preparingNeeded ? -1 : neighbourIndex(FORWARDS, mode);
    if (next >= 0 && next == preparedIndex) {
        preparedMode = mode; // the new mode leads to the same song
    } else {
        prepareNext(mode);
    }
}
