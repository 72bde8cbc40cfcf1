#include "library/PlayList.h"

#include "audio/Player.h"
#include "core/Log.h"
#include "library/LibraryCache.h"

#include <algorithm>
#include <random>
#include <utility>

namespace {

const Song& emptySong() {
    static const Song song;
    return song;
}

} // namespace

PlayList::PlayList() = default;

PlayList::~PlayList() = default;

// --- The queue ---

void PlayList::clear() {
    adoptPublishedLibrary();
    songs.clear();
    queueIsLibrary = false;
    currentIndex = 0;
    preparedIndex = -1;
}

void PlayList::addSong(const Song& song) {
    adoptPublishedLibrary();
    if (queueIsLibrary) {
        songs = library.songs;
        queueIsLibrary = false;
    }
    songs.push_back(song);
}

const std::vector<Song>& PlayList::getSongs() {
    adoptPublishedLibrary();
    return queue();
}

void PlayList::setCurrentIndex(int index) {
    adoptPublishedLibrary();
    if (index >= 0 && static_cast<std::size_t>(index) < queue().size()) {
        currentIndex = static_cast<std::size_t>(index);
    }
}

std::size_t PlayList::getCurrentIndex() {
    adoptPublishedLibrary();
    return currentIndex;
}

const Song& PlayList::getCurrentSong() {
    adoptPublishedLibrary();
    return currentIndex < queue().size() ? queue()[currentIndex] : emptySong();
}

const Song& PlayList::getNextSong() {
    return songAtOrCurrent(getNextIndex());
}

const Song& PlayList::getPrevSong() {
    return songAtOrCurrent(getPrevIndex());
}

const Song& PlayList::songAtOrCurrent(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < queue().size() ? queue()[index]
                                                                          : getCurrentSong();
}

// --- The library ---

const std::vector<Song>& PlayList::getLibrarySongs() {
    adoptPublishedLibrary();
    return library.songs;
}

const std::vector<Album>& PlayList::getAlbums() {
    adoptPublishedLibrary();
    return library.albums;
}

uint64_t PlayList::getLibraryVersion() {
    adoptPublishedLibrary();
    return libraryVersion;
}

void PlayList::setLibrary(Library newLibrary) {
    std::lock_guard<std::mutex> lock(publishMutex);
    publishedLibrary = std::move(newLibrary);
    ++publishedVersion;
    libraryWaiting.store(true);
}

void PlayList::adoptPublishedLibrary() {
    if (!libraryWaiting.load()) {
        return;
    }
    Library previousLibrary;
    {
        std::lock_guard<std::mutex> lock(publishMutex);
        if (!publishedLibrary) {
            return;
        }
        previousLibrary = std::exchange(library, std::move(*publishedLibrary));
        publishedLibrary.reset();
        libraryVersion = publishedVersion;
        libraryWaiting.store(false);
    }
    // The queue becomes the whole library. The song that was current stays current when the
    // new library still holds it, so the continuation after it follows on from the right place.
    const std::vector<Song>& previousQueue = queueIsLibrary ? previousLibrary.songs : songs;
    const std::string current =
        currentIndex < previousQueue.size() ? previousQueue[currentIndex].filepath : std::string();
    songs.clear();
    queueIsLibrary = true;
    auto found = std::find_if(library.songs.begin(), library.songs.end(),
                              [&](const Song& song) { return song.filepath == current; });
    currentIndex = found != library.songs.end() && !current.empty()
                       ? static_cast<std::size_t>(found - library.songs.begin())
                       : 0;
    preparedIndex = -1;
    preparingNeeded = true;
}

bool PlayList::saveToFile(const std::string& path) {
    adoptPublishedLibrary();
    return LibraryCache::save(path, library);
}

bool PlayList::loadFromFile(const std::string& path) {
    Library loaded;
    if (!LibraryCache::load(path, loaded)) {
        return false;
    }
    setLibrary(std::move(loaded));
    adoptPublishedLibrary();
    return true;
}

void saveLibrary(PlayList* playList, const std::string& name) {
    if (!playList) {
        logError("播放列表为空，无法保存");
        return;
    }
    Library snapshot{playList->getLibrarySongs(), playList->getAlbums()};
    LibraryCache::saveNamed(name, snapshot);
}

// --- Playing ---

void PlayList::setPlayer(Player* newPlayer) {
    player = newPlayer;
    if (!player) {
        logError("PlayList: 设置了空的 player");
        return;
    }
    player->setSongEndCallback([this] { continueAfterSongEnd(); });
    player->setSongChangeCallback([this] { followHeardSong(); });
}

bool PlayList::play(int index) {
    adoptPublishedLibrary();
    if (index < 0 || static_cast<std::size_t>(index) >= queue().size() || !player) {
        logError("播放失败: 无效索引或播放器未初始化");
        return false;
    }
    unplayableSongs.clear();
    return startFirstPlayable(index, 1, 0.0, false);
}

bool PlayList::cue(int index, double seconds) {
    adoptPublishedLibrary();
    if (index < 0 || static_cast<std::size_t>(index) >= queue().size() || !player) {
        return false;
    }
    unplayableSongs.clear();
    return startFirstPlayable(index, 1, seconds, true);
}

// Tries the song at index, then the ones the play mode leads to, until one plays; every song
// is tried at most once, so a queue with nothing playable stops once.
bool PlayList::startFirstPlayable(int index, int step, double seconds, bool paused) {
    std::vector<bool> tried(queue().size(), false);
    while (index >= 0 && !tried[index]) {
        tried[index] = true;
        currentIndex = static_cast<std::size_t>(index);
        if (startInPlayer(currentIndex, seconds, paused)) {
            stoppedForUnplayable = false;
            prepareNext();
            return true;
        }
        noteUnplayable(queue()[currentIndex]);
        seconds = 0.0; // a position belongs to the song it was taken in
        index = candidateAfter(index, step, tried);
    }
    stopForUnplayable();
    return false;
}

void PlayList::stopForUnplayable() {
    stoppedForUnplayable = true;
    ++unplayableStops;
    logError("没有可播放的歌曲");
}

bool PlayList::startInPlayer(std::size_t index, double seconds, bool paused) {
    const Song& song = queue()[index];
    if (paused) {
        return player->loadSongAt(song, seconds);
    }
    if (!player->loadSong(song)) {
        return false;
    }
    player->play();
    return true;
}

void PlayList::noteUnplayable(const Song& song) {
    logError("加载歌曲失败: " + song.filepath);
    unplayableSongs.push_back(song.filepath);
}

// Tells the player which song follows the current one, skipping those that cannot be played.
void PlayList::prepareNext() {
    preparedIndex = -1;
    preparingNeeded = false;
    nextUnplayable = false;
    if (!player) {
        return;
    }
    int index = getNextIndex();
    preparedMode = playMode;
    std::vector<bool> tried(queue().size(), false);
    while (index >= 0 && !tried[index]) {
        tried[index] = true;
        if (player->prepareNextSong(queue()[index])) {
            preparedIndex = index;
            return;
        }
        noteUnplayable(queue()[index]);
        nextUnplayable = true;
        index = candidateAfter(index, 1, tried);
    }
    player->clearNextSong();
}

// The prepared song is being heard: it becomes the current one, and the one after it is
// prepared in turn.
void PlayList::followHeardSong() {
    adoptPublishedLibrary();
    const std::string heard = player ? player->getCurrentFilePath() : std::string();
    if (preparedIndex >= 0 && static_cast<std::size_t>(preparedIndex) < queue().size() &&
        queue()[preparedIndex].filepath == heard) {
        currentIndex = static_cast<std::size_t>(preparedIndex);
    } else {
        auto found = std::find_if(queue().begin(), queue().end(),
                                  [&](const Song& song) { return song.filepath == heard; });
        if (found != queue().end()) {
            currentIndex = static_cast<std::size_t>(found - queue().begin());
        }
    }
    prepareNext();
}

// The player ran out with nothing after the song: the mode had no next song, none of the next
// ones could be played, or the preparation came too late to follow without a gap.
void PlayList::continueAfterSongEnd() {
    adoptPublishedLibrary();
    if (preparedIndex >= 0 && static_cast<std::size_t>(preparedIndex) < queue().size()) {
        startFirstPlayable(std::exchange(preparedIndex, -1), 1, 0.0, false);
    } else if (nextUnplayable) {
        stopForUnplayable();
    }
}

void PlayList::update() {
    if (!player) {
        return;
    }
    player->update();
    if (player->isStopped()) {
        return;
    }
    refreshPlayMode();
    if (!preparingNeeded && playMode == preparedMode) {
        return;
    }
    const int next = preparingNeeded ? -1 : getNextIndex();
    if (next >= 0 && next == preparedIndex) {
        preparedMode = playMode; // the new mode leads to the same song
    } else {
        prepareNext();
    }
}

bool PlayList::isQueueTheLibrary() {
    adoptPublishedLibrary();
    return queueIsLibrary;
}

void PlayList::setPlayModeSource(std::function<PlayMode()> source) {
    if (source) {
        playModeSource = std::move(source);
    }
}

// The mode may have changed since the last lookup.
void PlayList::refreshPlayMode() {
    playMode = playModeSource();
}

int PlayList::getNextIndex() {
    return neighbourIndex(1);
}

int PlayList::getPrevIndex() {
    return neighbourIndex(-1);
}

int PlayList::neighbourIndex(int step) {
    adoptPublishedLibrary();
    if (queue().empty()) {
        return -1;
    }
    refreshPlayMode();
    return neighbourOf(static_cast<int>(std::min(currentIndex, queue().size() - 1)), step);
}

int PlayList::neighbourOf(int index, int step) {
    const int count = static_cast<int>(queue().size());
    switch (playMode) {
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
        return randomIndexOtherThan(index);
    }
    return -1;
}

int PlayList::candidateAfter(int index, int step, std::vector<bool>& tried) {
    if (playMode != PlayMode::RANDOM) {
        const int next = neighbourOf(index, step);
        return next >= 0 && !tried[next] ? next : -1;
    }
    std::vector<int> untried;
    for (std::size_t candidate = 0; candidate < tried.size(); ++candidate) {
        if (!tried[candidate]) {
            untried.push_back(static_cast<int>(candidate));
        }
    }
    if (untried.empty()) {
        return -1;
    }
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<std::size_t> pick(0, untried.size() - 1);
    return untried[pick(generator)];
}

int PlayList::randomIndexOtherThan(int current) const {
    const int count = static_cast<int>(queue().size());
    if (count < 2) {
        return current;
    }
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<int> pick(0, count - 1);
    int index = pick(generator);
    while (index == current) {
        index = pick(generator);
    }
    return index;
}

int PlayList::playNext() {
    return skip(1);
}

int PlayList::playPrevious() {
    return skip(-1);
}

int PlayList::skip(int step) {
    if (!player) {
        return -1;
    }
    player->stop();
    const int index = neighbourIndex(step);
    if (index < 0) {
        return -1;
    }
    unplayableSongs.clear();
    return startFirstPlayable(index, step, 0.0, false) ? static_cast<int>(currentIndex) : -1;
}

// --- Transport ---

void PlayList::stop() {
    if (player) {
        player->stop();
    }
}

void PlayList::pause() {
    if (player) {
        player->pause();
    }
}

void PlayList::resume() {
    if (player) {
        player->play();
    }
}

void PlayList::fastForward(int seconds) {
    if (player) {
        player->fastForward(seconds);
    }
}

void PlayList::rewind(int seconds) {
    if (player) {
        player->rewind(seconds);
    }
}

void PlayList::setVolume(int volume) {
    if (player) {
        player->setVolume(volume);
    }
}

int PlayList::getVolume() const {
    return player ? player->getVolume() : 0;
}
