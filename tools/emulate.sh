#!/bin/sh
# emulate.sh <tools folder> <emulator> <program> [arguments...]
# Runs a program built for another processor under the emulator with <tools folder> first in
# PATH, so that the command-line tools it starts by name are the target's own, emulated too.
tools="$1"
emulator="$2"
shift 2
PATH="$tools:$PATH"
export PATH
exec "$emulator" "$@"
