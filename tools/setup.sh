#!/usr/bin/env bash
# Installs the Debian packages the player needs (only the missing ones) and builds one
# configuration incrementally.
#
#   tools/setup.sh packages            install missing packages only
#   tools/setup.sh build <name>        packages, then configure (once) and build build/<name>
#
# Build names: release (the player and benchmarks), asan (tests under Address- and
# UndefinedBehaviorSanitizer), tsan (tests under ThreadSanitizer), fuzz (libFuzzer targets).
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

install_missing_packages() {
    local missing=()
    local package
    for package in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [[ $(id -u) -ne 0 ]]; then
        sudo="sudo"
    fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

cmake_flags_for() {
    case "$1" in
        release) echo "-DCMAKE_BUILD_TYPE=Release -DMP_BUILD_TESTS=OFF" ;;
        asan) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=address,undefined -DMP_BUILD_TOOLS=OFF" ;;
        tsan) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=thread -DMP_BUILD_TOOLS=OFF" ;;
        fuzz) echo "-DCMAKE_BUILD_TYPE=Debug -DMP_SANITIZERS=address,undefined -DMP_BUILD_FUZZERS=ON -DMP_BUILD_TESTS=OFF -DMP_BUILD_TOOLS=OFF" ;;
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

build() {
    local name="$1"
    local dir="$ROOT/build/$name"
    local generator
    generator="$(generator_for "$name")"
    if [[ ! -f "$dir/CMakeCache.txt" ]]; then
        # shellcheck disable=SC2046
        CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" ${generator:+-G "$generator"} \
            $(cmake_flags_for "$name") $(launcher_flags)
    fi
    cmake --build "$dir" -j "$(nproc)"
}

case "${1:-}" in
    packages) install_missing_packages ;;
    build)
        install_missing_packages
        build "${2:?build name}"
        ;;
    *)
        echo "usage: $0 packages | build <release|asan|tsan|fuzz>" >&2
        exit 2
        ;;
esac
