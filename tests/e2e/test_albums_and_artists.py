"""Albums and artists on the demo library (three albums), in both skins: the cover carousel,
an album's songs with its cover, playing the album's first song and hearing the album go on
(sound captured through SDL's disk audio driver and compared with FFmpeg's own decoding of the
songs); a rescan that adds an album shows it in the carousel; an artist's songs play from the
artist detail page and go on through the artist's songs."""

import json
import math
import os
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402
from test_browse_and_play import marker_row  # noqa: E402

TAPE = 1
RECORD = 2
RATE = 44100
ENVELOPE_FRAMES = 441  # 10 ms
MATCH_WINDOWS = 250  # 2.5 s of envelope
NEW_ALBUM = "Zebra Tones"
NEW_ARTIST = "Tone Maker"
NEW_TONES = (440, 660)
CAROUSEL_AREA = (0, 40, 640, 400)


def configure(skin):
    def prepare(runtime):
        path = os.path.join(runtime, "config", "settings.json")
        with open(path, encoding="utf-8") as file:
            settings = json.load(file)
        settings["theme"]["default_theme"] = skin
        settings["display"]["backlight"]["timeout"] = 0  # keep the screen on
        with open(path, "w", encoding="utf-8") as file:
            json.dump(settings, file, ensure_ascii=False, indent=2)
    return prepare


def add_tone_album(runtime):
    """Two eight-second tones by a new artist, as a new album of the music folder."""
    folder = os.path.join(runtime, "music", NEW_ARTIST, NEW_ALBUM)
    os.makedirs(folder)
    for number, tone in enumerate(NEW_TONES, start=1):
        subprocess.run(
            ["ffmpeg", "-v", "error", "-y", "-f", "lavfi",
             "-i", f"sine=frequency={tone}:duration=8:sample_rate={RATE}",
             "-c:a", "flac", "-metadata", f"title=Tone {tone}", "-metadata", f"artist={NEW_ARTIST}",
             "-metadata", f"album={NEW_ALBUM}", "-metadata", f"track={number}",
             os.path.join(folder, f"0{number} Tone {tone}.flac")],
            check=True)


def start(arguments, display, name, skin):
    player = harness.PlayerProcess(arguments.runtime, os.path.join(arguments.artifacts, name),
                                   display, prepare=configure(skin))
    player.wait_for_window()
    player.wait_for_file("config/music_library.json")
    time.sleep(1.0)
    return player


def library(player):
    with open(player.path("config/music_library.json"), encoding="utf-8") as file:
        return json.load(file)


# --- sound ---

def mono(data):
    samples = struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 4 * 4])
    return [(samples[i] + samples[i + 1]) / 2 for i in range(0, len(samples), 2)]


def captured(player):
    with open(player.audio_path, "rb") as file:
        return mono(file.read())


def reference(player, song_path):
    """FFmpeg's decoding of a song as the player's device takes it."""
    result = subprocess.run(["ffmpeg", "-v", "error", "-i", player.path(song_path), "-f", "s16le",
                             "-ac", "2", "-ar", str(RATE), "-"], capture_output=True, check=True)
    return mono(result.stdout)


def envelope(samples):
    return [math.sqrt(sum(v * v for v in samples[i:i + ENVELOPE_FRAMES]) / ENVELOPE_FRAMES)
            for i in range(0, len(samples) - ENVELOPE_FRAMES + 1, ENVELOPE_FRAMES)]


def correlation(a, b):
    mean_a, mean_b = sum(a) / len(a), sum(b) / len(b)
    da = [x - mean_a for x in a]
    db = [y - mean_b for y in b]
    norm = math.sqrt(sum(x * x for x in da) * sum(y * y for y in db))
    return sum(x * y for x, y in zip(da, db)) / norm if norm else 0.0


def best_match(capture_envelope, song_samples):
    """How well the opening of a song matches any stretch of the capture (Pearson correlation
    of the loudness envelopes, at the best offset)."""
    song = envelope(song_samples)
    first = next((i for i, v in enumerate(song) if v > 100), 0)
    opening = song[first:first + MATCH_WINDOWS]
    best = 0.0
    for offset in range(0, len(capture_envelope) - len(opening) + 1):
        best = max(best, correlation(capture_envelope[offset:offset + len(opening)], opening))
    return best


def wait_for_song(player, songs, expected, timeout=90):
    """Waits until the capture holds the opening of songs[expected] and fits it better than the
    opening of any other of the songs."""
    deadline = time.time() + timeout
    scores = []
    while time.time() < deadline:
        capture = envelope(captured(player))
        if len(capture) > MATCH_WINDOWS + 50:
            scores = [best_match(capture, song) for song in songs]
            others = [score for index, score in enumerate(scores) if index != expected]
            if scores[expected] > 0.9 and scores[expected] > max(others, default=0.0) + 0.05:
                return scores
        time.sleep(0.3)
    raise harness.Failure(f"song {expected} was not heard; openings matched {scores}")


def wait_for_tone(player, tone, timeout=60):
    """Waits until the last half second of captured sound is the tone (zero crossings)."""
    deadline = time.time() + timeout
    heard = None
    while time.time() < deadline:
        samples = [v for v in captured(player) if v != 0]
        window = samples[-RATE // 2:]
        if len(window) == RATE // 2:
            crossings = sum(1 for a, b in zip(window, window[1:]) if (a < 0) != (b < 0))
            heard = crossings / 2 / 0.5
            if abs(heard - tone) < 10:
                return
        time.sleep(0.3)
    raise harness.Failure(f"the {tone} Hz song was not heard (last heard {heard} Hz)")


# --- screens ---

def settled_shot(player, name):
    time.sleep(0.7)  # the carousel's slide comes to rest
    return player.screenshot(name)


def colours_in(shot, box=CAROUSEL_AREA):
    return harness.pixel_colours(shot, box)


def check_carousel(shot, skin_name):
    colours = colours_in(shot)
    check(len(colours) > 200, f"the {skin_name} carousel looks blank ({len(colours)} colours)")
    caption = harness.pixel_colours(shot, (0, 380, 640, 100))
    bright = sum(count for colour, count in caption.items() if min(colour) > 150)
    check(bright > 50, f"no caption under the {skin_name} carousel")


def same_screen(a, b):
    return colours_in(a) == colours_in(b)


def count_albums(player, prefix):
    """Goes to the first album, then steps right until the screen stops changing."""
    player.key(*(["Left"] * 6), pause=0.1)
    shot = settled_shot(player, f"{prefix}-album-1")
    count = 1
    while count < 10:
        player.key("Right")
        next_shot = settled_shot(player, f"{prefix}-album-{count + 1}")
        if same_screen(shot, next_shot):
            return count
        shot = next_shot
        count += 1
    return count


def close_and_check(player):
    player.close_window()
    status = player.wait_for_exit()
    errors = player.errors()
    check(status == 0, f"exit status {status}; stderr:\n{errors}")
    check("AddressSanitizer" not in errors and "runtime error" not in errors,
          f"sanitizer report:\n{errors}")


def album_and_continuation(arguments, display):
    """Tape skin: browse the carousel, open the first album, play its first song, hear the
    second follow."""
    player = start(arguments, display, "tape", TAPE)
    try:
        first_album = library(player)["albums"][0]
        player.key("Down", "Return")  # menu entry 1: albums
        first = settled_shot(player, "albums-tape")
        check_carousel(first, "tape")
        player.key("Right")
        second = settled_shot(player, "albums-tape-second")
        check(not same_screen(first, second), "Right did not move the carousel")
        player.key("Left")
        settled_shot(player, "albums-tape-back")

        player.key("Return")
        shot = player.screenshot("album-detail-tape")
        check(marker_row(shot, 30, 55) == 0, "the album's first song is not selected")
        songs = [reference(player, song["filepath"]) for song in first_album["songs"]]
        player.key("Return")
        wait_for_song(player, songs, 0)
        player.screenshot("album-playing")
        wait_for_song(player, songs, 1)
        close_and_check(player)
    finally:
        player.finish()


def rescan_and_artist(arguments, display):
    """Record skin: browse the carousel and an album; a rescan after a new album was added shows
    it; the new artist's first song plays and the second follows."""
    player = start(arguments, display, "record", RECORD)
    try:
        player.key("Down", "Return")
        shot = settled_shot(player, "albums-record")
        check_carousel(shot, "record")
        check(count_albums(player, "before-rescan") == 3, "the demo library has three albums")
        player.key("Return")
        player.screenshot("album-detail-record")
        player.key("Escape", "Escape")

        add_tone_album(player.runtime_copy)
        written = os.path.getmtime(player.path("config/music_library.json"))
        player.key("F5")
        deadline = time.time() + 120
        while os.path.getmtime(player.path("config/music_library.json")) == written:
            check(time.time() < deadline, "the rescan did not finish")
            time.sleep(0.2)
        time.sleep(1.0)
        player.key("Return")  # the menu still points at the albums
        check(count_albums(player, "after-rescan") == 4, "the new album is not in the carousel")
        player.key("Escape", "Down", "Return")  # artists

        names = sorted({song["artist"].encode() for song in library(player)["songs"]})
        row = names.index(NEW_ARTIST.encode())
        player.key(*(["Down"] * row))
        shot = player.screenshot("artists")
        check(marker_row(shot, 30, 55) == row, f"the artist row {row} is not selected")
        player.key("Return")
        player.screenshot("artist-detail-record")
        artist_songs = [song for song in library(player)["songs"] if song["artist"] == NEW_ARTIST]
        tones = [int(song["title"].split()[-1]) for song in artist_songs]
        player.key("Return")
        wait_for_tone(player, tones[0])
        wait_for_tone(player, tones[1])
        player.screenshot("artist-playing")
        close_and_check(player)
    finally:
        player.finish()


def test(arguments, display):
    album_and_continuation(arguments, display)
    rescan_and_artist(arguments, display)


if __name__ == "__main__":
    harness.run(test)
