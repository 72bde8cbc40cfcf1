// Renders whole three-minute files through the real Player into SDL's disk audio driver, many
// times faster than real time, and prints the CPU time per minute of audio (all the player's
// threads: decoding, the audio callback, SDL's device thread), with the equalizer and the
// volume levelling (by the files' ReplayGain tags) each off and on, for an MP3 and a FLAC;
// beside it, in the same run, the ffmpeg command-line tool doing the same work (decode, the same
// equalizer and levelling, conversion to 16-bit stereo at 44.1 kHz, output to /dev/null). For the
// player it also prints the worst time one audio callback took over the whole song (at the device
// buffer of 4096 frames) and how often the callback found the ring short.
//
//   build/release/bench/audio_render_bench [repetitions]

#include "audio/EqualizerChain.h"
#include "audio/Player.h"
#include "model/Song.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int SONG_SECONDS = 180;
constexpr double SECONDS_PER_MINUTE = 60.0;
constexpr int FRAME_MS = 16;
constexpr int DEFAULT_REPETITIONS = 3;
// Milliseconds SDL's disk driver waits per device buffer of 4096 frames (93 ms of sound): about
// 45 times real time, which the decoding thread keeps ahead of. Without any wait the driver's
// thread would spin writing silence whenever the ring ran short, and its CPU would count.
constexpr const char* DISK_DELAY_MS = "2";
// A cut, so that the levelled noise stays clear of full scale.
constexpr const char* REPLAYGAIN_TAGS =
    "-metadata 'REPLAYGAIN_TRACK_GAIN=-6.00 dB' -metadata REPLAYGAIN_TRACK_PEAK=0.9";
const std::vector<float> EQUALIZER_GAINS = {4.0f, 3.0f, 1.0f, 0.0f, -1.0f,
                                            0.0f, 1.0f, 2.0f, 3.0f, 4.0f};

struct Setup {
    bool equalized;
    bool levelled;
};

struct Cost {
    double cpuSeconds = 1e9;
    double wallSeconds = 1e9;
    double worstCallbackMs = 0.0; // the player only
    uint64_t underruns = 0;

    void keepBest(const Cost& other) {
        cpuSeconds = std::min(cpuSeconds, other.cpuSeconds);
        wallSeconds = std::min(wallSeconds, other.wallSeconds);
        worstCallbackMs = std::max(worstCallbackMs, other.worstCallbackMs);
        underruns += other.underruns;
    }
};

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double cpuSecondsOf(const rusage& usage) {
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuSecondsOf(usage);
}

double wallClock() {
    return static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

bool runShell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Three minutes of stereo pink noise: every band of the equalizer has work to do.
std::string makeSong(const std::string& folder, const std::string& name,
                     const std::string& encoder) {
    std::string path = folder + "/" + name;
    std::string source =
        "anoisesrc=c=pink:a=0.25:r=44100:seed=1:d=" + std::to_string(SONG_SECONDS) +
        "[left];anoisesrc=c=pink:a=0.25:r=44100:seed=2:d=" + std::to_string(SONG_SECONDS) +
        "[right];[left][right]amerge=inputs=2";
    if (!runShell("ffmpeg -nostdin -v error -y -filter_complex '" + source + "' " + encoder + " " +
                  REPLAYGAIN_TAGS + " " + path)) {
        std::fprintf(stderr, "cannot make %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

Cost renderWithPlayer(const std::string& path, Setup setup) {
    Player player;
    player.setEQGains(setup.equalized ? EQUALIZER_GAINS
                                      : std::vector<float>(EqualizerChain::BAND_COUNT, 0.0f));
    player.setVolumeLevelling(setup.levelled ? VolumeLevelling::TRACK : VolumeLevelling::OFF);
    bool ended = false;
    player.setSongEndCallback([&] { ended = true; });
    Song song;
    song.filepath = path;
    double cpuBefore = processCpuSeconds();
    double wallBefore = wallClock();
    if (!player.loadSong(song)) {
        std::exit(1);
    }
    player.play();
    while (!ended) {
        SDL_Delay(FRAME_MS); // as the application's frame loop does
        player.update();
    }
    Player::OutputStats stats = player.getOutputStats();
    return {processCpuSeconds() - cpuBefore, wallClock() - wallBefore, stats.worstCallbackMs,
            stats.underruns};
}

std::string ffmpegFilters(Setup setup) {
    std::vector<std::string> filters;
    if (setup.levelled) {
        filters.push_back("volume=replaygain=track:replaygain_noclip=1");
    }
    if (setup.equalized) {
        filters.push_back("anequalizer=" + EqualizerChain::bandArguments(EQUALIZER_GAINS, 2));
    }
    std::string text;
    for (const std::string& filter : filters) {
        text += (text.empty() ? "" : ",") + filter;
    }
    return text;
}

Cost renderWithFfmpeg(const std::string& path, Setup setup, bool oneFilterThread) {
    std::vector<std::string> arguments = {"ffmpeg", "-nostdin", "-v", "error"};
    if (oneFilterThread) {
        arguments.insert(arguments.end(), {"-filter_threads", "1"});
    }
    arguments.insert(arguments.end(), {"-i", path});
    if (setup.equalized || setup.levelled) {
        arguments.insert(arguments.end(), {"-af", ffmpegFilters(setup)});
    }
    arguments.insert(arguments.end(),
                     {"-ar", "44100", "-ac", "2", "-f", "s16le", "-y", "/dev/null"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    double wallBefore = wallClock();
    pid_t child = fork();
    if (child == 0) {
        execvp("ffmpeg", argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "ffmpeg failed on %s\n", path.c_str());
        std::exit(1);
    }
    return {cpuSecondsOf(usage), wallClock() - wallBefore};
}

void printRow(const char* file, Setup setup, const char* who, const Cost& cost, bool player) {
    double minutes = SONG_SECONDS / SECONDS_PER_MINUTE;
    std::printf("%-6s %-4s %-5s %-26s %8.3f %8.3f", file, setup.equalized ? "on" : "off",
                setup.levelled ? "track" : "off", who, cost.cpuSeconds / minutes,
                cost.wallSeconds / minutes);
    if (player) {
        std::printf(" %10.3f %9llu", cost.worstCallbackMs,
                    static_cast<unsigned long long>(cost.underruns));
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : DEFAULT_REPETITIONS;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", DISK_DELAY_MS, 1);
    if (SDL_Init(SDL_INIT_EVENTS) < 0) {
        return 1;
    }
    char folderPattern[] = "/tmp/musicplayer-bench-XXXXXX";
    std::string folder = mkdtemp(folderPattern);
    struct Input {
        const char* label;
        std::string path;
    };
    std::vector<Input> songs = {
        {"mp3", makeSong(folder, "noise.mp3", "-c:a libmp3lame -b:a 192k")},
        {"flac", makeSong(folder, "noise.flac", "-c:a flac -sample_fmt s16")},
    };

    std::printf("%d s of stereo 44.1 kHz pink noise per file; best of %d runs\n", SONG_SECONDS,
                repetitions);
    std::printf("%-6s %-4s %-5s %-26s %8s %8s %10s %9s\n", "file", "eq", "level", "renderer",
                "cpu/min", "wall/min", "worst cb ms", "underruns");
    for (const Input& song : songs) {
        double unlevelledCpu = 0.0; // of the setup before, the same without levelling
        for (Setup setup :
             {Setup{false, false}, Setup{false, true}, Setup{true, false}, Setup{true, true}}) {
            Cost player;
            Cost ffmpeg;
            Cost ffmpegOneThread;
            for (int run = 0; run < repetitions; ++run) {
                player.keepBest(renderWithPlayer(song.path, setup));
                ffmpeg.keepBest(renderWithFfmpeg(song.path, setup, false));
                ffmpegOneThread.keepBest(renderWithFfmpeg(song.path, setup, true));
            }
            printRow(song.label, setup, "Player", player, true);
            printRow(song.label, setup, "ffmpeg", ffmpeg, false);
            printRow(song.label, setup, "ffmpeg -filter_threads 1", ffmpegOneThread, false);
            if (setup.levelled) {
                std::printf("%-6s %-4s levelling costs %.3f times the CPU without\n", song.label,
                            setup.equalized ? "on" : "off", player.cpuSeconds / unlevelledCpu);
            }
            unlevelledCpu = player.cpuSeconds;
        }
    }
    std::filesystem::remove_all(folder);
    SDL_Quit();
    return 0;
}
