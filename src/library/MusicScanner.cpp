#include "library/MusicScanner.h"

#include "core/FfmpegHandles.h"
#include "core/Log.h"
#include "core/MediaFile.h"
#include "library/LibraryCache.h"
#include "library/PlayList.h"

#include <cmath>
#include <exception>
#include <filesystem>
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
};

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
    }
    song.title = std::move(tags.title);
    song.artist = std::move(tags.artist);
    song.album = std::move(tags.album);
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

void readFileSize(Song& song) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(song.filepath, ec);
    if (ec) {
        logError("获取文件大小失败: " + ec.message());
        song.fileSize = 0;
        return;
    }
    song.fileSize = size;
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
    try {
        coverExtractor.startScan();
        const std::vector<std::string> directories =
            request.directories.empty() ? std::vector<std::string>{DEFAULT_SCAN_DIRECTORY}
                                        : request.directories;
        const std::set<std::string> formats(request.formats.begin(), request.formats.end());
        Library library;
        for (const std::string& directory : directories) {
            scanDirectory(directory, formats, library.songs);
        }
        if (isStopping()) {
            logInfo("扫描已停止");
        } else {
            library.albums = groupAlbums(library.songs);
            logInfo("扫描完成: " + std::to_string(library.songs.size()) + " 首歌曲, " +
                    std::to_string(library.albums.size()) + " 张专辑");
            // The cache is written before the library is handed over, so whoever sees the new
            // library and reads the cache reads the same thing.
            LibraryCache::saveNamed(CACHE_NAME, library);
            CoverExtractor::removeCoversNotUsedBy(library.songs);
            playList->setLibrary(std::move(library));
        }
    } catch (const std::exception& e) {
        logError(std::string("扫描音乐文件失败: ") + e.what());
    }
    playList->setScanning(false);
}

void MusicScanner::scanDirectory(const std::string& directory, const std::set<std::string>& formats,
                                 std::vector<Song>& songs) {
    std::error_code ec;
    if (!fs::exists(directory, ec)) {
        return;
    }
    FileWalk walk(directory);
    fs::path file;
    while (!isStopping() && walk.next(file)) {
        if (isSupported(formats, file)) {
            addFile(file.string(), songs);
        }
    }
}

void MusicScanner::addFile(const std::string& path, std::vector<Song>& songs) {
    try {
        Song song = readMetadata(path);
        std::error_code ec;
        if (song.fileSize == 0 && !fs::exists(path, ec)) {
            logError("文件已不存在: " + path); // removed while the scan was running
            return;
        }
        songs.push_back(std::move(song));
    } catch (const std::exception& e) {
        logError("解析文件失败: " + path + " - " + e.what());
    }
}

int MusicScanner::interruptWhenStopping(void* scanner) {
    return static_cast<const MusicScanner*>(scanner)->isStopping() ? 1 : 0;
}

Song MusicScanner::readMetadata(const std::string& path) {
    Song song;
    song.filepath = path;
    readContainer(song);
    // A file FFmpeg cannot read is still listed, under its own name, so the user sees which.
    applyFallbacks(song);
    readFileSize(song);
    return song;
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
        albums.push_back(std::move(entry.second));
    }
    return albums;
}
