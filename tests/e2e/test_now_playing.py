"""The now-playing page of the real player: a song started on the songs page opens it and is
heard from its beginning (the transport keys are the page's and the Player's own tests); the
lyrics view opens and closes; back returns to the list. A second start with the record
skin chosen in the settings file draws that skin, and the main menu's now-playing entry opens
the page, whose back then returns to the menu.

Each song is a rising tone, f = base + SWEEP * t, so its frequency tells where in which song the
sound comes from."""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import RATE, check, marker_row  # noqa: E402

SWEEP = 20.0  # Hz per second of song
SONG_SECONDS = 40
# Titles too long for either skin: the tape makes them smaller, the record player scrolls them.
LONG = ", the long way round the reels"
BASES = {"Rise A" + LONG: 300.0, "Rise B" + LONG: 1300.0, "Rise C" + LONG: 2300.0}
SILENT = 60


def make_music_folder(runtime, theme):
    music = os.path.join(runtime, "music")
    shutil.rmtree(music, ignore_errors=True)
    for title, base in BASES.items():
        name = os.path.join(music, "Rises", title.split(",")[0].lower().replace(" ", "-"))
        chirp = f"0.5*sin(2*PI*({base}*t+{SWEEP / 2}*t*t))"
        harness.make_song(name + ".flac", f"aevalsrc={chirp}|{chirp}:s={RATE}:d={SONG_SECONDS}",
                          {"title": title, "artist": "Sweeper", "album": "Rises"})
        with open(name + ".lrc", "w", encoding="utf-8") as file:
            for second in range(0, SONG_SECONDS, 2):
                file.write(f"[00:{second:02d}.00]{title} line {second // 2 + 1}\n")
    harness.edit_settings(runtime, {"music.playback.mode": "SEQUENCE",
                                    "theme.default_theme": theme})


def song_position(title, samples, start):
    return (harness.frequency(samples, start) - BASES[title]) / SWEEP


def check_plays_from_start(player, title):
    """The song heard at the end of the capture is title, as far in as its sound has run: the
    device plays silence until the song starts, and the page may take a while to show on a busy
    machine."""
    samples, began = player.wait_for_sound(1.5, level=SILENT)
    at = len(samples) - RATE // 2
    heard = song_position(title, samples, at)
    expected = (at - began + RATE // 8) / RATE  # the middle of the measured quarter second
    check(abs(heard - expected) < 1.0,
          f"{title} is heard {heard:.2f} s in after {expected:.2f} s of sound")


def start_player(arguments, display, theme, name):
    player = harness.PlayerProcess(
        arguments.runtime, os.path.join(arguments.artifacts, name), display,
        prepare=lambda runtime: make_music_folder(runtime, theme),
        extra_env={"SDL_DISKAUDIODELAY": "46"})  # the disk audio about as fast as real time
    player.wait_until_ready()
    titles = player.titles()
    check(sorted(titles) == sorted(BASES), f"the library holds {titles}")
    return player, titles


def tape_run(arguments, display):
    player, titles = start_player(arguments, display, 1, "tape")
    try:
        player.key("Return")  # the songs page
        songs = player.screenshot_until("songs", lambda s: marker_row(s, 30, 55, 3) == 0,
                                        "the songs page shows no first row")
        player.key("Return")
        player.screenshot_until(
            "now-playing-tape",
            lambda s: marker_row(s, 30, 55, 3) is None and harness.differing_share(songs, s) > 0.5,
            "the now-playing page is not shown")
        check_plays_from_start(player, titles[0])
        playing = player.screenshot("now-playing-tape-playing")
        player.key("y")
        player.screenshot_until("lyrics-view", lambda s: harness.differing_share(playing, s) > 0.5,
                                "the lyrics view did not open")
        player.key("Escape")
        player.screenshot_until("lyrics-view-closed",
                                lambda s: harness.differing_share(playing, s) < 0.2,
                                "the lyrics view did not close")
        player.key("Escape")
        player.screenshot_until("back-to-songs", lambda s: marker_row(s, 30, 55, 3) == 0,
                                "back did not return to the songs list")
        player.check_clean_exit()
    finally:
        player.finish()


def record_run(arguments, display):
    player, titles = start_player(arguments, display, 2, "record")
    try:
        player.key("Return", "Return")
        player.screenshot_until("now-playing-record-arm-swinging",
                                lambda s: marker_row(s, 30, 55, 3) is None,
                                "the now-playing page is not shown")
        check_plays_from_start(player, titles[0])  # the arm has swung in meanwhile
        player.screenshot("now-playing-record")
        player.key("space")
        player.let_sound_run(1.5)  # the arm swings out
        paused = player.screenshot("now-playing-record-paused")
        player.key("Escape", "Escape")  # the songs list, then the menu
        player.key(*["Down"] * 6, "Return")
        player.screenshot_until("now-playing-from-menu",
                                lambda s: harness.differing_share(paused, s) < 0.1,
                                "the main menu's entry did not open the now-playing page")
        player.key("Escape")
        player.screenshot_until("back-to-menu", lambda s: marker_row(s, 30, 60, 7) == 6,
                                "back did not return to the main menu")
        player.check_clean_exit()
    finally:
        player.finish()


def test(arguments, display):
    tape_run(arguments, display)
    record_run(arguments, display)


if __name__ == "__main__":
    harness.run(test)
