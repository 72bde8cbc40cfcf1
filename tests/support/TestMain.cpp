#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

namespace {

// SDL loads the Mesa EGL libraries for an accelerated renderer on the offscreen driver and
// unloads them at SDL_Quit, which turns their caches into leak reports without a module name.
// Keeping them loaded for the life of the test program keeps those caches reachable.
void keepGraphicsLibrariesLoaded() {
    for (const char* library : {"libEGL.so.1", "libEGL_mesa.so.0"}) {
        dlopen(library, RTLD_NOW | RTLD_NODELETE);
    }
}

} // namespace

// SDL runs headless in the test programs: no window system and no sound card, unless a test
// chooses a driver of its own (for example the disk audio driver to capture sound).
int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    keepGraphicsLibrariesLoaded();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
