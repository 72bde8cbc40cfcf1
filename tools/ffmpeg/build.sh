#!/usr/bin/env bash
# Configures and builds the console's audio-only FFmpeg as static libraries (LGPL: no GPL part,
# no external library but zlib), with what tools/ffmpeg/components.txt names, and installs it
# with its pkg-config files into a prefix. Rebuilds only when the table, this script or the
# source changed.
#
#   tools/ffmpeg/build.sh <source folder> <build folder> <install prefix> <cross prefix>
set -euo pipefail

SOURCE="$(cd "$1" && pwd)"
BUILD="$2"
PREFIX="$3"
CROSS="$4" # for example aarch64-linux-gnu-
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
TABLE="$HERE/components.txt"

# enable_flags: one --enable-<kind>=<names> per kind, from the table's format rows (demuxer,
# decoders, parsers) and component rows (decoder, encoder, filter, protocol).
enable_flags() {
    awk '
        /^[[:space:]]*(#|$)/ { next }
        /^\./ {
            add("demuxer", $2); add("decoder", $3); if ($4 != "-") add("parser", $4); next
        }
        { add($1, $2) }
        function add(kind, names,    list, i, n) {
            n = split(names, list, ",")
            for (i = 1; i <= n; i++) if (!seen[kind, list[i]]++) wanted[kind] = wanted[kind] "," list[i]
        }
        END { for (kind in wanted) printf "--enable-%s=%s\n", kind, substr(wanted[kind], 2) }
    ' "$TABLE" | sort
}

configure_flags() {
    cat <<FLAGS
--prefix=$PREFIX
--enable-cross-compile
--cross-prefix=$CROSS
--arch=aarch64
--target-os=linux
--pkg-config=${CROSS}pkg-config
--pkg-config-flags=--static
--toolchain=hardened
--enable-static
--disable-shared
--enable-pic
--disable-debug
--disable-programs
--disable-doc
--disable-avdevice
--disable-postproc
--disable-network
--disable-autodetect
--disable-hwaccels
--disable-everything
--enable-zlib
--enable-avformat
--enable-avcodec
--enable-avfilter
--enable-swresample
--enable-swscale
FLAGS
    enable_flags
}

stamp_of_inputs() {
    {
        configure_flags
        cat "$HERE/build.sh"
        cat "$SOURCE/RELEASE" 2>/dev/null || true
        ls -l --time-style=+%s "$SOURCE/configure"
    } | sha256sum | cut -d' ' -f1
}

STAMP="$PREFIX/build-stamp"
wanted="$(stamp_of_inputs)"
if [[ -f "$STAMP" && "$(cat "$STAMP")" == "$wanted" ]]; then
    echo "Audio-only FFmpeg is up to date in $PREFIX"
    exit 0
fi

rm -rf "$BUILD" "$PREFIX"
mkdir -p "$BUILD"
echo "Configuring the audio-only FFmpeg in $BUILD"
mapfile -t flags < <(configure_flags)
(cd "$BUILD" && "$SOURCE/configure" "${flags[@]}" >configure.log 2>&1) || {
    tail -30 "$BUILD/ffbuild/config.log" >&2
    exit 1
}
echo "Building the audio-only FFmpeg"
make -C "$BUILD" -j "$(nproc)" >"$BUILD/build.log" 2>&1 || {
    tail -30 "$BUILD/build.log" >&2
    exit 1
}
make -C "$BUILD" install >>"$BUILD/build.log" 2>&1
mkdir -p "$PREFIX/share/licenses"
cp "$SOURCE/COPYING.LGPLv2.1" "$SOURCE/LICENSE.md" "$PREFIX/share/licenses/"
echo "$wanted" >"$STAMP"
