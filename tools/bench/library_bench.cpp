// Measures the media library on a generated collection:
//   1. scan throughput (files per second) beside the floor measured in the same run (opening
//      each file, reading its stream information and its tags, nothing else), and the cost of
//      one PNG encoding per distinct cover picture;
//   2. a scan of a collection with large covers (by default 500 songs in 50 albums, each album
//      with its own 3000x3000 photo-like cover): time per file beside the floor of the same
//      files, and the size of the cover folder it leaves;
//   3. time and peak memory of loading a large library cache into the play list, beside a bare
//      jsoncpp parse of the same file. Each load runs in a fresh child process so that its peak
//      memory is its own;
//   4. rescans of a large library (by default 20,000 hard links to one small song, ten to an
//      album folder): a full scan (no cache), a rescan of the unchanged library beside the floor
//      of walking and stat-ing the same files, and a rescan after one album of 10 songs was added.
//
// Usage: library_bench [--albums N] [--songs-per-album N] [--large-albums N]
//                      [--large-cover-size N] [--cache-songs N] [--cache-albums N]
//                      [--rescan-files N] [--only scan|large|cache|rescan]
#include "core/FfmpegHandles.h"
#include "library/CoverExtractor.h"
#include "library/LibraryCache.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"

#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int COVER_SIZE = 500;
constexpr double SONG_SECONDS = 2.0;
constexpr int REPEATS = 5;
constexpr double SCAN_ALLOWANCE = 1.5; // scan may cost this times the floor, plus the covers
constexpr double LOAD_ALLOWANCE = 1.3; // cache load against the bare parse
constexpr int LARGE_REPEATS = 3;       // each scan of the large covers takes a while
constexpr int LARGE_SONGS_PER_ALBUM = 10;
constexpr double COVER_FOLDER_TARGET_MB = 15.0;
constexpr double UNCHANGED_RESCAN_SHARE = 0.1; // of a full scan of the same tree
constexpr double ADDED_ALBUM_RESCAN_SECONDS = 2.0;
constexpr int SONGS_PER_RESCAN_ALBUM = 10;

struct Options {
    int albums = 52;
    int songsPerAlbum = 10;
    int largeAlbums = 50;
    int largeCoverSize = 3000;
    int cacheSongs = 10000;
    int cacheAlbums = 1000;
    int rescanFiles = 20000;
    std::string only; // "scan", "large", "cache" or "rescan": that part alone
};

// Wall time and the process's CPU time (user and system) of a stretch of work. The machine the
// benchmark runs on may be busy with other work: CPU time is the steadier measure of cost.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

Cost operator-(const Cost& a, const Cost& b) {
    return {a.wall - b.wall, a.cpu - b.cpu};
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class Stopwatch {
public:
    Cost elapsed() const {
        return {std::chrono::duration<double>(Clock::now() - wallStart).count(),
                cpuSeconds() - cpuStart};
    }

private:
    Clock::time_point wallStart = Clock::now();
    double cpuStart = cpuSeconds();
};

// The least of each measure over the runs.
Cost fastest(const std::vector<Cost>& costs) {
    Cost best = costs.front();
    for (const Cost& cost : costs) {
        best.wall = std::min(best.wall, cost.wall);
        best.cpu = std::min(best.cpu, cost.cpu);
    }
    return best;
}

void run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
}

// --- The collection ---

// How the generated collection is laid out under its root folder.
struct Layout {
    std::string root;
    int albums;
    int songsPerAlbum;
    int coverSize;
    int coverEvery; // an album in this many has a cover
    bool photoLike; // covers with fine detail and grain, as photographs have
};

// A picture of the given size for an album, written as JPEG the way tagging tools embed them.
void makeCoverPicture(const Layout& layout, int album, const std::string& picture) {
    const std::string size =
        std::to_string(layout.coverSize) + "x" + std::to_string(layout.coverSize);
    std::string source =
        "testsrc2=size=" + size + ":rate=1,hue=h=" + std::to_string(album * 13 % 360);
    if (layout.photoLike) {
        source = "mandelbrot=size=" + size +
                 ":rate=1:start_scale=" + std::to_string(0.5 + album * 0.01) +
                 ",noise=alls=12:allf=u";
    }
    run("ffmpeg -nostdin -v error -y -f lavfi -i '" + source + "' -frames:v 1 -q:v 3 '" + picture +
        "'");
}

// Albums of songs; the albums with a cover have one picture (their own) embedded in all their
// songs, as tagging tools write them. Returns the first song of every album with a cover.
std::vector<std::string> makeCollection(const Layout& layout) {
    std::vector<std::string> coverAlbumSongs;
    for (int album = 0; album < layout.albums; ++album) {
        const std::string folder = layout.root + "/Artist " + std::to_string(album % 7) +
                                   "/Album " + std::to_string(album);
        fs::create_directories(folder);
        const bool withCover = album % layout.coverEvery == 0;
        std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=" +
                              std::to_string(220 + album) +
                              ":duration=" + std::to_string(SONG_SECONDS);
        if (withCover) {
            const std::string picture = folder + "/cover.jpg";
            makeCoverPicture(layout, album, picture);
            command +=
                " -i '" + picture + "' -map 0:a -map 1:v -c:v copy -disposition:v attached_pic";
        }
        const std::string first = folder + "/01.mp3";
        run(command + " -c:a libmp3lame -metadata album='Album " + std::to_string(album) +
            "' -metadata artist='Artist " + std::to_string(album % 7) + "' '" + first + "'");
        for (int song = 2; song <= layout.songsPerAlbum; ++song) {
            char name[16];
            std::snprintf(name, sizeof name, "/%02d.mp3", song);
            fs::copy_file(first, folder + name);
        }
        if (withCover) {
            fs::remove(folder + "/cover.jpg");
            coverAlbumSongs.push_back(first);
        }
    }
    return coverAlbumSongs;
}

// --- Scan ---

// Opens each file and reads its stream information, then hands it to work.
template <typename Work> Cost timeOpenedFiles(const std::vector<std::string>& files, Work work) {
    const Stopwatch stopwatch;
    for (const std::string& file : files) {
        AVFormatContext* opened = nullptr;
        if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0) {
            continue;
        }
        FormatContext container(opened);
        avformat_find_stream_info(container.get(), nullptr);
        work(file, container.get());
    }
    return stopwatch.elapsed();
}

// Open, stream information and tags: the least any scan has to do per file.
Cost floorPass(const std::vector<std::string>& files) {
    return timeOpenedFiles(files, [](const std::string&, AVFormatContext* container) {
        const AVDictionaryEntry* entry = nullptr;
        while ((entry = av_dict_get(container->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        }
    });
}

// One full decode, conversion and PNG encoding per distinct picture.
Cost coverEncodingPass(const std::vector<std::string>& coverAlbumSongs) {
    fs::remove_all(CoverExtractor::COVER_FOLDER); // covers already there would not be encoded
    const Cost withCovers =
        timeOpenedFiles(coverAlbumSongs, [](const std::string& file, AVFormatContext* container) {
            Song song;
            song.filepath = "bench-" + file;
            CoverExtractor fresh;
            fresh.extractCover(container, song);
        });
    return withCovers - floorPass(coverAlbumSongs);
}

struct ScanTimes {
    Cost scan;       // the whole scanMusicFiles
    Cost cacheWrite; // writing the same library's cache on its own (atomic, with fsync)
};

ScanTimes rescanPass(const std::string& root);

// A first scan: no cover of an earlier scan is there to be used again.
ScanTimes scanPass(const std::string& root) {
    fs::remove_all(CoverExtractor::COVER_FOLDER);
    return rescanPass(root);
}

// Every file is read: the cache of an earlier pass would spare the unchanged ones.
ScanTimes rescanPass(const std::string& root) {
    fs::remove(LibraryCache::pathForName(MusicScanner::CACHE_NAME));
    MusicScanner scanner;
    PlayList playList;
    const Stopwatch stopwatch;
    scanner.scanMusicFiles(&playList, {{root}, {".mp3"}});
    ScanTimes times;
    times.scan = stopwatch.elapsed();
    playList.update();
    if (playList.getLibrarySongs().empty()) {
        std::cerr << "the scan found nothing\n";
        std::exit(1);
    }
    const Library library{playList.getLibrarySongs(), playList.getAlbums()};
    const Stopwatch writeStopwatch;
    LibraryCache::saveNamed(MusicScanner::CACHE_NAME, library);
    times.cacheWrite = writeStopwatch.elapsed();
    return times;
}

std::vector<std::string> collectionFiles(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().string());
        }
    }
    return files;
}

void benchmarkScan(const Options& options) {
    std::cout << "Generating " << options.albums * options.songsPerAlbum << " songs in "
              << options.albums << " albums (" << (options.albums + 1) / 2 << " with a "
              << COVER_SIZE << "x" << COVER_SIZE << " cover)...\n";
    const std::vector<std::string> coverAlbumSongs =
        makeCollection({"music", options.albums, options.songsPerAlbum, COVER_SIZE, 2, false});
    const std::vector<std::string> files = collectionFiles("music");
    floorPass(files); // warm the page cache

    std::vector<Cost> floors;
    std::vector<Cost> covers;
    std::vector<Cost> scans;
    std::vector<Cost> cacheWrites;
    for (int repeat = 0; repeat < REPEATS; ++repeat) {
        floors.push_back(floorPass(files));
        covers.push_back(coverEncodingPass(coverAlbumSongs));
        const ScanTimes times = scanPass("music");
        scans.push_back(times.scan);
        cacheWrites.push_back(times.cacheWrite);
    }
    const Cost floor = fastest(floors);
    const Cost coverCost = fastest(covers);
    const Cost scan = fastest(scans);
    const double count = static_cast<double>(files.size());
    const double distinct = static_cast<double>(coverAlbumSongs.size());
    std::printf("\nScan of %zu files, %zu distinct covers (least of %d runs; CPU s, wall s)\n",
                files.size(), coverAlbumSongs.size(), REPEATS);
    std::printf("  floor (open + stream info + tags): %7.3f %7.3f  %7.1f files/s  %5.2f ms/file\n",
                floor.cpu, floor.wall, count / floor.cpu, 1000 * floor.cpu / count);
    std::printf("  encoding of distinct covers:       %7.3f %7.3f  %5.1f ms each\n", coverCost.cpu,
                coverCost.wall, 1000 * coverCost.cpu / distinct);
    std::printf("  scan (scanMusicFiles):             %7.3f %7.3f  %7.1f files/s  %5.2f ms/file\n",
                scan.cpu, scan.wall, count / scan.cpu, 1000 * scan.cpu / count);
    std::printf("  of which the cache write:          %7.3f %7.3f  (atomic, once per scan)\n",
                fastest(cacheWrites).cpu, fastest(cacheWrites).wall);
    const double budget = SCAN_ALLOWANCE * floor.cpu + coverCost.cpu;
    const double wallBudget = SCAN_ALLOWANCE * floor.wall + coverCost.wall;
    std::printf("  target 1.5 x floor + covers:       %7.3f %7.3f  -> scan is %.2f of it (wall "
                "%.2f): %s\n",
                budget, wallBudget, scan.cpu / budget, scan.wall / wallBudget,
                scan.cpu <= budget ? "met" : "MISSED");
}

// --- Scan with large covers ---

struct FolderSize {
    double distinctMb = 0; // each file once, however many names it has
    double allNamesMb = 0; // every name counted, as on a card where links become copies
    int names = 0;
};

FolderSize folderSize(const std::string& folder) {
    FolderSize size;
    std::vector<std::pair<uintmax_t, uintmax_t>> seen; // (device, inode)
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        struct stat info {};
        if (stat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        ++size.names;
        size.allNamesMb += info.st_size / 1e6;
        const std::pair<uintmax_t, uintmax_t> id{info.st_dev, info.st_ino};
        if (std::find(seen.begin(), seen.end(), id) == seen.end()) {
            seen.push_back(id);
            size.distinctMb += info.st_size / 1e6;
        }
    }
    return size;
}

void benchmarkLargeCovers(const Options& options) {
    const Layout layout{
        "large", options.largeAlbums, LARGE_SONGS_PER_ALBUM, options.largeCoverSize, 1, true};
    std::cout << "\nGenerating " << layout.albums * layout.songsPerAlbum << " songs in "
              << layout.albums << " albums, each with its own " << layout.coverSize << "x"
              << layout.coverSize << " cover...\n";
    makeCollection(layout);
    const std::vector<std::string> files = collectionFiles(layout.root);
    floorPass(files); // warm the page cache
    std::vector<Cost> floors;
    std::vector<Cost> scans;
    std::vector<Cost> rescans;
    for (int repeat = 0; repeat < LARGE_REPEATS; ++repeat) {
        floors.push_back(floorPass(files));
        scans.push_back(scanPass(layout.root).scan);
        rescans.push_back(rescanPass(layout.root).scan);
    }
    const FolderSize covers = folderSize(CoverExtractor::COVER_FOLDER);
    const Cost rescan = fastest(rescans);
    const Cost floor = fastest(floors);
    const Cost scan = fastest(scans);
    const double count = static_cast<double>(files.size());
    std::printf("\nScan of %zu files with large covers (least of %d runs; CPU s, wall s)\n",
                files.size(), LARGE_REPEATS);
    std::printf("  floor (open + stream info + tags): %7.3f %7.3f  %6.2f ms/file\n", floor.cpu,
                floor.wall, 1000 * floor.cpu / count);
    std::printf("  first scan (scanMusicFiles):       %7.3f %7.3f  %6.2f ms/file (wall %.2f)\n",
                scan.cpu, scan.wall, 1000 * scan.cpu / count, 1000 * scan.wall / count);
    std::printf("  rescan, covers already there:      %7.3f %7.3f  %6.2f ms/file\n", rescan.cpu,
                rescan.wall, 1000 * rescan.cpu / count);
    std::printf("  covers/: %d names, %.1f MB in distinct files, %.1f MB counting every name "
                "(target < %.0f MB): %s\n",
                covers.names, covers.distinctMb, covers.allNamesMb, COVER_FOLDER_TARGET_MB,
                covers.allNamesMb < COVER_FOLDER_TARGET_MB ? "met" : "MISSED");
}

// --- Cache load ---

struct ChildResult {
    Cost cost;
    long peakKilobytes = 0;
};

// Runs this program again as "--child <mode> <path>" and reads its time and peak memory.
ChildResult runChild(const std::string& mode, const std::string& path) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::exit(1);
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl("/proc/self/exe", "library_bench", "--child", mode.c_str(), path.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[64] = {};
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer - 1);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << "child " << mode << " failed\n";
        std::exit(1);
    }
    ChildResult result;
    std::sscanf(buffer, "%lf %lf", &result.cost.wall, &result.cost.cpu);
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

int childMain(const std::string& mode, const std::string& path) {
    const Stopwatch stopwatch;
    if (mode == "bare") {
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        std::string content(static_cast<size_t>(file.tellg()), '\0');
        file.seekg(0);
        file.read(content.data(), static_cast<std::streamsize>(content.size()));
        Json::CharReaderBuilder builder;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string error;
        if (!reader->parse(content.data(), content.data() + content.size(), &root, &error)) {
            return 1;
        }
    } else if (mode == "load") {
        PlayList playList;
        if (!playList.loadFromFile(path) || playList.getLibrarySongs().empty()) {
            return 1;
        }
    }
    const Cost cost = stopwatch.elapsed();
    std::printf("%.6f %.6f\n", cost.wall, cost.cpu);
    return 0;
}

// Songs in album folders (big/Artist a/Album b/n.mp3), as a collection on the device is laid out.
void writeLargeCache(const Options& options, const std::string& path) {
    Library library;
    const int perAlbum = std::max(1, options.cacheSongs / options.cacheAlbums);
    for (int number = 0; number < options.cacheSongs; ++number) {
        Song song;
        const int album = number / perAlbum;
        const std::string folder =
            "big/Artist " + std::to_string(album % 300) + "/Album " + std::to_string(album);
        if (number % perAlbum == 0) {
            fs::create_directories(folder);
        }
        song.filepath = folder + "/" + std::to_string(number % perAlbum + 1) + " Song.mp3";
        std::ofstream(song.filepath).flush(); // the cache keeps only songs whose files exist
        song.title = "Song title number " + std::to_string(number);
        song.artist = "Artist " + std::to_string(album % 300);
        song.album = "Album " + std::to_string(album);
        song.coverPath = CoverExtractor::coverPathFor(
            reinterpret_cast<const uint8_t*>(song.album.data()), song.album.size());
        song.duration = 180.0 + number % 120 + 0.123456;
        song.sampleRate = 44100;
        song.channels = 2;
        song.bitrate = 320000;
        song.fileSize = 7000000 + number;
        library.songs.push_back(song);
    }
    library.albums = MusicScanner::groupAlbums(library.songs);
    LibraryCache::save(path, library);
}

long median(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void benchmarkCacheLoad(const Options& options) {
    const std::string path = "config/big_library.json";
    writeLargeCache(options, path);
    const ChildResult idle = runChild("idle", path);
    std::vector<Cost> bareCosts;
    std::vector<Cost> loadCosts;
    std::vector<long> barePeaks;
    std::vector<long> loadPeaks;
    for (int repeat = 0; repeat < REPEATS; ++repeat) {
        const ChildResult bare = runChild("bare", path);
        const ChildResult load = runChild("load", path);
        bareCosts.push_back(bare.cost);
        loadCosts.push_back(load.cost);
        barePeaks.push_back(bare.peakKilobytes - idle.peakKilobytes);
        loadPeaks.push_back(load.peakKilobytes - idle.peakKilobytes);
    }
    const Cost bare = fastest(bareCosts);
    const Cost load = fastest(loadCosts);
    const double bareMb = median(barePeaks) / 1024.0;
    const double loadMb = median(loadPeaks) / 1024.0;
    std::printf("\nCache load: %d songs, %d albums, %.1f MB file (least time, median peak of %d; "
                "CPU s, wall s)\n",
                options.cacheSongs, options.cacheAlbums, fs::file_size(path) / 1e6, REPEATS);
    std::printf("  bare jsoncpp parse:      %7.3f %7.3f  peak %6.1f MB above an idle process\n",
                bare.cpu, bare.wall, bareMb);
    std::printf("  PlayList::loadFromFile:  %7.3f %7.3f  peak %6.1f MB above an idle process\n",
                load.cpu, load.wall, loadMb);
    std::printf("  ratio: time %.2f (wall %.2f), memory %.2f (target <= %.1f): %s\n",
                load.cpu / bare.cpu, load.wall / bare.wall, loadMb / bareMb, LOAD_ALLOWANCE,
                load.cpu <= LOAD_ALLOWANCE * bare.cpu && loadMb <= LOAD_ALLOWANCE * bareMb
                    ? "met"
                    : "MISSED");
}

// --- Rescans of a large library ---

// As the application rescans: with the library the play list holds from the scan before.
Cost timeScan(PlayList& playList, const std::string& root) {
    MusicScanner scanner;
    const Stopwatch stopwatch;
    scanner.scanMusicFiles(&playList, {{root}, {".mp3"}, playList.shareLibrary()});
    const Cost cost = stopwatch.elapsed();
    playList.update();
    return cost;
}

// The least a rescan must do: walk the folders and look at every file's size and time.
Cost statFloor(const std::string& root) {
    const Stopwatch stopwatch;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info {};
        stat(entry.path().c_str(), &info);
    }
    return stopwatch.elapsed();
}

void linkAlbum(const std::string& source, const std::string& folder) {
    fs::create_directories(folder);
    for (int song = 1; song <= SONGS_PER_RESCAN_ALBUM; ++song) {
        fs::create_hard_link(source, folder + "/" + std::to_string(song) + ".mp3");
    }
}

void benchmarkRescan(const Options& options) {
    const std::string root = "many";
    const std::string source = "many-source.mp3";
    run("ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=1 -c:a libmp3lame -metadata "
        "artist=Someone '" +
        source + "'");
    // Older than the coarsest file system's time step, as files on a card are.
    fs::last_write_time(source, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const int albums = std::max(1, options.rescanFiles / SONGS_PER_RESCAN_ALBUM);
    for (int album = 0; album < albums; ++album) {
        linkAlbum(source, root + "/Album " + std::to_string(album));
    }
    const int files = albums * SONGS_PER_RESCAN_ALBUM;
    statFloor(root); // warm the file system's caches
    fs::remove(LibraryCache::pathForName(MusicScanner::CACHE_NAME));
    PlayList playList;
    const Cost full = timeScan(playList, root);
    std::vector<Cost> unchangedCosts;
    std::vector<Cost> floors;
    for (int repeat = 0; repeat < LARGE_REPEATS; ++repeat) {
        unchangedCosts.push_back(timeScan(playList, root));
        floors.push_back(statFloor(root));
    }
    const Cost unchanged = fastest(unchangedCosts);
    const Cost floor = fastest(floors);
    linkAlbum(source, root + "/Album new");
    const Cost added = timeScan(playList, root);
    auto perFileMs = [&](const Cost& cost) { return cost.cpu * 1000.0 / files; };
    std::printf("\nRescans of %d files in %d album folders (CPU s, wall s; per file CPU ms)\n",
                files, albums);
    std::printf("  full scan (no cache):        %7.3f %7.3f  %.3f ms a file\n", full.cpu, full.wall,
                perFileMs(full));
    std::printf("  unchanged rescan:            %7.3f %7.3f  %.4f ms a file\n", unchanged.cpu,
                unchanged.wall, perFileMs(unchanged));
    std::printf("  floor (walk and stat):       %7.3f %7.3f  %.4f ms a file\n", floor.cpu,
                floor.wall, perFileMs(floor));
    std::printf("  unchanged / full: %.3f (target <= %.1f): %s\n", unchanged.wall / full.wall,
                UNCHANGED_RESCAN_SHARE,
                unchanged.wall <= UNCHANGED_RESCAN_SHARE * full.wall ? "met" : "MISSED");
    std::printf("  rescan after adding an album of %d: %7.3f %7.3f (target < %.0f s wall): %s\n",
                SONGS_PER_RESCAN_ALBUM, added.cpu, added.wall, ADDED_ALBUM_RESCAN_SECONDS,
                added.wall < ADDED_ALBUM_RESCAN_SECONDS ? "met" : "MISSED");
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--only") {
            options.only = argv[i + 1];
        } else if (name == "--albums") {
            options.albums = value;
        } else if (name == "--songs-per-album") {
            options.songsPerAlbum = value;
        } else if (name == "--large-albums") {
            options.largeAlbums = value;
        } else if (name == "--large-cover-size") {
            options.largeCoverSize = value;
        } else if (name == "--cache-songs") {
            options.cacheSongs = value;
        } else if (name == "--cache-albums") {
            options.cacheAlbums = value;
        } else if (name == "--rescan-files") {
            options.rescanFiles = value;
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return childMain(argv[2], argv[3]);
    }
    const Options options = parseOptions(argc, argv);
    char pattern[] = "/tmp/library-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        return 1;
    }
    fs::current_path(pattern);
    fs::create_directories("config");
    // Progress and error lines of the scan would drown the figures.
    std::freopen("/dev/null", "w", stderr);
    auto wanted = [&](const char* part) { return options.only.empty() || options.only == part; };
    if (wanted("scan")) {
        benchmarkScan(options);
    }
    if (wanted("large")) {
        benchmarkLargeCovers(options);
    }
    if (wanted("cache")) {
        benchmarkCacheLoad(options);
    }
    if (wanted("rescan")) {
        benchmarkRescan(options);
    }
    fs::current_path("/");
    fs::remove_all(pattern);
    return 0;
}
