#!/usr/bin/env bash
# The shared libraries a runtime folder carries for a machine that may lack them.
#
#   tools/bundle-libraries.sh copy  <readelf> <compiler> <executable> <lib folder>
#   tools/bundle-libraries.sh check <readelf> <compiler> <executable> <lib folder> <emulator>
#
# copy: empties <lib folder> and fills it with every library the executable needs, found by
# following the NEEDED entries of the executable and of each library in turn with the target's
# readelf, and looked up where the target's compiler links them from. The C library's own files
# (the loader, libc, libm, ...: everything of the Debian package owning the executable's program
# interpreter) stay with the target system. Each copied library gets the run path $ORIGIN, so
# that it finds its neighbours wherever the folder is unpacked, and is stripped of what linking
# and loading do not need.
#
# check: lists the libraries the loader resolves for the executable under the emulator (as ldd
# does) and fails when any of them, apart from the C library's, comes from outside <lib folder>.
set -euo pipefail

usage() {
    echo "usage: $0 copy|check <readelf> <compiler> <executable> <lib folder> [<emulator>]" >&2
    exit 2
}

(($# >= 5)) || usage
MODE="$1"
READELF="$2"
COMPILER="$3"
EXECUTABLE="$4"
LIB_DIR="$5"
STRIP="${READELF%readelf}strip" # the target's strip, beside its readelf

program_interpreter() {
    "$READELF" -l "$1" | sed -n 's/.*\[Requesting program interpreter: \(.*\)\]/\1/p'
}

INTERPRETER="$(program_interpreter "$EXECUTABLE")"
if [[ -z "$INTERPRETER" ]]; then
    echo "$EXECUTABLE has no program interpreter" >&2
    exit 1
fi

# File names of the C library's shared objects, from the package that owns the loader.
declare -A SYSTEM_LIBRARY=()
load_system_libraries() {
    local package
    package="$(dpkg-query -S "$INTERPRETER" | cut -d: -f1-2)"
    local name
    while read -r name; do
        SYSTEM_LIBRARY["$name"]=1
    done < <(dpkg-query -L "$package" | grep -o '[^/]*\.so[.0-9]*$')
}

needed_libraries() {
    "$READELF" -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
}

# Folders of an object's own run path, with $ORIGIN made its folder, one a line.
run_path_folders() {
    local origin
    origin="$(dirname "$1")"
    "$READELF" -d "$1" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p' | tr ':' '\n' |
        sed "s|\$ORIGIN|$origin|; s|\${ORIGIN}|$origin|"
}

# library_file <name> <object needing it>: the file the loader would take, looking first in the
# object's run path and then where the target's linker looks; nothing when it is missing.
library_file() {
    local folder
    while read -r folder; do
        if [[ -n "$folder" && -e "$folder/$1" ]]; then
            echo "$folder/$1"
            return
        fi
    done < <(run_path_folders "$2")
    local found
    found="$("$COMPILER" -print-file-name="$1")"
    if [[ "$found" == /* && -e "$found" ]]; then
        echo "$found"
    fi
}

copy_libraries() {
    rm -rf "$LIB_DIR"
    mkdir -p "$LIB_DIR"
    declare -A seen=()
    local queue=("$EXECUTABLE")
    while ((${#queue[@]} > 0)); do
        local object="${queue[0]}"
        queue=("${queue[@]:1}")
        local name
        for name in $(needed_libraries "$object"); do
            if [[ -n "${seen[$name]:-}" || -n "${SYSTEM_LIBRARY[$name]:-}" ]]; then
                continue
            fi
            seen["$name"]=1
            local source
            source="$(library_file "$name" "$object")"
            if [[ -z "$source" ]]; then
                echo "$name, needed by $object, is not installed for the target" >&2
                exit 1
            fi
            cp -L "$source" "$LIB_DIR/$name"
            chmod u+w "$LIB_DIR/$name"
            # shellcheck disable=SC2016 # $ORIGIN is for the loader, not the shell
            patchelf --set-rpath '$ORIGIN' "$LIB_DIR/$name"
            "$STRIP" --strip-unneeded "$LIB_DIR/$name"
            queue+=("$source")
        done
    done
    echo "Bundled ${#seen[@]} libraries into $LIB_DIR"
}

# Lines of the loader's listing: "name => path (address)", or "path (address)" for the loader.
check_libraries() {
    local emulator="$1"
    local lib_dir
    lib_dir="$(cd "$LIB_DIR" && pwd)"
    local listing
    listing="$($emulator "$INTERPRETER" --list "$EXECUTABLE")"
    echo "$listing"
    local failures=0 name arrow path
    while read -r name arrow path _; do
        if [[ "$arrow" != "=>" || -n "${SYSTEM_LIBRARY[$name]:-}" ]]; then
            continue
        fi
        if [[ "$(dirname "$path")" != "$lib_dir" ]]; then
            echo "$name is not taken from $lib_dir: $path" >&2
            failures=$((failures + 1))
        fi
    done <<<"$listing"
    if ((failures > 0)); then
        exit 1
    fi
    echo "Every library resolves to $lib_dir or the C library"
}

load_system_libraries
case "$MODE" in
    copy) copy_libraries ;;
    check)
        (($# >= 6)) || usage
        check_libraries "$6"
        ;;
    *) usage ;;
esac
