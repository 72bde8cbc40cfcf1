"""The now-playing page of the real player in the record skin (the tape skin's is seen in the
browse-and-play test): a song started on the songs page opens it and is heard from its beginning
while the arm swings in, and a pause swings the arm out. The transport keys, the lyrics view and
where back leads are the page's, the Player's and the program's own tests.

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
RECORD_SKIN = 2
# Titles too long for the skin, which scrolls them.
LONG = ", the long way round the reels"
BASES = {"Rise A" + LONG: 300.0, "Rise B" + LONG: 1300.0, "Rise C" + LONG: 2300.0}
SILENT = 60


def make_music_folder(runtime):
    music = os.path.join(runtime, "music")
    shutil.rmtree(music, ignore_errors=True)
    for title, base in BASES.items():
        name = os.path.join(music, "Rises", title.split(",")[0].lower().replace(" ", "-"))
        chirp = f"0.5*sin(2*PI*({base}*t+{SWEEP / 2}*t*t))"
        harness.make_song(name + ".flac", f"aevalsrc={chirp}|{chirp}:s={RATE}:d={SONG_SECONDS}",
                          {"title": title, "artist": "Sweeper", "album": "Rises"})
    harness.edit_settings(runtime, {"music.playback.mode": "SEQUENCE",
                                    "theme.default_theme": RECORD_SKIN})


def check_plays_from_start(player, title):
    """The song heard at the end of the capture is title, as far in as its sound has run: the
    device plays silence until the song starts, and the page may take a while to show on a busy
    machine."""
    samples, began = player.wait_for_sound(1.5, level=SILENT)
    at = len(samples) - RATE // 2
    heard = (harness.frequency(samples, at) - BASES[title]) / SWEEP
    expected = (at - began + RATE // 8) / RATE  # the middle of the measured quarter second
    check(abs(heard - expected) < 1.0,
          f"{title} is heard {heard:.2f} s in after {expected:.2f} s of sound")


def test(arguments, display):
    player = harness.PlayerProcess(
        arguments.runtime, arguments.artifacts, display, prepare=make_music_folder,
        extra_env={"SDL_DISKAUDIODELAY": "46"})  # the disk audio about as fast as real time
    try:
        player.wait_until_ready()
        titles = player.titles()
        check(sorted(titles) == sorted(BASES), f"the library holds {titles}")
        player.key("Return", "Return")
        player.screenshot_until("now-playing-record-arm-swinging",
                                lambda s: marker_row(s, 30, 55, 3) is None,
                                "the now-playing page is not shown")
        check_plays_from_start(player, titles[0])  # the arm has swung in meanwhile
        player.screenshot("now-playing-record")
        player.key("space")
        player.let_sound_run(1.5)  # the arm swings out
        player.screenshot("now-playing-record-paused")
        player.check_clean_exit()
    finally:
        player.finish()


if __name__ == "__main__":
    harness.run(test)
