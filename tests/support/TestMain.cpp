#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

// Sanitizer settings compiled into every test program, so that running a test directly
// behaves like running it through ctest.
extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __tsan_default_options() {
    return "halt_on_error=1:second_deadlock_stack=1";
}

// Leaks inside system libraries that the program cannot free (window-system and driver caches).
const char* __lsan_default_suppressions() {
    return "leak:libX11.so\n"
           "leak:libxcb.so\n"
           "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libEGL_mesa.so\n"
           "leak:libgallium\n"
           "leak:swrast_dri.so\n"
           "leak:libLLVM\n";
}

// Uninstrumented sound libraries that SDL may load.
const char* __tsan_default_suppressions() {
    return "called_from_lib:libasound.so\n"
           "called_from_lib:libpulse.so\n";
}

} // extern "C"

// SDL runs headless in the test programs: no window system and no sound card, unless a test
// chooses a driver of its own (for example the disk audio driver to capture sound).
int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // SDL's own software renderer, also behind the window's surface: no GL driver at all.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    // SDL loads libudev for game controllers and unloads it at SDL_Quit, which turns its caches
    // into leak reports without a module name. Keeping it loaded keeps those caches reachable.
    dlopen("libudev.so.1", RTLD_NOW | RTLD_NODELETE);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
