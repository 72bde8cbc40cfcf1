// The CPU the audio engine takes while nothing plays: a real Player on SDL's disk audio driver,
// paced in real time, plays a song for a second, pauses, and then sits paused for 15 s while
// its update() runs as the frame loop would; prints the process's CPU time (all threads) over
// those 15 s, in percent of one core, by getrusage; and, apart, what the threads other than the
// frame loop's took (the process's CPU clock less the main thread's), in nanoseconds.
//
//   build/release/bench/pause_cpu_bench [frame interval in ms, 16 by default]

#include "audio/Player.h"
#include "model/Song.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int PAUSED_SECONDS = 15;
constexpr int PLAY_MS = 1000;
constexpr int DEFAULT_FRAME_MS = 16;

double usageSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double clockSeconds(clockid_t clock) {
    timespec time{};
    clock_gettime(clock, &time);
    return time.tv_sec + time.tv_nsec / 1e9;
}

// The CPU of every thread but this one, the dead ones included.
double otherThreadsSeconds() {
    return clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - clockSeconds(CLOCK_THREAD_CPUTIME_ID);
}

void runFrames(Player& player, int milliseconds, int frameMs) {
    const Uint64 until = SDL_GetTicks64() + static_cast<Uint64>(milliseconds);
    while (SDL_GetTicks64() < until) {
        player.update();
        SDL_Delay(static_cast<Uint32>(frameMs));
    }
}

} // namespace

int main(int argc, char** argv) {
    const int frameMs = argc > 1 ? std::atoi(argv[1]) : DEFAULT_FRAME_MS;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    const std::string folder = std::filesystem::temp_directory_path() / "pause_cpu_bench";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/tone.mp3";
    const std::string make =
        "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:duration=60 "
        "-ac 2 -c:a libmp3lame " +
        path;
    if (std::system(make.c_str()) != 0 || SDL_Init(SDL_INIT_AUDIO | SDL_INIT_EVENTS) < 0) {
        std::fprintf(stderr, "cannot set up\n");
        return 1;
    }
    int status = 0;
    {
        Player player;
        Song song;
        song.filepath = path;
        if (!player.loadSong(song)) {
            return 1;
        }
        player.play();
        runFrames(player, PLAY_MS, frameMs);
        player.pause();
        const double usageBefore = usageSeconds();
        const double othersBefore = otherThreadsSeconds();
        runFrames(player, PAUSED_SECONDS * 1000, frameMs);
        const double usage = usageSeconds() - usageBefore;
        const double others = otherThreadsSeconds() - othersBefore;
        std::printf("paused %d s, frame every %d ms: all threads %.4f s = %.3f %% of one core; "
                    "threads besides the frame loop %.4f s = %.4f %%\n",
                    PAUSED_SECONDS, frameMs, usage, usage * 100.0 / PAUSED_SECONDS, others,
                    others * 100.0 / PAUSED_SECONDS);
        status = player.isPaused() ? 0 : 1;
    }
    SDL_Quit();
    return status;
}
