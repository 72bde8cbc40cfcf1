#include "app/MusicPlayer.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    return MusicPlayer::runApplication();
}
