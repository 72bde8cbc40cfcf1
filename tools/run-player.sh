#!/usr/bin/env bash
# Installs what is missing, builds the player and its runtime folder, and starts it from there.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/tools/setup.sh" build release
cd "$ROOT/build/release/runtime"
exec ./music-player
