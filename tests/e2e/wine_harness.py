"""Runs the real Windows programs under Wine for the end-to-end tests.

One Wine prefix serves a whole test run (build/e2e/prefix); it is made once
and reused. GUI programs get a virtual display through xvfb-run when no
display is set.
"""

import getpass
import os
import shutil
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BIN = ROOT / "build" / "bin"
WORK = ROOT / "build" / "e2e"
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


def _display_wrapper():
    return [] if os.environ.get("DISPLAY") else ["xvfb-run", "-a"]


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
    subprocess.run(["wineserver", "-w"], env=ENV, timeout=300)


def run(program, args=(), timeout=300):
    """Runs a Windows program and returns its exit code once Wine is idle."""
    ensure_prefix()
    result = subprocess.run(_display_wrapper() + ["wine", str(program), *args], env=ENV,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    wait_for_wineserver()
    return result.returncode


def user_folder():
    return PREFIX / "drive_c" / "users" / getpass.getuser()


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
