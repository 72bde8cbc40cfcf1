"""Drives the real player executable under Xvfb: a scratch copy of the runtime folder, key
presses through xdotool, screenshots through ImageMagick's import, and the window closed with a
WM_DELETE_WINDOW client message (which SDL reports as SDL_QUIT)."""

import argparse
import array
import ctypes
import ctypes.util
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

WINDOW_TITLE = "音乐播放器"
SCREEN_SIZE = (640, 480)
RATE = 44100  # of the captured sound: 16-bit stereo
LIBRARY = "config/music_library.json"


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runtime", required=True, help="the staged runtime folder")
    parser.add_argument("--artifacts", required=True, help="where screenshots and logs go")
    return parser.parse_args()


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


class Xvfb:
    """A private X server on a display number of its own choosing."""

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()  # written once the server accepts clients
        if not number:
            raise RuntimeError("no X display could be started")
        self.display = f":{number}"
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=10)


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("client", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def send_window_close(display, window_id):
    """Asks the window to close the way a window manager does."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display.encode())
    check(connection, "cannot open the X display")
    event = _XEvent()
    client_message = 33
    event.client.type = client_message
    event.client.window = window_id
    event.client.message_type = xlib.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.client.format = 32
    event.client.data[0] = xlib.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    event.client.data[1] = 0  # CurrentTime
    xlib.XSendEvent(connection, window_id, 0, 0, ctypes.byref(event))
    xlib.XFlush(connection)
    xlib.XCloseDisplay(connection)


class PlayerProcess:
    """The player started from a scratch copy of the runtime folder."""

    def __init__(self, runtime, artifacts, display, prepare=None, extra_env=None):
        self.artifacts = artifacts
        self.display = display
        os.makedirs(artifacts, exist_ok=True)
        self.folder = tempfile.mkdtemp(prefix="musicplayer-e2e-")
        self.runtime_copy = os.path.join(self.folder, "runtime")
        shutil.copytree(runtime, self.runtime_copy, symlinks=True)
        if prepare:
            prepare(self.runtime_copy)
        self.stdout_path = os.path.join(artifacts, "stdout.txt")
        self.stderr_path = os.path.join(artifacts, "stderr.txt")
        self.audio_path = os.path.join(self.folder, "audio.raw")
        env = dict(os.environ)
        env.update({
            "DISPLAY": display,
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio_path,
            "SDL_DISKAUDIODELAY": "20",
            # SDL's own software renderer, without a GL driver in between.
            "SDL_RENDER_DRIVER": "software",
            "SDL_FRAMEBUFFER_ACCELERATION": "0",
        })
        if extra_env:
            env.update(extra_env)
        self.stdout = open(self.stdout_path, "wb")
        self.stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen(["./music-player"], cwd=self.runtime_copy, env=env,
                                        stdout=self.stdout, stderr=self.stderr)
        self.window = None
        self.screenshot_count = 0

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

    def titles(self):
        return [song["title"] for song in self.read_json(LIBRARY)["songs"]]

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
        result = subprocess.run(["xdotool", *arguments], env={**os.environ, "DISPLAY": self.display},
                                capture_output=True, text=True)
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

    def window_geometry(self):
        text = self.xdotool("getwindowgeometry", self.window)
        size_line = [line for line in text.splitlines() if "Geometry" in line][0]
        width, height = size_line.split(":")[1].strip().split("x")
        return int(width), int(height)

    def key(self, *keys, pause=0.25):
        """Presses keys (xdotool names: Tab, Return, Escape, Down, F5, f, ...) one by one."""
        for key in keys:
            self.xdotool("windowfocus", self.window, check_result=False)
            self.xdotool("key", "--delay", "60", key)
            time.sleep(pause)

    def capture(self, path):
        subprocess.run(["import", "-window", self.window, path],
                       env={**os.environ, "DISPLAY": self.display}, check=True,
                       capture_output=True)
        return path

    def screenshot(self, name):
        """Saves the window's content as <artifacts>/<n>-<name>.png and returns the path."""
        self.screenshot_count += 1
        return self.capture(os.path.join(self.artifacts, f"{self.screenshot_count:02d}-{name}.png"))

    def screenshot_until(self, name, condition, message, timeout=30, interval=0.2):
        """Saves, as screenshot() does, the first view of the window that meets the condition."""
        trial = os.path.join(self.folder, "trial.png")
        wait_until(lambda: condition(self.capture(trial)), message, timeout, interval)
        self.screenshot_count += 1
        path = os.path.join(self.artifacts, f"{self.screenshot_count:02d}-{name}.png")
        shutil.move(trial, path)
        return path

    def still_screenshot(self, name, timeout=15):
        """A screenshot once the window has stopped changing (a slide has come to rest)."""
        previous = self.capture(os.path.join(self.folder, "previous.png"))

        def unchanged(shot):
            same = differing_share(previous, shot) < 0.0005
            shutil.copy(shot, previous)
            return same
        return self.screenshot_until(name, unchanged, "the window did not come to rest", timeout)

    def check_clean_exit(self, close=True):
        """Closes the window (unless the player quits by itself) and checks that the player
        ends with status 0 and without a sanitizer report."""
        if close:
            send_window_close(self.display, int(self.window))
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
    crop = []
    if box:
        x, y, w, h = box
        crop = ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
    result = subprocess.run(["convert", png_path, *crop, "-depth", "8", "-format", "%c",
                             "histogram:info:-"], capture_output=True, text=True, check=True)
    colours = {}
    for line in result.stdout.splitlines():
        line = line.strip()
        if not line:
            continue
        count, rest = line.split(":", 1)
        values = rest.split("(")[1].split(")")[0].split(",")
        rgb = tuple(int(float(v)) for v in values[:3])
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
    """Runs test(arguments, display) and reports failures as a non-zero exit status."""
    arguments = parse_arguments()
    os.makedirs(arguments.artifacts, exist_ok=True)
    with Xvfb() as server:
        try:
            test(arguments, server.display)
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
