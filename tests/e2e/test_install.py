"""The install step under Wine: setup.pck's files land below the chosen
folder with their contents and times, the keep list protects existing files,
the progress list tells what happened, and the page ends finished."""

import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini
from wizard_steps import CANCEL, FINISH, INSTALL

MODIFIED = 133_100_000_000_000_000
TARGET = "C:\\Brindle Tests\\Tool"


def setUpModule():
    wine.ensure_display()


TEMPLATE = b"; from the builder\r\n[Settings]\r\nProgName = Tool\r\n[Files]\r\nF001 = tool.exe\r\n"


def app_package(scratch):
    """setup.pck of a small application, with an uninstall.dat template."""
    tree = scratch / "app"
    (tree / "docs").mkdir(parents=True)
    (tree / "uninstall.dat").write_bytes(TEMPLATE)
    (tree / "tool.exe").write_bytes(b"MZ" + bytes(3000))
    (tree / "docs" / "manual.txt").write_bytes(b"How to use the tool.\r\n" * 30)
    (tree / "tool.ini").write_bytes(b"[Defaults]\r\nColour=blue\r\n")
    wine.set_mtime(tree / "docs" / "manual.txt", MODIFIED)
    return wine.pack(tree, scratch / "setup.pck").read_bytes()


def settings(task=None, **info):
    return setup_ini(Info={"Titel": "Tool", "Version": "3.1", "GUID": "{E2E-INSTALL}", **info},
                     Settings={"ProgExe": "tool.exe", "DefaultDir": "Tool", "NoCopyExt": "ini|"},
                     Task=task or {})


class InstallStep(unittest.TestCase):
    def setUp(self):
        self.target = wine.PREFIX / "drive_c" / "Brindle Tests"
        shutil.rmtree(self.target, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.target, True)

    def install(self, files):
        """Runs the wizard to the finished page with TARGET as folder."""
        run, robot = wizard.start(build_installer(files))
        self.addCleanup(run.kill)
        wizard.install(robot, TARGET)
        return run, robot

    def test_full_install(self):
        scratch = wine.fresh_work("install-app")
        folder = self.target / "Tool"
        folder.mkdir(parents=True)
        (folder / "tool.ini").write_bytes(b"the user's own settings")
        files = {"setup.ini": settings(Date="May 2026", Author="Ann Example", EMail="ann@tool.example"),
                 "setup.pck": app_package(scratch)}
        run, robot = self.install(files)

        lines, _ = robot.items(34)
        self.assertEqual(lines, ["Tool  -  Version 3.1   (May 2026)", "\xa9 Ann Example   ( ann@tool.example )", "",
                                 "Copy Program Files   -->   *** Completed ***", "", "Create Uninstaller Entry"])
        self.assertEqual(robot.text(31), "Installation finished")
        self.assertEqual(robot.text(33), "Installation completed")
        self.assertTrue(robot.visible(35))
        self.assertFalse(robot.visible(CANCEL))
        self.assertFalse(robot.visible(INSTALL))

        self.assertEqual((folder / "tool.exe").read_bytes(), b"MZ" + bytes(3000))
        manual = folder / "docs" / "manual.txt"
        self.assertEqual(manual.read_bytes(), b"How to use the tool.\r\n" * 30)
        self.assertEqual(wine.filetime_of(manual), MODIFIED)
        self.assertEqual((folder / "tool.ini").read_bytes(), b"the user's own settings")  # kept

        # uninstall.dat: the template's lines first, then what the installer adds.
        data = (folder / "uninstall.dat").read_bytes().decode("latin-1")
        self.assertTrue(data.startswith("; from the builder\r\n[Settings]\r\nProgName = Tool\r\n"
                                        f"ProgDir = {TARGET}\\\r\nProgExe = tool.exe\r\nGUID = {{E2E-INSTALL}}\r\n"
                                        "ProgLink = \xa9 Ann Example   ( ann@tool.example )\r\n"), data)
        self.assertIn("[Files]\r\nF001 = tool.exe\r\n[Language]\r\n", data)
        self.assertIn("Mutex = Close Program 'Tool' first!|Then press OK!\r\n", data)
        self.assertTrue(data.endswith("[UserTask]\r\nNumber = 0\r\n"), data)

        robot.click(FINISH)
        self.assertEqual(run.wait(), 0)

    def test_no_uninstaller_leaves_the_template_alone(self):
        scratch = wine.fresh_work("install-no-uninstaller")
        files = {"setup.ini": settings(task={"NoUninstall": 1}), "setup.pck": app_package(scratch)}
        run, robot = self.install(files)
        self.assertEqual((self.target / "Tool" / "uninstall.dat").read_bytes(), TEMPLATE)
        robot.click(FINISH)
        self.assertEqual(run.wait(), 0)

    def test_missing_package_is_not_reported_as_completed(self):
        run, robot = self.install({"setup.ini": settings()})
        lines, _ = robot.items(34)
        self.assertEqual(lines[3], "Copy Program Files   -->   *** Failed: files could not be written ***")
        self.assertEqual(lines[0], lines[1])  # no author and no e-mail: the title line twice
        robot.click(FINISH)
        self.assertEqual(run.wait(), 0)


if __name__ == "__main__":
    unittest.main()
