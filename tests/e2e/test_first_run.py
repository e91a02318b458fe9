"""The installer's first run and its work directory: it finds the package
behind its own image, extracts it into a fresh folder of its own below the
user's temporary folder, shows the wizard, and at the end removes that
folder whole, without ever following a link out of it."""

import os
import re
import shutil
import unittest
from pathlib import Path

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022
WORK_NAME = re.compile(r"^Brindle-[0-9A-F]{16}$")
TARGETS = wine.PREFIX / "drive_c" / "Brindle Tests"


def setUpModule():
    wine.ensure_display()


def work_directories():
    return sorted(wine.temp_folder().glob("Brindle*"))


class FirstRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = wine.fresh_work("first-run")
        tree = cls.scratch / "tree"
        (tree / "sub" / "deeper").mkdir(parents=True)
        (tree / "setup.ini").write_bytes(b"[Info]\r\nTitel = Demo\r\n")
        (tree / "top.txt").write_bytes(b"top level " * 100)
        (tree / "sub" / "inner.txt").write_bytes(b"inside the sub-folder\r\n" * 50)
        (tree / "sub" / "deeper" / "deepest.txt").write_bytes(b"two levels down")
        wine.set_mtime(tree / "sub" / "inner.txt", MODIFIED)
        cls.installer = wine.pack(tree, cls.scratch / "installer.exe", stub=wine.BIN / "brindle-setup.exe")

    def setUp(self):
        wine.remove_work_directories()
        shutil.rmtree(TARGETS, ignore_errors=True)
        self.addCleanup(shutil.rmtree, TARGETS, True)

    def start(self, installer=None):
        run, robot = wizard.start(installer or self.installer)
        self.addCleanup(run.kill)
        return run, robot

    def only_work_directory(self):
        folders = work_directories()
        self.assertEqual(len(folders), 1, folders)
        self.assertRegex(folders[0].name, WORK_NAME)
        return folders[0]

    def test_extracts_into_a_fresh_work_directory_and_removes_it_whole(self):
        run, robot = self.start()
        inner = self.only_work_directory() / "sub" / "inner.txt"
        self.assertEqual(inner.read_bytes(), b"inside the sub-folder\r\n" * 50)
        self.assertEqual(wine.filetime_of(inner), MODIFIED)
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(work_directories(), [])

    def test_finish_and_close_leave_no_work_directory(self):
        for end in ("finish", "close"):
            with self.subTest(end=end):
                run, robot = self.start()
                if end == "finish":
                    wizard.install(robot, "C:\\Brindle Tests\\Demo")
                    robot.click(wizard.FINISH)
                else:
                    robot.close()
                self.assertEqual(run.wait(), 0)
                self.assertEqual(work_directories(), [])

    def test_leftover_folders_are_never_reused_or_touched(self):
        stale = [wine.temp_folder() / "Brindle", wine.temp_folder() / "Brindle-0000000000000000"]
        for folder in stale:
            folder.mkdir(parents=True)
            (folder / "setup.ini").write_bytes(b"stale")
            (folder / "BeforeBR.exe").write_bytes(b"planted")
        run, robot = self.start()
        fresh = [p for p in work_directories() if p not in stale]
        self.assertEqual(len(fresh), 1)
        self.assertTrue((fresh[0] / "sub" / "inner.txt").is_file())
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(work_directories(), stale)
        for folder in stale:
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["BeforeBR.exe", "setup.ini"])
            self.assertEqual((folder / "setup.ini").read_bytes(), b"stale")

    def test_links_inside_the_work_directory_are_never_followed(self):
        outside = wine.fresh_work("first-run-outside")
        (outside / "keep").mkdir()
        (outside / "keep" / "precious.txt").write_bytes(b"precious")
        run, robot = self.start()
        work = self.only_work_directory()
        links = {work / "sub" / "folder-link", work / "file-link.txt"}
        (work / "sub" / "folder-link").symlink_to(outside, target_is_directory=True)
        (work / "file-link.txt").symlink_to(outside / "keep" / "precious.txt")
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)
        self.assertEqual((outside / "keep" / "precious.txt").read_bytes(), b"precious")
        # Everything the run extracted is gone. Wine follows the host's links
        # even when asked for the link itself, so the installer cannot unlink
        # them without touching their targets and leaves them (and the
        # folders that hold them) in place.
        left = {Path(folder, name) for folder, folders, files in os.walk(work) for name in folders + files}
        self.assertLessEqual(left, links | {work / "sub"})

    def test_two_installers_side_by_side_each_use_their_own_folder(self):
        app = wine.fresh_work("first-run-app")
        (app / "tree").mkdir()
        (app / "tree" / "tool.txt").write_bytes(b"the tool")
        package = wine.pack(app / "tree", app / "setup.pck").read_bytes()
        runs = []
        for name in ("Left", "Right"):
            installer = build_installer({"setup.ini": setup_ini(Info={"Titel": name}), "setup.pck": package},
                                        name=f"first-run-{name}")
            run = wine.Installer(installer)
            self.addCleanup(run.kill)
            robot = wine.Robot(" " + name)
            robot.wait()
            runs.append((name, run, robot))
        folders = work_directories()
        self.assertEqual(len(folders), 2)
        for name, run, robot in runs:
            wizard.install(robot, f"C:\\Brindle Tests\\{name}")
        for name, run, robot in runs:
            self.assertEqual(robot.text(33), "Installation completed")
            robot.click(wizard.FINISH)
            self.assertEqual(run.wait(), 0)
            self.assertEqual((TARGETS / name / "tool.txt").read_bytes(), b"the tool")
        self.assertEqual(work_directories(), [])

    def test_unusable_temporary_folder_ends_the_run_before_extraction(self):
        environment = "HKCU\\Environment"
        saved = wine.registry_values(environment)
        self.addCleanup(lambda: [wine.set_registry_value(environment, name, saved[name]) for name in ("TEMP", "TMP")])
        for temp in ("C:\\Brindle Tests\\missing", "C:\\" + "long folder name\\" * 17):
            with self.subTest(temp=temp[:40]):
                for name in ("TEMP", "TMP"):
                    wine.set_registry_value(environment, name, temp)
                run = wine.Installer(self.installer)
                self.addCleanup(run.kill)
                robot = wine.Robot(" Setup")
                self.assertEqual(robot.do("message", " Setup", timeout=240),
                                 "The installer could not create its work folder in the temporary folder.\n")
                robot.do("answer", " Setup", "ok")
                self.assertEqual(run.wait(), 0)
                self.assertFalse(TARGETS.exists())
                self.assertEqual(work_directories(), [])

    def test_stub_without_package_exits_cleanly(self):
        run, robot = self.start(wine.BIN / "brindle-setup.exe")
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(work_directories(), [])


if __name__ == "__main__":
    unittest.main()
