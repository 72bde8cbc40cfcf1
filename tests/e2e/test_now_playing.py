"""The now-playing page of the real player: a song started on the songs page opens it; the
captured sound shows that pause holds the position and play resumes it, that seeking moves 5 s
either way, that the volume steps change the level and that next plays the next song of the
queue; the lyrics view opens and closes; back returns to the list. A second start with the record
skin chosen in the settings file draws that skin, and the main menu's now-playing entry opens
the page, whose back then returns to the menu.

Each song is a rising tone, f = base + SWEEP * t, so its frequency tells where in which song the
sound comes from."""

import array
import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402

RATE = 44100
SWEEP = 20.0  # Hz per second of song
SONG_SECONDS = 40
# Titles too long for either skin: the tape makes them smaller, the record player scrolls them.
LONG = ", the long way round the reels"
BASES = {"Rise A" + LONG: 300.0, "Rise B" + LONG: 1300.0, "Rise C" + LONG: 2300.0}
SILENT = 60


def make_music_folder(runtime, theme):
    music = os.path.join(runtime, "music")
    shutil.rmtree(music, ignore_errors=True)
    os.makedirs(os.path.join(music, "Rises"))
    for title, base in BASES.items():
        name = title.split(",")[0].lower().replace(" ", "-")
        path = os.path.join(music, "Rises", name + ".flac")
        chirp = f"aevalsrc=0.5*sin(2*PI*({base}*t+{SWEEP / 2}*t*t)):s={RATE}:d={SONG_SECONDS}"
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", chirp,
                        "-ac", "2", "-c:a", "flac", "-metadata", f"title={title}",
                        "-metadata", "artist=Sweeper", "-metadata", "album=Rises", path],
                       check=True)
        with open(os.path.join(music, "Rises", name + ".lrc"), "w", encoding="utf-8") as file:
            for second in range(0, SONG_SECONDS, 2):
                file.write(f"[00:{second:02d}.00]{title} line {second // 2 + 1}\n")
    settings_path = os.path.join(runtime, "config", "settings.json")
    with open(settings_path, encoding="utf-8") as file:
        settings = json.load(file)
    settings["display"]["backlight"]["timeout"] = 0
    settings["music"]["playback"]["mode"] = "SEQUENCE"
    settings["theme"]["default_theme"] = theme
    with open(settings_path, "w", encoding="utf-8") as file:
        json.dump(settings, file, ensure_ascii=False, indent=2)


class Capture:
    """The sound the player wrote so far, left channel, as 16-bit samples."""

    def __init__(self, player):
        self.player = player

    def offset(self):
        """The number of sample frames written so far."""
        return os.path.getsize(self.player.audio_path) // 4

    def left(self):
        with open(self.player.audio_path, "rb") as file:
            data = array.array("h", file.read()[: self.offset() * 4])
        return data[0::2]


def frequency(samples, start, seconds=0.25):
    window = samples[start: start + int(RATE * seconds)]
    check(len(window) > RATE * seconds * 0.9, f"only {len(window)} samples at {start}")
    check(max(abs(v) for v in window) > SILENT, f"silence at sample {start}")
    crossings = sum(1 for a, b in zip(window, window[1:]) if (a < 0) != (b < 0))
    return crossings / 2 / (len(window) / RATE)


def silent_run_start(samples, start, length=2000):
    """The first index from start on where length silent samples in a row begin."""
    run = 0
    for index in range(start, len(samples)):
        run = run + 1 if abs(samples[index]) <= SILENT else 0
        if run == length:
            return index - length + 1
    raise harness.Failure("no silence after the pause")


def peak(samples, start, seconds=0.25):
    return max(abs(v) for v in samples[start: start + int(RATE * seconds)])


def song_position(title, hz):
    return (hz - BASES[title]) / SWEEP


def wait_for_sound(capture, at_least):
    deadline = time.time() + 20
    while capture.offset() < at_least:
        check(time.time() < deadline, "the captured sound stopped growing")
        time.sleep(0.05)


def check_plays_from_start(capture, title):
    """The song heard at the end of the capture is title, as far in as its sound has run: the
    device plays silence until the song starts, and the page may take a while to show on a busy
    machine."""
    deadline = time.time() + 20
    while True:
        samples = capture.left()
        began = next((i for i, v in enumerate(samples) if abs(v) > SILENT), None)
        if began is not None and len(samples) - began > RATE * 1.5:
            break
        check(time.time() < deadline, "the song was not heard")
        time.sleep(0.1)
    at = len(samples) - RATE // 2
    heard = song_position(title, frequency(samples, at))
    expected = (at - began + RATE // 8) / RATE  # the middle of the measured quarter second
    check(abs(heard - expected) < 1.0,
          f"{title} is heard {heard:.2f} s in after {expected:.2f} s of sound")


def press_and_mark(player, capture, key, settle=1.2):
    """Presses a key; returns the capture offset at the press, once settle seconds followed."""
    mark = capture.offset()
    player.key(key, pause=0)
    wait_for_sound(capture, mark + int(RATE * settle))
    return mark


def screenshot_when(player, name, condition, timeout=15):
    """A screenshot that meets the condition (the page's pictures are read when it is first
    shown, which takes a moment), or None."""
    deadline = time.time() + timeout
    while True:
        shot = player.screenshot(name)
        if condition(shot) or time.time() > deadline:
            return shot if condition(shot) else None
        os.remove(shot)
        player.screenshot_count -= 1
        time.sleep(0.3)


def differing_share(first, second):
    """The share of pixels that differ between two screenshots."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "4%", first, second, "null:"],
                            capture_output=True, text=True)
    return float(result.stderr.split()[0]) / (640 * 480)


def start_player(arguments, display, theme, name):
    player = harness.PlayerProcess(
        arguments.runtime, os.path.join(arguments.artifacts, name), display,
        prepare=lambda runtime: make_music_folder(runtime, theme),
        extra_env={"SDL_DISKAUDIODELAY": "46"})  # the disk audio about as fast as real time
    player.wait_for_window()
    player.wait_for_file("config/music_library.json")
    time.sleep(0.5)
    with open(player.path("config/music_library.json"), encoding="utf-8") as file:
        titles = [song["title"] for song in json.load(file)["songs"]]
    check(sorted(titles) == sorted(BASES), f"the library holds {titles}")
    return player, titles


def check_transport(player, titles):
    capture = Capture(player)
    first = titles[0]
    check_plays_from_start(capture, first)

    paused_at = press_and_mark(player, capture, "space")
    resumed_at = press_and_mark(player, capture, "space")
    samples = capture.left()
    gap = silent_run_start(samples, paused_at - RATE // 2)
    back = next(i for i in range(gap, len(samples)) if abs(samples[i]) > SILENT)
    check(back - gap > RATE * 0.8, f"only {(back - gap) / RATE:.2f} s of silence while paused")
    before = song_position(first, frequency(samples, gap - RATE // 4 - 200))
    after = song_position(first, frequency(samples, back + 200))
    check(abs(after - before - 0.26) < 0.4,
          f"paused at {before:.2f} s of the song, resumed at {after:.2f} s")

    for key, step in (("d", 5.0), ("a", -5.0)):
        mark = press_and_mark(player, capture, key)
        samples = capture.left()
        start_before, start_after = mark - RATE // 2, mark + int(RATE * 0.7)
        moved = (song_position(first, frequency(samples, start_after)) -
                 song_position(first, frequency(samples, start_before)))
        expected = step + (start_after - start_before) / RATE
        check(abs(moved - expected) < 0.6, f"{key} moved {moved:.2f} s, expected {expected:.2f}")

    level = peak(capture.left(), capture.offset() - RATE // 2)
    for _ in range(4):
        player.key("Down", pause=0.1)
    wait_for_sound(capture, capture.offset() + RATE)
    quieter = peak(capture.left(), capture.offset() - RATE // 2)
    check(abs(quieter / level - 0.8) < 0.03, f"4 volume steps down: level {level} -> {quieter}")

    # The next song is heard from the device's next buffer on, from its beginning.
    mark = press_and_mark(player, capture, "Right", settle=1.5)
    second = titles[1]
    position = song_position(second, frequency(capture.left(), mark + int(RATE * 0.9)))
    check(0 <= position < 1.5, f"next did not start {second} (heard {position:.2f} s into it)")


def tape_run(arguments, display):
    player, titles = start_player(arguments, display, 1, "tape")
    try:
        player.key("Return", pause=0.5)  # the songs page
        songs_shot = player.screenshot("songs")
        check(harness.marker_row(songs_shot, 30, 55, 3) == 0,
              "the songs page shows no first row")
        player.key("Return", pause=1.0)
        tape_shot = screenshot_when(player, "now-playing-tape",
                                    lambda shot: harness.marker_row(shot, 30, 55, 3) is None)
        check(tape_shot, "the list is still on screen")
        check(differing_share(songs_shot, tape_shot) > 0.5, "the now-playing page is not shown")
        check_transport(player, titles)
        time.sleep(1.0)
        playing_shot = player.screenshot("now-playing-tape-next-song")

        player.key("y", pause=0.8)
        lyrics_shot = player.screenshot("lyrics-view")
        check(differing_share(playing_shot, lyrics_shot) > 0.5, "the lyrics view did not open")
        player.key("Escape", pause=0.8)
        closed_shot = player.screenshot("lyrics-view-closed")
        check(differing_share(playing_shot, closed_shot) < 0.2, "the lyrics view did not close")

        player.key("Escape", pause=0.6)
        back_shot = player.screenshot("back-to-songs")
        check(harness.marker_row(back_shot, 30, 55, 3) == 0,
              "back did not return to the songs list")
        finish(player)
    finally:
        player.finish()


def record_run(arguments, display):
    player, titles = start_player(arguments, display, 2, "record")
    try:
        player.key("Return", "Return", pause=0.6)
        screenshot_when(player, "now-playing-record-arm-swinging",
                        lambda shot: harness.marker_row(shot, 30, 55, 3) is None)
        time.sleep(1.5)
        record_shot = player.screenshot("now-playing-record")
        check_plays_from_start(Capture(player), titles[0])
        player.key("space", pause=1.6)
        paused_shot = player.screenshot("now-playing-record-paused")
        player.key("Escape", "Escape", pause=0.5)  # the songs list, then the menu
        player.key("Down", "Down", "Down", "Down", "Down", "Down", "Return", pause=0.4)
        time.sleep(0.5)
        menu_shot = player.screenshot("now-playing-from-menu")
        check(differing_share(paused_shot, menu_shot) < 0.1,
              "the main menu's entry did not open the now-playing page")
        player.key("Escape", pause=0.6)
        shot = player.screenshot("back-to-menu")
        check(harness.marker_row(shot, 30, 60, 7) == 6, "back did not return to the main menu")
        finish(player)
    finally:
        player.finish()


def finish(player):
    player.close_window()
    status = player.wait_for_exit()
    errors = player.errors()
    check(status == 0, f"exit status {status}; stderr:\n{errors}")
    check("ERROR: AddressSanitizer" not in errors and "runtime error" not in errors,
          f"sanitizer report:\n{errors}")


def test(arguments, display):
    tape_run(arguments, display)
    record_run(arguments, display)


if __name__ == "__main__":
    harness.run(test)
