"""The version conflict dialog (window 4) under Wine, run by
brindle-version-probe.exe and driven by the robot: the version lookup of
resource files of several shapes and of plain files, what the dialog shows,
where it opens, and that only Yes and No end it, Yes copying the new file."""

import os
import shutil
import time

import wine_harness as wine

PROBE = wine.BIN / "brindle-version-probe.exe"
VERSION_FILES = wine.BIN / "version-files"
DIALOG, BEHIND = wine.Robot("#4"), wine.Robot("#1")
CURRENT_VALUES, NEW_VALUES = (44, 45, 46), (52, 53, 54)  # version, language, description
YES, NO = 55, 56
NOT_AVAILABLE = "--- not available ---"
# Wine names the language alone; Windows adds the country, "English (United States)".
ENGLISH, GERMAN = "English", "German"
LARGE_DESCRIPTION = "L" * 20000
LABELS = [(40, "Button", "Current File Version"), (41, "Static", "Version:"), (42, "Static", "Language:"),
          (43, "Static", "Description:"), (47, "Static", "Replace the current file with this file version?"),
          (48, "Button", "New File Version"), (49, "Static", "Version:"), (50, "Static", "Language:"),
          (51, "Static", "Description:"), (55, "Button", "Yes"), (56, "Button", "No")]


class VersionDialog(wine.WineTest):
    def setUp(self):
        self.folder = wine.fresh_work(f"version-dialog-{self._testMethodName}")

    def file(self, name, resource=None, text=None, made=None):
        """A fresh copy of one of the resource DLLs, or a plain file; `made`
        dates it, in local time: Wine has no creation time of a host file to
        read and reports its last-write time as such."""
        path = self.folder / name
        shutil.copyfile(VERSION_FILES / resource, path) if resource else path.write_text(text)
        if made:
            seconds = time.mktime((*made, 30, 0, 0, -1))
            os.utime(path, (seconds, seconds))
        return path

    def ask(self, new, current, behind=False):
        """Starts the dialog for `new` against `current`, optionally in front
        of a stand-in for the wizard (window 1 with a button 6)."""
        self.dialog = self.start(PROBE, "ask-behind" if behind else "ask", wine.windows_path(new),
                                 wine.windows_path(current), wait=False, output=self.folder / "answer.txt")
        DIALOG.wait()
        return tuple(DIALOG.text(control) for control in CURRENT_VALUES + NEW_VALUES)

    def answer(self, button):
        """Clicks Yes or No; what the dialog answered ("yes" or "no")."""
        DIALOG.click(button)
        self.dialog.ended()
        return (self.folder / "answer.txt").read_text("latin-1").strip()

    def test_summaries_leave_missing_values_out(self):
        files = [VERSION_FILES / "full.dll",
                 VERSION_FILES / "description-only.dll",  # no "FileVersion": no empty field either
                 VERSION_FILES / "large.dll",  # a resource of 32 KB and more is read whole
                 # Without a translation table neither the string block nor a language can be named.
                 VERSION_FILES / "untranslated.dll",
                 self.file("notes.txt", text="no resource"), self.file("empty.dll", text=""),
                 self.folder / "missing.dll"]
        code, output, _ = wine.run_windows([PROBE, "summary", *map(wine.windows_path, files)])
        self.assertEqual((code, output.replace("\r", "").split("\n")), (0, [
            f"2.1.0.5|Shared test library|{ENGLISH}", f"Described only|{GERMAN}",
            f"4.0.0.0|{LARGE_DESCRIPTION}|{ENGLISH}", "", "", "", "", ""]))

    def test_values_by_position_and_no_keeps_the_current_file(self):
        cases = [  # current file, new file, the values shown for each
            (self.file("shared.dll", "full.dll"), self.file("shared-new.dll", "description-only.dll"),
             # The description moves up to the version line, the language to the description line.
             ("2.1.0.5", ENGLISH, "Shared test library", "Described only", NOT_AVAILABLE, GERMAN)),
            # Files without a usable resource show their creation times.
            (self.file("settings.cfg", text="old settings", made=(2024, 3, 5, 9, 7)),
             self.file("untranslated.dll", "untranslated.dll", made=(2019, 11, 28, 21, 45)),
             ("2024-03-05  09:07", NOT_AVAILABLE, NOT_AVAILABLE, "2019-11-28  21:45", NOT_AVAILABLE, NOT_AVAILABLE)),
        ]
        for current, new, values in cases:
            with self.subTest(new=new.name):
                before = current.read_bytes()
                self.assertEqual(self.ask(new, current), values)
                self.assertEqual(DIALOG.do("caption"), f" Copy File  '{new.name}'\n")
                # Centred on the screen, without a system menu.
                self.assertEqual(DIALOG.do("geometry"), "x=201 y=130 width=340 height=236 sysmenu=0\n")
                controls = [line.split("\t") for line in DIALOG.do("dump").splitlines()]
                self.assertEqual([(int(line[0]), line[1], line[4]) for line in controls
                                  if int(line[0]) not in CURRENT_VALUES + NEW_VALUES], LABELS)
                self.assertEqual(self.answer(NO), "no")
                self.assertEqual(current.read_bytes(), before)

    def test_only_yes_and_no_end_it_over_the_active_window_and_yes_replaces_even_a_newer_file(self):
        current = self.file("shared.dll", "large.dll")  # version 4.0.0.0
        new = self.file("shared-new.dll", "full.dll")    # version 2.1.0.5
        self.assertEqual(self.ask(new, current, behind=True), ("4.0.0.0", ENGLISH, LARGE_DESCRIPTION, "2.1.0.5",
                                                               ENGLISH, "Shared test library"))
        # Centred over the window that was active; both have the same frame.
        behind, placed = ({key: int(value) for key, value in (item.split("=") for item in robot.do("geometry").split())}
                          for robot in (BEHIND, DIALOG))
        self.assertEqual((placed["width"], placed["height"], placed["sysmenu"]), (340, 236, 0))
        self.assertEqual(placed["x"] - behind["x"], (480 - 340) // 2)
        self.assertEqual(placed["y"] - behind["y"], (335 - 236) // 2)
        DIALOG.do("close")
        BEHIND.click(6)
        BEHIND.do("close")
        self.assertFalse(DIALOG.gone(timeout=5))
        self.assertIsNone(self.dialog.process.poll())
        self.assertEqual(self.answer(YES), "yes")
        self.assertEqual(current.read_bytes(), (VERSION_FILES / "full.dll").read_bytes())

