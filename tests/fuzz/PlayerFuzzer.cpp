// Plays fuzz input as an audio file through the real Player, with and without the equalizer and
// with a seek. Whatever the bytes, loadSong either turns the file down or the song plays and
// ends; nothing may crash or hang.
#include "FuzzSupport.h"

#include "audio/Player.h"
#include "model/Song.h"

extern "C" {
#include <libavutil/log.h>
}

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr Uint64 SONG_END_TIMEOUT_MS = 8000;
constexpr int EVENT_WAIT_MS = 5;
const std::vector<float> SHAPED_GAINS = {6.0f, 0.0f, -4.0f, 0.0f, 3.0f,
                                         0.0f, 0.0f, -6.0f, 0.0f, 9.0f};

Player& player() {
    static Player* instance = [] {
        av_log_set_level(AV_LOG_QUIET);
        // Render as fast as possible into nothing.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
        if (SDL_Init(SDL_INIT_EVENTS) < 0) {
            std::abort();
        }
        return new Player(); // lives as long as the fuzzer
    }();
    return *instance;
}

void waitForSongEnd(const bool& ended) {
    Uint64 deadline = SDL_GetTicks64() + SONG_END_TIMEOUT_MS;
    SDL_Event event;
    while (!ended) {
        if (SDL_GetTicks64() > deadline) {
            std::fprintf(::stderr, "the song never ended\n");
            std::abort();
        }
        if (SDL_WaitEventTimeout(&event, EVENT_WAIT_MS)) {
            player().handleEvent(&event);
        }
        player().update(); // as the frame loop does, event or not
    }
}

} // namespace

MP_FILE_FUZZER("input") {
    bool ended = false;
    player().setSongEndCallback([&ended] { ended = true; });
    bool equalized = size > 0 && (data[size - 1] & 1);
    player().setEQGains(equalized ? SHAPED_GAINS : std::vector<float>());
    Song song;
    song.filepath = path;
    if (player().loadSong(song)) {
        player().play();
        if (size > 1 && (data[size - 2] & 1)) {
            player().fastForward(1);
        }
        waitForSongEnd(ended);
    }
    player().setSongEndCallback(nullptr);
}
