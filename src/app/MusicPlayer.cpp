#include "app/MusicPlayer.h"

int MusicPlayer::runApplication() { return 0; }
