"""The installer runs elevated from folders that anyone may drop files into
(a Downloads folder). Libraries and programs planted there, or in the
current folder, under the names of system ones are never loaded or started."""

import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

PROBE = wine.BIN / "brindle-hook-probe.exe"


def setUpModule():
    wine.ensure_display()


def plain_installer(info=None, **groups):
    return build_installer({"setup.ini": setup_ini(Info={"Titel": "Planted", **(info or {})}, **groups),
                            "licence.txt": "Terms\r\n"})


class Planting(unittest.TestCase):
    def setUp(self):
        wine.start_hook_log()
        wine.remove_work_directories()

    def start_in(self, folder, installer, cwd=None, native_first=()):
        """Runs a copy of `installer` from `folder`; (run, robot) once its wizard shows."""
        shutil.copy(installer, folder / "setup.exe")
        run = wine.Installer(folder / "setup.exe", cwd=cwd or folder, native_first=native_first)
        self.addCleanup(run.kill)
        robot = wine.Robot(wizard.WIZARD)
        robot.wait()
        return run, robot

    def test_libraries_beside_the_installer_are_never_loaded(self):
        installer = plain_installer()
        for library in ("riched20", "version"):
            with self.subTest(library=library):
                folder = wine.fresh_work(f"planted-{library}")
                shutil.copy(wine.BIN / "brindle-marker.dll", folder / f"{library}.dll")
                marker = folder / f"{library}.dll.marker"
                run, robot = self.start_in(folder, installer, native_first=[library])
                self.assertIn("Terms", robot.text(13))  # the rich edit control holds the licence
                robot.click(wizard.CANCEL)
                self.assertEqual(run.wait(), 0)
                self.assertFalse(marker.exists())
                # A program that leaves the library search as it is does load it.
                shutil.copy(wine.BIN / "brindle-library-probe.exe", folder)
                self.assertEqual(wine.run(folder / "brindle-library-probe.exe", [f"{library}.dll"],
                                          native_first=[library]), 0)
                self.assertTrue(marker.exists())

    def test_web_link_never_starts_a_planted_rundll32(self):
        folder = wine.fresh_work("planted-rundll32")
        current = folder / "current"
        current.mkdir()
        for place in (folder, current):
            shutil.copy(PROBE, place / "RunDll32.exe")
        run, robot = self.start_in(folder, plain_installer(info={"Web": "https://tool.example/"}),
                                   cwd=current)
        robot.click(4)
        # A planted program would start at once; give it ample time.
        self.assertFalse(wine.wait_until(lambda: wine.hook_log(), timeout=20))
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)

    def test_closing_before_install_starts_no_program(self):
        folder = wine.fresh_work("planted-program")
        shutil.copy(PROBE, folder / "tool.exe")
        installer = plain_installer(Settings={"ProgExe": "tool.exe"}, Task={"StartProg": 1})
        run, robot = self.start_in(folder, installer)
        robot.close()
        self.assertEqual(run.wait(), 0)
        self.assertFalse(wine.wait_until(lambda: wine.hook_log(), timeout=10))


if __name__ == "__main__":
    unittest.main()
