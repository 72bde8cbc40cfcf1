#!/usr/bin/env bash
# Start-up of the arm64 runtime folder under qemu-aarch64: the time from starting the player to
# its first presented frame (the blank one it shows as soon as it has a window) and to its first
# drawn menu frame (the second), each the least of a few runs. SDL's dummy video driver writes
# every presented frame to a file, whose time is when the frame was presented.
#
#   tools/bench/arm64_startup.sh [runtime folder] [runs]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
RUNTIME="$(cd "${1:-$ROOT/build/arm64/runtime}" && pwd)"
RUNS="${2:-5}"
TIMEOUT_SECONDS=120

frame_file() {
    find "$1" -maxdepth 1 -name "SDL_window*-$(printf '%08d' "$2").bmp" | head -1
}

# Prints the seconds to the first and to the second frame of one start.
one_run() {
    local work
    work="$(mktemp -d)"
    cp -a "$RUNTIME/." "$work/"
    rm -f "$work/config/playback_state.json"
    local start
    start="$(date +%s.%N)"
    (cd "$work" && SDL_VIDEODRIVER=dummy SDL_VIDEO_DUMMY_SAVE_FRAMES=1 SDL_AUDIODRIVER=dummy \
        exec qemu-aarch64 ./music-player >/dev/null 2>&1) &
    local player=$!
    local deadline=$((SECONDS + TIMEOUT_SECONDS))
    while [[ -z "$(frame_file "$work" 3)" ]]; do
        if ((SECONDS > deadline)); then
            echo "no menu frame after ${TIMEOUT_SECONDS}s" >&2
            kill "$player" 2>/dev/null || true
            exit 1
        fi
        sleep 0.05
    done
    kill "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    local first menu
    first="$(stat -c %.9Y "$(frame_file "$work" 1)")"
    menu="$(stat -c %.9Y "$(frame_file "$work" 2)")"
    rm -rf "$work"
    echo "$(echo "$first - $start" | bc) $(echo "$menu - $start" | bc)"
}

least() {
    sort -g | head -1
}

firsts=()
menus=()
for ((run = 0; run < RUNS; ++run)); do
    read -r first menu < <(one_run)
    echo "run $((run + 1)): first frame ${first}s, menu ${menu}s"
    firsts+=("$first")
    menus+=("$menu")
done
echo "first frame under qemu-aarch64: $(printf '%s\n' "${firsts[@]}" | least)s (least of $RUNS)"
echo "first menu frame under qemu-aarch64: $(printf '%s\n' "${menus[@]}" | least)s (least of $RUNS)"
