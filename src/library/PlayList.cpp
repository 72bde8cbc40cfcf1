#include "library/PlayList.h"

#include "core/Log.h"
#include "audio/Player.h"
#include "library/LibraryCache.h"
#include "settings/Config.h"

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
}

bool PlayList::play(int index) {
    adoptPublishedLibrary();
    if (index < 0 || static_cast<std::size_t>(index) >= queue().size() || !player) {
        logError("播放失败: 无效索引或播放器未初始化");
        return false;
    }
    currentIndex = static_cast<std::size_t>(index);
    if (!startSong(currentIndex)) {
        logError("加载歌曲失败: " + queue()[currentIndex].filepath);
        return false;
    }
    return true;
}

bool PlayList::startSong(std::size_t index) {
    if (!player || !player->loadSong(queue()[index])) {
        return false;
    }
    player->play();
    return true;
}

void PlayList::continueAfterSongEnd() {
    int index = getNextIndex();
    if (index < 0) {
        return;
    }
    currentIndex = static_cast<std::size_t>(index);
    if (!startSong(currentIndex)) {
        logError("播放下一首失败");
    }
}

// The settings page may have changed the mode since the last lookup; an unknown text keeps it.
void PlayList::refreshPlayMode() {
    playModeFromText(Config::getInstance().getString(Config::PLAY_MODE_PATH, ""), playMode);
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
    const int count = static_cast<int>(queue().size());
    const int current = static_cast<int>(std::min(currentIndex, queue().size() - 1));
    switch (playMode) {
    case PlayMode::SEQUENCE: {
        const int target = current + step;
        return target >= 0 && target < count ? target : -1;
    }
    case PlayMode::SEQUENCE_LOOP:
        return (current + step + count) % count;
    case PlayMode::SINGLE:
        return -1;
    case PlayMode::SINGLE_LOOP:
        return current;
    case PlayMode::RANDOM:
        return randomIndexOtherThanCurrent();
    }
    return -1;
}

int PlayList::randomIndexOtherThanCurrent() const {
    const int count = static_cast<int>(queue().size());
    const int current = static_cast<int>(currentIndex);
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
    int index = getNextIndex();
    return index >= 0 && play(index) ? index : -1;
}

int PlayList::playPrevious() {
    int index = getPrevIndex();
    return index >= 0 && play(index) ? index : -1;
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
