// The albums page with a large library: 2,000 albums, each with a distinct 1,000×1,000 PNG
// cover. For each skin it prints the time to open the page (its first update and drawing), the
// growth of the resident memory from before the page existed to its peak while the carousel
// moves, and the CPU per frame while the carousel animates (a move every few frames, covers
// read as they come near; the drawing thread alone and the whole process), beside the floor of
// copying the backdrop and presenting, measured in the same run. Everything is drawn on SDL's
// software renderer at 640×480 without the frame delay.
//
//   albums_bench <runtime folder> [albums] [frames] [cover cache folder]
//
// The covers are generated once into the cache folder (by default bench-cache/album-covers
// beside the runtime folder) and reused by later runs.

#include "app/Services.h"
#include "audio/Player.h"
#include "core/SdlHandles.h"
#include "library/PlayList.h"
#include "pages/AlbumsPage.h"
#include "settings/Config.h"
#include "settings/GamepadConfig.h"
#include "ui/BackgroundImage.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int COVER_SIZE = 1000;
constexpr int SONGS_PER_ALBUM = 10;
constexpr int FRAMES_PER_MOVE = 12;
constexpr int WARM_UP_FRAMES = 20;
constexpr double OPEN_TARGET_MS = 150.0;
constexpr double MEMORY_TARGET_MB = 64.0;
constexpr double FRAME_TARGET_FLOORS = 3.0;
constexpr std::chrono::milliseconds SETTLE_PAUSE{2};

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

double wallMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// A field of /proc/self/status in kilobytes ("VmRSS", "VmHWM").
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::atol(line.c_str() + field.size() + 1);
        }
    }
    return 0;
}

// Lets the peak resident size start again from the current one.
void resetPeakResidentSize() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A cover of its own for every album: smooth rings and bands in colours drawn from the index,
// so the files are as large as an extracted cover of a painting, not a flat colour.
void drawCover(SDL_Surface* surface, int index) {
    auto* pixels = static_cast<Uint8*>(surface->pixels);
    double hue = index * 0.61803398875;
    double ringScale = 0.02 + (index % 17) * 0.003;
    for (int y = 0; y < COVER_SIZE; ++y) {
        Uint8* row = pixels + y * surface->pitch;
        for (int x = 0; x < COVER_SIZE; ++x) {
            double dx = x - COVER_SIZE * 0.3 - index % 400;
            double dy = y - COVER_SIZE * 0.6;
            double ring = std::sin(std::sqrt(dx * dx + dy * dy) * ringScale);
            double band = std::sin((x + 2 * y) * 0.011 + hue);
            row[3 * x] = static_cast<Uint8>(127 + 100 * ring);
            row[3 * x + 1] = static_cast<Uint8>(127 + 100 * band);
            row[3 * x + 2] = static_cast<Uint8>((x ^ y ^ index) & 0xff);
        }
    }
}

std::string coverPath(const fs::path& folder, int index) {
    return (folder / ("cover-" + std::to_string(index) + ".png")).string();
}

bool ensureCovers(const fs::path& folder, int count) {
    fs::path complete = folder / ("complete-" + std::to_string(count));
    if (fs::exists(complete)) {
        return true;
    }
    fs::create_directories(folder);
    std::printf("generating %d covers of %d×%d into %s (once)...\n", count, COVER_SIZE, COVER_SIZE,
                folder.c_str());
    std::fflush(stdout);
    SurfacePtr surface(
        SDL_CreateRGBSurfaceWithFormat(0, COVER_SIZE, COVER_SIZE, 24, SDL_PIXELFORMAT_RGB24));
    for (int index = 0; index < count; ++index) {
        drawCover(surface.get(), index);
        if (IMG_SavePNG(surface.get(), coverPath(folder, index).c_str()) != 0) {
            std::fprintf(stderr, "cannot write a cover: %s\n", SDL_GetError());
            return false;
        }
    }
    std::ofstream(complete) << "done\n";
    return true;
}

Library libraryOf(const fs::path& covers, int count) {
    Library library;
    for (int index = 0; index < count; ++index) {
        Album album;
        album.name = "Album " + std::to_string(100000 + index);
        album.artist = "Artist " + std::to_string(index % 300);
        album.coverPath = coverPath(covers, index);
        for (int track = 0; track < SONGS_PER_ALBUM; ++track) {
            Song song;
            song.title = album.name + " — track " + std::to_string(track + 1);
            song.artist = album.artist;
            song.album = album.name;
            song.filepath = "music/" + album.name + "/" + std::to_string(track + 1) + ".flac";
            song.coverPath = album.coverPath;
            album.songs.push_back(song);
            library.songs.push_back(song);
        }
        library.albums.push_back(std::move(album));
    }
    return library;
}

double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

// CPU per frame: of the whole process (the cover reading thread too), and of the drawing thread.
struct FrameCpu {
    double process = 0.0;
    double drawing = 0.0;
};

FrameCpu averageFrameCpu(int frames, const std::function<void(int)>& frame) {
    for (int i = 0; i < WARM_UP_FRAMES; ++i) {
        frame(i);
    }
    double start = cpuMilliseconds();
    double threadStart = threadCpuMilliseconds();
    for (int i = 0; i < frames; ++i) {
        frame(i);
    }
    return {(cpuMilliseconds() - start) / frames, (threadCpuMilliseconds() - threadStart) / frames};
}

// The read-only folders are linked; the settings are copied, since the skin is set in them.
void linkRuntime(const fs::path& runtime) {
    for (const char* folder : {"icons", "resources", "lan"}) {
        fs::create_directory_symlink(fs::absolute(runtime / folder), folder);
    }
    fs::copy(runtime / "config", "config", fs::copy_options::recursive);
}

// Lets the reading thread finish the covers asked for while the carousel moved, so that the
// figures after it are the drawing alone.
void settle(AlbumsPage& page) {
    while (page.readingCovers()) {
        page.update();
        std::this_thread::sleep_for(SETTLE_PAUSE);
    }
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Opens a fresh albums page in the skin and animates it; prints the figures.
void measureSkin(const char* name, int themeId, SDL_Renderer* renderer, TTF_Font* font,
                 const PageServices& services, PlayList& playList, Player& player, double floor,
                 int frames) {
    services.config.setString("theme.default_theme", std::to_string(themeId));
    long before = statusKilobytes("VmRSS");
    resetPeakResidentSize();

    double openWall = wallMilliseconds();
    double openCpu = cpuMilliseconds();
    AlbumsPage page(services, &playList, &player);
    page.init(renderer, font);
    page.update();
    page.render();
    SDL_RenderPresent(renderer);
    openCpu = cpuMilliseconds() - openCpu;
    openWall = wallMilliseconds() - openWall;
    long afterOpen = statusKilobytes("VmRSS");

    // Frames with a move every FRAMES_PER_MOVE frames (moveAt gives the key of move n, or none).
    auto animate = [&](const std::function<SDL_Keycode(int)>& moveAt) {
        return averageFrameCpu(frames, [&](int i) {
            SDL_Keycode key = moveAt(i / FRAMES_PER_MOVE);
            if (i % FRAMES_PER_MOVE == 0 && key != SDLK_UNKNOWN) {
                SDL_Event move{};
                move.type = SDL_KEYDOWN;
                move.key.keysym.sym = key;
                page.handleEvent(&move);
            }
            page.update();
            page.render();
            SDL_RenderPresent(renderer);
        });
    };
    FrameCpu moving = animate([](int) { return SDLK_RIGHT; });
    double growthMb = (statusKilobytes("VmHWM") - before) / 1024.0;
    settle(page);
    // Back and forth between two albums whose covers are held: the drawing alone.
    double drawingCpu = animate([](int move) { return move % 2 ? SDLK_RIGHT : SDLK_LEFT; }).process;
    double restingCpu = animate([](int) { return SDLK_UNKNOWN; }).process;

    std::printf("\n%s skin, %zu albums, %zu covers held after the moves\n", name,
                playList.getAlbums().size(), page.loadedCoverCount());
    std::printf("  opening (init, first update and drawing): %7.1f ms wall, %7.1f ms CPU   "
                "target < %.0f ms: %s\n",
                openWall, openCpu, OPEN_TARGET_MS, verdict(openWall < OPEN_TARGET_MS));
    std::printf("  resident memory: +%.1f MB after opening, +%.1f MB at the peak while moving   "
                "target < %.0f MB: %s\n",
                (afterOpen - before) / 1024.0, growthMb, MEMORY_TARGET_MB,
                verdict(growthMb < MEMORY_TARGET_MB));
    std::printf("  carousel animating (a move every %d frames): drawing thread %.3f ms CPU per "
                "frame, %.2f× floor   target < %.0f×: %s\n",
                FRAMES_PER_MOVE, moving.drawing, moving.drawing / floor, FRAME_TARGET_FLOORS,
                verdict(moving.drawing < FRAME_TARGET_FLOORS * floor));
    std::printf("    with the covers read meanwhile (whole process): %.3f ms CPU per frame, "
                "%.2f× floor\n",
                moving.process, moving.process / floor);
    std::printf("    moving among covers already read: %.3f ms CPU per frame, %.2f× floor\n",
                drawingCpu, drawingCpu / floor);
    std::printf("    at rest: %.3f ms CPU per frame, %.2f× floor\n", restingCpu,
                restingCpu / floor);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <runtime folder> [albums] [frames] [cover cache folder]\n",
                     argv[0]);
        return 2;
    }
    fs::path runtime = fs::absolute(argv[1]);
    int albumCount = argc > 2 ? std::atoi(argv[2]) : 2000;
    int frames = argc > 3 ? std::atoi(argv[3]) : 1200;
    fs::path coverCache =
        argc > 4 ? fs::absolute(argv[4]) : runtime.parent_path() / "bench-cache" / "album-covers";

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER) < 0 || TTF_Init() < 0) {
        std::fprintf(stderr, "SDL start-up failed: %s\n", SDL_GetError());
        return 1;
    }
    if (!ensureCovers(coverCache, albumCount)) {
        return 1;
    }

    fs::path scratch = fs::temp_directory_path() / ("albums-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    fs::current_path(scratch);
    linkRuntime(runtime);
    {
        WindowPtr window(SDL_CreateWindow("bench", 0, 0, 640, 480, 0));
        RendererPtr renderer(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
        FontPtr font(TTF_OpenFont("resources/font.ttf", 24));
        if (!renderer || !font) {
            std::fprintf(stderr, "renderer or font failed: %s\n", SDL_GetError());
            return 1;
        }
        GamepadConfig::getInstance().load("config/gamepad.json");
        Services services(Stores::processWide(), sdlClock());
        const PageServices pageServices = services.forPages();
        Player player;
        PlayList playList;
        playList.setLibrary(libraryOf(coverCache, albumCount));
        playList.update(); // takes the library over before anything is measured
        SDL_Renderer* target = renderer.get();

        BackgroundImage background;
        double floor = averageFrameCpu(frames, [&](int) {
                           background.draw(target);
                           SDL_RenderPresent(target);
                       }).process;
        std::printf("%d albums of %d songs, covers %d×%d PNG, %d frames per figure, software "
                    "renderer 640×480\n",
                    albumCount, SONGS_PER_ALBUM, COVER_SIZE, COVER_SIZE, frames);
        std::printf("floor (backdrop + present): %.3f ms CPU per frame\n", floor);
        measureSkin("tape", 1, target, font.get(), pageServices, playList, player, floor, frames);
        measureSkin("record", 2, target, font.get(), pageServices, playList, player, floor, frames);
    }
    TTF_Quit();
    SDL_Quit();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(scratch);
    return 0;
}
