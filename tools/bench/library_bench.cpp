// Measures the media library on a generated collection:
//   1. scan throughput (files per second) beside the floor measured in the same run (opening
//      each file, reading its stream information and its tags, nothing else), and the cost of
//      one PNG encoding per distinct cover picture;
//   2. time and peak memory of loading a large library cache into the play list, beside a bare
//      jsoncpp parse of the same file. Each load runs in a fresh child process so that its peak
//      memory is its own.
//
// Usage: library_bench [--albums N] [--songs-per-album N] [--cache-songs N] [--cache-albums N]
#include "audio/FfmpegHandles.h"
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

struct Options {
    int albums = 52;
    int songsPerAlbum = 10;
    int cacheSongs = 10000;
    int cacheAlbums = 1000;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
}

// --- The collection ---

// Albums of songs; every other album has one cover picture (its own) embedded in all its songs,
// as tagging tools write them.
std::vector<std::string> makeCollection(const Options& options) {
    std::vector<std::string> coverAlbumSongs;
    for (int album = 0; album < options.albums; ++album) {
        const std::string folder =
            "music/Artist " + std::to_string(album % 7) + "/Album " + std::to_string(album);
        fs::create_directories(folder);
        const bool withCover = album % 2 == 0;
        std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=" +
                              std::to_string(220 + album) +
                              ":duration=" + std::to_string(SONG_SECONDS);
        if (withCover) {
            const std::string size = std::to_string(COVER_SIZE) + "x" + std::to_string(COVER_SIZE);
            const std::string picture = folder + "/cover.jpg";
            run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=" + size + ":rate=1,hue=h=" +
                std::to_string(album * 13 % 360) + " -frames:v 1 -q:v 3 '" + picture + "'");
            command +=
                " -i '" + picture + "' -map 0:a -map 1:v -c:v copy -disposition:v attached_pic";
        }
        const std::string first = folder + "/01.mp3";
        run(command + " -c:a libmp3lame -metadata album='Album " + std::to_string(album) +
            "' -metadata artist='Artist " + std::to_string(album % 7) + "' '" + first + "'");
        for (int song = 2; song <= options.songsPerAlbum; ++song) {
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
template <typename Work> double timeOpenedFiles(const std::vector<std::string>& files, Work work) {
    const auto start = Clock::now();
    for (const std::string& file : files) {
        AVFormatContext* opened = nullptr;
        if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0) {
            continue;
        }
        FormatContext container(opened);
        avformat_find_stream_info(container.get(), nullptr);
        work(file, container.get());
    }
    return secondsSince(start);
}

// Open, stream information and tags: the least any scan has to do per file.
double floorPass(const std::vector<std::string>& files) {
    return timeOpenedFiles(files, [](const std::string&, AVFormatContext* container) {
        const AVDictionaryEntry* entry = nullptr;
        while ((entry = av_dict_get(container->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        }
    });
}

// One full decode, conversion and PNG encoding per distinct picture.
double coverEncodingPass(const std::vector<std::string>& coverAlbumSongs) {
    const double withCovers =
        timeOpenedFiles(coverAlbumSongs, [](const std::string& file, AVFormatContext* container) {
            Song song;
            song.filepath = "bench-" + file;
            CoverExtractor fresh;
            fresh.extractCover(container, song);
        });
    return withCovers - floorPass(coverAlbumSongs);
}

double scanPass() {
    MusicScanner scanner;
    PlayList playList;
    const auto start = Clock::now();
    scanner.scanMusicFiles(&playList);
    const double seconds = secondsSince(start);
    if (playList.getLibrarySongs().empty()) {
        std::cerr << "the scan found nothing\n";
        std::exit(1);
    }
    return seconds;
}

std::vector<std::string> collectionFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator("music")) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().string());
        }
    }
    return files;
}

double fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void benchmarkScan(const Options& options) {
    std::cout << "Generating " << options.albums * options.songsPerAlbum << " songs in "
              << options.albums << " albums (" << (options.albums + 1) / 2 << " with a "
              << COVER_SIZE << "x" << COVER_SIZE << " cover)...\n";
    std::ofstream("config/settings.json")
        << R"({"music": {"scan_directories": ["music"], "supported_formats": [".mp3"]}})";
    const std::vector<std::string> coverAlbumSongs = makeCollection(options);
    const std::vector<std::string> files = collectionFiles();
    floorPass(files); // warm the page cache

    std::vector<double> floors;
    std::vector<double> covers;
    std::vector<double> scans;
    for (int repeat = 0; repeat < REPEATS; ++repeat) {
        floors.push_back(floorPass(files));
        covers.push_back(coverEncodingPass(coverAlbumSongs));
        scans.push_back(scanPass());
    }
    const double floor = fastest(floors);
    const double coverCost = fastest(covers);
    const double scan = fastest(scans);
    const double budget = SCAN_ALLOWANCE * floor + coverCost;
    const double count = static_cast<double>(files.size());
    std::printf("\nScan of %zu files (fastest of %d runs)\n", files.size(), REPEATS);
    std::printf("  floor (open + stream info + tags): %8.3f s  %8.1f files/s  %6.2f ms/file\n",
                floor, count / floor, 1000 * floor / count);
    std::printf("  PNG encodings of %zu distinct covers: %6.3f s  %6.1f ms each\n",
                coverAlbumSongs.size(), coverCost, 1000 * coverCost / coverAlbumSongs.size());
    std::printf("  scan (scanMusicFiles):             %8.3f s  %8.1f files/s  %6.2f ms/file\n",
                scan, count / scan, 1000 * scan / count);
    std::printf("  target 1.5 x floor + covers:       %8.3f s  -> scan is %.2f of it: %s\n", budget,
                scan / budget, scan <= budget ? "met" : "MISSED");
}

// --- Cache load ---

struct ChildResult {
    double seconds = 0;
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
    return {std::atof(buffer), usage.ru_maxrss};
}

int childMain(const std::string& mode, const std::string& path) {
    const auto start = Clock::now();
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
    std::printf("%.6f\n", secondsSince(start));
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
        song.coverPath = CoverExtractor::coverPathFor(song.filepath);
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
    std::vector<double> bareTimes;
    std::vector<double> loadTimes;
    std::vector<long> barePeaks;
    std::vector<long> loadPeaks;
    for (int repeat = 0; repeat < REPEATS; ++repeat) {
        const ChildResult bare = runChild("bare", path);
        const ChildResult load = runChild("load", path);
        bareTimes.push_back(bare.seconds);
        loadTimes.push_back(load.seconds);
        barePeaks.push_back(bare.peakKilobytes - idle.peakKilobytes);
        loadPeaks.push_back(load.peakKilobytes - idle.peakKilobytes);
    }
    const double bareTime = fastest(bareTimes);
    const double loadTime = fastest(loadTimes);
    const double bareMb = median(barePeaks) / 1024.0;
    const double loadMb = median(loadPeaks) / 1024.0;
    std::printf(
        "\nCache load: %d songs, %d albums, %.1f MB file (fastest time, median peak of %d)\n",
        options.cacheSongs, options.cacheAlbums, fs::file_size(path) / 1e6, REPEATS);
    std::printf("  bare jsoncpp parse:      %7.3f s  peak %7.1f MB above an idle process\n",
                bareTime, bareMb);
    std::printf("  PlayList::loadFromFile:  %7.3f s  peak %7.1f MB above an idle process\n",
                loadTime, loadMb);
    std::printf("  ratio: time %.2f, memory %.2f (target <= %.1f): %s\n", loadTime / bareTime,
                loadMb / bareMb, LOAD_ALLOWANCE,
                loadTime <= LOAD_ALLOWANCE * bareTime && loadMb <= LOAD_ALLOWANCE * bareMb
                    ? "met"
                    : "MISSED");
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--albums") {
            options.albums = value;
        } else if (name == "--songs-per-album") {
            options.songsPerAlbum = value;
        } else if (name == "--cache-songs") {
            options.cacheSongs = value;
        } else if (name == "--cache-albums") {
            options.cacheAlbums = value;
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
    benchmarkScan(options);
    benchmarkCacheLoad(options);
    fs::current_path("/");
    fs::remove_all(pattern);
    return 0;
}
