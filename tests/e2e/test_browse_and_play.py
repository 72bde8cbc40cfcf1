"""A first start on a music folder without a library cache: the loading dialog turns while the
folder is scanned; the songs page lists the library; Return plays the highlighted song (its
sound is captured through SDL's disk audio driver) and opens the now-playing page, whose back
returns to the list; F adds it to the favourites; the favourites
page lists it and removes it after confirmation; the side panel's exit entry quits."""

import json
import os
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402

SONG_COUNT = 24
DIALOG_BOX = (40, 40, 40)


def tone_of(index):
    return 300 + 40 * index


def make_music_folder(runtime):
    """Replaces the demo library with generated songs, each a tone of its own, with a cover
    picture, so that the scan takes long enough to watch."""
    music = os.path.join(runtime, "music")
    shutil.rmtree(music, ignore_errors=True)
    os.makedirs(os.path.join(music, "Generated"))
    for index in range(SONG_COUNT):
        path = os.path.join(music, "Generated", f"tone-{tone_of(index)}.flac")
        subprocess.run(
            ["ffmpeg", "-v", "error", "-y",
             "-f", "lavfi", "-i", f"sine=frequency={tone_of(index)}:duration=12:sample_rate=44100",
             "-f", "lavfi", "-i", "testsrc=size=500x500:rate=1:duration=1",
             "-map", "0:a", "-map", "1:v", "-c:a", "flac", "-c:v", "png", "-frames:v", "1",
             "-disposition:v", "attached_pic",
             "-metadata", f"title=Tone {tone_of(index)}", "-metadata", "artist=Generator",
             "-metadata", "album=Tones", path],
            check=True)
    settings_path = os.path.join(runtime, "config", "settings.json")
    with open(settings_path, encoding="utf-8") as file:
        settings = json.load(file)
    settings["display"]["backlight"]["timeout"] = 0  # keep the screen on during the test
    with open(settings_path, "w", encoding="utf-8") as file:
        json.dump(settings, file, ensure_ascii=False, indent=2)


def dominant_frequency(raw_path, seconds=1.0):
    """Estimates the frequency of a captured 16-bit stereo 44.1 kHz tone from the zero
    crossings of its left channel, skipping silence."""
    with open(raw_path, "rb") as file:
        data = file.read()
    samples = struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 2 * 2])
    left = [samples[i] for i in range(0, len(samples), 2)]
    start = next((i for i, value in enumerate(left) if abs(value) > 1000), None)
    check(start is not None, "no sound was captured")
    window = left[start + 2000: start + 2000 + int(44100 * seconds)]
    check(len(window) > 44100 * seconds * 0.9, f"only {len(window)} samples of sound captured")
    crossings = sum(1 for a, b in zip(window, window[1:]) if (a < 0) != (b < 0))
    return crossings / 2 / (len(window) / 44100)


def wait_for_loading_dialog(player):
    """Screenshots until one shows the loading dialog: its box and the turning arc."""
    deadline = time.time() + 30
    while time.time() < deadline:
        shot = player.screenshot("loading")
        box = harness.pixel_colours(shot, (125, 200, 10, 10))
        arc = harness.pixel_colours(shot, (300, 280, 40, 40))
        white = sum(count for colour, count in arc.items() if min(colour) > 200)
        if box.get(DIALOG_BOX, 0) == 100 and white > 30:
            return shot
        os.remove(shot)
        player.screenshot_count -= 1
        check(not os.path.exists(player.path("config/music_library.json")),
              "the scan ended before the loading dialog was seen")
    raise harness.Failure("the loading dialog did not appear")


def test(arguments, display):
    player = harness.PlayerProcess(arguments.runtime, arguments.artifacts, display,
                                   prepare=make_music_folder)
    try:
        player.wait_for_window()
        wait_for_loading_dialog(player)
        player.wait_for_file("config/music_library.json")
        time.sleep(0.5)
        with open(player.path("config/music_library.json"), encoding="utf-8") as file:
            library = json.load(file)
        check(len(library["songs"]) == SONG_COUNT, f"{len(library['songs'])} songs in the cache")

        player.key("Return")  # the first menu entry: songs
        shot = player.screenshot("songs")
        check(harness.marker_row(shot, 30, 55) == 0,
              "the songs page does not show its first row selected")
        player.key("Down", "Down")
        shot = player.screenshot("songs-third-row")
        check(harness.marker_row(shot, 30, 55) == 2, "Down did not move to the third row")

        expected = library["songs"][2]
        player.key("Return", pause=1.5)
        frequency = dominant_frequency(player.audio_path)
        expected_tone = int(expected["title"].split()[-1])
        check(abs(frequency - expected_tone) < 5,
              f"heard {frequency:.1f} Hz, the third row is {expected['title']}")

        player.key("Escape", pause=0.4)  # from the now-playing page back to the list
        player.key("f", pause=0.4)
        shot = player.screenshot("favourite-added")
        box = harness.pixel_colours(shot, (125, 200, 10, 10))
        check(box.get(DIALOG_BOX, 0) == 100, "no dialog after F")
        with open(player.path("config/like.json"), encoding="utf-8") as file:
            favourites = json.load(file)
        check([song["filepath"] for song in favourites["songs"]] == [expected["filepath"]],
              f"like.json holds {favourites['songs']}")
        time.sleep(2.2)  # the notice closes itself

        player.key("Escape", "Down", "Down", "Down", "Return")  # back, then the favourites
        shot = player.screenshot("favourites")
        check(harness.marker_row(shot, 35, 55) == 0, "the favourites page shows no selected row")
        player.key("Delete", pause=0.4)
        shot = player.screenshot("remove-confirmation")
        ok_button = harness.pixel_colours(shot, (212, 287, 10, 10))
        check(ok_button.get((0, 255, 0), 0) == 100, "no confirmation dialog")
        player.key("Return", pause=0.5)
        shot = player.screenshot("favourites-empty")
        check(harness.marker_row(shot, 35, 55) is None, "a row is still listed")
        with open(player.path("config/like.json"), encoding="utf-8") as file:
            check(json.load(file)["songs"] == [], "the favourite was not removed from like.json")

        player.key("Escape", "Tab", pause=0.6)
        player.screenshot("panel")
        player.key("Up", "Return")  # the panel's last entry: exit
        status = player.wait_for_exit()
        errors = player.errors()
        check(status == 0, f"exit status {status}; stderr:\n{errors}")
        check("ERROR: AddressSanitizer" not in errors and "runtime error" not in errors,
              f"sanitizer report:\n{errors}")
    finally:
        player.finish()


if __name__ == "__main__":
    harness.run(test)
