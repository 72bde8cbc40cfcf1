"""Drives the real player executable under Xvfb: a scratch copy of the runtime folder, key
presses through xdotool, screenshots through ImageMagick's import, and the player asked to quit
with SIGTERM, as the console's launcher does (SDL reports it as SDL_QUIT, as a window close)."""

import argparse
import array
import contextlib
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

WINDOW_TITLE = "音乐播放器"
SCREEN_SIZE = (640, 480)
RATE = 44100  # of the captured sound: 16-bit stereo
LIBRARY = "config/music_library.json"


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, message, timeout=30, interval=0.1):
    """Polls condition until it returns something true, which is returned."""
    deadline = time.time() + timeout
    while True:
        result = condition()
        if result:
            return result
        check(time.time() < deadline, message)
        time.sleep(interval)


def edit_settings(runtime, changes):
    """Sets dotted entries of the runtime folder's settings file; the screen always stays on."""
    path = os.path.join(runtime, "config", "settings.json")
    with open(path, encoding="utf-8") as file:
        settings = json.load(file)
    for dotted, value in {"display.backlight.timeout": 0, **changes}.items():
        *parents, last = dotted.split(".")
        node = settings
        for name in parents:
            node = node.setdefault(name, {})
        node[last] = value
    with open(path, "w", encoding="utf-8") as file:
        json.dump(settings, file, ensure_ascii=False, indent=2)


def make_song(path, source, tags=None, cover=False):
    """Encodes an FFmpeg lavfi audio source (by the file name's extension) with tags and, when
    asked, a test-pattern cover picture."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    command = ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", source]
    if cover:
        command += ["-f", "lavfi", "-i", "testsrc=size=500x500:rate=1:duration=1", "-map", "0:a",
                    "-map", "1:v", "-c:v", "png", "-frames:v", "1", "-disposition:v",
                    "attached_pic"]
    for key, value in (tags or {}).items():
        command += ["-metadata", f"{key}={value}"]
    subprocess.run(command + [path], check=True)


def frequency(samples, start, seconds=0.25, silence=60):
    """The frequency of the tone in samples from start on, from its zero crossings."""
    window = samples[start: start + int(RATE * seconds)]
    check(len(window) > RATE * seconds * 0.9, f"only {len(window)} samples at {start}")
    check(max(abs(v) for v in window) > silence, f"silence at sample {start}")
    crossings = sum(1 for a, b in zip(window, window[1:]) if (a < 0) != (b < 0))
    return crossings / 2 / (len(window) / RATE)


@contextlib.contextmanager
def xvfb():
    """A private X server on a display number of its own choosing; yields its name."""
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
        pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        number = pipe.readline().strip()  # written once the server accepts clients
    if not number:
        raise RuntimeError("no X display could be started")
    try:
        yield f":{number}"
    finally:
        server.terminate()
        server.wait(timeout=10)


class PlayerProcess:
    """The player started from a scratch copy of the runtime folder (on the display run() set),
    killed if still running and its copy removed at the end of a with block."""

    def __init__(self, runtime, artifacts, prepare=None):
        self.artifacts = artifacts
        os.makedirs(artifacts, exist_ok=True)
        self.folder = tempfile.mkdtemp(prefix="musicplayer-e2e-")
        self.runtime_copy = os.path.join(self.folder, "runtime")
        shutil.copytree(runtime, self.runtime_copy, symlinks=True)
        if prepare:
            prepare(self.runtime_copy)
        self.stderr_path = os.path.join(artifacts, "stderr.txt")
        self.audio_path = os.path.join(self.folder, "audio.raw")
        env = dict(os.environ)
        env.update({
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio_path,
            "SDL_DISKAUDIODELAY": "20",
            # SDL's own software renderer, without a GL driver in between.
            "SDL_RENDER_DRIVER": "software",
            "SDL_FRAMEBUFFER_ACCELERATION": "0",
        })
        self.stdout = open(os.path.join(artifacts, "stdout.txt"), "wb")
        self.stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen(["./music-player"], cwd=self.runtime_copy, env=env,
                                        stdout=self.stdout, stderr=self.stderr)
        self.window = None
        self.screenshot_count = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.finish()

    def path(self, relative):
        return os.path.join(self.runtime_copy, relative)

    def read_json(self, relative, fallback=None):
        if fallback is not None and not os.path.exists(self.path(relative)):
            return fallback
        with open(self.path(relative), encoding="utf-8") as file:
            return json.load(file)

    def wait_for_sound(self, seconds, level=60):
        """Until the capture holds seconds of sound from its first sound on; returns the left
        channel and where that sound begins."""
        def enough():
            samples = self.left_channel()
            start = next((i for i, value in enumerate(samples) if abs(value) > level), None)
            return start is not None and len(samples) - start >= RATE * seconds and (samples, start)
        return wait_until(enough, "too little sound was captured", timeout=60, interval=0.2)

    def let_sound_run(self, seconds):
        """Until the device has written seconds more (of sound or of silence)."""
        until = self.captured_frames() + int(RATE * seconds)
        wait_until(lambda: self.captured_frames() >= until, "the captured sound stopped growing",
                   timeout=20, interval=0.05)

    def captured_frames(self):
        return os.path.getsize(self.audio_path) // 4 if os.path.exists(self.audio_path) else 0

    def left_channel(self):
        """The left channel of the sound the player wrote so far."""
        with open(self.audio_path, "rb") as file:
            data = array.array("h", file.read()[: self.captured_frames() * 4])
        return data[0::2]

    def wait_until_ready(self):
        """Until the window shows the main menu with the library read (or scanned)."""
        self.wait_for_window()
        wait_until(lambda: self.running() and os.path.exists(self.path(LIBRARY)),
                   "the library was not written", timeout=120)
        return self.screenshot_until("menu", lambda shot: marker_row(shot, 30, 60, 7) == 0,
                                     "the main menu was not shown")

    def xdotool(self, *arguments, check_result=True):
        result = subprocess.run(["xdotool", *arguments], capture_output=True, text=True)
        if check_result and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(arguments)} failed: {result.stderr}")
        return result.stdout

    def running(self):
        check(self.process.poll() is None,
              f"the player exited with status {self.process.returncode}: {self.errors()}")
        return True

    def wait_for_window(self):
        """Finds the visible window whose UTF-8 title is the player's."""
        def find():
            ids = self.xdotool("search", "--onlyvisible", "--name", ".", check_result=False)
            return self.running() and next(
                (window for window in ids.split() if self.xdotool(
                    "getwindowname", window, check_result=False).strip() == WINDOW_TITLE), None)
        self.window = wait_until(find, "the player's window did not appear", 60, interval=0.2)
        self.xdotool("windowfocus", "--sync", self.window, check_result=False)

    def window_size(self):
        shell = self.xdotool("getwindowgeometry", "--shell", self.window).split()
        values = dict(line.split("=") for line in shell)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def key(self, *keys, pause=0.25):
        """Presses keys (xdotool names: Tab, Return, Escape, Down, F5, f, ...) one by one."""
        for key in keys:
            self.xdotool("windowfocus", self.window, check_result=False)
            self.xdotool("key", "--delay", "60", key)
            time.sleep(pause)

    def capture(self, path):
        subprocess.run(["import", "-window", self.window, path], check=True, capture_output=True)
        return path

    def artifact(self, name):
        """The path <artifacts>/<n>-<name>.png of the next screenshot."""
        self.screenshot_count += 1
        return os.path.join(self.artifacts, f"{self.screenshot_count:02d}-{name}.png")

    def screenshot(self, name):
        return self.capture(self.artifact(name))

    def screenshot_until(self, name, condition, message, timeout=30, interval=0.2):
        """Saves, as screenshot() does, the first view of the window that meets the condition."""
        trial = os.path.join(self.folder, "trial.png")
        wait_until(lambda: condition(self.capture(trial)), message, timeout, interval)
        return shutil.move(trial, self.artifact(name))

    def still_screenshot(self, name, timeout=15):
        """A screenshot once the window has stopped changing (a slide has come to rest)."""
        previous = self.capture(os.path.join(self.folder, "previous.png"))

        def unchanged(shot):
            same = differing_share(previous, shot) < 0.0005
            shutil.copy(shot, previous)
            return same
        return self.screenshot_until(name, unchanged, "the window did not come to rest", timeout)

    def check_clean_exit(self, close=True):
        """Asks the player to quit (unless it quits by itself) and checks that it ends with
        status 0 and without a sanitizer report."""
        if close:
            self.process.terminate()
        try:
            status = self.process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.process.send_signal(signal.SIGABRT)
            self.process.wait(timeout=30)
            raise Failure("the player did not exit")
        errors = self.errors()
        check(status == 0, f"exit status {status}; stderr:\n{errors}")
        check("AddressSanitizer" not in errors and "runtime error" not in errors,
              f"sanitizer report:\n{errors}")
        return errors

    def errors(self):
        self.stderr.flush()
        with open(self.stderr_path, encoding="utf-8", errors="replace") as file:
            return file.read()

    def finish(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.stdout.close()
        self.stderr.close()
        shutil.rmtree(self.folder, ignore_errors=True)


def pixel_colours(png_path, box=None):
    """Counts the distinct colours of a screenshot (or of a box x, y, w, h inside it) with
    ImageMagick, returning {(r, g, b): count}."""
    crop = ["-crop", "{2}x{3}+{0}+{1}".format(*box), "+repage"] if box else []
    result = subprocess.run(["convert", png_path, *crop, "-depth", "8", "-format", "%c",
                             "histogram:info:-"], capture_output=True, text=True, check=True)
    colours = {}
    for count, *values in re.findall(r"(\d+):\s*\(\s*([\d.]+),\s*([\d.]+),\s*([\d.]+)",
                                     result.stdout):
        rgb = tuple(int(float(value)) for value in values)
        colours[rgb] = colours.get(rgb, 0) + int(count)
    return colours


def differing_share(first, second, box=(0, 0) + SCREEN_SIZE):
    """The share of the pixels of a box that differ between two screenshots."""
    x, y, w, h = box
    crop = f"[{w}x{h}+{x}+{y}]"
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "4%", first + crop,
                             second + crop, "null:"], capture_output=True, text=True)
    return float(result.stderr.split()[0]) / (w * h)


def run(test):
    """Runs test(arguments) on a display of its own and reports failures as a non-zero exit
    status."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--runtime", required=True, help="the staged runtime folder")
    parser.add_argument("--artifacts", required=True, help="where screenshots and logs go")
    arguments = parser.parse_args()
    os.makedirs(arguments.artifacts, exist_ok=True)
    with xvfb() as display:
        try:
            os.environ["DISPLAY"] = display
            test(arguments)
        except Failure as failure:
            print(f"FAILED: {failure}")
            raise SystemExit(1)
    print("passed")


def marker_row(shot, first_row_top, row_height, rows=8):
    """The list row whose red selection marker is drawn in a screenshot, or None."""
    for row in range(rows):
        # x 6 to 8 lies inside every list's marker (x 0..9 on the menu and the songs page,
        # 5..14 on the favourites page).
        colours = pixel_colours(shot, (6, first_row_top + row * row_height + 5, 3, 5))
        if colours.get((255, 0, 0), 0) == 15:
            return row
    return None
