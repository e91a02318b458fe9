"""Runs the real Windows programs under Wine for the end-to-end tests.

One Wine prefix serves a whole test run (build/e2e/prefix); it is made once
and reused. GUI programs get a virtual display through xvfb-run when no
display is set.
"""

import atexit
import getpass
import os
import re
import shutil
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BIN = ROOT / "build" / "bin"
# The tests' scratch folders and prefix; the demo keeps its own elsewhere, so
# that what it installs never meets a test.
WORK = Path(os.environ.get("BRINDLE_WINE_WORK", ROOT / "build" / "e2e"))
PREFIX = WORK / "prefix"


def wine_environment():
    """The environment of scripts/wine-env.sh plus this run's prefix."""
    dump = subprocess.run(
        ["bash", "-c", f"source '{ROOT / 'scripts' / 'wine-env.sh'}' && env -0"],
        check=True, capture_output=True).stdout
    env = dict(item.split("=", 1) for item in dump.decode().split("\0") if "=" in item)
    env["WINEPREFIX"] = str(PREFIX)
    return env


ENV = wine_environment()
PERSISTENT_SERVER = False


def _display_wrapper():
    return [] if ENV.get("DISPLAY") else ["xvfb-run", "-a"]


def ensure_display():
    """Gives this test process one virtual display for all its GUI programs
    (a display that ends while Wine still draws on it breaks the server)."""
    if ENV.get("DISPLAY"):
        return
    number = 100 + os.getpid() % 400
    while Path(f"/tmp/.X{number}-lock").exists():
        number += 1
    server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: Path(f"/tmp/.X11-unix/X{number}").exists(), timeout=30, interval=0.1)
    ENV["DISPLAY"] = f":{number}"
    # One server for the whole test process: each program then starts in a
    # fraction of the time.
    global PERSISTENT_SERVER
    ensure_prefix()
    # Already running is fine. Its output must not hold the caller's pipes open.
    subprocess.run(["wineserver", "-p"], env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    PERSISTENT_SERVER = True
    # Two programs starting together while the server is still bringing up
    # its services can hang under emulation: one program first, to the end.
    # Wine's background programs start with it and inherit its output, so
    # that output goes nowhere rather than into a pipe someone waits on.
    subprocess.run(["wine", str(BIN / "brindle-robot.exe"), "--timeout", "1", "gone", "#99"], env=ENV,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    # The same for the shell and component libraries the installer loads.
    subprocess.run(["wine", str(BIN / "brindle-platform-probe.exe")], env=ENV,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)

    def stop():
        subprocess.run(["wineserver", "-k"], env=ENV)
        server.terminate()
    atexit.register(stop)


class Robot:
    """brindle-robot.exe: drives and reads the installer's windows by number."""

    def __init__(self, window):
        self.window = window

    def run(self, *args, timeout=60):
        command = ["wine", str(BIN / "brindle-robot.exe"), "--timeout", str(timeout), *map(str, args)]
        try:
            result = subprocess.run(command, env=ENV, capture_output=True, timeout=timeout + 60)
        except subprocess.TimeoutExpired:
            # Under emulation a robot process now and then never gets going
            # (it outlives its own deadline); a second one does.
            result = subprocess.run(command, env=ENV, capture_output=True, timeout=timeout + 60)
        return result.returncode, result.stdout.decode("latin-1")

    def do(self, *args, timeout=60):
        code, out = self.run(*args, timeout=timeout)
        if code != 0:
            raise AssertionError(f"robot {' '.join(map(str, args))} failed ({code})")
        return out

    def click(self, control):
        return self.do("click", self.window, control)

    def text(self, control):
        return self.do("text", self.window, control)[:-1]

    def set_text(self, control, text):
        return self.do("settext", self.window, control, text)

    def leave(self, control):
        return self.do("leave", self.window, control)

    def state(self, control):
        fields = dict(item.split("=") for item in self.do("state", self.window, control).split())
        return {key: value == "1" for key, value in fields.items()}

    def visible(self, control):
        return self.state(control)["visible"]

    def enabled(self, control):
        return self.state(control)["enabled"]

    def checked(self, control):
        return self.state(control)["checked"]

    def items(self, control):
        lines = self.do("items", self.window, control).splitlines()
        return lines[:-1], int(lines[-1].split("=")[1])

    def close(self):
        return self.do("close", self.window)

    def wait(self):
        """Waits for the window; a program's first start in a fresh server is slow."""
        return self.do("wait", self.window, timeout=240)

    def wait_for_text(self, control, expected, timeout=30):
        """Events are handled after the robot's call returns: poll for the result."""
        return wait_until(lambda: self.text(control) == expected, timeout=timeout, interval=0.3)


def environment(native_first=()):
    """The tests' environment; Wine prefers a DLL of each name in
    `native_first` found along the search path to its own."""
    if not native_first:
        return ENV
    return {**ENV, "WINEDLLOVERRIDES": ENV["WINEDLLOVERRIDES"] + ";" + ",".join(native_first) + "=n,b"}


class Installer:
    """One run of an installer in the background, on the shared display,
    started in `cwd` (the current folder when None)."""

    def __init__(self, path, cwd=None, native_first=()):
        ensure_display()
        self.process = subprocess.Popen(["wine", str(path)], env=environment(native_first), cwd=cwd,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait(self, timeout=120):
        code = self.process.wait(timeout=timeout)
        wait_for_wineserver()
        return code

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()


def ensure_prefix():
    """Makes the prefix once; later calls find it ready."""
    marker = PREFIX / ".brindle-ready"
    if marker.exists():
        return
    if PREFIX.exists():
        shutil.rmtree(PREFIX)
    WORK.mkdir(parents=True, exist_ok=True)
    subprocess.run(_display_wrapper() + ["wine", "wineboot", "-i"], env=ENV, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=900)
    wait_for_wineserver()
    marker.touch()


def wait_for_wineserver():
    """Waits until Wine has written everything out. A persistent server (see
    ensure_display) writes files as the programs do, so there is nothing to
    wait for once a program has ended."""
    if not PERSISTENT_SERVER:
        subprocess.run(["wineserver", "-w"], env=ENV, timeout=300)


def run(program, args=(), timeout=300, native_first=()):
    """Runs a Windows program and returns its exit code once Wine is idle."""
    ensure_prefix()
    result = subprocess.run(_display_wrapper() + ["wine", str(program), *args], env=environment(native_first),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    wait_for_wineserver()
    return result.returncode


def read_shortcut(link):
    """(target, working folder, icon file, icon index) of a .lnk file, read
    through the shell's link object; None when it cannot be read."""
    result = subprocess.run(["wine", str(BIN / "brindle-robot.exe"), "shortcut", link], env=ENV,
                            capture_output=True, timeout=300)
    if result.returncode != 0:
        return None
    target, folder, icon, index = result.stdout.decode("latin-1").split("\n")[:4]
    return target, folder, icon, int(index)


def registry_values(key):
    """{name: text} of a key as 32-bit programs see it (the 64-bit prefix
    keeps their HKEY_LOCAL_MACHINE\\Software apart); None when it is missing."""
    result = subprocess.run(["wine", "C:\\windows\\syswow64\\reg.exe", "query", key], env=ENV,
                            capture_output=True, timeout=300)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("latin-1").splitlines():
        match = re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line)
        if match:
            values[match.group(1)] = match.group(3)
    return values


def set_registry_value(key, name, text):
    subprocess.run(["wine", "C:\\windows\\syswow64\\reg.exe", "add", key, "/v", name, "/d", text, "/f"], env=ENV,
                   capture_output=True, timeout=300, check=True)


def delete_registry_key(key):
    subprocess.run(["wine", "C:\\windows\\syswow64\\reg.exe", "delete", key, "/f"], env=ENV,
                   capture_output=True, timeout=300)


def system_folders():
    """{folder code: path} as the installer finds them."""
    result = subprocess.run(["wine", str(BIN / "brindle-platform-probe.exe")], env=ENV, capture_output=True,
                            timeout=300, check=True)
    folders = {}
    for line in result.stdout.decode("latin-1").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "folder":
            code, _, path = rest.partition(" ")
            folders[int(code)] = path
    return folders


def host_path(windows_path):
    """The prefix's file for a C:\\ path."""
    assert windows_path[:3].upper() == "C:\\"
    return PREFIX / "drive_c" / windows_path[3:].replace("\\", "/")


HOOK_LOG = "C:\\hooks.log"


def start_hook_log():
    """Makes the probe programs started from now on log their starts, into
    a log that starts empty."""
    ENV["BRINDLE_HOOK_LOG"] = HOOK_LOG
    host_path(HOOK_LOG).unlink(missing_ok=True)


def hook_log():
    """The probes' starts so far: (name, working folder, InstallDir, mutex)."""
    log = host_path(HOOK_LOG)
    if not log.exists():
        return []
    return [tuple(line.split("|")) for line in log.read_text("latin-1").splitlines()]


def remove_work_directories():
    for folder in temp_folder().glob("Brindle*"):
        shutil.rmtree(folder)


def user_folder():
    return PREFIX / "drive_c" / "users" / getpass.getuser()


def program_files():
    """The program files folder a 32-bit program sees, with its backslash."""
    return "C:\\Program Files (x86)\\" if ENV.get("WINEARCH") == "win64" else "C:\\Program Files\\"


def temp_folder():
    return user_folder() / "Temp"


def pack(tree, output, stub=None):
    """Runs brindle-pack pack; returns the output path."""
    command = [str(BIN / "brindle-pack"), "pack", str(tree), "-o", str(output)]
    if stub:
        command += ["--stub", str(stub)]
    subprocess.run(command, check=True)
    return output


def set_mtime(path, filetime):
    """Sets a host file's last-write time from a FILETIME value."""
    seconds = (filetime - 116444736000000000) / 10_000_000
    os.utime(path, (seconds, seconds))


def filetime_of(path):
    return int(round(os.stat(path).st_mtime_ns / 100)) + 116444736000000000


def fresh_work(name):
    """An empty scratch folder below build/e2e for one test."""
    folder = WORK / name
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    return folder


def wait_until(condition, timeout=60, interval=0.5):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(interval)
    return condition()
