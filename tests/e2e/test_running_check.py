"""The running-program check under Wine: a held mutex or a running process
of the program's name brings up the warning before the wizard; Cancel ends
the installer, OK goes on. The probe program plays the running application."""

import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

MUTEX = "Brindle E2E Tool Mutex"
WARNING = "Brindle - Warning"
APPS = wine.PREFIX / "drive_c" / "Apps"


def setUpModule():
    wine.ensure_display()


def installer(mutex=""):
    return build_installer({"setup.ini": setup_ini(Info={"Titel": "Editor"},
                                                   Settings={"ProgExe": "Tool.exe"},
                                                   Task={"MutexString": f"  {mutex}  "})})


class RunningCheck(unittest.TestCase):
    def setUp(self):
        wine.start_hook_log()
        wine.remove_work_directories()
        shutil.rmtree(APPS, ignore_errors=True)
        APPS.mkdir(parents=True)
        self.addCleanup(shutil.rmtree, APPS, True)

    def application(self, name, mutex=None):
        """Starts the probe as C:\\Apps\\<name>, running until the test ends."""
        (APPS / name).write_bytes((wine.BIN / "brindle-hook-probe.exe").read_bytes())
        base = name.rpartition(".")[0]
        (APPS / f"{base}.wait").write_bytes(b"")
        if mutex:
            (APPS / f"{base}.mutex").write_text(mutex)
        running = wine.Installer(APPS / name)
        window = f"{base} running"
        self.addCleanup(lambda: (wine.Robot(window).run("close", window, timeout=5), running.wait()))
        wine.Robot(window).wait()

    def warning_for(self, run):
        robot = wine.Robot(WARNING)
        text = robot.do("message", WARNING, timeout=240)
        return robot, text

    def test_held_mutex_warns_and_cancel_ends_the_run(self):
        self.application("Holder.exe", mutex=MUTEX)
        run = wine.Installer(installer(MUTEX))
        self.addCleanup(run.kill)
        robot, text = self.warning_for(run)
        self.assertEqual(text, "Close Program 'Editor' first!\nThen press OK!\n")
        robot.do("answer", WARNING, "cancel")
        self.assertEqual(run.wait(), 0)
        self.assertEqual(list(wine.temp_folder().glob("Brindle*")), [])

    def test_held_mutex_warns_and_ok_goes_on(self):
        self.application("Holder.exe", mutex=MUTEX)
        run = wine.Installer(installer(MUTEX))
        self.addCleanup(run.kill)
        robot, _ = self.warning_for(run)
        robot.do("answer", WARNING, "ok")
        wizard_robot = wine.Robot(wizard.WIZARD)
        wizard_robot.wait()
        wizard_robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)

    def test_free_mutex_neither_warns_nor_stays(self):
        # A process of the program's name runs, but with a mutex name only the mutex counts.
        self.application("TOOL.EXE")
        run, robot = wizard.start(installer(MUTEX))
        self.addCleanup(run.kill)
        (APPS / "Checker.exe").write_bytes((wine.BIN / "brindle-hook-probe.exe").read_bytes())
        (APPS / "Checker.mutex").write_text(MUTEX)
        self.assertEqual(wine.run(APPS / "Checker.exe"), 0)
        checker = [start for start in wine.hook_log() if start[0] == "Checker"]
        self.assertEqual(checker[0][3], "new")
        robot.click(wizard.CANCEL)
        self.assertEqual(run.wait(), 0)

    def test_process_of_the_program_name_warns_whatever_its_case_and_folder(self):
        self.application("TOOL.EXE")
        run = wine.Installer(installer())
        self.addCleanup(run.kill)
        robot, text = self.warning_for(run)
        self.assertIn("'Editor'", text)
        robot.do("answer", WARNING, "cancel")
        self.assertEqual(run.wait(), 0)


if __name__ == "__main__":
    unittest.main()
