"""The installer's first run and its work directory: it finds the package
behind its own image, extracts it into a fresh folder of its own below the
user's temporary folder, shows the wizard, and at the end removes that
folder whole, without ever following a link out of it."""

import os
from pathlib import Path

import wine_harness as wine

MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022
INNER = b"inside the sub-folder\r\n" * 50


class FirstRun(wine.WineTest):
    def setUp(self):
        wine.remove_work_directories()
        self.scrub(wine.TESTS)

    def test_extracts_into_a_fresh_work_directory_and_removes_only_what_it_made(self):
        stale = [wine.TEMP / "Brindle", wine.TEMP / "Brindle-0000000000000000"]
        for folder in stale:
            wine.write_tree(folder, {"setup.ini": "stale", "BeforeBR.exe": "planted"})
        outside = wine.write_tree(wine.fresh_work("first-run-outside"), {"keep/precious.txt": "precious"})
        run = self.start(wine.build_installer({"Info": {"Titel": "Demo"}}, {
            "top.txt": "top level " * 100, "sub/inner.txt": (INNER, MODIFIED), "sub/deeper/deepest.txt": "deep"}))

        fresh = [folder for folder in wine.work_directories() if folder not in stale]
        self.assertEqual(len(fresh), 1, fresh)
        work = fresh[0]
        self.assertRegex(work.name, r"^Brindle-[0-9A-F]{16}$")
        self.assertEqual((work / "sub" / "inner.txt").read_bytes(), INNER)
        self.assertEqual(wine.filetime_of(work / "sub" / "inner.txt"), MODIFIED)
        links = {work / "sub" / "folder-link", work / "file-link.txt"}
        (work / "sub" / "folder-link").symlink_to(outside, target_is_directory=True)
        (work / "file-link.txt").symlink_to(outside / "keep" / "precious.txt")
        run.close()

        self.assertEqual([folder for folder in wine.work_directories() if folder != work], stale)
        for folder in stale:
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["BeforeBR.exe", "setup.ini"])
            self.assertEqual((folder / "setup.ini").read_bytes(), b"stale")
        self.assertEqual((outside / "keep" / "precious.txt").read_bytes(), b"precious")
        # Everything the run extracted is gone. Wine follows the host's links
        # even when asked for the link itself, so the installer cannot unlink
        # them without touching their targets and leaves them (and the
        # folders that hold them) in place.
        left = {Path(folder, name) for folder, folders, files in os.walk(work) for name in folders + files}
        self.assertLessEqual(left, links | {work / "sub"})

    def test_two_installers_side_by_side_each_use_their_own_folder(self):
        runs = []
        for name in ("Left", "Right"):
            run = self.start(wine.build_installer({"Info": {"Titel": name}}, package={"tool.txt": "the tool"}),
                             wait=False)
            run.wizard = wine.Robot(" " + name)
            run.wizard.wait()
            runs.append((name, run))
        self.assertEqual(len(wine.work_directories()), 2)
        for name, run in runs:
            run.install(f"C:\\Brindle Tests\\{name}")
        for name, run in runs:
            self.assertEqual(run.wizard.text(33), "Installation completed")
            run.finish()
            self.assertEqual((wine.TESTS / name / "tool.txt").read_bytes(), b"the tool")
        self.assertEqual(wine.work_directories(), [])

    def test_unusable_temporary_folder_ends_the_run_before_extraction(self):
        environment = "HKCU\\Environment"
        saved = wine.registry_values(environment)
        self.addCleanup(wine.set_registry_values, environment, {name: saved[name] for name in ("TEMP", "TMP")})
        installer = wine.build_installer({"Info": {"Titel": "Demo"}})
        for temp in ("C:\\Brindle Tests\\missing", "C:\\" + "long folder name\\" * 17):
            with self.subTest(temp=temp[:40]):
                wine.set_registry_values(environment, {"TEMP": temp, "TMP": temp})
                run = self.start(installer, wait=False)
                box = wine.Robot(" Setup")
                self.assertEqual(box.do("message", timeout=240),
                                 "The installer could not create its work folder in the temporary folder.\n")
                box.do("answer", "ok")
                run.ended(code=2)
                self.assertFalse(wine.TESTS.exists())
                self.assertEqual(wine.work_directories(), [])

    def test_stub_without_package_shows_the_wizard_and_cancel_cleans_up(self):
        run = self.start(wine.BIN / "brindle-setup.exe")
        self.assertEqual(len(wine.work_directories()), 1)
        run.cancel()
        self.assertEqual(wine.work_directories(), [])

