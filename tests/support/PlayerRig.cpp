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
