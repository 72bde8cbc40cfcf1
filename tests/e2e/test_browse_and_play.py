"""A first start on a music folder without a library cache: the loading dialog turns while the
folder is scanned; the songs page lists the library; Return plays the highlighted song (its
sound is captured through SDL's disk audio driver) and opens the now-playing page, whose back
returns to the list; F adds it to the favourites; the favourites page lists it and removes it
after confirmation; the side panel's exit entry quits."""

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


def dialog_shown(shot):
    return harness.pixel_colours(shot, (125, 200, 10, 10)).get(DIALOG_BOX, 0) == 100


def loading_dialog_shown(player, shot):
    """The dialog's box and its turning arc, while the scan has not ended."""
    arc = harness.pixel_colours(shot, (300, 280, 40, 40))
    shown = dialog_shown(shot) and sum(n for colour, n in arc.items() if min(colour) > 200) > 30
    check(shown or not os.path.exists(player.path(harness.LIBRARY)),
          "the scan ended before the loading dialog was seen")
    return shown


def test(arguments, display):
    player = harness.PlayerProcess(arguments.runtime, arguments.artifacts, display,
                                   prepare=make_music_folder)
    try:
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
        player.screenshot_until("songs-third-row", lambda shot: marker_row(shot, 30, 55) == 2,
                                "Down did not move to the third row")
        expected = library["songs"][2]
        player.key("Return")
        samples, start = player.wait_for_sound(1.2)
        heard = harness.frequency(samples, start + 2000, seconds=1.0)
        check(abs(heard - int(expected["title"].split()[-1])) < 5,
              f"heard {heard:.1f} Hz, the third row is {expected['title']}")

        player.key("Escape", "f")  # from the now-playing page back to the list, and a favourite
        player.screenshot_until("favourite-added", dialog_shown, "no dialog after F")
        favourites = player.read_json("config/like.json")["songs"]
        check([song["filepath"] for song in favourites] == [expected["filepath"]],
              f"like.json holds {favourites}")
        player.screenshot_until("notice-closed", lambda shot: not dialog_shown(shot),
                                "the notice did not close itself", timeout=10)

        player.key("Escape", "Down", "Down", "Down", "Return")  # back, then the favourites
        player.screenshot_until("favourites", lambda shot: marker_row(shot, 35, 55) == 0,
                                "the favourites page shows no selected row")
        player.key("Delete")
        ok_button = (212, 287, 10, 10)
        player.screenshot_until(
            "remove-confirmation",
            lambda shot: harness.pixel_colours(shot, ok_button).get((0, 255, 0), 0) == 100,
            "no confirmation dialog")
        player.key("Return")
        player.screenshot_until("favourites-empty", lambda shot: marker_row(shot, 35, 55) is None,
                                "a row is still listed")
        check(player.read_json("config/like.json")["songs"] == [],
              "the favourite was not removed from like.json")

        player.key("Escape", "Tab")
        player.still_screenshot("panel")
        player.key("Up", "Return")  # the panel's last entry: exit
        player.check_clean_exit(close=False)
    finally:
        player.finish()


if __name__ == "__main__":
    harness.run(test)
