#!/usr/bin/env bash
# Installs the Debian packages the player needs (only the missing ones) and builds one
# configuration incrementally.
#
#   tools/setup.sh packages            install missing packages only
#   tools/setup.sh build <name>        packages, then configure (when the flags changed) and
#                                      build build/<name>
#
# Build names: release (the player and benchmarks), asan (tests under Address- and
# UndefinedBehaviorSanitizer), tsan (tests under ThreadSanitizer), fuzz (libFuzzer targets),
# arm64 (the runtime folder for 64-bit ARM Linux carrying its libraries, packed as an archive,
# and the tests to run under qemu-aarch64; it also installs the cross compiler and the arm64
# libraries through multiarch).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PACKAGES=(
    cmake ninja-build pkg-config g++ clang libclang-rt-14-dev
    libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-gfx-dev
    libavformat-dev libavcodec-dev libavfilter-dev libswresample-dev libswscale-dev libavutil-dev
    libjsoncpp-dev libgtest-dev libgmock-dev
    fonts-wqy-microhei fonts-noto-cjk
    ffmpeg librsvg2-bin
    xvfb xdotool imagemagick x11-utils python3
)

# The cross compiler, the emulator and the arm64 libraries beside the native ones.
ARM64_PACKAGES=(
    g++-aarch64-linux-gnu qemu-user patchelf
    libsdl2-dev:arm64 libsdl2-image-dev:arm64 libsdl2-ttf-dev:arm64 libsdl2-gfx-dev:arm64
    libavformat-dev:arm64 libavcodec-dev:arm64 libavfilter-dev:arm64 libswresample-dev:arm64
    libswscale-dev:arm64 libavutil-dev:arm64
    libjsoncpp-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
    libavdevice59:arm64 zlib1g-dev:arm64 dpkg-dev make
)
# The arm64 ffmpeg tool (unpacked into the build, as it cannot sit beside the native one): the
# emulated sound tests take their reference from it. It also needs libavdevice59:arm64 above.
TARGET_FFMPEG_DIR="$ROOT/build/arm64/target-ffmpeg"
TARGET_TOOLS_DIR="$ROOT/build/arm64/target-tools"
# The console's audio-only FFmpeg, built from Debian's source of the FFmpeg version the native
# build uses: kept outside build/arm64, so that a fresh arm64 build does not build it again.
LEAN_FFMPEG_DIR="$ROOT/build/ffmpeg-arm64"

as_root() {
    if [[ $(id -u) -ne 0 ]]; then
        sudo "$@"
    else
        "$@"
    fi
}

# install_missing_packages <package>...
install_missing_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return
    fi
    echo "Installing missing packages: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

install_arm64_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx arm64; then
        echo "Adding the arm64 architecture to dpkg"
        as_root dpkg --add-architecture arm64
    fi
    install_missing_packages "${ARM64_PACKAGES[@]}"
}

# Unpacks the arm64 ffmpeg package of the installed FFmpeg version and puts an ffmpeg command
# into the target's tools folder for the emulated tests.
prepare_target_ffmpeg() {
    local version
    version="$(dpkg-query -W -f='${Version}' libavcodec59:arm64)"
    local stamp="$TARGET_FFMPEG_DIR/version"
    if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$version" ]]; then
        rm -rf "$TARGET_FFMPEG_DIR"
        mkdir -p "$TARGET_FFMPEG_DIR"
        (cd "$TARGET_FFMPEG_DIR" && apt-get download -q "ffmpeg:arm64=$version")
        dpkg-deb -x "$TARGET_FFMPEG_DIR"/ffmpeg_*_arm64.deb "$TARGET_FFMPEG_DIR/root"
        echo "$version" >"$stamp"
    fi
    mkdir -p "$TARGET_TOOLS_DIR"
    cat >"$TARGET_TOOLS_DIR/ffmpeg" <<EOF
#!/bin/sh
# Decoding runs the arm64 ffmpeg under the emulator: FFmpeg's floating-point decoders and filters
# round differently on each processor, and the tests compare the player's sound with ffmpeg's
# exactly. Making test media from synthetic (lavfi) sources runs the native tool, many times
# faster; the tests decode whatever file it made.
case " \$* " in
    *" lavfi "*) exec /usr/bin/ffmpeg "\$@" ;;
esac
exec qemu-aarch64 "$TARGET_FFMPEG_DIR/root/usr/bin/ffmpeg" "\$@"
EOF
    chmod +x "$TARGET_TOOLS_DIR/ffmpeg"
}

# Makes Debian's source packages reachable: a deb-src entry beside each deb entry of the
# machine's package sources.
add_source_package_entries() {
    local list=/etc/apt/sources.list.d/debian.sources
    echo "Adding deb-src entries to the package sources"
    if [[ -f "$list" ]]; then
        sed 's/^Types: deb$/Types: deb-src/' "$list" |
            as_root tee /etc/apt/sources.list.d/music-player-src.sources >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
            as_root tee /etc/apt/sources.list.d/music-player-src.list >/dev/null
    fi
    as_root apt-get update -q
}

# Unpacks Debian's FFmpeg source of the installed version (once per version) and builds the
# audio-only static FFmpeg from it (tools/ffmpeg/build.sh, again only when something changed).
prepare_lean_ffmpeg() {
    local version
    version="$(dpkg-query -W -f='${Version}' libavcodec-dev:arm64)"
    local stamp="$LEAN_FFMPEG_DIR/source-version"
    if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$version" ]]; then
        if ! apt-get source -q --print-uris "ffmpeg=$version" >/dev/null 2>&1; then
            add_source_package_entries
        fi
        rm -rf "$LEAN_FFMPEG_DIR"
        mkdir -p "$LEAN_FFMPEG_DIR/download"
        (cd "$LEAN_FFMPEG_DIR/download" && apt-get source -q --download-only "ffmpeg=$version")
        dpkg-source --no-check -x "$LEAN_FFMPEG_DIR"/download/ffmpeg_*.dsc "$LEAN_FFMPEG_DIR/source"
        echo "$version" >"$stamp"
    fi
    bash "$ROOT/tools/ffmpeg/build.sh" "$LEAN_FFMPEG_DIR/source" "$LEAN_FFMPEG_DIR/build" \
        "$LEAN_FFMPEG_DIR/prefix" aarch64-linux-gnu-
}

cmake_flags_for() {
    case "$1" in
        release) echo "-DCMAKE_BUILD_TYPE=Release -DMP_BUILD_TESTS=OFF" ;;
        asan) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=address,undefined -DMP_BUILD_TOOLS=OFF" ;;
        tsan) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=thread -DMP_BUILD_TOOLS=OFF" ;;
        fuzz) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=address,undefined -DMP_BUILD_FUZZERS=ON -DMP_BUILD_TESTS=OFF -DMP_BUILD_TOOLS=OFF" ;;
        arm64) echo "-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$ROOT/cmake/aarch64-linux-gnu.cmake -DMP_BUILD_TOOLS=OFF -DMP_BUNDLE_LIBRARIES=ON -DMP_HOST_RUNTIME_DIR=$ROOT/build/release/runtime -DMP_TARGET_TOOLS_DIR=$TARGET_TOOLS_DIR -DMP_FFMPEG_PREFIX=$LEAN_FFMPEG_DIR/prefix" ;;
        *) echo "unknown build name: $1" >&2; exit 2 ;;
    esac
}

# The generator of a build: Ninja, except the tsan build, which uses CMake's default generator so
# that a plain "cmake -S . -B build" keeps working for users and packagers.
generator_for() {
    case "$1" in
        tsan) echo "" ;;
        *) echo "Ninja" ;;
    esac
}

# ccache, when a developer has it, shares compiled objects between build folders and checkouts.
launcher_flags() {
    if command -v ccache >/dev/null 2>&1; then
        echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    fi
}

# Configures build/<name> when it has not been configured with the same flags; later builds
# reuse its cache. A change of flags (here or in the launcher) reaches an existing build.
configure() {
    local name="$1"
    local dir="$ROOT/build/$name"
    local generator flags
    generator="$(generator_for "$name")"
    flags="$(cmake_flags_for "$name") $(launcher_flags)"
    local stamp="$dir/setup-flags.txt"
    if [[ ! -f "$dir/CMakeCache.txt" || ! -f "$stamp" || "$(cat "$stamp")" != "$flags" ]]; then
        # shellcheck disable=SC2086
        CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" ${generator:+-G "$generator"} $flags
        echo "$flags" >"$stamp"
    fi
}

build() {
    configure "$1"
    cmake --build "$ROOT/build/$1" -j "$(nproc)"
}

# The arm64 build takes its artwork and demo library from the native release build, whose
# generators run on this machine; only that part of the release build is made.
build_arm64() {
    install_arm64_packages
    prepare_target_ffmpeg
    prepare_lean_ffmpeg
    configure release
    cmake --build "$ROOT/build/release" -j "$(nproc)" --target runtime
    configure arm64
    cmake --build "$ROOT/build/arm64" -j "$(nproc)"
}

case "${1:-}" in
    packages) install_missing_packages "${PACKAGES[@]}" ;;
    build)
        install_missing_packages "${PACKAGES[@]}"
        if [[ "${2:?build name}" == arm64 ]]; then
            build_arm64
        else
            build "$2"
        fi
        ;;
    *)
        echo "usage: $0 packages | build <release|asan|tsan|fuzz|arm64>" >&2
        exit 2
        ;;
esac
