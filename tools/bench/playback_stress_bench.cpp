// Plays a song in real time through the real Player, with the device's sound captured by SDL's
// disk audio driver, while a library scan of a large generated collection on the same storage
// runs over and over on another thread (as the loading dialog's scan does). Then checks the
// captured sound against FFmpeg's own decode, block by block: a dropout shows as a block of
// silence or of sound from elsewhere (repeated or skipped).
//
//   build/release/bench/playback_stress_bench [--albums N] [--songs-per-album N] [--seconds N]

#include "audio/Player.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"
#include "model/Song.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int CHANNELS = 2;
constexpr int RATE = 44100;
constexpr size_t BLOCK_FRAMES = 1024;
constexpr int FRAME_MS = 16;
constexpr int COVER_SIZE = 500;
constexpr double TEMPLATE_SECONDS = 3.0;

struct Options {
    int albums = 200;
    int songsPerAlbum = 10;
    int seconds = 60;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int index = 1; index + 1 < argc; index += 2) {
        const std::string name = argv[index];
        const int value = std::max(1, std::atoi(argv[index + 1]));
        if (name == "--albums") {
            options.albums = value;
        } else if (name == "--songs-per-album") {
            options.songsPerAlbum = value;
        } else if (name == "--seconds") {
            options.seconds = value;
        }
    }
    return options;
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// Copies (not links) of one tagged MP3 with an embedded cover: every file is read in full.
int makeLibrary(const Options& options) {
    run("ffmpeg -nostdin -v error -y -f lavfi -i sine=f=440:d=" + std::to_string(TEMPLATE_SECONDS) +
        " -f lavfi -i testsrc=size=" + std::to_string(COVER_SIZE) + "x" +
        std::to_string(COVER_SIZE) +
        ":rate=1:duration=1 -frames:v 1 -map 0:a -map 1:v -c:a libmp3lame -c:v mjpeg "
        "-disposition:v attached_pic -metadata artist=Stress template.mp3");
    int files = 0;
    for (int album = 0; album < options.albums; ++album) {
        const fs::path folder = fs::path("music") / ("Album " + std::to_string(album));
        fs::create_directories(folder);
        for (int song = 0; song < options.songsPerAlbum; ++song, ++files) {
            fs::copy_file("template.mp3", folder / (std::to_string(song) + ".mp3"));
        }
    }
    return files;
}

std::vector<int16_t> readSamples(const std::string& command) {
    std::vector<int16_t> samples;
    FILE* pipe = popen(command.c_str(), "r");
    int16_t chunk[1 << 14];
    size_t count;
    while (pipe && (count = std::fread(chunk, sizeof(int16_t), std::size(chunk), pipe)) > 0) {
        samples.insert(samples.end(), chunk, chunk + count);
    }
    if (pipe) {
        pclose(pipe);
    }
    return samples;
}

size_t firstSound(const std::vector<int16_t>& samples) {
    size_t index = 0;
    while (index < samples.size() && samples[index] == 0) {
        ++index;
    }
    return index / CHANNELS * CHANNELS;
}

struct Verdict {
    size_t blocks = 0;
    size_t silentBlocks = 0;
    size_t otherBlocks = 0; // sound, but not the sound due there
};

// Aligns the capture with the reference by their first sound and compares block by block.
Verdict compare(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference) {
    Verdict verdict;
    const size_t capturedStart = firstSound(captured);
    const size_t referenceStart = firstSound(reference);
    const size_t block = BLOCK_FRAMES * CHANNELS;
    for (size_t at = referenceStart; at + block <= reference.size(); at += block) {
        ++verdict.blocks;
        const size_t there = capturedStart + (at - referenceStart);
        if (there + block > captured.size() ||
            std::all_of(captured.begin() + there, captured.begin() + there + block,
                        [](int16_t sample) { return sample == 0; })) {
            ++verdict.silentBlocks;
        } else if (!std::equal(reference.begin() + at, reference.begin() + at + block,
                               captured.begin() + there)) {
            ++verdict.otherBlocks;
        }
    }
    return verdict;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    char folderPattern[] = "/tmp/musicplayer-stress-XXXXXX";
    const std::string folder = mkdtemp(folderPattern);
    fs::current_path(folder);
    const int files = makeLibrary(options);
    run("ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc=0.3*sin(2*PI*t*(220+20*t))|0.3*sin("
        "2*PI*t*(330+15*t)):s=44100:d=" +
        std::to_string(options.seconds) + "\" -c:a flac song.flac");

    // Real time: SDL's disk driver waits one buffer's length per buffer by default.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "capture.raw", 1);
    if (SDL_Init(SDL_INIT_EVENTS) < 0) {
        return 1;
    }
    Player::OutputStats stats;
    std::atomic<bool> songOver{false};
    std::atomic<int> scans{0};
    {
        Player player;
        bool ended = false;
        player.setSongEndCallback([&] { ended = true; });
        Song song;
        song.filepath = "song.flac";
        if (!player.loadSong(song)) {
            return 1;
        }
        std::thread scanning([&] {
            MusicScanner scanner;
            PlayList playList;
            while (!songOver) {
                scanner.scanMusicFiles(&playList, {{"music"}, {".mp3"}});
                ++scans;
            }
        });
        player.play();
        SDL_Event event;
        while (!ended) {
            SDL_WaitEventTimeout(&event, FRAME_MS);
            player.update();
        }
        stats = player.getOutputStats();
        songOver = true;
        scanning.join();
    }
    const Verdict verdict =
        compare(readSamples("cat capture.raw"),
                readSamples("ffmpeg -nostdin -v error -i song.flac -ar 44100 -ac 2 -f s16le -"));

    std::printf("%d s song in real time, %d library files scanned %d times meanwhile\n",
                options.seconds, files, scans.load());
    std::printf("audio callbacks %llu, worst %.3f ms, ring short %llu times\n",
                static_cast<unsigned long long>(stats.callbacks), stats.worstCallbackMs,
                static_cast<unsigned long long>(stats.underruns));
    std::printf("blocks of %zu frames: %zu, silent %zu, other sound %zu\n", BLOCK_FRAMES,
                verdict.blocks, verdict.silentBlocks, verdict.otherBlocks);
    fs::current_path("/");
    fs::remove_all(folder);
    SDL_Quit();
    const bool clean = verdict.silentBlocks == 0 && verdict.otherBlocks == 0;
    std::printf("%s\n", clean ? "no dropouts" : "DROPOUTS");
    return clean ? 0 : 1;
}
