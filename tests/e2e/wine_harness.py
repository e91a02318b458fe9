"""What every end-to-end test shares: the real Windows programs under Wine
(one prefix for all test runs, made once; one display and one Wine server
for each test process), installers built from a project description, the
wizard driven by the robot, and what a run leaves read back from the prefix."""

import atexit
import getpass
import itertools
import os
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BIN = ROOT / "build" / "bin"
sys.path.insert(0, str(ROOT / "tests" / "e2e" / "robot"))
import brindle_robot  # noqa: E402  the robot's module, as authors get it
from brindle_robot import (  # noqa: E402,F401
    BACK, CANCEL, DESKTOP_CHECK, FINISH, FOLDER_FIELD, INSTALL, NEXT, PROGRESS, SETTINGS_PAGE, START_MENU_FIELD,
    START_PROGRAM_CHECK, WEB_LINK, WIZARD, Robot, host_path, run_windows, wait_until)

PROBE = BIN / "brindle-hook-probe.exe"
# The tests' scratch folders and prefix; the demo keeps its own elsewhere, so
# that what it installs never meets a test.
WORK = Path(os.environ.get("BRINDLE_WINE_WORK", ROOT / "build" / "e2e"))
PREFIX = WORK / "prefix"
DRIVE_C = PREFIX / "drive_c"
TESTS = DRIVE_C / "Brindle Tests"  # C:\Brindle Tests, where the tests install to
USER = DRIVE_C / "users" / getpass.getuser()
TEMP = USER / "Temp"
HOOK_LOG = "C:\\hooks.log"

DESKTOP, PROGRAMS, SYSTEM = 0, 2, -2  # folder codes


def wine_environment():
    """The environment of scripts/wine-env.sh plus this run's prefix."""
    dump = subprocess.run(
        ["bash", "-c", f"source '{ROOT / 'scripts' / 'wine-env.sh'}' && env -0"],
        check=True, capture_output=True).stdout
    env = dict(item.split("=", 1) for item in dump.decode().split("\0") if "=" in item)
    env["WINEPREFIX"] = str(PREFIX)
    return env


ENV = wine_environment()
brindle_robot.WINE_ENV = ENV
brindle_robot.ROBOT = BIN / "brindle-robot.exe"
brindle_robot.RETRY_LOG = WORK / "robot-retries.log"
FACTS = {}  # what the platform probe found, {kind: [rest of each line]}


def make_prefix(prefix):
    """A new prefix at `prefix`."""
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.parent.mkdir(parents=True, exist_ok=True)
    env = {**ENV, "WINEPREFIX": str(prefix)}
    subprocess.run(["wine", "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=900)
    subprocess.run(["wineserver", "-w"], env=env, timeout=300)
    own_shell_folders(prefix)
    (prefix / ".brindle-ready").touch()


def own_shell_folders(prefix):
    """Wine links the user's shell folders (the desktop, the documents) to
    the host's where the host has them: each becomes a folder of the
    prefix's own, so that what a test snapshots there is the prefix's alone
    and no link lies on the way to a file the programs make there (the
    uninstaller leaves such files alone)."""
    user = prefix / "drive_c" / "users" / getpass.getuser()
    for folder in user.iterdir() if user.exists() else ():
        if folder.is_symlink():
            folder.unlink()
            folder.mkdir()


def start_session():
    """Makes the prefix once, then gives this test process one display and
    one persistent Wine server (each program then starts in a fraction of the
    time, and writes its files as it runs)."""
    if FACTS:
        return
    display = None
    if not ENV.get("DISPLAY"):
        number = 100 + os.getpid() % 400
        while Path(f"/tmp/.X{number}-lock").exists():
            number += 1
        display = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: Path(f"/tmp/.X11-unix/X{number}").exists(), timeout=30, interval=0.1)
        ENV["DISPLAY"] = f":{number}"
    if not (PREFIX / ".brindle-ready").exists():
        make_prefix(PREFIX)
    own_shell_folders(PREFIX)

    def stop():
        subprocess.run(["wineserver", "-k"], env=ENV)
        if display:
            display.terminate()
    atexit.register(stop)
    start_server()
    for line in run_windows([str(BIN / "brindle-platform-probe.exe")])[1].splitlines():
        kind, _, rest = line.rstrip("\r").partition(" ")
        FACTS.setdefault(kind, []).append(rest)


def start_server():
    """A persistent server for the current prefix. Two programs starting
    together while the server still brings up its services can hang under
    emulation: one program first, to the end, before any other."""
    quiet(["wineserver", "-p"])  # already running is fine
    quiet(["wine", str(BIN / "brindle-robot.exe"), "--timeout", "1", "gone", "#99"])


def use_prefix(prefix):
    """Moves this process's Wine server and every path of the harness to
    `prefix`."""
    global PREFIX, DRIVE_C, TESTS, USER, TEMP
    subprocess.run(["wineserver", "-k"], env=ENV)
    subprocess.run(["wineserver", "-w"], env=ENV, timeout=300)
    PREFIX = prefix
    DRIVE_C = PREFIX / "drive_c"
    TESTS = DRIVE_C / "Brindle Tests"
    USER = DRIVE_C / "users" / getpass.getuser()
    TEMP = USER / "Temp"
    ENV["WINEPREFIX"] = str(PREFIX)
    start_server()


def fresh_prefix(test):
    """Gives `test` a prefix of its own, a copy of one made once and never
    run in, for what only a machine nothing else touched can show (a
    snapshot before and after); the shared prefix comes back when it ends."""
    start_session()
    pristine = WORK / "pristine-prefix"
    if not (pristine / ".brindle-ready").exists():
        make_prefix(pristine)
    own = WORK / "fresh-prefix"
    shared = PREFIX
    shutil.rmtree(own, ignore_errors=True)
    shutil.copytree(pristine, own, symlinks=True)
    use_prefix(own)

    def back():
        use_prefix(shared)
        shutil.rmtree(own, ignore_errors=True)
    test.addCleanup(back)


def windows_32_bit(test):
    """Gives `test` a prefix of 32-bit Windows, made once beside the 64-bit
    one, for what only 32-bit Windows shows (every program of it runs under
    emulation: keep such tests small); the shared prefix comes back when it
    ends."""
    start_session()
    shared, architecture = PREFIX, ENV["WINEARCH"]
    ENV["WINEARCH"] = "win32"
    prefix = WORK / "win32-prefix"
    if not (prefix / ".brindle-ready").exists():
        make_prefix(prefix)
    use_prefix(prefix)

    def back():
        ENV["WINEARCH"] = architecture
        use_prefix(shared)
    test.addCleanup(back)


def quiet(command, timeout=300):
    subprocess.run(command, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)


def system_folders():
    """{folder code: path} as the installer finds them."""
    start_session()
    return {int(code): path for code, _, path in (line.partition(" ") for line in FACTS["folder"])}


def environment(native_first=()):
    """The tests' environment; Wine prefers a DLL of each name in
    `native_first` found along the search path to its own."""
    if not native_first:
        return ENV
    return {**ENV, "WINEDLLOVERRIDES": ENV["WINEDLLOVERRIDES"] + ";" + ",".join(native_first) + "=n,b"}


def run_program(program, *args, native_first=()):
    """Runs a Windows program to its end; its exit code."""
    return run_windows([program, *args], env=environment(native_first))[0]


class Run:
    """One installer (or other program) run in the background, ended when
    the test is done; `wizard` is the robot on its wizard window. An `output`
    file receives what the program prints, a `trace` file Wine's log of the
    processes the run starts (or of the debug `channels` named)."""

    def __init__(self, test, program, *args, cwd=None, native_first=(), wait=True, output=None, trace=None,
                 channels="+process"):
        self.test = test
        self.trace = trace
        env = {**environment(native_first), "WINEDEBUG": channels} if trace else environment(native_first)
        self.installer = brindle_robot.Installer(program, *args, wait=False, cwd=cwd, env=env, output=output,
                                                 errors=trace)
        self.process = self.installer.process
        test.addCleanup(self.installer.kill)
        self.wizard = self.installer.wizard
        if wait:
            self.wizard.wait()

    def ended(self, timeout=120, code=0):
        """Asserts that the run ends with exit `code`: 0 installed, 1 cancelled
        (before the install step), 2 could not run, 3 the application runs
        (unattended), 4 the install step failed, 3010 restart needed. Wine
        hands the host only the code's low eight bits (3010 arrives as 194);
        the robot's watch reads the whole code."""
        self.test.assertEqual(self.installer.wait(timeout=timeout), code % 256)

    def started(self):
        """The command lines of the processes started while the run went, from
        Wine's log of them. Once the run has ended it starts nothing more, so
        a program missing here was never started by it: no wait needed."""
        assert self.trace and self.process.poll() is not None, "only an ended run with a trace tells"
        log = Path(self.trace).read_text("latin-1")
        assert "trace:process:" in log, "no process trace was written"
        return [match.group(1).replace('\\"', '"').replace("\\\\", "\\") for match in
                re.finditer(r'CreateProcessInternalW app .*? cmdline L"(.*)"\r?$', log, re.MULTILINE)]

    def kill(self):
        self.installer.kill()

    def cancel(self):
        self.wizard.click(CANCEL)
        self.ended(code=1)

    def close(self):
        """Closes the wizard before the install step: cancelled."""
        self.wizard.do("close")
        self.ended(code=1)

    def finish(self, code=0):
        self.wizard.click(FINISH)
        self.ended(code=code)

    def progress(self):
        return self.wizard.items(PROGRESS)[0]

    def install(self, folder, before_install=None, during_install=None):
        """From the welcome page of a package without licence and readme to the
        finished page, with `folder` (unless None) as installation folder. `before_install`
        runs on the settings page, to set its fields; `during_install` right
        after the Install button, to answer what the install step asks."""
        robot = self.wizard
        robot.click(NEXT)
        assert robot.wait_for(lambda r: r.visible(SETTINGS_PAGE)), "no settings page"
        if folder is not None:  # None: the folder the wizard proposes
            robot.do("settext", FOLDER_FIELD, folder)
        if before_install:
            before_install(robot)
        robot.click(NEXT)
        assert robot.wait_for(lambda r: r.visible(INSTALL)), "no install page"
        robot.click(INSTALL)
        if during_install:
            during_install()
        assert robot.wait_for(lambda r: r.visible(FINISH), timeout=120), "install did not finish"


class WineTest(unittest.TestCase):
    """A test case with the session started and helpers that clean up after it."""

    @classmethod
    def setUpClass(cls):
        start_session()

    def start(self, program, *args, **options):
        return Run(self, program, *args, **options)

    def scrub(self, *paths):
        """Removes host files and folders now and when the test ends."""
        def remove():
            for path in paths:
                if path.is_dir() and not path.is_symlink():
                    shutil.rmtree(path)
                else:
                    path.unlink(missing_ok=True)
        remove()
        self.addCleanup(remove)

    def scrub_keys(self, *keys):
        """Deletes registry keys now and when the test ends."""
        for key in keys:
            reg("delete", key, "/f")
            self.addCleanup(reg, "delete", key, "/f")


def setup_ini(groups):
    """setup.ini text from {group: {key: value}}."""
    lines = []
    for group, keys in groups.items():
        lines += [f"[{group}]"] + [f"{key}={value}" for key, value in keys.items()]
    return "\r\n".join(lines) + "\r\n"


def write_tree(folder, files):
    """Writes {name: text, bytes or (bytes, FILETIME)}; "/" in names makes sub-folders."""
    for name, content in files.items():
        content, filetime = content if isinstance(content, tuple) else (content, None)
        path = folder / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content.encode("latin-1") if isinstance(content, str) else content)
        if filetime:
            seconds = (filetime - 116444736000000000) / 10_000_000
            os.utime(path, (seconds, seconds))
    return folder


_installers = itertools.count()


def build_installer(setup=None, files=None, package=None, stub=BIN / "brindle-setup.exe"):
    """An installer whose package holds setup.ini made from `setup`
    ({group: {key: value}}), the `files` and, when given, a setup.pck of the
    `package` files (both as write_tree takes them), behind `stub`."""
    scratch = fresh_work(f"installer-{next(_installers)}")
    files = dict(files or {})
    if setup is not None:
        files["setup.ini"] = setup_ini(setup)
    if package is not None:
        write_tree(scratch / "app", package)
        subprocess.run([BIN / "brindle-pack", "pack", scratch / "app", "-o", scratch / "setup.pck"], check=True)
        files["setup.pck"] = (scratch / "setup.pck").read_bytes()
    write_tree(scratch / "tree", files)
    subprocess.run([BIN / "brindle-pack", "pack", scratch / "tree", "-o", scratch / "setup.exe",
                    "--stub", stub], check=True)
    return scratch / "setup.exe"


def sign(installer):
    """Signs the installer with brindle-pack and a throw-away certificate."""
    cert, key = installer.parent / "cert.pem", installer.parent / "key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "1", "-subj", "/CN=Test"], check=True, capture_output=True)
    subprocess.run([BIN / "brindle-pack", "sign", installer, "--cert", cert, "--key", key], check=True)
    verified = subprocess.run([BIN / "brindle-pack", "verify", installer], capture_output=True, text=True)
    assert verified.stdout.startswith("signature: present"), verified.stdout
    return installer


def filetime_of(path):
    return int(round(os.stat(path).st_mtime_ns / 100)) + 116444736000000000


def read_shortcut(link):
    """(target, working folder, icon file, icon index) of a .lnk file, read
    through the shell's link object; None when it cannot be read."""
    code, output, _ = Robot().run("shortcut", link, timeout=240)
    if code != 0:
        return None
    target, folder, icon, index = output.split("\n")[:4]
    return target, folder, icon, int(index)


def reg(*args):
    """reg.exe as 32-bit programs see the registry (the 64-bit prefix keeps
    their HKEY_LOCAL_MACHINE\\Software apart): exit code and output."""
    return run_windows(["C:\\windows\\syswow64\\reg.exe", *args])[:2]


def reg64(*args):
    """reg.exe in the registry's 64-bit view, as 64-bit programs see it."""
    return run_windows(["reg.exe", *args, "/reg:64"])[:2]


def registry_values(key, view=reg):
    """{name: text} of a key (in the view of `view`, reg or reg64); None when it is missing."""
    code, output = view("query", key)
    matches = (re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line) for line in output.splitlines())
    return {match.group(1): match.group(3) for match in matches if match} if code == 0 else None


def set_registry_values(key, values):
    """Sets {name: text}; the name None is the key's default value."""
    for name, text in values.items():
        assert reg("add", key, *(["/v", name] if name is not None else ["/ve"]), "/d", text, "/f")[0] == 0


def windows_path(path):
    """The Windows name of a host path (Wine's drive Z: is the host's root)."""
    return "Z:" + str(path).replace("/", "\\")


def start_hook_log():
    """Makes the probe programs started from now on log their starts into a
    log that starts empty."""
    ENV["BRINDLE_HOOK_LOG"] = HOOK_LOG
    host_path(HOOK_LOG).unlink(missing_ok=True)


def hook_log():
    """The probes' starts so far: (name, working folder, InstallDir, mutex, arguments)."""
    log = host_path(HOOK_LOG)
    return [tuple(line.split("|")) for line in log.read_text("latin-1").splitlines()] if log.exists() else []


def work_directories():
    return sorted(TEMP.glob("Brindle*"))


def remove_work_directories():
    for folder in work_directories():
        shutil.rmtree(folder)


def program_files():
    """The program files folder a 32-bit program sees, with its backslash."""
    return "C:\\Program Files (x86)\\" if ENV.get("WINEARCH") == "win64" else "C:\\Program Files\\"


def fresh_work(name):
    """An empty scratch folder below build/e2e."""
    folder = WORK / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    return folder
