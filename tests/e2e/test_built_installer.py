"""An installer made by `brindle-pack build` from the example project, under
Wine: it installs the application with the uninstaller, and uninstall.dat
holds the builder's template followed by what the installer adds."""

import shutil
import subprocess
import unittest

import wine_harness as wine
from wizard_steps import FINISH, FOLDER_FIELD, INSTALL, NEXT

ACCEPT, LICENCE_PAGE, SETTINGS_PAGE, README_PAGE = 14, 12, 16, 10
TARGET = "C:\\Brindle Tests\\Demo"
GUID = "{6B1D4C2E-0DE5-4B7A-9C11-B21D1E000001}"  # the example's
UNINSTALLER = wine.BIN / "brindle-hook-probe.exe"  # stands in for the uninstaller
PROGRAMS = 2


def setUpModule():
    wine.ensure_display()


def sections(text):
    """[(group, [keys])] of an INI text, in file order."""
    groups = []
    for line in text.split("\r\n"):
        if line.startswith("["):
            groups.append((line[1:-1], []))
        elif " = " in line:
            groups[-1][1].append(line.split(" = ")[0])
    return groups


class BuiltInstaller(unittest.TestCase):
    def setUp(self):
        self.target = wine.PREFIX / "drive_c" / "Brindle Tests"
        menu = wine.host_path(wine.system_folders()[PROGRAMS] + "Brindle Demo")
        for path in (self.target, menu):
            shutil.rmtree(path, ignore_errors=True)
            self.addCleanup(shutil.rmtree, path, True)
        for key in ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID,
                    "HKCU\\SOFTWARE\\Brindle\\" + GUID):
            wine.delete_registry_key(key)
            self.addCleanup(wine.delete_registry_key, key)

    def test_example_installs_with_uninstaller_and_template(self):
        scratch = wine.fresh_work("built-installer")
        installer = scratch / "setup.exe"
        subprocess.run([wine.BIN / "brindle-pack", "build", wine.ROOT / "examples", "-o", installer,
                        "--uninstaller", UNINSTALLER], check=True)
        subprocess.run([wine.BIN / "brindle-pack", "extract", installer, "-C", scratch / "outer"], check=True)
        subprocess.run([wine.BIN / "brindle-pack", "extract", scratch / "outer" / "setup.pck", "-C", scratch / "inner"],
                       check=True)
        template = (scratch / "inner" / "uninstall.dat").read_bytes().decode("latin-1")

        run = wine.Installer(installer)
        self.addCleanup(run.kill)
        robot = wine.Robot("#1")
        robot.wait()

        def shows(control, timeout=30):
            self.assertTrue(wine.wait_until(lambda: robot.visible(control), timeout=timeout, interval=0.3), control)

        robot.click(NEXT)
        shows(LICENCE_PAGE)
        robot.click(ACCEPT)
        robot.click(NEXT)
        shows(SETTINGS_PAGE)
        robot.set_text(FOLDER_FIELD, TARGET)
        robot.click(NEXT)
        shows(README_PAGE)
        robot.click(NEXT)
        shows(INSTALL)
        robot.click(INSTALL)
        shows(FINISH, timeout=120)
        robot.click(FINISH)
        self.assertEqual(run.wait(), 0)

        folder = self.target / "Demo"
        self.assertEqual(sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file()),
                         ["Uninstall.exe", "demo.ini", "demo.txt", "docs/manual.txt", "docs/notes.txt",
                          "uninstall.dat"])
        self.assertEqual((folder / "Uninstall.exe").read_bytes(), UNINSTALLER.read_bytes())
        data = (folder / "uninstall.dat").read_bytes().decode("latin-1")
        # The template's lines first; the installer's keys join its Settings
        # group, and its own groups follow the template's Files.
        settings_end = template.index("[Files]")
        self.assertTrue(data.startswith(template[:settings_end]), data)
        self.assertIn(template[settings_end:] + "[Language]\r\n", data)
        self.assertEqual(sections(data), [
            ("Settings", ["ProgName", "Version", "NoDelAll", "MutexString",
                          "ProgDir", "ProgExe", "GUID", "ProgLink", "StartMenu", "DesktopIcon"]),
            ("Files", ["F001", "F002"]),
            ("Language", ["Titel", "Msg", "UninstInfo", "DelAll", "Error", "Mutex", "Status", "OK", "Cancel",
                          "Ready"]),
            ("StartMenu", ["Program", "AddExe", "Help", "Homepage", "Uninstall"]),
            ("UserTask", ["Number", "Task1"]),
        ])
        self.assertIn(f"Task1 = {TARGET}\\docs\\notes.txt\r\n", data)  # the copy task's record


if __name__ == "__main__":
    unittest.main()
