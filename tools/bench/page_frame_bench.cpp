// CPU time per frame of the main menu, of the songs page with a large library, and of the
// now-playing page in both skins and its lyrics view (200 lines) while a song plays, beside the
// floor of copying the backdrop and presenting, all on SDL's software renderer at 640×480
// without the frame delay. The time is the drawing thread's own: the song decodes on the audio
// thread and is not counted. Then the start-up of the whole player with that library's cache:
// the time from launch to the songs list on screen after one press on the menu, and the longest
// frame meanwhile (the longest a press goes unanswered), beside a bare parse of the cache.
//
//   page_frame_bench <runtime folder> [songs] [frames]

#include "app/MusicPlayer.h"
#include "app/Services.h"
#include "audio/Player.h"
#include "core/JsonFile.h"
#include "core/SdlHandles.h"
#include "library/PlayList.h"
#include "library/SongJson.h"
#include "pages/MainPage.h"
#include "pages/NowPlayingPage.h"
#include "pages/SongsPage.h"
#include "settings/Config.h"
#include "settings/GamepadConfig.h"
#include "ui/BackgroundImage.h"
#include "ui/Dialog.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double FRAME_PACE_MS = 16.0;
constexpr int BATCHES = 5;
constexpr int SONG_SECONDS = 600;
constexpr int LYRIC_LINES = 200;
constexpr double STARTUP_TIMEOUT_MS = 60000.0;

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

// CPU milliseconds of one frame: the least average of BATCHES batches, so that other work on a
// shared machine shows as little as possible.
double measure(int frames, const std::function<void(int)>& frame) {
    for (int i = 0; i < 20; ++i) {
        frame(i); // warm-up: first loads and text rendering
    }
    int perBatch = std::max(1, frames / BATCHES);
    double least = 0.0;
    for (int batch = 0; batch < BATCHES; ++batch) {
        double start = cpuMilliseconds();
        for (int i = 0; i < perBatch; ++i) {
            frame(batch * perBatch + i);
        }
        double average = (cpuMilliseconds() - start) / perBatch;
        least = batch == 0 ? average : std::min(least, average);
    }
    return least;
}

// A library of placeholder files listed in config/music_library.json.
void writeLibrary(int count) {
    fs::create_directories("music");
    fs::create_directories("config");
    Json::Value songs(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
        Song song;
        song.title = "Song number " + std::to_string(i + 1) + " — 歌曲";
        song.artist = "Artist " + std::to_string(i % 100);
        song.album = "Album " + std::to_string(i / 10);
        song.filepath = "music/" + std::to_string(i) + ".mp3";
        song.coverPath = "icons/tfm.png";
        std::ofstream(song.filepath).put('x');
        songs.append(songToJson(song));
    }
    Json::Value root(Json::objectValue);
    root["songs"] = songs;
    root["albums"] = Json::Value(Json::arrayValue);
    JsonFile::writeAtomically("config/music_library.json", JsonFile::toIndentedText(root, "    "));
}

// A long song with a title too wide for the record skin's window, a cover and a lyrics file
// with a line every second.
Song makePlayingSong() {
    Song song;
    song.title = "A title long enough to scroll through the record player's window";
    song.artist = "Bench Artist";
    song.filepath = "music/bench-song.flac";
    song.coverPath = "icons/tfm.png";
    std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:d=" +
                          std::to_string(SONG_SECONDS) + "' -c:a flac " + song.filepath;
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot make %s\n", song.filepath.c_str());
        std::exit(1);
    }
    std::ofstream lyrics("music/bench-song.lrc");
    for (int i = 0; i < LYRIC_LINES; ++i) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "[%02d:%02d.00]", (i + 1) / 60, (i + 1) % 60);
        lyrics << tag << "Lyric line number " << i + 1 << " 歌词\n";
    }
    return song;
}

void chooseSkin(int themeId) {
    std::ofstream("config/settings.json")
        << R"({"theme": {"default_theme": )" << themeId
        << R"(, "themes": [[1, "theme_tape", "type"], [2, "theme_record", "record"]]}})";
    Config::getInstance().load("config/settings.json");
}

void linkRuntime(const fs::path& runtime) {
    for (const char* folder : {"icons", "resources", "lan"}) {
        fs::create_directory_symlink(fs::absolute(runtime / folder), folder);
    }
}

void report(const char* name, double milliseconds, double floor) {
    std::printf("%-34s %8.3f ms CPU per frame  %5.2f× floor  %5.2f %% of one core at %.0f ms\n",
                name, milliseconds, milliseconds / floor, 100.0 * milliseconds / FRAME_PACE_MS,
                FRAME_PACE_MS);
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The frame loop of the application, paced as it is, with one press of "songs" on the menu.
void measureStartup(std::size_t songCount) {
    const auto parseStart = std::chrono::steady_clock::now();
    JsonFile::read("config/music_library.json", UINTMAX_MAX);
    const double bareParse = millisecondsSince(parseStart);

    MusicPlayer app;
    const auto launch = std::chrono::steady_clock::now();
    if (!app.init()) {
        std::fprintf(stderr, "the player did not start\n");
        std::exit(1);
    }
    const double menuShown = millisecondsSince(launch);
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym.sym = SDLK_RETURN; // the menu starts on "songs"
    SDL_PushEvent(&press);
    double longestFrame = 0.0;
    for (;;) {
        const auto frameStart = std::chrono::steady_clock::now();
        app.handleEvents();
        app.update();
        app.render();
        const double frame = millisecondsSince(frameStart);
        longestFrame = std::max(longestFrame, frame);
        const auto* songs = dynamic_cast<const SongsPage*>(app.getCurrentPage());
        if (songs && songs->getSongs().size() == songCount) {
            break;
        }
        if (millisecondsSince(launch) > STARTUP_TIMEOUT_MS) {
            std::fprintf(stderr, "the songs list did not show\n");
            std::exit(1);
        }
        SDL_Delay(static_cast<Uint32>(std::max(0.0, FRAME_PACE_MS - frame)));
    }
    const double listShown = millisecondsSince(launch);
    app.cleanup();
    std::printf("\nStart-up with a %zu-song cache (wall ms)\n", songCount);
    std::printf("  bare parse of the cache:            %8.1f\n", bareParse);
    std::printf("  launch to the menu drawn:           %8.1f\n", menuShown);
    std::printf("  launch to the songs list on screen: %8.1f  (one press at the first frame)\n",
                listShown);
    std::printf("  longest frame meanwhile:            %8.1f  (frame pace %.0f)\n", longestFrame,
                FRAME_PACE_MS);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <runtime folder> [songs] [frames]\n", argv[0]);
        return 2;
    }
    fs::path runtime = fs::absolute(argv[1]);
    int songCount = argc > 2 ? std::atoi(argv[2]) : 10000;
    int frames = argc > 3 ? std::atoi(argv[3]) : 2000;

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);

    fs::path scratch = fs::temp_directory_path() / ("page-frame-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    fs::current_path(scratch);
    linkRuntime(runtime);
    writeLibrary(songCount);

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER) < 0 || TTF_Init() < 0) {
        std::fprintf(stderr, "SDL start-up failed: %s\n", SDL_GetError());
        return 1;
    }
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
        Dialog dialog(services.input);
        dialog.init(renderer.get(), font.get());
        SDL_Renderer* target = renderer.get();

        BackgroundImage background;
        double floor = measure(frames, [&](int) {
            background.draw(target);
            SDL_RenderPresent(target);
        });

        MainPage mainPage(pageServices, &player, &playList, &dialog);
        mainPage.init(target, font.get());
        double menu = measure(frames, [&](int) {
            mainPage.update();
            mainPage.render();
            SDL_RenderPresent(target);
        });

        SongsPage songsPage(pageServices, &playList, &player, &dialog);
        songsPage.init(target, font.get());
        songsPage.waitForCacheLoad();
        playList.update();
        songsPage.update();
        double songs = measure(frames, [&](int) {
            songsPage.update();
            songsPage.render();
            SDL_RenderPresent(target);
        });
        SDL_Event down{};
        down.type = SDL_KEYDOWN;
        down.key.keysym.sym = SDLK_DOWN;
        double scrolling = measure(frames, [&](int) {
            songsPage.handleEvent(&down);
            songsPage.update();
            songsPage.render();
            SDL_RenderPresent(target);
        });

        Song playing = makePlayingSong();
        playList.clear();
        playList.addSong(playing);
        playList.setPlayer(&player);
        chooseSkin(1);
        if (!playList.play(0)) {
            std::fprintf(stderr, "the bench song does not play\n");
            return 1;
        }
        NowPlayingPage nowPlaying(pageServices, &player, &playList, &dialog);
        nowPlaying.init(target, font.get());
        auto nowPlayingFrame = [&](int) {
            nowPlaying.update();
            nowPlaying.render();
            SDL_RenderPresent(target);
        };
        double tape = measure(frames, nowPlayingFrame);
        chooseSkin(2);
        double record = measure(frames, nowPlayingFrame);
        SDL_Event lyricsKey{};
        lyricsKey.type = SDL_KEYDOWN;
        lyricsKey.key.keysym.sym = SDLK_y;
        nowPlaying.handleEvent(&lyricsKey);
        double lyricsView = measure(frames, nowPlayingFrame);
        bool stillPlaying = player.isPlaying();
        player.stop();

        std::printf("%d songs in the library, %d frames each, software renderer 640×480\n",
                    static_cast<int>(songsPage.getSongs().size()), frames);
        report("floor (backdrop + present)", floor, floor);
        report("main menu", menu, floor);
        report("songs page", songs, floor);
        report("songs page, moving every frame", scrolling, floor);
        report("now playing, tape, playing", tape, floor);
        report("now playing, record, playing", record, floor);
        report("lyrics view, 200 lines, playing", lyricsView, floor);
        if (!stillPlaying) {
            std::printf("(the song had stopped before the last measurement ended)\n");
        }
    }
    measureStartup(static_cast<std::size_t>(songCount));
    TTF_Quit();
    SDL_Quit();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(scratch);
    return 0;
}
