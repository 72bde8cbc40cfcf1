"""Albums and artists in both skins on the demo library (three albums) and an added album of two
tones: the cover carousel and an album's songs beside its cover; a rescan shows the added album;
its first song played from the album, and from its artist, is heard (captured through SDL's disk
audio driver) and followed by the second."""

import json
import os
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402
from test_browse_and_play import marker_row  # noqa: E402

RATE = 44100
NEW_ARTIST, NEW_ALBUM, TONES = "Tone Maker", "Zebra Tones", (440, 660)
CAROUSEL = (0, 40, 640, 400)


def add_tone_album(runtime):
    folder = os.path.join(runtime, "music", NEW_ARTIST, NEW_ALBUM)
    os.makedirs(folder)
    for tone in TONES:
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                        f"sine=frequency={tone}:duration=8", "-metadata", f"title=Tone {tone}",
                        "-metadata", f"artist={NEW_ARTIST}", "-metadata", f"album={NEW_ALBUM}",
                        os.path.join(folder, f"Tone {tone}.flac")], check=True)


def start(arguments, display, skin, with_tone_album):
    def prepare(runtime):
        path = os.path.join(runtime, "config", "settings.json")
        with open(path, encoding="utf-8") as file:
            settings = json.load(file)
        settings["theme"]["default_theme"] = skin
        settings["display"]["backlight"]["timeout"] = 0
        with open(path, "w", encoding="utf-8") as file:
            json.dump(settings, file, ensure_ascii=False)
        if with_tone_album:
            add_tone_album(runtime)
    player = harness.PlayerProcess(arguments.runtime, os.path.join(arguments.artifacts, str(skin)),
                                   display, prepare=prepare)
    player.wait_for_window()
    player.wait_for_file("config/music_library.json")
    time.sleep(1.0)
    return player


def library(player):
    with open(player.path("config/music_library.json"), encoding="utf-8") as file:
        return json.load(file)


def wait_for_tones(player, songs, timeout=60):
    """Until the last half second of captured sound is each song's tone in turn."""
    deadline, heard = time.time() + timeout, None
    for tone in [int(song["title"].split()[-1]) for song in songs if song["artist"] == NEW_ARTIST]:
        while abs((heard or 0) - tone) >= 10:
            check(time.time() < deadline, f"the {tone} Hz song was not heard (last {heard} Hz)")
            time.sleep(0.3)
            if not os.path.exists(player.audio_path):
                continue
            with open(player.audio_path, "rb") as file:
                data = file.read()
            left = [v for v in struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 2 * 2])[::2]
                    if v != 0][-RATE // 2:]
            if len(left) == RATE // 2:  # crossings in half a second: the frequency
                heard = sum(1 for a, b in zip(left, left[1:]) if (a < 0) != (b < 0))


def carousel(player, name):
    time.sleep(0.7)  # the slide comes to rest
    shot = player.screenshot(name)
    return shot, harness.pixel_colours(shot, CAROUSEL)


def browse(player, skin_name):
    """The carousel is drawn with a caption and moves; the album opens on its first song."""
    shot, first = carousel(player, f"albums-{skin_name}")
    check(len(first) > 200, "the carousel looks blank")
    caption = harness.pixel_colours(shot, (0, 380, 640, 100))
    check(sum(n for colour, n in caption.items() if min(colour) > 150) > 50, "no caption")
    player.key("Right")
    check(carousel(player, f"albums-{skin_name}-second")[1] != first, "Right did not move")
    player.key("Left", "Return")
    shot = player.screenshot(f"album-detail-{skin_name}")
    check(marker_row(shot, 30, 55) == 0, "the album does not open on its first song")


def count_albums(player, prefix):
    """Opens the albums page and, from the first album, steps right until the carousel stops."""
    player.key("Return", *(["Left"] * 6), pause=0.1)
    colours = carousel(player, f"{prefix}-1")[1]
    for count in range(1, 10):
        player.key("Right")
        following = carousel(player, f"{prefix}-{count + 1}")[1]
        if following == colours:
            return count
        colours = following
    return 10


def close_and_check(player):
    player.close_window()
    status, errors = player.wait_for_exit(), player.errors()
    check(status == 0, f"exit status {status}; stderr:\n{errors}")
    check("AddressSanitizer" not in errors and "runtime error" not in errors, errors)


def tape_rescan_and_album(arguments, display):
    player = start(arguments, display, 1, with_tone_album=False)
    try:
        player.key("Down", "Return")  # menu entry 1: albums
        browse(player, "tape")
        player.key("Escape", "Escape")
        check(count_albums(player, "before-rescan") == 3, "the demo library has three albums")
        add_tone_album(player.runtime_copy)
        written = os.path.getmtime(player.path("config/music_library.json"))
        player.key("Escape", "F5")  # rescan from the main menu
        deadline = time.time() + 120
        while os.path.getmtime(player.path("config/music_library.json")) == written:
            check(time.time() < deadline, "the rescan did not finish")
            time.sleep(0.2)
        time.sleep(1.0)
        check(count_albums(player, "after-rescan") == 4, "the new album is not shown")

        albums = library(player)["albums"]
        index = [album["name"] for album in albums].index(NEW_ALBUM)
        player.key(*(["Left"] * 6), pause=0.1)
        player.key(*(["Right"] * index), "Return")
        player.screenshot("tone-album")
        player.key("Return")
        wait_for_tones(player, albums[index]["songs"])
        player.screenshot("album-playing")
        close_and_check(player)
    finally:
        player.finish()


def record_and_artist(arguments, display):
    player = start(arguments, display, 2, with_tone_album=True)
    try:
        player.key("Down", "Return")
        browse(player, "record")
        player.key("Escape", "Escape", "Down", "Return")  # artists
        names = sorted({song["artist"].encode() for song in library(player)["songs"]})
        row = names.index(NEW_ARTIST.encode())
        player.key(*(["Down"] * row))
        check(marker_row(player.screenshot("artists"), 30, 55) == row, f"artist {row} not chosen")
        player.key("Return")
        player.screenshot("artist-detail-record")
        player.key("Return")
        wait_for_tones(player, library(player)["songs"])
        player.screenshot("artist-playing")
        close_and_check(player)
    finally:
        player.finish()


def test(arguments, display):
    tape_rescan_and_album(arguments, display)
    record_and_artist(arguments, display)


if __name__ == "__main__":
    harness.run(test)
