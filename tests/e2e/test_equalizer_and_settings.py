"""The equalizer and settings pages on the real program: a preset chosen on the equalizer page is
heard (the captured sound matches FFmpeg's anequalizer with the preset's gains, not the flat
sound); a custom curve is saved; a new play mode and a new language are chosen; after a restart
the menu is still in the new language, the custom curve is heard without a visit to its page,
and the play list follows the new mode."""

import json
import math
import os
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402

# The player's equalizer bands: centre and width in Hz.
BANDS = [(31, 20), (62, 40), (125, 80), (250, 160), (500, 320), (1000, 640), (2000, 1280),
         (4000, 2560), (8000, 5120), (16000, 10240)]
RATE = 44100
ALPHA_SECONDS = 20


def make_music(runtime):
    shutil.rmtree(os.path.join(runtime, "music"))
    os.makedirs(os.path.join(runtime, "music"))
    for title, tone in (("Alpha", 660), ("Beta", 990)):
        sound = f"0.2*sin(2*PI*62*t)+0.12*sin(2*PI*{tone}*t)+0.06*sin(2*PI*8000*t)"
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                        f"aevalsrc={sound}|{sound}:s={RATE}:d={ALPHA_SECONDS}",
                        "-metadata", f"title={title}",
                        os.path.join(runtime, "music", f"{title}.flac")], check=True)
    with open(os.path.join(runtime, "config/settings.json"), encoding="utf-8") as file:
        settings = json.load(file)
    settings["display"]["backlight"]["timeout"] = 0  # the screen stays on
    with open(os.path.join(runtime, "config/settings.json"), "w", encoding="utf-8") as file:
        json.dump(settings, file, ensure_ascii=False)


def read(player, relative, fallback=None):
    if fallback is not None and not os.path.exists(player.path(relative)):
        return fallback
    with open(player.path(relative), encoding="utf-8") as file:
        return json.load(file)


def sound_of(data):
    """16-bit stereo samples from the first one with sound on."""
    sound = struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 2 * 2])
    return sound[next(i for i, value in enumerate(sound) if value) // 2 * 2:]


def alpha_as_ffmpeg_plays_it(player, gains=None):
    bands = "|".join(f"c{channel} f={f:.6f} w={w:.6f} g={g:.6f} t=0"
                     for (f, w), g in zip(BANDS, gains or []) for channel in (0, 1))
    shaping = ["-af", "anequalizer=" + bands] if gains else []
    return sound_of(subprocess.run(
        ["ffmpeg", "-v", "error", "-i", player.path("music/Alpha.flac"), *shaping, "-f", "s16le",
         "-ac", "2", "-ar", str(RATE), "-"], check=True, capture_output=True).stdout)


def captured(player, from_seconds):
    """What was heard from from_seconds after the first sound on (the device plays silence
    until a song starts, and one song follows another without a gap)."""
    deadline = time.time() + 60
    while True:
        with open(player.audio_path, "rb") as file:
            data = file.read()
        if any(data):
            sound = sound_of(data)
            if len(sound) >= (from_seconds + 4) * RATE * 2:
                return sound[from_seconds * RATE * 2:]
        check(time.time() < deadline, "too little sound was captured")
        time.sleep(0.2)


def snr_db(heard, reference, seconds=3):
    pairs = list(zip(heard, reference[: seconds * RATE * 2]))
    check(len(pairs) == seconds * RATE * 2, "too little sound was captured")
    noise = sum((a - b) ** 2 for a, b in pairs) or 1e-9
    return 10 * math.log10(sum(b * b for _, b in pairs) / noise)


def hear_alpha(player, gains, from_seconds=0):
    heard = captured(player, from_seconds)
    skip = from_seconds % ALPHA_SECONDS * RATE * 2
    shaped = snr_db(heard, alpha_as_ffmpeg_plays_it(player, gains)[skip:])
    flat = snr_db(heard, alpha_as_ffmpeg_plays_it(player)[skip:])
    print(f"heard {shaped:.1f} dB against FFmpeg's equalized Alpha, {flat:.1f} dB against flat")
    check(shaped > 40 and flat < 20, "Alpha with the preset was not heard")


def play_alpha(player):
    """From the menu's first entry: the songs page, its top, then Alpha's row."""
    titles = [song["title"] for song in read(player, "config/music_library.json")["songs"]]
    player.key("Return", "Up", "Up", *["Down"] * titles.index("Alpha"), "Return")


def changed_pixels(first, second):
    crop = "[640x450+0+30]"  # below the top bar
    result = subprocess.run(["compare", "-metric", "AE", first + crop, second + crop, "null:"],
                            capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def test(arguments, display):
    players = []

    def start(runtime, prepare=None):
        player = harness.PlayerProcess(runtime, f"{arguments.artifacts}/run{len(players) + 1}",
                                       display, prepare=prepare)
        players.append(player)
        player.wait_for_window()
        return player

    def quit(player):
        player.close_window()
        check(player.wait_for_exit() == 0, f"the player failed: {player.errors()}")

    try:
        player = start(arguments.runtime, make_music)
        player.wait_for_file("config/music_library.json")
        time.sleep(1.0)
        chinese = player.screenshot("menu-chinese")
        player.key("Down", "Down", "Down", "Down", "Return")
        player.screenshot("equalizer-flat")
        player.key("Right", "Right", "Right")  # by id: FLAT, JAZZ, POP, ROCK
        player.screenshot("equalizer-rock")
        equalizer = read(player, "config/settings.json")["equalizer"]
        check(equalizer["default_preset"] == "ROCK", "the chosen preset was not saved")
        rock = equalizer["presets"]["ROCK"]["gains"]
        player.key("Escape", "Up", "Up", "Up", "Up")
        play_alpha(player)
        hear_alpha(player, rock)

        player.key("Escape", "Escape", *["Down"] * 5, "Return")
        player.screenshot("settings")
        player.key("Down", "Down", "Down", "Down", "Right", "Right", "Up", "Up", "Up")
        mode = read(player, "config/settings.json")["music"]["playback"]["mode"]
        check(mode == "SINGLE_LOOP", f"the play mode was saved as {mode}")
        for key in ["Right"] * 9 + ["Left"] * 9:  # languages are listed in folder order
            if read(player, "config/language_settings.json", {}).get("language") == "en_US":
                break
            player.key(key)
        player.screenshot("settings-english")
        player.key("Escape", *["Up"] * 5)
        english = player.screenshot("menu-english")
        check(changed_pixels(chinese, english) > 500, "the menu was not relabelled")

        player.key(*["Down"] * 4, "Return", "c", "Up", "Up", "Up", "Right", "Down", "Down")
        player.screenshot("equalizer-editing")
        player.key("Return")
        player.screenshot("equalizer-custom")
        custom = [rock[0] + 3, rock[1] - 2, *rock[2:]]
        equalizer = read(player, "config/settings.json")["equalizer"]
        check(equalizer["default_preset"] == "CUSTOM" and
              equalizer["presets"]["CUSTOM"]["gains"] == custom, f"custom curve: {equalizer}")
        quit(player)

        player = start(player.runtime_copy)  # no visit to the equalizer page from here on
        time.sleep(1.0)
        check(changed_pixels(english, player.screenshot("menu-after-restart")) < 50,
              "the menu is not in English after a restart")
        play_alpha(player)
        hear_alpha(player, custom)
        # Alpha again, a second into its second play: the shipped mode would play Beta.
        hear_alpha(player, custom, from_seconds=ALPHA_SECONDS + 1)
        quit(player)
    finally:
        for player in players:
            player.finish()


if __name__ == "__main__":
    harness.run(test)
