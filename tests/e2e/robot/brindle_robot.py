"""Tests of a Brindle installer under Wine, driven as a user drives it.

An installer runs under Wine in the background; brindle-robot.exe, a small
Windows program shipped beside the installer stub, finds its windows and
controls by their numbers and reads or acts on them from outside, as a user
would. Every call waits for its window or control to appear (30 seconds
unless told otherwise) and raises AssertionError when it fails.

    import brindle_robot as robot
    setup = robot.Installer("myapp-setup.exe")      # started; its wizard shown
    setup.wizard.click(robot.NEXT, then_shown=robot.LICENCE_PAGE)

Wine runs with the environment of this process: WINEPREFIX (else ~/.wine)
and DISPLAY say where.
"""

import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

# Where the Debian package puts the robot, seen from this module's place
# (/usr/lib/python3/dist-packages).
ROBOT = Path(__file__).resolve().parents[3] / "share" / "brindle" / "brindle-robot.exe"
# The environment Wine runs with: this process's, unless set otherwise.
WINE_ENV = os.environ

# Windows: the wizard, the start-menu chooser, the language chooser, the version dialog.
WIZARD, START_MENU_CHOOSER, LANGUAGE_CHOOSER, VERSION_DIALOG = "#1", "#2", "#3", "#4"
# Controls of the wizard.
WEB_LINK, BACK, NEXT, CANCEL, INSTALL, FINISH = 4, 5, 6, 7, 8, 9
WELCOME_PAGE, LICENCE_PAGE, SETTINGS_PAGE, README_PAGE, INSTALL_PAGE = 25, 12, 16, 10, 30
ACCEPT, DECLINE = 14, 15  # the licence options
FOLDER_FIELD, START_MENU_FIELD, START_MENU_CHANGE, DESKTOP_CHECK = 19, 22, 23, 24
STATUS_LINE, PROGRESS, START_PROGRAM_CHECK = 33, 34, 35


def run_windows(command, env=None, timeout=300):
    """Runs a Windows program under Wine to its end: (exit code, output, error).
    They come through files, not pipes: a program Wine starts for it (the
    desktop process, when none is running) inherits its handles and would
    hold a pipe open for minutes after the program has ended."""
    with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as error:
        code = subprocess.run(["wine", *map(str, command)], env=env or WINE_ENV, stdout=output, stderr=error,
                              timeout=timeout).returncode
        output.seek(0)
        error.seek(0)
        return code, output.read().decode("latin-1"), error.read().decode("latin-1")


def wait_until(condition, timeout=60, interval=0.5):
    """Whether `condition()` came true within `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(interval)
    return condition()


def host_path(windows_path):
    """The host's file for a C:\\ path of the Wine prefix."""
    assert windows_path[:3].upper() == "C:\\", windows_path
    prefix = Path(WINE_ENV.get("WINEPREFIX") or Path.home() / ".wine")
    return prefix / "drive_c" / windows_path[3:].replace("\\", "/")


STARTED = "brindle-robot: started\n"  # the robot's first line, before it does anything
START_LIMIT = 90  # seconds; on a loaded machine a robot now and then never gets going
ATTEMPTS = 3
# A file that collects every retry, so that a rising rate shows; None: stderr only.
RETRY_LOG = None


def log_retry(args, attempt):
    line = f"{time.strftime('%Y-%m-%d %H:%M:%S')} attempt {attempt}: robot {' '.join(map(str, args))} never started"
    print(line, file=sys.stderr, flush=True)
    if RETRY_LOG is not None:
        with open(RETRY_LOG, "a") as log:
            log.write(line + "\n")


class Robot:
    """The robot on one window: its caption, or "#" and its number."""

    def __init__(self, window=WIZARD):
        self.window = window

    def run(self, *args, timeout=60):
        """The robot's exit code, output and error for any command line;
        with no `timeout` the robot's own default. A robot that never
        announced its start did nothing and is run again; one that started
        is never run twice (its click or text change may have happened), and
        one that outlives its deadline raises."""
        command = ["wine", ROBOT, *(["--timeout", timeout] if timeout is not None else []), *args]
        deadline = (timeout if timeout is not None else 30) + 60
        for attempt in range(1, ATTEMPTS + 1):
            # Files, not pipes: see run_windows.
            with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as error:
                process = subprocess.Popen(list(map(str, command)), env=WINE_ENV, stdout=output, stderr=error)
                started = lambda: os.pread(output.fileno(), len(STARTED), 0) == STARTED.encode()
                wait_until(lambda: started() or process.poll() is not None, timeout=START_LIMIT, interval=0.2)
                if not started():
                    process.kill()
                    process.wait()
                    log_retry(args, attempt)
                    continue
                try:
                    code = process.wait(timeout=deadline)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
                    raise AssertionError(f"robot {' '.join(map(str, args))}: still running {deadline} s after it started")
                output.seek(0)
                error.seek(0)
                return code, output.read().decode("latin-1")[len(STARTED):], error.read().decode("latin-1")
        raise AssertionError(f"robot {' '.join(map(str, args))}: never started in {ATTEMPTS} attempts")

    def do(self, command, *operands, timeout=60):
        """Output of a command on this window; raises when it fails."""
        code, output, error = self.run(command, self.window, *operands, timeout=timeout)
        if code != 0:
            raise AssertionError(f"robot {command} {self.window} {operands}: {error.strip()}")
        return output

    def wait(self):
        """Waits for the window to show; its caption. A program's first start under Wine is slow."""
        return self.do("wait", timeout=240)[:-1]

    def gone(self, timeout=0):
        return self.run("gone", self.window, timeout=timeout)[0] == 0

    def caption(self):
        return self.do("caption")[:-1]

    def click(self, control, then_shown=None, timeout=60):
        """Clicks a button, option, check box or link; with `then_shown`,
        waits until that control shows, as the wizard handles the click
        after the robot has made it."""
        self.do("click", control)
        if then_shown is not None and not self.wait_for(lambda r: r.visible(then_shown), timeout=timeout):
            raise AssertionError(f"robot: control {then_shown} of {self.window} did not show "
                                 f"after a click on {control}")

    def set_text(self, control, text):
        """Sets a field's text without leaving the field."""
        self.do("settext", control, text)

    def enter(self, control, text):
        """Types `text` into a field and leaves it."""
        self.set_text(control, text)
        self.do("leave", control)

    def text(self, control):
        return self.do("text", control)[:-1]

    def state(self, control):
        """{"checked", "visible", "shown", "enabled"}: each True or False."""
        return {key: value == "1" for key, value in (item.split("=") for item in self.do("state", control).split())}

    def visible(self, control):
        return self.state(control)["visible"]

    def visible_controls(self):
        """The numbers of all controls that can be seen, in one reading."""
        rows = (line.split("\t") for line in self.do("dump").splitlines())
        return {int(row[0]) for row in rows if row[2] == "1"}

    def items(self, control):
        """The items of a list and the index of the selected one (-1: none)."""
        lines = self.do("items", control).splitlines()
        return lines[:-1], int(lines[-1].split("=")[1])

    def wait_for(self, condition, timeout=30):
        """Whether `condition(robot)` came true within `timeout` seconds."""
        return wait_until(lambda: condition(self), timeout=timeout, interval=0.3)


def watch(program, arguments="", timeout=300):
    """Runs a program (a Windows path) with `arguments` to its end through
    the robot, which looks at the top-level windows all along: (exit code,
    [(class, caption) of every window the program had, hidden ones too],
    (peak working set, peak pagefile usage) in bytes as Windows reports
    them, 0 where it did not)."""
    code, output, error = Robot().run("watch", program, arguments, timeout=timeout)
    if code != 0:
        raise AssertionError(f"robot watch {program} {arguments}: {error.strip()}")
    lines = output.splitlines()
    windows = [tuple(line[len("window "):].split("\t", 1)) for line in lines if line.startswith("window ")]
    peaks = next(tuple(map(int, line.split()[1:])) for line in lines if line.startswith("memory "))
    return int(lines[0].split()[1]), windows, peaks


def run_unattended(program, arguments="", timeout=300):
    """Runs a program as watch() does, as for an installer run with /S:
    (exit code, its windows)."""
    code, windows, _ = watch(program, arguments, timeout)
    return code, windows


class Installer:
    """An installer (or any Windows program) started under Wine in the
    background; `wizard` is the robot on its wizard, which is waited for
    unless `wait` is False."""

    def __init__(self, program, *args, wait=True, cwd=None, env=None, output=None, errors=None):
        with open(output or os.devnull, "wb") as printed, open(errors or os.devnull, "wb") as logged:
            self.process = subprocess.Popen(["wine", str(program), *map(str, args)], env=env or WINE_ENV, cwd=cwd,
                                            stdout=printed, stderr=logged)
        self.wizard = Robot(WIZARD)
        if wait:
            self.wizard.wait()

    def wait(self, timeout=120):
        """Waits for the program to end; its exit code."""
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
