"""Albums and artists in the record skin on the demo library and an added album of two tones: the
cover carousel and an album's songs beside its cover; the added album's first song played from
the album, and from its artist, is heard (captured through SDL's disk audio driver) and followed
by the second, on the now-playing page whose arm swings in, scrolls the long title and swings out
on a pause. (A rescan's new albums and each skin's places are the pages' tests.)"""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import marker_row  # noqa: E402

NEW_ARTIST, NEW_ALBUM, TONES = "Tone Maker", "Zebra Tones", (440, 660)
LONG = " along the long way round the reels"  # too long for the skin, which scrolls it
RECORD_SKIN = 2


def add_tone_album(runtime):
    for tone in TONES:
        harness.make_song(os.path.join(runtime, "music", NEW_ARTIST, NEW_ALBUM, f"Tone {tone}.flac"),
                          f"sine=frequency={tone}:duration=8",
                          {"title": f"Tone {tone}{LONG}", "artist": NEW_ARTIST, "album": NEW_ALBUM})


def wait_for_tones(player, songs):
    """Until the last half second of captured sound is each of the new artist's songs in turn."""
    half = harness.RATE // 2
    for tone in [int(song["title"].split()[1]) for song in songs if song["artist"] == NEW_ARTIST]:
        def hearing():
            sound = [v for v in player.left_channel() if v][-half:]
            return len(sound) == half and abs(harness.frequency(sound, 0, 0.5) - tone) < 10
        harness.wait_until(hearing, f"the {tone} Hz song was not heard", timeout=60, interval=0.3)


def browse(player):
    """The carousel at rest before and after a move; the album opens on its first song."""
    player.still_screenshot("albums")
    player.key("Right")
    player.still_screenshot("albums-second")
    player.key("Left", "Return")
    player.screenshot_until("album-detail", lambda s: marker_row(s, 30, 55) == 0,
                            "the album does not open on its first song")


def test(arguments):
    def prepare(runtime):
        harness.edit_settings(runtime, {"theme.default_theme": RECORD_SKIN})
        add_tone_album(runtime)
    with harness.PlayerProcess(arguments.runtime, arguments.artifacts, prepare) as player:
        player.wait_until_ready()
        player.key("Down", "Return")  # menu entry 1: albums
        browse(player)
        albums = player.read_json(harness.LIBRARY)["albums"]
        index = [album["name"] for album in albums].index(NEW_ALBUM)
        player.key("Escape", *(["Left"] * 6), pause=0.1)
        player.key(*(["Right"] * index), "Return")
        player.screenshot("tone-album")
        player.key("Return")
        player.screenshot_until("now-playing-record-arm-swinging",
                                lambda s: marker_row(s, 30, 55, 3) is None,
                                "the now-playing page is not shown")
        wait_for_tones(player, albums[index]["songs"])
        player.screenshot("album-playing")

        # Back to the album, the albums and the menu, then its next entry: artists.
        player.key("Escape", "Escape", "Escape", "Down", "Return")
        songs = player.read_json(harness.LIBRARY)["songs"]
        row = sorted({song["artist"].encode() for song in songs}).index(NEW_ARTIST.encode())
        player.key(*(["Down"] * row))
        player.screenshot_until("artists", lambda s: marker_row(s, 30, 55) == row,
                                f"artist {row} not chosen")
        player.key("Return")
        player.screenshot("artist-detail")
        player.key("Return")
        wait_for_tones(player, songs)
        player.screenshot("artist-playing")
        player.key("space")
        player.let_sound_run(1.5)  # the arm swings out
        player.screenshot("now-playing-record-paused")
        player.check_clean_exit()


if __name__ == "__main__":
    harness.run(test)
