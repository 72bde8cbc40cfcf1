#include "support/PlayerRig.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

constexpr int POLL_INTERVAL_MS = 5;
// Centre frequency and width in Hz of the ten bands, from the equalizer's description.
constexpr int BANDS[10][2] = {{31, 20},     {62, 40},      {125, 80},    {250, 160},
                              {500, 320},   {1000, 640},   {2000, 1280}, {4000, 2560},
                              {8000, 5120}, {16000, 10240}};

} // namespace

EventPump::EventPump() {
    SDL_InitSubSystem(SDL_INIT_EVENTS);
}

EventPump::~EventPump() {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool EventPump::pumpUntil(const std::function<void()>& frame, const std::function<bool()>& done,
                          int timeoutMs) {
    Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
    for (frame(); !done(); frame()) {
        if (SDL_GetTicks64() > deadline) {
            return false;
        }
        SDL_Event event;
        SDL_WaitEventTimeout(&event, POLL_INTERVAL_MS);
    }
    return true;
}

bool EventPump::pumpUntil(Player& player, const std::function<bool()>& done, int timeoutMs) {
    return pumpUntil([&] { player.update(); }, done, timeoutMs);
}

void EventPump::pumpFor(Player& player, int milliseconds) {
    pumpUntil(
        player, [] { return false; }, milliseconds);
}

PlayerRig::PlayerRig(int diskDelayMs, const std::string& captureFile) : capture(diskDelayMs) {
    restart(captureFile);
}

void PlayerRig::restart(const std::string& file) {
    player.reset();
    captureFile = capture.captureTo(file);
    player = std::make_unique<Player>(BUFFERING, [this] { return nowMs; });
    player->setSongEndCallback([this] { ++songEnds; });
}

Song PlayerRig::songAt(const std::string& path) {
    Song song;
    song.filepath = path;
    return song;
}

std::string PlayerRig::equalizerFilter(const std::vector<float>& gains, int channels) {
    std::string filter = "anequalizer=";
    char band[96];
    for (int index = 0; index < 10; ++index) {
        for (int channel = 0; channel < std::min(channels, 2); ++channel) {
            std::snprintf(band, sizeof band, "%sc%d f=%d w=%d g=%g t=0",
                          index + channel > 0 ? "|" : "", channel, BANDS[index][0], BANDS[index][1],
                          static_cast<double>(gains[index]));
            filter += band;
        }
    }
    return filter;
}

bool PlayerRig::load(const std::string& path) {
    return player->loadSong(songAt(path));
}

bool PlayerRig::playToEnd(int timeoutMs) {
    player->play();
    return waitForSongEnd(timeoutMs);
}

bool PlayerRig::waitForSongEnd(int timeoutMs) {
    int before = songEnds;
    return pump.pumpUntil(
        *player, [&] { return songEnds > before; }, timeoutMs);
}

bool PlayerRig::waitForPosition(double seconds) {
    return pump.pumpUntil(
        *player, [&] { return player->getCurrentTime() >= seconds; }, SONG_TIMEOUT_MS);
}

bool PlayerRig::letBuffersPass(size_t buffers) {
    const size_t until = capturedFrames() + buffers * Player::DEVICE_BUFFER_FRAMES;
    return pump.pumpUntil(
        *player, [&] { return capturedFrames() >= until; }, SONG_TIMEOUT_MS);
}

size_t PlayerRig::capturedFrames() const {
    std::error_code error;
    return std::filesystem::file_size(captureFile, error) / (SoundCapture::CHANNELS * 2);
}

std::vector<int16_t> PlayerRig::finish() {
    player.reset();
    return SoundCapture::read(captureFile);
}

std::string PlayerRig::errorLines(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::string lines;
    while (std::getline(in, line)) {
        if (line.rfind("[ERROR] ", 0) == 0) {
            lines += line + "\n";
        }
    }
    return lines;
}
