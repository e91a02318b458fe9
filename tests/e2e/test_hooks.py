"""Hook programs under Wine: BeforeBR.exe can stop the run, WhileBR.exe runs
beside the wizard until Cancel or Finish, AfterBR.exe runs after Finish only
and sees the installation folder. A probe program stands in for each hook
and logs its start."""

import re
import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

TARGET = "C:\\Brindle Tests\\Hooked"
WHILE_WINDOW = "WhileBR running"
WORK_DIRECTORY = re.compile(r"\\Temp\\Brindle-[0-9A-F]{16}\\?$")


def setUpModule():
    wine.ensure_display()


def hook_package(*hooks, **side_files):
    """Installer files with the probe as each named hook and the side files
    ({"BeforeBR_exit": "1"} gives BeforeBR.exit)."""
    probe = (wine.BIN / "brindle-hook-probe.exe").read_bytes()
    files = {"setup.ini": setup_ini(Info={"Titel": "Hooked"}, Settings={"ProgExe": "tool.exe"})}
    files.update({f"{hook}.exe": probe for hook in hooks})
    files.update({name.replace("_", "."): text for name, text in side_files.items()})
    return build_installer(files)


class Hooks(unittest.TestCase):
    def setUp(self):
        wine.start_hook_log()
        wine.remove_work_directories()
        self.target = wine.PREFIX / "drive_c" / "Brindle Tests"
        shutil.rmtree(self.target, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.target, True)
        self.addCleanup(lambda: wine.Robot(WHILE_WINDOW).run("close", WHILE_WINDOW, timeout=0))

    def start(self, installer):
        run, robot = wizard.start(installer)
        self.addCleanup(run.kill)
        return run, robot

    def test_before_hook_exit_code_one_ends_the_run_and_keeps_the_work_directory(self):
        run = wine.Installer(hook_package("BeforeBR", BeforeBR_exit="1"))
        self.addCleanup(run.kill)
        self.assertEqual(run.wait(timeout=240), 0)
        self.assertEqual([hook[0] for hook in wine.hook_log()], ["BeforeBR"])
        self.assertEqual(wine.Robot(wizard.WIZARD).run("gone", wizard.WIZARD, timeout=0)[0], 0)
        self.assertEqual(len(list(wine.temp_folder().glob("Brindle-*/BeforeBR.exe"))), 1)

    def test_before_hook_other_exit_codes_go_on_to_the_wizard(self):
        for code in ("0", "2"):
            with self.subTest(exit_code=code):
                wine.start_hook_log()
                run, robot = self.start(hook_package("BeforeBR", BeforeBR_exit=code))
                name, folder, _, _ = wine.hook_log()[0]
                self.assertEqual(name, "BeforeBR")
                self.assertRegex(folder, WORK_DIRECTORY)
                robot.click(wizard.CANCEL)
                self.assertEqual(run.wait(), 0)
                self.assertEqual(list(wine.temp_folder().glob("Brindle*")), [])

    def test_cancel_ends_the_while_hook_and_skips_the_after_hook(self):
        run, robot = self.start(hook_package("WhileBR", "AfterBR", WhileBR_wait=""))
        wine.Robot(WHILE_WINDOW).wait()
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.Robot(WHILE_WINDOW).run("gone", WHILE_WINDOW, timeout=10)[0], 0)
        self.assertEqual([hook[0] for hook in wine.hook_log()], ["WhileBR"])

    def test_finish_ends_the_while_hook_before_the_after_hook_runs(self):
        run, robot = self.start(hook_package("WhileBR", "AfterBR", WhileBR_wait=""))
        wine.Robot(WHILE_WINDOW).wait()
        wizard.install(robot, TARGET)
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.Robot(WHILE_WINDOW).run("gone", WHILE_WINDOW, timeout=0)[0], 0)
        hooks = wine.hook_log()
        self.assertEqual([hook[0] for hook in hooks], ["WhileBR", "AfterBR"])
        _, folder, install_dir, _ = hooks[1]
        self.assertRegex(folder, WORK_DIRECTORY)
        self.assertEqual(install_dir, TARGET + "\\")

    def test_closing_the_wizard_leaves_the_while_hook_running_without_start_hook(self):
        run, robot = self.start(hook_package("WhileBR", "AfterBR", WhileBR_wait=""))
        wine.Robot(WHILE_WINDOW).wait()
        robot.close()
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.Robot(WHILE_WINDOW).run("wait", WHILE_WINDOW, timeout=0)[0], 0)
        self.assertEqual([hook[0] for hook in wine.hook_log()], ["WhileBR"])

    def test_closing_the_wizard_ends_the_while_hook_with_start_hook(self):
        run, robot = self.start(hook_package("WhileBR", "StartBR", WhileBR_wait=""))
        wine.Robot(WHILE_WINDOW).wait()
        robot.close()
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.Robot(WHILE_WINDOW).run("gone", WHILE_WINDOW, timeout=10)[0], 0)
        # StartBR.exe itself is never started.
        self.assertEqual([hook[0] for hook in wine.hook_log()], ["WhileBR"])


if __name__ == "__main__":
    unittest.main()
