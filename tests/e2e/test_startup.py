"""First start without any configuration: the window opens with its title and size, the
start-up error lines for the missing files are printed, the frame loop runs, and a request to
quit ends the program with status 0. Started where no display can be opened, the player says
so and exits instead of running invisibly."""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
from harness import check  # noqa: E402


def remove_config(runtime):
    shutil.rmtree(os.path.join(runtime, "config"), ignore_errors=True)


def test(arguments):
    with harness.PlayerProcess(arguments.runtime, arguments.artifacts, remove_config) as player:
        player.wait_until_ready()  # the first start scans the music folder first
        check(player.window_size() == harness.SCREEN_SIZE, f"window size {player.window_size()}")
        player.key("Down")
        shot = player.screenshot_until("running", lambda s: harness.marker_row(s, 30, 60, 7) == 1,
                                       "Down did not move the menu's selection")
        check(len(harness.pixel_colours(shot, (60, 30, 200, 450))) > 20, "no menu labels")
        errors = player.check_clean_exit()
        check("config/settings.json" in errors, f"no error names the settings file:\n{errors}")
        check(not os.path.exists(player.path("config/settings.json")),
              "a settings file was written although nothing changed")

    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    environment["SDL_AUDIODRIVER"] = "dummy"
    result = subprocess.run([os.path.join(arguments.runtime, "music-player")],
                            cwd=arguments.runtime, env=environment, capture_output=True,
                            text=True, timeout=60)
    check(result.returncode != 0, "the player ran without a display")
    check("[ERROR]" in result.stderr, f"no error line in:\n{result.stderr}")


if __name__ == "__main__":
    harness.run(test)
