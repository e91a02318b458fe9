"""User tasks under Wine: every task type does its work and leaves its
record in uninstall.dat; a copy onto an existing file asks through the
version dialog."""

import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

TARGET = "C:\\Brindle Tests\\Tasks"
MENU_NAME = "Brindle Task Menu"
REGISTRY_KEY = "Software\\Brindle E2E Tasks"
SHARED_DLL = "brindle-e2e-shared.dll"
DESKTOP, PROGRAMS, STARTUP, SYSTEM = 0, 2, 7, -2
VERSION_DIALOG = "#4"
YES, NO = 55, 56


def setUpModule():
    wine.ensure_display()
    global FOLDERS
    FOLDERS = wine.system_folders()


def system_file(name):
    """A file of the system folder as 32-bit programs see it: the 64-bit
    prefix keeps their system32 in syswow64."""
    return wine.PREFIX / "drive_c" / "windows" / "syswow64" / name


def installer(name, tasks):
    """An installer whose setup.ini lists `tasks` as its user tasks; the
    package carries tool.exe and, in the work directory, shared.dll."""
    scratch = wine.fresh_work(name)
    (scratch / "app").mkdir()
    (scratch / "app" / "tool.exe").write_bytes(b"MZ tool")
    ini = setup_ini(Info={"Titel": "Tasks"}, Settings={"ProgExe": "tool.exe"},
                    StartMenue={"DefaultDir": MENU_NAME}, Task={"StartMenu": 1},
                    UserTask={"Number": len(tasks), **{f"Task{i}": task for i, task in enumerate(tasks, 1)}}
                    if isinstance(tasks, list) else tasks)
    return build_installer({"setup.ini": ini, "shared.dll": b"MZ new shared library",
                            "setup.pck": wine.pack(scratch / "app", scratch / "setup.pck").read_bytes()}, name)


class UserTasks(unittest.TestCase):
    def setUp(self):
        folders = [wine.PREFIX / "drive_c" / "Brindle Tests", wine.host_path(FOLDERS[PROGRAMS] + MENU_NAME)]
        links = [wine.host_path(FOLDERS[code] + name)
                 for code, name in ((DESKTOP, "Tool Task.lnk"), (DESKTOP, "Site.lnk"), (STARTUP, "Tool Start.lnk"))]
        for path in folders:
            shutil.rmtree(path, ignore_errors=True)
            self.addCleanup(shutil.rmtree, path, True)
        for path in links + [system_file(SHARED_DLL)]:
            path.unlink(missing_ok=True)
            self.addCleanup(path.unlink, True)
        wine.delete_registry_key("HKCU\\" + REGISTRY_KEY)
        self.addCleanup(wine.delete_registry_key, "HKCU\\" + REGISTRY_KEY)

    def install(self, path, during_install=None):
        run, robot = wizard.start(path)
        self.addCleanup(run.kill)
        wizard.install(robot, TARGET, during_install=during_install)
        return run, robot

    def finish(self, run, robot):
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)

    def uninstall_data(self):
        return (wine.PREFIX / "drive_c" / "Brindle Tests" / "Tasks" / "uninstall.dat").read_bytes().decode("latin-1")

    def test_every_task_type_does_its_work_and_leaves_its_record(self):
        tasks = ["0|Tool Task|tool.exe|2", "1|Tool Menu.lnk|tool.exe|0", "2|Site|https://tool.example/",
                 "3|Site.LNK|https://tool.example/menu", "4|Tool Start|tool.exe|0",
                 f"5|{SHARED_DLL}|shared.dll|%System%", f"6|2147483649|{REGISTRY_KEY}|Path|%ProgDir%bin",
                 "8|tool.ini||Top|%ProgDir%x", "8|tool.ini|Paths|Home|%InstallDir%", "9|%System%x.dll|1"]
        run, robot = self.install(installer("tasks-all", tasks))
        lines, _ = robot.items(34)
        self.assertEqual(lines[-1], "Create additional Links")

        folder = TARGET + "\\"
        menu = FOLDERS[PROGRAMS] + MENU_NAME + "\\"
        program = folder + "tool.exe"
        records = [FOLDERS[DESKTOP] + "Tool Task.lnk", menu + "Tool Menu.lnk", FOLDERS[DESKTOP] + "Site.lnk",
                   menu + "Site.LNK.lnk", FOLDERS[STARTUP] + "Tool Start.lnk", FOLDERS[SYSTEM] + SHARED_DLL,
                   f"2147483649|{REGISTRY_KEY}|Path"]
        self.assertTrue(self.uninstall_data().endswith(
            f"[UserTask]\r\nNumber = {len(records)}\r\n" +
            "".join(f"Task{i} = {record}\r\n" for i, record in enumerate(records, 1))))

        self.assertEqual(wine.read_shortcut(records[0]), (program, folder, program, 2))
        self.assertEqual(wine.read_shortcut(records[1]), (program, folder, program, 0))
        self.assertEqual(wine.read_shortcut(records[4]), (program, folder, program, 0))
        for web_link in (records[2], records[3]):
            self.assertTrue(wine.host_path(web_link).exists(), web_link)
        self.assertEqual(system_file(SHARED_DLL).read_bytes(), b"MZ new shared library")
        self.assertEqual(wine.registry_values("HKCU\\" + REGISTRY_KEY), {"Path": "%ProgDir%bin"})
        ini = (wine.PREFIX / "drive_c" / "Brindle Tests" / "Tasks" / "tool.ini").read_bytes()
        self.assertEqual(ini, f"Top = %ProgDir%x\r\n[Paths]\r\nHome = {folder}\r\n".encode("latin-1"))
        self.finish(run, robot)

    def test_copy_onto_an_existing_file_asks_and_the_answer_decides(self):
        for answer, content in ((YES, b"MZ new shared library"), (NO, b"MZ the user's shared library")):
            with self.subTest(answer="yes" if answer == YES else "no"):
                system_file(SHARED_DLL).write_bytes(b"MZ the user's shared library")
                path = installer(f"tasks-{answer}", [f"5|{SHARED_DLL}|shared.dll|%System%"])
                dialog = wine.Robot(VERSION_DIALOG)
                run, robot = self.install(path, during_install=lambda: (dialog.wait(), dialog.click(answer)))
                self.assertEqual(system_file(SHARED_DLL).read_bytes(), content)
                self.assertIn(f"Task1 = {FOLDERS[SYSTEM]}{SHARED_DLL}\r\n", self.uninstall_data())
                self.finish(run, robot)

    def test_task_counts_that_are_negative_in_sixteen_bits_run_nothing(self):
        run, robot = self.install(installer("tasks-40000", {"Number": 40000, "Task1": "0|Tool Task|tool.exe|0"}))
        lines, _ = robot.items(34)
        self.assertEqual(lines[-1], "Create additional Links")
        self.assertFalse(wine.host_path(FOLDERS[DESKTOP] + "Tool Task.lnk").exists())
        self.assertIn("[UserTask]\r\nNumber = 0\r\n", self.uninstall_data())
        self.finish(run, robot)

    def test_no_task_count_no_line(self):
        run, robot = self.install(installer("tasks-none", {"Task1": "0|Tool Task|tool.exe|0"}))
        lines, _ = robot.items(34)
        self.assertEqual(lines[-1], "Create Startmenu Shortcuts")
        self.assertFalse(wine.host_path(FOLDERS[DESKTOP] + "Tool Task.lnk").exists())
        self.finish(run, robot)


if __name__ == "__main__":
    unittest.main()
