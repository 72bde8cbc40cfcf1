#include <gtest/gtest.h>

#include <cstdlib>

// SDL runs headless in the test programs: no window system and no sound card, unless a test
// chooses a driver of its own (for example the disk audio driver to capture sound).
int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
