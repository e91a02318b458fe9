"""The uninstaller under Wine: an install followed by an uninstall leaves the
machine as it was, interactively and with /S; the user's files stay unless
DelAll is ticked; a second application is untouched; no hostile
uninstall.dat reaches beyond the installation; a running program blocks the
removal; a file held open is reported and the exit code says so."""

import os
import re
import shutil
import subprocess

import wine_harness as wine

UNINSTALLER = "#5"
DELETE_ALL, STATUS, LEFTOVERS, OK, CANCEL = 60, 61, 62, 63, 64
DONE, FAILED = "Uninstalling completed.", "Uninstalling Program Not possible."
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
CHOICES_KEY = "HKCU\\SOFTWARE\\Brindle\\"
TESTS = "C:\\Brindle Tests\\"
MUTEX = "Brindle E2E Uninstall Mutex"
WARNING = "uninstall Program"
SHARED_DLL = "brindle-e2e-round-trip.dll"
APPS = wine.DRIVE_C / "Apps"


def template(files, prog_name="Tool", mutex=""):
    """uninstall.dat as the builder writes it: comments, Settings and Files."""
    lines = ["; Brindle uninstall data", "; the installer adds its groups below", "[Settings]",
             f"ProgName = {prog_name}", "Version = 2.0", "NoDelAll = 0", f"MutexString = {mutex}", "[Files]"]
    lines += [f"F{number:03d} = {name}" for number, name in enumerate(files, 1)]
    return "\r\n".join(lines) + "\r\n"


def start(command):
    """Starts a Windows command line (the program's path, quoted when it
    holds a blank, then the arguments) under Wine."""
    if command.startswith('"'):
        program, _, arguments = command[1:].partition('"')
    else:
        program, _, arguments = command.partition(" ")
    return subprocess.Popen(["wine", program, *arguments.split()], env=wine.ENV,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def finish(uninstaller, robot, status=DONE):
    """Waits for the outcome, closes the window and returns the exit code."""
    if not robot.wait_for(lambda r: r.text(STATUS) == status, timeout=120):
        raise AssertionError(f"status {robot.text(STATUS)!r}, stayed: {robot.items(LEFTOVERS)[0]}")
    robot.click(OK)
    return uninstaller.wait(timeout=120)


def wait_gone(path, timeout=120):
    """The copy removes the uninstaller and its folder after the original ended."""
    return wine.wait_until(lambda: not path.exists(), timeout=timeout)


def snapshot():
    """Drive C without the temporary folder, the desktop (a link to a host
    folder) and the registry's software keys, as {item: digest}."""
    drive = wine.DRIVE_C
    items = {}
    for folder, folders, files in os.walk(drive):
        if os.path.realpath(folder) == os.path.realpath(wine.TEMP):
            folders[:] = []
            continue
        for name in folders:
            items[os.path.relpath(os.path.join(folder, name), drive)] = "folder"
        for name in files:
            path = os.path.join(folder, name)
            items[os.path.relpath(path, drive)] = digest(path)
    desktop = wine.USER / "Desktop"
    for path in desktop.iterdir() if desktop.exists() else ():
        items[f"Desktop/{path.name}"] = "link"
    for key in ("HKLM\\Software", "HKCU\\Software"):
        items.update({f"{key}: {line}": "value" for line in registry_lines(key)})
    return items


def digest(path):
    """Size and time of a file: a change to it changes its time."""
    if os.path.islink(path) or not os.path.isfile(path):
        return "other"
    status = os.stat(path)
    return f"{status.st_size} {status.st_mtime_ns}"


def registry_lines(key, view=wine.reg):
    """The key's export (in the view of `view`, wine.reg or wine.reg64), each
    value prefixed by its key; Wine's own volatile corners left out."""
    export = wine.WORK / "snapshot.reg"
    assert view("export", key, wine.windows_path(export), "/y")[0] == 0
    lines, current = [], ""
    for line in export.read_bytes().decode("utf-16").splitlines():
        if line.startswith("["):
            current = line
        elif line and not line.startswith("Windows Registry"):
            lines.append(f"{current} {line}")
    export.unlink()
    return lines


def differences(before, after):
    changed = {item for item in before.keys() | after.keys() if before.get(item) != after.get(item)}
    return sorted(changed)


class Installation:
    """An installation laid out as the installer leaves it: the uninstaller,
    uninstall.dat, the files, the uninstall entry and the remembered choices."""

    def __init__(self, name, files=("tool.exe", "docs\\manual.txt"), mutex="", folder=None):
        self.folder = folder or f"{TESTS}{name}\\"
        self.guid = f"{{E2E-UNINSTALL-{name.upper()}}}"
        self.path = wine.host_path(self.folder)
        self.path.mkdir(parents=True, exist_ok=True)
        self.made = [self.path / name.replace("\\", "/") for name in (*files, "Uninstall.exe", "uninstall.dat")]
        for file_name in files:
            file = self.path / file_name.replace("\\", "/")
            file.parent.mkdir(parents=True, exist_ok=True)
            file.write_bytes(f"{name} {file_name}".encode())
        shutil.copyfile(wine.BIN / "brindle-uninstall.exe", self.path / "Uninstall.exe")
        settings = [f"ProgDir = {self.folder}", "ProgExe = tool.exe", f"GUID = {self.guid}",
                    f"ProgLink = {name}", "StartMenu = ", "DesktopIcon = "]
        data = template(files, name, mutex).replace("[Files]", "\r\n".join(settings) + "\r\n[Files]")
        (self.path / "uninstall.dat").write_bytes(data.encode("latin-1"))
        self.entry = UNINSTALL_KEY + self.guid
        wine.set_registry_values(self.entry, {"UninstallString": self.command()})
        wine.set_registry_values(CHOICES_KEY + self.guid, {"InstallDir": self.folder})

    def command(self, silent=False):
        path = f'"{self.folder}uninstall.exe"' if " " in self.folder else f"{self.folder}uninstall.exe"
        return path + (" /S" if silent else "")

    def registered(self):
        return (wine.registry_values(self.entry) is not None, wine.registry_values(CHOICES_KEY + self.guid) is not None)

    def remove(self):
        """What the test made; a drive root itself stays."""
        for path in self.made:
            path.unlink(missing_ok=True)
        if self.folder != "C:\\":
            shutil.rmtree(self.path, ignore_errors=True)
        wine.reg("delete", self.entry, "/f")
        wine.reg("delete", CHOICES_KEY + self.guid, "/f")


class UninstallTest(wine.WineTest):
    def setUp(self):
        self.tests = wine.TESTS
        self.scrub(self.tests)
        self.addCleanup(wine.remove_work_directories)

    def install(self, name, **options):
        installation = Installation(name, **options)
        self.addCleanup(installation.remove)
        return installation

    def open_window(self, installation):
        uninstaller = start(installation.command())
        self.addCleanup(lambda: uninstaller.poll() is None and uninstaller.kill())
        robot = wine.Robot(UNINSTALLER)
        robot.wait()
        return uninstaller, robot

    def running_application(self, name, **side_files):
        """The probe as C:\\Apps\\<name>, running until the test ends."""
        APPS.mkdir(parents=True, exist_ok=True)
        self.addCleanup(shutil.rmtree, APPS, True)
        (APPS / name).write_bytes(wine.PROBE.read_bytes())
        base = name.rpartition(".")[0]
        for extension, text in {"wait": "", **side_files}.items():
            (APPS / f"{base}.{extension}").write_text(text)
        running = self.start(APPS / name, wait=False)
        window = f"{base} running"
        close = lambda: (wine.Robot(window).run("close", window, timeout=5), running.process.wait())
        self.addCleanup(close)
        wine.Robot(window).wait()
        return close


class UserFilesAndNeighbours(UninstallTest):
    def test_user_file_stays_without_delete_all_and_a_second_application_is_untouched(self):
        first, second = self.install("First"), self.install("Second")
        (first.path / "notes.txt").write_bytes(b"the user's own")
        self.assertEqual(wine.run_program(first.folder + "Uninstall.exe", "/S"), 0)
        self.assertTrue(wait_gone(first.path / "Uninstall.exe"))
        self.assertEqual(sorted(item.name for item in first.path.iterdir()), ["notes.txt"])
        self.assertEqual(first.registered(), (False, False))
        self.assertEqual(second.registered(), (True, True))
        self.assertEqual(sorted(item.name for item in second.path.iterdir()),
                         ["Uninstall.exe", "docs", "tool.exe", "uninstall.dat"])

    def test_delete_all_takes_the_user_files_and_the_folder(self):
        installation = self.install("Everything", files=("tool.exe",))
        (installation.path / "made later").mkdir()
        (installation.path / "made later" / "notes.txt").write_bytes(b"the user's own")
        uninstaller, robot = self.open_window(installation)
        self.assertTrue(robot.visible(DELETE_ALL))
        robot.click(DELETE_ALL)
        robot.click(OK)
        self.assertEqual(finish(uninstaller, robot), 0)
        self.assertTrue(wait_gone(installation.path))


class HostileData(UninstallTest):
    def test_entries_that_leave_the_folder_remove_nothing_outside(self):
        outside = self.tests / "Outside"
        outside.mkdir(parents=True)
        for name in ("outside.txt", "inside.txt", "menu.lnk"):
            (outside / name).write_bytes(b"not the installation's")
        (self.tests / "outside.txt").write_bytes(b"not the installation's")
        entries = ("own.txt", "..\\outside.txt", f"{TESTS}outside.txt", "sub\\..\\..\\outside.txt",
                   "link\\inside.txt", "nul", "own.txt:stream", "\\Brindle Tests\\outside.txt")
        installation = self.install("Hostile", files=("own.txt",))
        data = (installation.path / "uninstall.dat").read_bytes().decode("latin-1")
        data = data.replace("F001 = own.txt\r\n", "".join(f"F{i:03d} = {entry}\r\n" for i, entry in enumerate(entries, 1)))
        data += (f"[StartMenu]\r\nProgram = {TESTS}Outside\\menu.lnk\r\n"
                 f"[UserTask]\r\nNumber = 1\r\nTask1 = 2147483653|Software\\Brindle|Any\r\n")
        data = data.replace("StartMenu = \r\n", f"StartMenu = {TESTS}Hostile\\Menu\\\r\n")
        (installation.path / "uninstall.dat").write_bytes(data.encode("latin-1"))
        (installation.path / "link").symlink_to(outside, target_is_directory=True)

        self.assertEqual(wine.run_program(installation.folder + "Uninstall.exe", "/S"), 1)
        self.assertTrue(wait_gone(installation.path / "Uninstall.exe"))
        self.assertFalse((installation.path / "own.txt").exists())
        self.assertEqual(sorted(item.name for item in outside.iterdir()), ["inside.txt", "menu.lnk", "outside.txt"])
        self.assertTrue((self.tests / "outside.txt").exists())
        self.assertTrue((installation.path / "link").is_symlink())

    def test_data_for_another_folder_remove_nothing(self):
        installation = self.install("Elsewhere")
        data = (installation.path / "uninstall.dat").read_bytes().replace(
            f"ProgDir = {installation.folder}".encode(), b"ProgDir = C:\\")
        (installation.path / "uninstall.dat").write_bytes(data)
        self.assertEqual(wine.run_program(installation.folder + "Uninstall.exe", "/S"), 2)
        uninstaller = start(installation.command())
        message = wine.Robot(" Uninstall")
        self.assertIn("Nothing has been removed.", message.do("message", timeout=120))
        message.do("answer", "ok")
        self.assertEqual(uninstaller.wait(timeout=120), 2)
        self.assertEqual(sorted(item.name for item in installation.path.iterdir()),
                         ["Uninstall.exe", "docs", "tool.exe", "uninstall.dat"])
        self.assertEqual(installation.registered(), (True, True))

    def test_a_program_put_in_the_uninstallers_place_while_it_runs_is_never_started(self):
        wine.start_hook_log()
        installation = self.install("Swapped")
        uninstaller, robot = self.open_window(installation)
        own = installation.path / "Uninstall.exe"
        # The uninstaller holds its own file without delete sharing: the
        # platform refuses to rename it.
        moved = wine.run_windows(["cmd", "/c", "move", "/y", installation.folder + "Uninstall.exe",
                                  installation.folder + "Uninstall.old"])
        self.assertNotEqual(moved[0], 0)
        # Put in its place behind the platform's back all the same, a program
        # that logs its start: the copy that ends the removal is made from
        # the file the uninstaller opened, and removes the planted one.
        own.rename(installation.path / "Uninstall.old")
        own.write_bytes(wine.PROBE.read_bytes())
        robot.click(OK)
        self.assertEqual(finish(uninstaller, robot), 0)
        self.assertTrue(wait_gone(own))
        self.assertEqual(wine.hook_log(), [])

    def test_a_drive_root_is_never_emptied(self):
        drive = wine.DRIVE_C
        before = sorted(item.name for item in drive.iterdir())
        installation = self.install("Root", files=("brindle-root-own.txt",), folder="C:\\")
        uninstaller, robot = self.open_window(installation)
        self.assertFalse(robot.visible(DELETE_ALL))
        robot.click(DELETE_ALL)  # hidden: no effect
        robot.click(OK)
        self.assertEqual(finish(uninstaller, robot), 0)
        self.assertTrue(wait_gone(drive / "Uninstall.exe"))
        self.assertFalse((drive / "uninstall.dat").exists())
        self.assertEqual(sorted(item.name for item in drive.iterdir()), before)


class RunningProgram(UninstallTest):
    def test_a_running_program_blocks_removal_until_it_is_closed(self):
        installation = self.install("Running", mutex=MUTEX)
        close = self.running_application("Holder.exe", mutex=MUTEX)
        self.assertEqual(wine.run_program(installation.folder + "Uninstall.exe", "/S"), 1)
        uninstaller, robot = self.open_window(installation)
        robot.click(OK)
        warning = wine.Robot(WARNING)
        self.assertEqual(warning.do("message", timeout=120), "Close Program 'Running' first!\nThen press OK!\n")
        warning.do("answer", "ok")
        warning.do("message", timeout=120)  # asked again while it runs
        self.assertTrue((installation.path / "tool.exe").exists())
        close()
        warning.do("answer", "ok")
        self.assertEqual(finish(uninstaller, robot), 0)
        self.assertFalse((installation.path / "tool.exe").exists())

    def test_cancel_in_the_window_or_at_the_warning_leaves_everything(self):
        installation = self.install("Cancelled", mutex=MUTEX)
        uninstaller, robot = self.open_window(installation)
        robot.click(CANCEL)
        self.assertEqual(uninstaller.wait(timeout=120), 1)
        self.running_application("Holder.exe", mutex=MUTEX)
        uninstaller, robot = self.open_window(installation)
        robot.click(OK)
        wine.Robot(WARNING).do("answer", "cancel", timeout=120)
        self.assertEqual(uninstaller.wait(timeout=120), 1)
        self.assertEqual(sorted(item.name for item in installation.path.iterdir()),
                         ["Uninstall.exe", "docs", "tool.exe", "uninstall.dat"])
        self.assertEqual(installation.registered(), (True, True))

    def test_a_file_held_open_is_reported(self):
        installation = self.install("Held", files=("tool.exe", "data.bin"))
        self.running_application("Keeper.exe", hold=f"{installation.folder}data.bin")
        uninstaller, robot = self.open_window(installation)
        robot.click(OK)
        robot.wait_for(lambda r: r.text(STATUS) == FAILED, timeout=120)
        # What stayed, and the system's reason.
        stayed = robot.items(LEFTOVERS)[0]
        self.assertEqual(len(stayed), 1)
        self.assertRegex(stayed[0], rf"^{re.escape(installation.folder)}data\.bin: \S")
        self.assertEqual(finish(uninstaller, robot, status=FAILED), 1)
        self.assertFalse((installation.path / "tool.exe").exists())
        self.assertTrue((installation.path / "data.bin").exists())


def round_trip_installer(scratch):
    """An installer, made by brindle-pack build, that uses every feature the
    uninstaller undoes; the builder adds the uninstaller and its template."""
    project = scratch / "project"
    app = project / "app"
    for name in ("rtool.exe", "bin/helper.exe", "docs/manual.txt", "tool.ini", "data/keep.txt"):
        (app / name).parent.mkdir(parents=True, exist_ok=True)
        (app / name).write_bytes(f"round trip {name}".encode())
    (project / "shared.dll").write_bytes(b"MZ round trip shared library")
    tasks = ["0|RT Desk|rtool.exe|0", "1|RT Menu|rtool.exe|0", "2|RT Site|https://tool.example/",
             "3|RT Menu Site|https://tool.example/menu", "4|RT Start|rtool.exe|0",
             f"5|{SHARED_DLL}|shared.dll|%System%", "5|rt-roaming.txt|shared.dll|%AppData%",
             "5|rt-data.txt|shared.dll|%InstallDir%data\\", "6|2147483649|Software\\Brindle Round Trip|Path|%ProgDir%",
             "6|2147483650|Software\\Brindle Round Trip|Mode|full", "8|tool.ini|Paths|Home|%InstallDir%"]
    (project / "setup.ini").write_text(wine.setup_ini({
        "Info": {"Titel": "Round Trip", "Version": "2.0", "GUID": "{E2E-ROUND-TRIP}"},
        "Settings": {"ProgExe": "rtool.exe"},
        "StartMenue": {"DefaultDir": "Brindle RT\\Nested", "ProgLink": "Round Trip", "Exe": "bin\\helper.exe",
                       "Help": "docs\\manual.txt", "URL": "https://tool.example/", "Unistall": 1},
        "Task": {"StartMenu": 1, "Desktop": 1},
        "UserTask": {"Number": len(tasks), **{f"Task{i}": task for i, task in enumerate(tasks, 1)}}}), newline="")
    subprocess.run([wine.BIN / "brindle-pack", "build", project, "-o", scratch / "setup.exe", "--quiet"], check=True)
    return scratch / "setup.exe"


class RoundTrip(wine.WineTest):
    TARGET = "C:\\Brindle Round Trip\\Tool"

    def setUp(self):
        self.shared = wine.DRIVE_C / "windows" / "syswow64" / SHARED_DLL  # the 32-bit system folder
        self.scrub(self.shared, wine.host_path("C:\\Brindle Round Trip"))
        self.addCleanup(wine.remove_work_directories)

    def install(self):
        run = self.start(round_trip_installer(wine.fresh_work("uninstall-round-trip")))
        run.install(self.TARGET)
        run.finish()
        return wine.registry_values(UNINSTALL_KEY + "{E2E-ROUND-TRIP}")
    def assert_as_before(self, before):
        self.assertTrue(wait_gone(wine.host_path(self.TARGET)))
        self.assertTrue(self.shared.exists())  # copied into the system folder: it stays
        self.shared.unlink()
        self.assertEqual(differences(before, snapshot()), [])

    def test_install_then_uninstall_through_the_entry_leaves_the_machine_as_it_was(self):
        wine.remove_work_directories()
        before = snapshot()
        entry = self.install()
        self.assertEqual(entry["NoModify"], "0x1")
        self.assertEqual(entry["InstallLocation"], self.TARGET + "\\")
        self.assertEqual(entry["QuietUninstallString"], entry["UninstallString"] + " /S")
        uninstaller = start(entry["UninstallString"])
        robot = wine.Robot(UNINSTALLER)
        robot.wait()
        robot.click(OK)
        self.assertEqual(finish(uninstaller, robot), 0)
        self.assert_as_before(before)

        entry = self.install()
        self.assertEqual(start(entry["QuietUninstallString"]).wait(timeout=300), 0)
        self.assert_as_before(before)

