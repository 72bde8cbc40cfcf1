// The application's own frame loop, in-process with a virtual game controller attached (as on
// the console, where one is always open), offscreen video and SDL's disk audio driver, which
// takes the sound at the pace it plays. Prints the CPU time of the whole process (all threads)
// over 15 s in each state: the main menu at rest with nothing playing, the now-playing page (the
// record skin) playing with the screen on, the same after the screen went dark, and paused with
// the screen dark; beside them the decode floor of the same run: the ffmpeg tool decoding the
// same MP3 with the same equalizer preset (ROCK) on one filter thread, as CPU per second of
// audio. Also the worst time one turn of the loop took on the UI thread when the now-playing
// page is first shown, while it plays (the periodic state save falls in it) and across a song
// change within one album.
//
//   build/release/bench/frame_loop_bench <runtime folder>

#include "app/MusicPlayer.h"
#include "audio/EqualizerChain.h"
#include "library/LibraryCache.h"
#include "settings/GamepadConfig.h"

#include <SDL.h>
#include <json/json.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int SONG_SECONDS = 200;
constexpr double STATE_SECONDS = 15.0;
constexpr int BACKLIGHT_TIMEOUT_SECONDS = 20; // longer than a state, so it can be measured lit
constexpr int SKIN_RECORD = 2;
constexpr const char* PRESET = "ROCK";
constexpr const char* BACKLIGHT_FILE = "brightness";
constexpr double FRAME_TARGET_MS = 33.0;

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double wallSeconds() {
    return static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// Stereo pink noise, so that every band of the equalizer has work to do.
std::string makeSong(const std::string& name, int seed) {
    std::string path = "music/" + name + ".mp3";
    std::string noise = "anoisesrc=c=pink:a=0.25:r=44100:d=" + std::to_string(SONG_SECONDS);
    run("ffmpeg -nostdin -v error -y -filter_complex '" + noise + ":seed=" + std::to_string(seed) +
        "[l];" + noise + ":seed=" + std::to_string(seed + 1) +
        "[r];[l][r]amerge=inputs=2' -c:a libmp3lame -b:a 192k " + path);
    return path;
}

// One album of two songs sharing a large cover, in the library cache.
void writeLibrary() {
    fs::create_directories("music");
    run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=1000x1000 -frames:v 1 -q:v 3 "
        "music/cover.jpg");
    Library library;
    Album album{"Bench Album", "Bench Artist", "music/cover.jpg", {}};
    for (int i = 0; i < 2; ++i) {
        Song song;
        song.title = "Bench song " + std::to_string(i + 1);
        song.artist = album.artist;
        song.album = album.name;
        song.coverPath = album.coverPath;
        song.filepath = makeSong("song" + std::to_string(i + 1), 2 * i + 1);
        library.songs.push_back(song);
        album.songs.push_back(song);
    }
    library.albums.push_back(album);
    LibraryCache::saveNamed("music_library", library);
}

// The runtime's settings with the record skin, the preset and a short backlight time-out.
void writeSettings(const fs::path& runtime) {
    Json::Value root;
    std::ifstream(runtime / "config/settings.json") >> root;
    root["theme"]["default_theme"] = SKIN_RECORD;
    root["equalizer"]["default_preset"] = PRESET;
    root["display"]["backlight"]["timeout"] = BACKLIGHT_TIMEOUT_SECONDS;
    fs::create_directories("config");
    std::ofstream("config/settings.json") << root;
    fs::copy_file(runtime / "config/gamepad.json", "config/gamepad.json");
    std::ofstream(BACKLIGHT_FILE) << "255\n";
}

std::vector<float> presetGains(const fs::path& runtime) {
    Json::Value root;
    std::ifstream(runtime / "config/settings.json") >> root;
    std::vector<float> gains;
    for (const Json::Value& gain : root["equalizer"]["presets"][PRESET]["gains"]) {
        gains.push_back(gain.asFloat());
    }
    return gains;
}

double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU seconds per second of audio of the ffmpeg tool decoding and equalizing the song.
double decodeFloor(const std::string& path, const std::vector<float>& gains) {
    double before = childrenCpuSeconds();
    run("ffmpeg -nostdin -v error -filter_threads 1 -i " + path + " -af 'anequalizer=" +
        EqualizerChain::bandArguments(gains, 2) + "' -ar 44100 -ac 2 -f s16le -y /dev/null");
    return (childrenCpuSeconds() - before) / SONG_SECONDS;
}

struct Span {
    double coreShare = 0.0;       // CPU seconds per wall second
    double worstFrameMs = 0.0;    // wall time of the slowest turn
    double worstFrameCpuMs = 0.0; // the UI thread's CPU time in its slowest turn
};

// Turns the application's loop, paced as it paces itself, for the given time or until done.
Span runLoop(MusicPlayer& app, double limit, const std::function<bool()>& done = nullptr) {
    double cpuStart = processCpuSeconds();
    double wallStart = wallSeconds();
    Span span;
    while (app.isRunning() && wallSeconds() - wallStart < limit && !(done && done())) {
        double frameStart = wallSeconds();
        double frameCpuStart = threadCpuSeconds();
        bool drew = app.runFrame();
        span.worstFrameMs = std::max(span.worstFrameMs, (wallSeconds() - frameStart) * 1000.0);
        span.worstFrameCpuMs =
            std::max(span.worstFrameCpuMs, (threadCpuSeconds() - frameCpuStart) * 1000.0);
        SDL_Delay(app.pauseAfter(drew));
    }
    span.coreShare = (processCpuSeconds() - cpuStart) / (wallSeconds() - wallStart);
    return span;
}

void push(SDL_Event event) {
    SDL_PushEvent(&event);
}

void pressKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    push(event);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    push(event);
}

void pressStart() {
    SDL_Event event{};
    event.type = SDL_CONTROLLERBUTTONDOWN;
    event.cbutton.button = SDL_CONTROLLER_BUTTON_START;
    event.cbutton.state = SDL_PRESSED;
    push(event);
    event.type = SDL_CONTROLLERBUTTONUP;
    event.cbutton.state = SDL_RELEASED;
    push(event);
}

bool screenDark() {
    std::ifstream file(BACKLIGHT_FILE);
    int level = -1;
    file >> level;
    return level == 0;
}

void printState(const char* name, const Span& span, double floorShare) {
    std::printf("%-34s %7.3f %% of one core  %6.2f× the decode floor\n", name,
                100.0 * span.coreShare, span.coreShare / floorShare);
}

void printFrame(const char* name, const Span& span) {
    std::printf("%-34s %7.2f ms worst frame, %7.2f ms of UI thread CPU (target under %.0f ms)\n",
                name, span.worstFrameMs, span.worstFrameCpuMs, FRAME_TARGET_MS);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <runtime folder>\n", argv[0]);
        return 2;
    }
    fs::path runtime = fs::absolute(argv[1]);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);

    fs::path scratch = fs::temp_directory_path() / ("frame-loop-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    fs::current_path(scratch);
    for (const char* folder : {"icons", "resources", "lan"}) {
        fs::create_directory_symlink(runtime / folder, folder);
    }
    writeSettings(runtime);
    writeLibrary();

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER) < 0 ||
        SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                  SDL_CONTROLLER_BUTTON_MAX, 0) < 0) {
        std::fprintf(stderr, "SDL start-up failed: %s\n", SDL_GetError());
        return 1;
    }
    GamepadConfig::getInstance().load("config/gamepad.json");
    Span menu, firstShown, playingLit, playingDark, pausedDark, songChange;
    {
        MusicPlayer app((scratch / BACKLIGHT_FILE).string());
        if (!app.init()) {
            return 1;
        }
        runLoop(app, 2.0);
        menu = runLoop(app, STATE_SECONDS);
        pressKey(SDLK_RETURN); // the songs page
        runLoop(app, 1.0);
        pressKey(SDLK_RETURN); // plays the first song and shows it
        firstShown = runLoop(app, 2.0);
        playingLit = runLoop(app, STATE_SECONDS);
        runLoop(app, 2.0 * BACKLIGHT_TIMEOUT_SECONDS, screenDark);
        playingDark = runLoop(app, STATE_SECONDS);
        pressStart();
        runLoop(app, 1.0);
        pressKey(SDLK_SPACE); // pause
        runLoop(app, 2.0 * BACKLIGHT_TIMEOUT_SECONDS, screenDark);
        pausedDark = runLoop(app, STATE_SECONDS);
        pressStart();
        runLoop(app, 1.0);
        pressKey(SDLK_SPACE); // play on
        runLoop(app, 1.0);
        pressKey(SDLK_RIGHT); // the next song of the album
        songChange = runLoop(app, 2.0);
        app.cleanup();
    }
    double floor = decodeFloor("music/song1.mp3", presetGains(runtime));
    std::printf("decode floor (ffmpeg, -filter_threads 1, %s): %.3f %% of one core\n", PRESET,
                100.0 * floor);
    printState("main menu at rest", menu, floor);
    printState("now playing, record, screen on", playingLit, floor);
    printState("now playing, record, screen dark", playingDark, floor);
    printState("paused, screen dark", pausedDark, floor);
    printFrame("now playing first shown", firstShown);
    printFrame("playing (periodic state save)", playingLit);
    printFrame("song change within the album", songChange);
    fs::current_path(runtime);
    fs::remove_all(scratch);
    return 0;
}
