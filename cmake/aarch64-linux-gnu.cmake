# Cross-compiles for 64-bit ARM Linux with Debian's cross compiler, against the arm64 libraries
# installed beside the native ones through multiarch (dpkg --add-architecture arm64).
# Programs built here run on this machine under qemu-aarch64, so ctest and the test discovery
# work as in a native build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(MP_TARGET_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${MP_TARGET_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${MP_TARGET_TRIPLET}-g++)
set(PKG_CONFIG_EXECUTABLE ${MP_TARGET_TRIPLET}-pkg-config CACHE FILEPATH "pkg-config for arm64")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
