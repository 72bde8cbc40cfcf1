#include "nowplaying/Transport.h"

#include "audio/Player.h"
#include "library/PlayList.h"

#include <algorithm>

namespace Transport {

namespace {

constexpr int MIN_VOLUME = 0;
constexpr int MAX_VOLUME = 100;

} // namespace

void togglePlayPause(Player* player) {
    if (!player) {
        return;
    }
    if (player->isPlaying()) {
        player->pause();
    } else {
        player->play();
    }
}

void stepVolume(Player* player, int step) {
    if (player) {
        player->setVolume(std::clamp(player->getVolume() + step, MIN_VOLUME, MAX_VOLUME));
    }
}

void skip(PlayList* playlist, int step) {
    if (!playlist) {
        return;
    }
    if (step < 0) {
        playlist->playPrevious();
    } else {
        playlist->playNext();
    }
}

} // namespace Transport
