"""The installer's first run: it finds the package behind its own image,
extracts it into a work directory of its own below the user's temporary
folder, shows the wizard, and when the wizard is cancelled removes that
directory's files again and exits with code 0."""

import shutil
import unittest

import wine_harness as wine

MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022


def run_and_cancel(installer):
    """Runs the installer until its wizard shows, then cancels it."""
    run = wine.Installer(installer)
    try:
        wizard = wine.Robot("#1")
        wizard.wait()
        wizard.click(7)
        return run.wait()
    finally:
        run.kill()


class FirstRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        wine.ensure_display()
        cls.scratch = wine.fresh_work("first-run")
        tree = cls.scratch / "tree"
        (tree / "sub").mkdir(parents=True)
        (tree / "setup.ini").write_bytes(b"[Info]\r\nTitel = Demo\r\n")
        (tree / "top.txt").write_bytes(b"top level " * 100)
        (tree / "sub" / "inner.txt").write_bytes(b"inside the sub-folder\r\n" * 50)
        wine.set_mtime(tree / "sub" / "inner.txt", MODIFIED)
        cls.installer = wine.pack(tree, cls.scratch / "installer.exe", stub=wine.BIN / "brindle-setup.exe")

    def setUp(self):
        for folder in wine.temp_folder().glob("Brindle*"):
            shutil.rmtree(folder)

    def work_directories(self):
        return sorted(wine.temp_folder().glob("Brindle*"))

    def test_extracts_into_the_work_directory_and_cleans_up(self):
        self.assertEqual(run_and_cancel(self.installer), 0)
        work = wine.temp_folder() / "Brindle"
        inner = work / "sub" / "inner.txt"
        # Files directly in the work directory are removed; the sub-folder
        # keeps the directory alive.
        self.assertEqual(inner.read_bytes(), b"inside the sub-folder\r\n" * 50)
        self.assertEqual(wine.filetime_of(inner), MODIFIED)
        self.assertEqual(sorted(p.name for p in work.iterdir()), ["sub"])

    def test_leftover_folder_is_not_reused(self):
        stale = wine.temp_folder() / "Brindle"
        stale.mkdir(parents=True)
        (stale / "setup.ini").write_bytes(b"stale")
        (stale / "BeforeBR.exe").write_bytes(b"planted")
        self.assertEqual(run_and_cancel(self.installer), 0)
        # The old folder is left exactly as it was ...
        self.assertEqual(sorted(p.name for p in stale.iterdir()), ["BeforeBR.exe", "setup.ini"])
        self.assertEqual((stale / "setup.ini").read_bytes(), b"stale")
        # ... and the run used a fresh sibling of its own.
        fresh = [p for p in self.work_directories() if p.name.startswith("Brindle-")]
        self.assertEqual(len(fresh), 1)
        self.assertTrue((fresh[0] / "sub" / "inner.txt").is_file())

    def test_stub_without_package_exits_cleanly(self):
        self.assertEqual(run_and_cancel(wine.BIN / "brindle-setup.exe"), 0)
        # The empty work directory is removed again.
        self.assertEqual(self.work_directories(), [])


if __name__ == "__main__":
    unittest.main()
