"""The version conflict dialog (window 4) under Wine, run by
brindle-version-probe.exe and driven by the robot: the version lookup of
resource files of several shapes and of plain files, what the dialog shows,
where it opens, and that only Yes and No end it, Yes copying the new file."""

import os
import shutil
import subprocess
import time
import unittest

import wine_harness as wine

PROBE = wine.BIN / "brindle-version-probe.exe"
VERSION_FILES = wine.BIN / "version-files"
DIALOG, BEHIND = "#4", "#1"
CURRENT_VALUES, NEW_VALUES = (44, 45, 46), (52, 53, 54)  # version, language, description
YES, NO = 55, 56
NOT_AVAILABLE = "--- not available ---"
# Wine names the language alone; Windows adds the country, "English (United States)".
ENGLISH, GERMAN = "English", "German"
LARGE_DESCRIPTION = "L" * 20000


def setUpModule():
    wine.ensure_display()


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def version_file(folder, name, resource):
    """A fresh copy of one of the resource DLLs."""
    path = folder / name
    shutil.copyfile(VERSION_FILES / resource, path)
    return path


def plain_file(folder, name, text):
    path = folder / name
    path.write_text(text)
    return path


def made_at(path, year, month, day, hour, minute):
    """Dates a host file in local time. Wine has no creation time of a host
    file to read and reports its last-write time as such."""
    seconds = time.mktime((year, month, day, hour, minute, 30, 0, 0, -1))
    os.utime(path, (seconds, seconds))
    return path


def summary(path):
    output = subprocess.run(["wine", str(PROBE), "summary", windows_path(path)], env=wine.ENV,
                            capture_output=True, timeout=300, check=True).stdout
    return output.decode("latin-1").rstrip("\r\n")


class Dialog:
    """One probe showing the dialog for `new` against `current`, optionally in
    front of a stand-in for the wizard (window 1 with a button 6)."""

    def __init__(self, test, new, current, behind=False):
        command = ["wine", str(PROBE), "ask-behind" if behind else "ask", windows_path(new), windows_path(current)]
        self.process = subprocess.Popen(command, env=wine.ENV, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        test.addCleanup(self.kill)
        self.robot = wine.Robot(DIALOG)
        self.robot.wait()

    def values(self, controls):
        return tuple(self.robot.text(control) for control in controls)

    def geometry(self, window=DIALOG):
        fields = (item.split("=") for item in self.robot.do("geometry", window).split())
        return {key: int(value) for key, value in fields}

    def answer(self, button):
        """Clicks Yes or No; returns what the dialog answered ("yes" or "no")."""
        self.robot.click(button)
        output = self.process.communicate(timeout=120)[0]
        return output.decode("latin-1").strip()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.communicate()


class VersionLookup(unittest.TestCase):
    def test_summaries_leave_missing_values_out(self):
        folder = wine.fresh_work("version-lookup")
        self.assertEqual(summary(VERSION_FILES / "full.dll"), f"2.1.0.5|Shared test library|{ENGLISH}")
        # No "FileVersion" string: the description comes first, no empty field.
        self.assertEqual(summary(VERSION_FILES / "description-only.dll"), f"Described only|{GERMAN}")
        # A resource of 32 KB and more is read whole.
        self.assertEqual(summary(VERSION_FILES / "large.dll"), f"4.0.0.0|{LARGE_DESCRIPTION}|{ENGLISH}")
        # Without a translation table neither the string block nor a language can be named.
        self.assertEqual(summary(VERSION_FILES / "untranslated.dll"), "")
        self.assertEqual(summary(plain_file(folder, "notes.txt", "no resource")), "")
        self.assertEqual(summary(plain_file(folder, "empty.dll", "")), "")
        self.assertEqual(summary(folder / "missing.dll"), "")


class VersionDialog(unittest.TestCase):
    def setUp(self):
        self.folder = wine.fresh_work(f"version-dialog-{self._testMethodName}")

    def test_resource_values_by_position_and_no_keeps_the_current_file(self):
        current = version_file(self.folder, "shared.dll", "full.dll")
        new = version_file(self.folder, "shared-new.dll", "description-only.dll")
        dialog = Dialog(self, new, current)
        self.assertEqual(dialog.robot.do("caption", DIALOG), " Copy File  'shared-new.dll'\n")
        self.assertEqual(dialog.geometry(), {"x": 201, "y": 130, "width": 340, "height": 236, "sysmenu": 0})
        self.assertEqual(dialog.values(CURRENT_VALUES), ("2.1.0.5", ENGLISH, "Shared test library"))
        # The description moves up to the version line, the language to the description line.
        self.assertEqual(dialog.values(NEW_VALUES), ("Described only", NOT_AVAILABLE, GERMAN))
        controls = [line.split("\t") for line in dialog.robot.do("dump", DIALOG).splitlines()]
        self.assertEqual([(int(line[0]), line[1], line[4]) for line in controls if int(line[0]) not in
                          CURRENT_VALUES + NEW_VALUES], [
            (40, "Button", "Current File Version"), (41, "Static", "Version:"), (42, "Static", "Language:"),
            (43, "Static", "Description:"), (47, "Static", "Replace the current file with this file version?"),
            (48, "Button", "New File Version"), (49, "Static", "Version:"), (50, "Static", "Language:"),
            (51, "Static", "Description:"), (55, "Button", "Yes"), (56, "Button", "No")])
        self.assertEqual(dialog.answer(NO), "no")
        self.assertEqual(current.read_bytes(), (VERSION_FILES / "full.dll").read_bytes())

    def test_files_without_a_usable_resource_show_their_creation_times(self):
        current = made_at(plain_file(self.folder, "settings.cfg", "old settings"), 2024, 3, 5, 9, 7)
        new = made_at(version_file(self.folder, "untranslated.dll", "untranslated.dll"), 2019, 11, 28, 21, 45)
        dialog = Dialog(self, new, current)
        self.assertEqual(dialog.values(CURRENT_VALUES), ("2024-03-05  09:07", NOT_AVAILABLE, NOT_AVAILABLE))
        self.assertEqual(dialog.values(NEW_VALUES), ("2019-11-28  21:45", NOT_AVAILABLE, NOT_AVAILABLE))
        self.assertEqual(dialog.answer(NO), "no")
        self.assertEqual(current.read_text(), "old settings")

    def test_yes_replaces_the_current_file_even_when_it_is_newer(self):
        current = version_file(self.folder, "shared.dll", "large.dll")  # version 4.0.0.0
        new = version_file(self.folder, "shared-new.dll", "full.dll")    # version 2.1.0.5
        dialog = Dialog(self, new, current)
        self.assertEqual(dialog.values(CURRENT_VALUES), ("4.0.0.0", ENGLISH, LARGE_DESCRIPTION))
        self.assertEqual(dialog.values(NEW_VALUES), ("2.1.0.5", ENGLISH, "Shared test library"))
        self.assertEqual(dialog.answer(YES), "yes")
        self.assertEqual(current.read_bytes(), (VERSION_FILES / "full.dll").read_bytes())

    def test_only_yes_and_no_end_it_over_the_active_window(self):
        current = plain_file(self.folder, "readme.txt", "kept")
        new = plain_file(self.folder, "readme-new.txt", "replacement")
        dialog = Dialog(self, new, current, behind=True)
        # Centred over the window that was active; both have the same frame.
        behind, placed = dialog.geometry(BEHIND), dialog.geometry()
        self.assertEqual((placed["width"], placed["height"], placed["sysmenu"]), (340, 236, 0))
        self.assertEqual(placed["x"] - behind["x"], (480 - 340) // 2)
        self.assertEqual(placed["y"] - behind["y"], (335 - 236) // 2)
        dialog.robot.close()
        dialog.robot.do("click", BEHIND, 6)
        dialog.robot.do("close", BEHIND)
        self.assertEqual(dialog.robot.run("gone", DIALOG, timeout=5)[0], 1)
        self.assertIsNone(dialog.process.poll())
        self.assertEqual(dialog.answer(YES), "yes")
        self.assertEqual(current.read_text(), "replacement")


if __name__ == "__main__":
    unittest.main()
