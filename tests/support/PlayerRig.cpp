#include "support/PlayerRig.h"

PlayerRig::PlayerRig(int diskDelayMs) : capture(diskDelayMs), player(std::make_unique<Player>()) {
    player->setSongEndCallback([this] { ++songEnds; });
}

Song PlayerRig::songAt(const std::string& path) {
    Song song;
    song.filepath = path;
    return song;
}

bool PlayerRig::load(const std::string& path, const std::string& captureFile) {
    capture.captureTo(captureFile);
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

std::vector<int16_t> PlayerRig::finish(const std::string& captureFile) {
    player.reset();
    return SoundCapture::read(captureFile);
}

bool PlayerRig::waitForPosition(double seconds) {
    return pump.pumpUntil(
        *player, [&] { return player->getCurrentTime() >= seconds; }, SONG_TIMEOUT_MS);
}

std::string PlayerRig::errorLines(const std::string& text) {
    std::string lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(start, 8, "[ERROR] ") == 0) {
            lines += text.substr(start, end - start);
        }
        start = end;
    }
    return lines;
}
