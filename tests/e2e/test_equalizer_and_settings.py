"""The equalizer and settings pages on the real program: a preset chosen on the equalizer page
is heard (the captured sound matches FFmpeg's own anequalizer with that preset's gains, and not
the flat sound), and heard again after a restart without visiting the page; a custom curve is
saved; the settings page changes the play mode (the play list follows it) and the language (the
menu is relabelled, also after a restart)."""

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

RATE = 44100
SONG_SECONDS = 12
# Mid tones that tell the two songs apart; both carry the same low and high tone.
SONGS = {"Alpha": 660, "Beta": 990}
# Band centre frequencies and widths of the player's equalizer chain.
BANDS = [(31, 20), (62, 40), (125, 80), (250, 160), (500, 320), (1000, 640), (2000, 1280),
         (4000, 2560), (8000, 5120), (16000, 10240)]
COMPARED_SECONDS = 3.0
MENU_AREA = (0, 30, 640, 450)  # below the top bar
EQUALIZER_ENTRY = 4
SETTINGS_ENTRY = 5
LANGUAGE_ROW = 1
PLAY_MODE_ROW = 4


def make_music_folder(runtime):
    music = os.path.join(runtime, "music")
    subprocess.run(["rm", "-rf", music], check=True)
    os.makedirs(os.path.join(music, "Tones"))
    for title, tone in SONGS.items():
        expression = (f"0.2*sin(2*PI*62*t)+0.12*sin(2*PI*{tone}*t)+0.06*sin(2*PI*8000*t)")
        subprocess.run(
            ["ffmpeg", "-v", "error", "-y", "-f", "lavfi",
             "-i", f"aevalsrc=exprs={expression}|{expression}:sample_rate={RATE}:d={SONG_SECONDS}",
             "-c:a", "flac", "-metadata", f"title={title}", "-metadata", "artist=Generator",
             "-metadata", "album=Tones", os.path.join(music, "Tones", f"{title}.flac")],
            check=True)
    settings = read_json(runtime, "config/settings.json")
    settings["display"]["backlight"]["timeout"] = 0  # keep the screen on during the test
    with open(os.path.join(runtime, "config/settings.json"), "w", encoding="utf-8") as file:
        json.dump(settings, file, ensure_ascii=False, indent=2)


def read_json(folder, relative):
    with open(os.path.join(folder, relative), encoding="utf-8") as file:
        return json.load(file)


def band_arguments(gains):
    bands = []
    for (frequency, width), gain in zip(BANDS, gains):
        band = f"f={frequency:.6f} w={width:.6f} g={gain:.6f} t=0"
        bands.append(f"c0 {band}|c1 {band}")
    return "|".join(bands)


def ffmpeg_decode(path, gains=None):
    command = ["ffmpeg", "-v", "error", "-i", path]
    if gains is not None:
        command += ["-af", "anequalizer=" + band_arguments(gains)]
    command += ["-f", "s16le", "-ac", "2", "-ar", str(RATE), "-"]
    data = subprocess.run(command, check=True, capture_output=True).stdout
    return struct.unpack(f"<{len(data) // 2}h", data)


def read_capture(path):
    with open(path, "rb") as file:
        data = file.read()
    return struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 2 * 2])


def first_sound(samples):
    return next((i // 2 for i, value in enumerate(samples) if value != 0), None)


def snr_db(captured, offset, reference, frames):
    signal = noise = 0.0
    for i in range(2 * frames):
        expected = reference[i]
        got = captured[2 * offset + i] if 2 * offset + i < len(captured) else 0
        signal += expected * expected
        noise += (got - expected) * (got - expected)
    return math.inf if noise == 0 else 10 * math.log10(signal / noise)


def heard_against(captured, reference):
    """How closely the capture follows the reference from its first sound on (in dB)."""
    start = first_sound(captured)
    check(start is not None, "no sound was captured")
    frames = int(COMPARED_SECONDS * RATE)
    check(len(captured) // 2 - start >= frames, "too little sound was captured")
    lead = first_sound(reference)
    return snr_db(captured, start - lead, reference, frames)


def check_heard_preset(player, song_path, gains, label):
    time.sleep(2.5)  # about five seconds of sound at the disk driver's pace
    captured = read_capture(player.audio_path)
    shaped = heard_against(captured, ffmpeg_decode(song_path, gains))
    flat = heard_against(captured, ffmpeg_decode(song_path))
    print(f"{label}: {shaped:.1f} dB against FFmpeg's equalized sound, {flat:.1f} dB against flat")
    check(shaped > 40, f"{label}: the sound is not the preset's ({shaped:.1f} dB)")
    check(flat < 20, f"{label}: the sound is the flat one ({flat:.1f} dB)")


def tone_strength(samples, frequency, start, frames):
    """Goertzel power of one frequency in the left channel."""
    coefficient = 2 * math.cos(2 * math.pi * frequency / RATE)
    previous = before = 0.0
    for i in range(start, start + frames):
        current = samples[2 * i] + coefficient * previous - before
        before, previous = previous, current
    return previous * previous + before * before - coefficient * previous * before


def wait_for_next_song(player, timeout=30):
    """The capture starts anew whenever a song is loaded: waits until it has, and for a second
    of the new song."""
    deadline = time.time() + timeout
    size = os.path.getsize(player.audio_path)
    while time.time() < deadline:
        time.sleep(0.1)
        current = os.path.getsize(player.audio_path)
        if current < size:
            time.sleep(1.0)
            return read_capture(player.audio_path)
        size = current
    raise harness.Failure("no next song started")


def song_index(player, title):
    songs = read_json(player.runtime_copy, "config/music_library.json")["songs"]
    return [song["title"] for song in songs].index(title)


def play_song(player, title):
    """From the main menu's first entry: the songs page, then the song's row (the page keeps
    its selection between visits, so it goes to the top first)."""
    player.key("Return")
    player.key(*["Up"] * len(SONGS), *["Down"] * song_index(player, title), "Return")


def back_to_menu(player):
    # The songs page leads back to the menu; so would a now-playing page after the songs page.
    player.key("Escape", "Escape", pause=0.4)


def open_entry(player, entry, selected=0):
    player.key(*["Down"] * (entry - selected), "Return", pause=0.4)


def current_language(player):
    path = player.path("config/language_settings.json")
    if not os.path.exists(path):
        return "zh_CN"
    return read_json(player.runtime_copy, "config/language_settings.json")["language"]


def step_language_to(player, code):
    for key in ["Right"] * 9 + ["Left"] * 9:
        if current_language(player) == code:
            return
        player.key(key, pause=0.3)
    check(current_language(player) == code, f"the language row never reached {code}")


def differing_pixels(first, second, box):
    x, y, w, h = box
    crop = f"{w}x{h}+{x}+{y}"
    result = subprocess.run(["compare", "-metric", "AE", first + f"[{crop}]", second + f"[{crop}]",
                             "null:"], capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def check_clean_exit(player):
    player.close_window()
    status = player.wait_for_exit()
    errors = player.errors()
    check(status == 0, f"exit status {status}; stderr:\n{errors}")
    check("AddressSanitizer" not in errors and "runtime error" not in errors,
          f"sanitizer report:\n{errors}")


def start_player(players, runtime, artifacts, display, prepare=None):
    player = harness.PlayerProcess(runtime, artifacts, display, prepare=prepare)
    players.append(player)
    player.wait_for_window()
    return player


def first_run(arguments, display, players):
    """Choose a preset on the equalizer page and hear it."""
    player = start_player(players, arguments.runtime, os.path.join(arguments.artifacts, "run1"), display,
                   make_music_folder)
    player.wait_for_file("config/music_library.json")
    time.sleep(1.0)
    open_entry(player, EQUALIZER_ENTRY)
    player.screenshot("equalizer-flat")
    player.key("Right", "Right", "Right")  # FLAT -> JAZZ -> POP -> ROCK, ordered by id
    check(read_json(player.runtime_copy, "config/settings.json")["equalizer"]["default_preset"]
          == "ROCK", "the chosen preset was not saved")
    player.screenshot("equalizer-rock")
    player.key("Escape", *["Up"] * EQUALIZER_ENTRY)
    play_song(player, "Alpha")
    song = player.path("music/Tones/Alpha.flac")
    rock = read_json(player.runtime_copy, "config/settings.json")["equalizer"]["presets"]["ROCK"]
    check_heard_preset(player, song, rock["gains"], "chosen on the page")
    check_clean_exit(player)


def second_run(arguments, display, players):
    """After a restart: the preset is heard at once; a custom curve; play mode and language."""
    player = start_player(players, players[-1].runtime_copy, os.path.join(arguments.artifacts, "run2"),
                   display)
    time.sleep(1.0)
    chinese_menu = player.screenshot("menu-chinese")
    rock = read_json(player.runtime_copy, "config/settings.json")["equalizer"]["presets"]["ROCK"]
    play_song(player, "Alpha")
    check_heard_preset(player, player.path("music/Tones/Alpha.flac"), rock["gains"],
                       "after a restart")
    back_to_menu(player)

    open_entry(player, SETTINGS_ENTRY)
    player.screenshot("settings-chinese")
    player.key(*["Down"] * PLAY_MODE_ROW, "Right", "Right")  # SEQUENCE_LOOP -> SINGLE_LOOP
    check(read_json(player.runtime_copy, "config/settings.json")["music"]["playback"]["mode"]
          == "SINGLE_LOOP", "the play mode was not saved")
    player.key(*["Up"] * (PLAY_MODE_ROW - LANGUAGE_ROW))
    step_language_to(player, "en_US")
    player.screenshot("settings-english")
    player.key("Escape", *["Up"] * SETTINGS_ENTRY)
    english_menu = player.screenshot("menu-english")
    changed = differing_pixels(chinese_menu, english_menu, MENU_AREA)
    check(changed > 500, f"the menu was not relabelled ({changed} pixels changed)")

    open_entry(player, EQUALIZER_ENTRY)
    player.key("c", "Up", "Up", "Up", "Right", "Down", "Down")  # edits the curve on screen
    custom = list(rock["gains"])
    custom[0] += 3
    custom[1] -= 2
    player.screenshot("equalizer-editing")
    player.key("Return")
    player.screenshot("equalizer-custom")
    equalizer = read_json(player.runtime_copy, "config/settings.json")["equalizer"]
    check(equalizer["default_preset"] == "CUSTOM", "the custom curve is not the current preset")
    check(equalizer["presets"]["CUSTOM"]["gains"] == custom,
          f"the custom curve was stored as {equalizer['presets']['CUSTOM']['gains']}")
    player.key("Escape", *["Up"] * EQUALIZER_ENTRY)

    # Single loop: after Alpha comes Alpha again, where the old mode would have played Beta.
    play_song(player, "Alpha")
    captured = wait_for_next_song(player)
    start = first_sound(captured)
    alpha = tone_strength(captured, SONGS["Alpha"], start, RATE // 2)
    beta = tone_strength(captured, SONGS["Beta"], start, RATE // 2)
    check(alpha > 100 * beta, "the song after Alpha was not Alpha again")
    check_clean_exit(player)
    return english_menu


def third_run(arguments, display, players, english_menu):
    """The language holds after a restart."""
    player = start_player(players, players[-1].runtime_copy, os.path.join(arguments.artifacts, "run3"),
                   display)
    time.sleep(1.0)
    menu = player.screenshot("menu-after-restart")
    changed = differing_pixels(english_menu, menu, MENU_AREA)
    check(changed < 50, f"the menu after a restart differs from the English one ({changed} px)")
    check_clean_exit(player)


def test(arguments, display):
    players = []
    try:
        first_run(arguments, display, players)
        english_menu = second_run(arguments, display, players)
        third_run(arguments, display, players, english_menu)
    finally:
        for player in players:
            player.finish()


if __name__ == "__main__":
    harness.run(test)
