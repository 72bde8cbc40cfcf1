#include "library/MusicScanner.h"

#include "core/FfmpegHandles.h"
#include "core/Log.h"
#include "core/MediaFile.h"
#include "library/LibraryCache.h"
#include "library/PlayList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool isSupported(const std::set<std::string>& formats, const fs::path& file) {
    return formats.empty() || formats.count(lowerAscii(file.extension().string())) > 0;
}

// --- Directory walk ---

// Depth first, entries in the order the file system gives them, directory symbolic links not
// followed: the order of the standard recursive iterator. Unlike that iterator, a folder that
// cannot be read or an entry that vanishes meanwhile is logged and skipped, and the walk goes on.
class FileWalk {
public:
    explicit FileWalk(const fs::path& root) { enter(root); }

    // The next regular file (or symbolic link to one); false when the walk is over.
    bool next(fs::path& file) {
        while (!folders.empty()) {
            fs::directory_iterator& folder = folders.back();
            if (folder == fs::directory_iterator()) {
                folders.pop_back();
                continue;
            }
            const fs::path entry = folder->path();
            std::error_code ec;
            folder.increment(ec);
            if (ec) {
                logError("无法读取目录: " + entry.parent_path().string() + " - " + ec.message());
            }
            if (isRegularFileToTake(entry)) {
                file = entry;
                return true;
            }
        }
        return false;
    }

private:
    void enter(const fs::path& folder) {
        std::error_code ec;
        fs::directory_iterator iterator(folder, ec);
        if (ec) {
            logError("无法读取目录: " + folder.string() + " - " + ec.message());
            return;
        }
        folders.push_back(std::move(iterator));
    }

    // Descends into real folders on the way.
    bool isRegularFileToTake(const fs::path& entry) {
        std::error_code ec;
        const fs::file_status link = fs::symlink_status(entry, ec);
        if (ec) {
            logError("无法读取目录项: " + entry.string() + " - " + ec.message());
            return false;
        }
        if (fs::is_directory(link)) {
            enter(entry);
            return false;
        }
        if (fs::is_symlink(link)) {
            return fs::is_regular_file(fs::status(entry, ec)); // a broken link is no file
        }
        return fs::is_regular_file(link);
    }

    std::vector<fs::directory_iterator> folders;
};

// --- Tags and stream parameters ---

struct Tags {
    std::string title;
    std::string artist;
    std::string album;
    std::string track; // "3" or "3/12"
    std::string disc;
};

// The leading number of "3/12"; 0 when there is none.
int32_t leadingNumber(const std::string& text) {
    constexpr int DECIMAL = 10;
    const long number = std::strtol(text.c_str(), nullptr, DECIMAL);
    return number > 0 && number <= INT32_MAX ? static_cast<int32_t>(number) : 0;
}

Tags readTags(const AVDictionary* metadata) {
    Tags tags;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        const std::string key = lowerAscii(entry->key);
        if (key == "title" || key == "tit2") {
            tags.title = entry->value;
        } else if (key == "artist" || key == "tpe1" || key == "performer") {
            tags.artist = entry->value;
        } else if (key == "album" || key == "talb") {
            tags.album = entry->value;
        } else if (key == "track" || key == "trck" || key == "tracknumber") {
            tags.track = entry->value;
        } else if (key == "disc" || key == "tpos" || key == "discnumber") {
            tags.disc = entry->value;
        }
    }
    return tags;
}

void fillMissing(std::string& field, const std::string& fallback) {
    if (field.empty()) {
        field = fallback;
    }
}

// Ogg Vorbis and Opus keep their tags on the audio stream, not on the container.
void applyTags(const AVFormatContext& container, const AVStream* audio, Song& song) {
    Tags tags = readTags(container.metadata);
    if (audio) {
        const Tags streamTags = readTags(audio->metadata);
        fillMissing(tags.title, streamTags.title);
        fillMissing(tags.artist, streamTags.artist);
        fillMissing(tags.album, streamTags.album);
        fillMissing(tags.track, streamTags.track);
        fillMissing(tags.disc, streamTags.disc);
    }
    song.title = std::move(tags.title);
    song.artist = std::move(tags.artist);
    song.album = std::move(tags.album);
    song.track = leadingNumber(tags.track);
    song.disc = leadingNumber(tags.disc);
}

const AVStream* firstAudioStream(const AVFormatContext& container) {
    for (unsigned i = 0; i < container.nb_streams; ++i) {
        if (container.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            return container.streams[i];
        }
    }
    return nullptr;
}

// The stream's own duration; when it has none, the container's; else 0.
double durationOf(const AVFormatContext& container, const AVStream& stream) {
    if (stream.duration != AV_NOPTS_VALUE && stream.duration >= 0 && stream.time_base.num > 0 &&
        stream.time_base.den > 0) {
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    }
    if (container.duration != AV_NOPTS_VALUE && container.duration >= 0) {
        return static_cast<double>(container.duration) / AV_TIME_BASE;
    }
    return 0.0;
}

void readStreamParameters(const AVFormatContext& container, const AVStream& audio, Song& song) {
    song.duration = durationOf(container, audio);
    song.sampleRate = audio.codecpar->sample_rate;
    song.channels = audio.codecpar->ch_layout.nb_channels;
    song.bitrate = audio.codecpar->bit_rate;
}

void applyFallbacks(Song& song) {
    const fs::path path(song.filepath);
    fillMissing(song.coverPath, MusicScanner::PLACEHOLDER_COVER);
    fillMissing(song.title, path.stem().string());
    fillMissing(song.artist, MusicScanner::UNKNOWN_ARTIST);
    fillMissing(song.album, path.parent_path().filename().string());
}

int64_t wallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Unnumbered (0) after every number.
bool numberedBefore(int32_t a, int32_t b) {
    if (a == 0 || b == 0) {
        return a != 0 && b == 0;
    }
    return a < b;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// --- Albums ---

// Albums of one title by different artists become one album.
void mergeAlbum(Album& existing, const Album& other) {
    existing.songs.insert(existing.songs.end(), other.songs.begin(), other.songs.end());
    if (existing.coverPath == MusicScanner::PLACEHOLDER_COVER &&
        other.coverPath != MusicScanner::PLACEHOLDER_COVER) {
        existing.coverPath = other.coverPath;
    }
    if (existing.artist == other.artist) {
        return;
    }
    if (existing.artist == MusicScanner::UNKNOWN_ARTIST) {
        existing.artist = other.artist;
    } else if (other.artist != MusicScanner::UNKNOWN_ARTIST &&
               existing.artist.find(other.artist) == std::string::npos) {
        existing.artist += " / " + other.artist;
    }
}

} // namespace

MusicScanner& MusicScanner::getInstance() {
    static MusicScanner scanner;
    return scanner;
}

void MusicScanner::scanMusicFiles(PlayList* playList, const ScanRequest& request) {
    if (!playList) {
        return;
    }
    std::lock_guard<std::mutex> lock(scanMutex);
    playList->setScanning(true);
    publishProgress(0, 0, false, true);
    try {
        coverExtractor.startScan();
        const std::vector<std::string> directories =
            request.directories.empty() ? std::vector<std::string>{DEFAULT_SCAN_DIRECTORY}
                                        : request.directories;
        const std::set<std::string> formats(request.formats.begin(), request.formats.end());
        std::vector<fs::path> files;
        for (const std::string& directory : directories) {
            walkDirectory(directory, formats, files);
        }
        publishProgress(0, files.size(), true, true);
        Library library;
        bool unchanged = false;
        if (!isStopping() && readSongs(request, files, library.songs, unchanged)) {
            library.albums = groupAlbums(library.songs);
            logInfo("扫描完成: " + std::to_string(library.songs.size()) + " 首歌曲, " +
                    std::to_string(library.albums.size()) + " 张专辑");
            // The cache is written before the library is handed over, so whoever sees the new
            // library and reads the cache reads the same thing.
            if (!unchanged) {
                LibraryCache::saveNamed(CACHE_NAME, library);
            }
            CoverExtractor::removeCoversNotUsedBy(library.songs);
            playList->setLibrary(std::move(library));
        } else {
            logInfo("扫描已停止");
        }
    } catch (const std::exception& e) {
        logError(std::string("扫描音乐文件失败: ") + e.what());
    }
    playList->setScanning(false);
}

bool MusicScanner::loadCache(PlayList* playList) {
    std::lock_guard<std::mutex> lock(scanMutex);
    Library library;
    if (!playList || !LibraryCache::load(LibraryCache::pathForName(CACHE_NAME), library)) {
        return false;
    }
    playList->setLibrary(std::move(library));
    return true;
}

ScanProgress MusicScanner::getProgress() const {
    ScanProgress progress;
    progress.counted = progressCounted.load();
    progress.filesFound = progressFound.load();
    progress.filesRead = progressRead.load();
    return progress;
}

void MusicScanner::publishProgress(uint64_t read, uint64_t found, bool counted, bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastProgress < PROGRESS_INTERVAL) {
        return;
    }
    lastProgress = now;
    progressRead.store(read);
    progressFound.store(found);
    progressCounted.store(counted);
}

void MusicScanner::walkDirectory(const std::string& directory, const std::set<std::string>& formats,
                                 std::vector<fs::path>& files) {
    std::error_code ec;
    if (!fs::exists(directory, ec)) {
        return;
    }
    FileWalk walk(directory);
    fs::path file;
    while (!isStopping() && walk.next(file)) {
        if (isSupported(formats, file)) {
            files.push_back(std::move(file));
            publishProgress(0, files.size(), false, false);
        }
    }
}

// The library of the last scan says which files need no reading: a record whose path, size and
// modification time match the file's. A record without a time (from an older version, or of a
// file written too recently to tell) matches nothing, so the file is read. The library comes
// from the request (the one the play list holds) or else from the cache file.
bool MusicScanner::readSongs(const ScanRequest& request, const std::vector<fs::path>& files,
                             std::vector<Song>& songs, bool& unchanged) {
    std::vector<Song> cached;
    const bool inMemory = request.known && !request.known->songs.empty();
    if (!inMemory) {
        cached = LibraryCache::loadSongRecords(LibraryCache::pathForName(CACHE_NAME));
    }
    const std::vector<Song>& records = inMemory ? request.known->songs : cached;
    KnownSongs known;
    known.reserve(records.size());
    for (const Song& record : records) {
        known.emplace(record.filepath, &record);
    }
    const std::unordered_set<std::string> unreadableCovers = CoverExtractor::takeUnreadableCovers();
    bool allReused = true;
    songs.reserve(files.size());
    for (const fs::path& file : files) {
        if (isStopping()) {
            return false;
        }
        bool reused = false;
        takeFile(file.string(), known, unreadableCovers, songs, reused);
        allReused = allReused && reused;
        publishProgress(songs.size(), files.size(), true, false);
    }
    publishProgress(songs.size(), files.size(), true, true);
    std::error_code ec;
    unchanged = allReused && songs.size() == records.size() &&
                std::equal(records.begin(), records.end(), songs.begin(),
                           [](const Song& a, const Song& b) { return a.filepath == b.filepath; }) &&
                fs::exists(LibraryCache::pathForName(CACHE_NAME), ec);
    return true;
}

void MusicScanner::takeFile(const std::string& path, const KnownSongs& known,
                            const std::unordered_set<std::string>& unreadableCovers,
                            std::vector<Song>& songs, bool& reused) {
    try {
        const std::optional<FileIdentity> identity = FileIdentity::of(path);
        if (!identity) {
            logError("文件已不存在: " + path); // removed while the scan was running
            return;
        }
        const auto found = known.find(path);
        const Song* record = found == known.end() ? nullptr : found->second;
        reused = record && record->modifiedNs != 0 && record->fileSize == identity->size &&
                 record->modifiedNs == identity->modifiedNs &&
                 unreadableCovers.count(record->coverPath) == 0;
        songs.push_back(reused ? *record : readFile(path, *identity));
    } catch (const std::exception& e) {
        logError("解析文件失败: " + path + " - " + e.what());
    }
}

// A file FFmpeg cannot read is still listed, under its own name, so the user sees which.
Song MusicScanner::readFile(const std::string& path, const FileIdentity& identity) {
    Song song;
    song.filepath = path;
    readContainer(song);
    applyFallbacks(song);
    song.fileSize = identity.size;
    song.modifiedNs = identity.isSettled(wallClockNs()) ? identity.modifiedNs : 0;
    return song;
}

int MusicScanner::interruptWhenStopping(void* scanner) {
    return static_cast<const MusicScanner*>(scanner)->isStopping() ? 1 : 0;
}

void MusicScanner::readContainer(Song& song) {
    const AVIOInterruptCB interrupt{interruptWhenStopping, this};
    FormatContext container = MediaFile::open(song.filepath, nullptr, &interrupt);
    if (!container) {
        if (!isStopping()) {
            logError("无法打开文件: " + song.filepath);
        }
        return;
    }
    if (avformat_find_stream_info(container.get(), nullptr) < 0) {
        if (!isStopping()) {
            logError("无法读取流信息: " + song.filepath);
        }
        return;
    }
    const AVStream* audio = firstAudioStream(*container);
    applyTags(*container, audio, song);
    if (audio) {
        readStreamParameters(*container, *audio, song);
    }
    if (container->nb_streams > 0) {
        coverExtractor.extractCover(container.get(), song);
    }
}

std::vector<Album> MusicScanner::groupAlbums(const std::vector<Song>& songs) {
    // Keyed by (album, artist): the order of "album|artist" text without its ambiguity.
    std::map<std::pair<std::string, std::string>, Album> byAlbumAndArtist;
    for (const Song& song : songs) {
        auto [entry, inserted] = byAlbumAndArtist.try_emplace({song.album, song.artist});
        Album& album = entry->second;
        if (inserted) {
            album.name = song.album;
            album.artist = song.artist;
            album.coverPath = song.coverPath;
        }
        album.songs.push_back(song);
    }
    std::map<std::string, Album> byName;
    for (auto& entry : byAlbumAndArtist) {
        Album& album = entry.second;
        auto found = byName.find(album.name);
        if (found == byName.end()) {
            byName.emplace(album.name, std::move(album));
        } else {
            mergeAlbum(found->second, album);
        }
    }
    std::vector<Album> albums;
    albums.reserve(byName.size());
    for (auto& entry : byName) {
        sortAlbumTracks(entry.second.songs);
        albums.push_back(std::move(entry.second));
    }
    return albums;
}

void MusicScanner::sortAlbumTracks(std::vector<Song>& songs) {
    std::stable_sort(songs.begin(), songs.end(), [](const Song& a, const Song& b) {
        if (a.disc != b.disc) {
            return numberedBefore(a.disc, b.disc);
        }
        if (a.track != b.track) {
            return numberedBefore(a.track, b.track);
        }
        return fileNameOf(a.filepath) < fileNameOf(b.filepath);
    });
}
