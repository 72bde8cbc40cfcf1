"""A first start on a music folder without a library cache: the loading dialog turns while the
folder is scanned; the songs page lists the library; Return plays the highlighted song (its
sound is captured through SDL's disk audio driver) and opens the now-playing page (in the tape
skin); back returns to the list and the menu, whose side panel's exit entry quits. (Favourites
and their confirmation dialog are the songs and playlists pages' tests.)"""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check, marker_row  # noqa: E402

SONG_COUNT = 60
DIALOG_BOX = (40, 40, 40)


def tone_of(index):
    return 300 + 40 * index


def make_music_folder(runtime):
    """Generated songs, each a tone of its own with a cover picture, so that the scan takes long
    enough to watch."""
    shutil.rmtree(os.path.join(runtime, "music"), ignore_errors=True)
    for tone in map(tone_of, range(SONG_COUNT)):
        harness.make_song(os.path.join(runtime, "music", "Generated", f"tone-{tone}.flac"),
                          f"sine=frequency={tone}:duration=12:sample_rate={harness.RATE}",
                          {"title": f"Tone {tone}", "artist": "Generator", "album": "Tones"},
                          cover=True)
    harness.edit_settings(runtime, {})


def loading_dialog_shown(player, shot):
    """The dialog's box and its turning arc, while the scan has not ended."""
    box = harness.pixel_colours(shot, (125, 200, 10, 10)).get(DIALOG_BOX, 0) == 100
    arc = harness.pixel_colours(shot, (300, 280, 40, 40))
    shown = box and sum(n for colour, n in arc.items() if min(colour) > 200) > 30
    check(shown or not os.path.exists(player.path(harness.LIBRARY)),
          "the scan ended before the loading dialog was seen")
    return shown


def test(arguments):
    with harness.PlayerProcess(arguments.runtime, arguments.artifacts, make_music_folder) as player:
        player.wait_for_window()
        player.screenshot_until("loading", lambda shot: loading_dialog_shown(player, shot),
                                "the loading dialog did not appear", interval=0)
        player.wait_until_ready()
        library = player.read_json(harness.LIBRARY)
        check(len(library["songs"]) == SONG_COUNT, f"{len(library['songs'])} songs in the cache")

        player.key("Return")  # the first menu entry: songs
        player.screenshot_until("songs", lambda shot: marker_row(shot, 30, 55) == 0,
                                "the songs page does not show its first row selected")
        player.key("Down", "Down")
        songs = player.screenshot_until("songs-third-row", lambda s: marker_row(s, 30, 55) == 2,
                                        "Down did not move to the third row")
        expected = library["songs"][2]
        player.key("Return")
        player.screenshot_until(
            "now-playing",
            lambda s: marker_row(s, 30, 55) is None and harness.differing_share(songs, s) > 0.5,
            "the now-playing page is not shown")
        samples, start = player.wait_for_sound(1.2)
        heard = harness.frequency(samples, start + 2000, seconds=1.0)
        check(abs(heard - int(expected["title"].split()[-1])) < 5,
              f"heard {heard:.1f} Hz, the third row is {expected['title']}")

        player.key("Escape")
        player.screenshot_until("back-to-songs", lambda shot: marker_row(shot, 30, 55) == 2,
                                "back did not return to the songs list")
        player.key("Escape", "Tab")  # the menu and its side panel
        player.still_screenshot("panel")
        player.key("Up", "Return")  # the panel's last entry: exit
        player.check_clean_exit(close=False)


if __name__ == "__main__":
    harness.run(test)
