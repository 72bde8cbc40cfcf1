#include "app/MusicPlayer.h"

int main() {
    return MusicPlayer::runApplication();
}
