"""The equalizer and settings pages on the real program: a preset chosen on the equalizer page is
heard (the captured sound matches FFmpeg's anequalizer with the preset's gains, not the flat
sound); a custom curve is saved; a new play mode and a new language are chosen; after a restart
the menu is still in the new language, the custom curve is heard without a visit to its page,
and the play list follows the new mode."""

import array
import math
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import RATE, check, marker_row  # noqa: E402

# The player's equalizer bands: centre and width in Hz.
BANDS = [(31, 20), (62, 40), (125, 80), (250, 160), (500, 320), (1000, 640), (2000, 1280),
         (4000, 2560), (8000, 5120), (16000, 10240)]
ALPHA_SECONDS = 20
BELOW_TOP_BAR = (0, 30, 640, 450)


def make_music(runtime):
    shutil.rmtree(os.path.join(runtime, "music"))
    for title, tone in (("Alpha", 660), ("Beta", 990)):
        sound = f"0.2*sin(2*PI*62*t)+0.12*sin(2*PI*{tone}*t)+0.06*sin(2*PI*8000*t)"
        harness.make_song(os.path.join(runtime, "music", f"{title}.flac"),
                          f"aevalsrc={sound}|{sound}:s={RATE}:d={ALPHA_SECONDS}", {"title": title})
    harness.edit_settings(runtime, {})


def from_first_sound(samples):
    return samples[next(i for i, value in enumerate(samples) if value):]


def alpha_as_ffmpeg_plays_it(player, gains=None):
    """The left channel from its first sound on."""
    bands = "|".join(f"c{channel} f={f:.6f} w={w:.6f} g={g:.6f} t=0"
                     for (f, w), g in zip(BANDS, gains or []) for channel in (0, 1))
    shaping = ["-af", "anequalizer=" + bands] if gains else []
    data = subprocess.run(
        ["ffmpeg", "-v", "error", "-i", player.path("music/Alpha.flac"), *shaping, "-f", "s16le",
         "-ac", "2", "-ar", str(RATE), "-"], check=True, capture_output=True).stdout
    return from_first_sound(array.array("h", data[: len(data) // 4 * 4])[0::2])


def snr_db(heard, reference, seconds=3):
    pairs = list(zip(heard, reference[: seconds * RATE]))
    check(len(pairs) == seconds * RATE, "too little sound was captured")
    noise = sum((a - b) ** 2 for a, b in pairs) or 1e-9
    return 10 * math.log10(sum(b * b for _, b in pairs) / noise)


def hear_alpha(player, gains, from_seconds=0):
    """Alpha with the gains is heard from_seconds after the first sound (the device plays
    silence until a song starts, and one song follows another without a gap)."""
    samples, start = player.wait_for_sound(from_seconds + 4, level=0)
    heard = samples[start + from_seconds * RATE:]
    skip = from_seconds % ALPHA_SECONDS * RATE
    shaped = snr_db(heard, alpha_as_ffmpeg_plays_it(player, gains)[skip:])
    flat = snr_db(heard, alpha_as_ffmpeg_plays_it(player)[skip:])
    print(f"heard {shaped:.1f} dB against FFmpeg's equalized Alpha, {flat:.1f} dB against flat")
    check(shaped > 40 and flat < 20, "Alpha with the preset was not heard")


def play_alpha(player):
    """From the menu's first entry: the songs page, its top, then Alpha's row."""
    titles = [song["title"] for song in player.read_json(harness.LIBRARY)["songs"]]
    player.key("Return", "Up", "Up", *["Down"] * titles.index("Alpha"), "Return")


def test(arguments):
    first = harness.PlayerProcess(arguments.runtime, f"{arguments.artifacts}/run1", make_music)
    with first as player:
        chinese = player.wait_until_ready()
        player.key("Down", "Down", "Down", "Down", "Return")
        player.screenshot("equalizer-flat")
        player.key("Right", "Right", "Right")  # by id: FLAT, JAZZ, POP, ROCK
        player.screenshot("equalizer-rock")
        rock = player.read_json("config/settings.json")["equalizer"]["presets"]["ROCK"]["gains"]
        player.key("Escape", "Up", "Up", "Up", "Up")
        play_alpha(player)
        hear_alpha(player, rock)

        player.key("Escape", "Escape", *["Down"] * 5, "Return")
        player.screenshot("settings")
        player.key("Down", "Down", "Down", "Down", "Right", "Right", "Up", "Up", "Up")
        for key in ["Right"] * 9 + ["Left"] * 9:  # languages are listed in folder order
            if player.read_json("config/language_settings.json", {}).get("language") == "en_US":
                break
            player.key(key)
        player.screenshot("settings-english")
        player.key("Escape", *["Up"] * 5)
        english = player.screenshot_until("menu-english", lambda s: marker_row(s, 30, 60, 7) == 0,
                                          "the menu is not back")
        check(harness.differing_share(chinese, english, BELOW_TOP_BAR) > 0.002,
              "the menu was not relabelled")

        player.key(*["Down"] * 4, "Return", "c", "Up", "Up", "Up", "Right", "Down", "Down")
        player.screenshot("equalizer-editing")
        player.key("Return")
        player.screenshot("equalizer-custom")
        custom = [rock[0] + 3, rock[1] - 2, *rock[2:]]
        player.check_clean_exit()
        restarted = harness.PlayerProcess(player.runtime_copy, f"{arguments.artifacts}/run2")

    with restarted as player:  # no visit to the equalizer page from here on
        menu = player.wait_until_ready()
        check(harness.differing_share(english, menu, BELOW_TOP_BAR) < 0.0002,
              "the menu is not in English after a restart")
        play_alpha(player)
        hear_alpha(player, custom)
        # Alpha again, a second into its second play: the shipped mode would play Beta.
        hear_alpha(player, custom, from_seconds=ALPHA_SECONDS + 1)
        player.check_clean_exit()


if __name__ == "__main__":
    harness.run(test)
