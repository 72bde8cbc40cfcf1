#!/bin/sh
# Starts the player from its own folder, whatever folder the console's launcher starts it in:
# every path the player uses is relative to its working directory.
cd "$(dirname "$0")" || exit 1
exec ./music-player "$@"
