#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above its own. The folders of src/
# form layers, lowest first:
#   core (plumbing every subsystem uses)
#   settings, audio, library (the services; they may use each other)
#   ui, pages, app
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

layer_of() {
    case "$1" in
        core) echo 0 ;;
        settings | audio | library) echo 1 ;;
        ui) echo 2 ;;
        pages) echo 3 ;;
        app) echo 4 ;;
        *) echo -1 ;;
    esac
}

status=0
while IFS= read -r file; do
    folder="${file#"$ROOT"/src/}"
    folder="${folder%%/*}"
    own="$(layer_of "$folder")"
    if ((own < 0)); then
        echo "$file: folder $folder is not one of the layers" >&2
        status=1
        continue
    fi
    while IFS= read -r included; do
        target="${included%%/*}"
        theirs="$(layer_of "$target")"
        if ((theirs > own)); then
            echo "${file#"$ROOT"/}: includes $included from a higher layer" >&2
            status=1
        fi
    done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done < <(find "$ROOT/src" -name '*.h' -o -name '*.cpp')
if ((status == 0)); then
    echo "Include layers: every include points down."
fi
exit $status
