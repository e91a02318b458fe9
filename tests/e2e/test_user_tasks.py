"""User tasks under Wine: every task type does its work and leaves its
record in uninstall.dat; a copy onto an existing file asks through the
version dialog, whose answer decides, and a file the user kept is no
record of the installation."""

import wine_harness as wine

TARGET = "C:\\Brindle Tests\\Tasks"
MENU_NAME = "Brindle Task Menu"
REGISTRY_KEY = "Software\\Brindle E2E Tasks"
NEW, REPLACED, KEPT = "brindle-e2e-new.dll", "brindle-e2e-replaced.dll", "brindle-e2e-kept.dll"
USERS_LIBRARY = b"MZ the user's shared library"
STARTUP = 7
YES, NO = 55, 56


def system_file(name):
    """A file of the system folder as 32-bit programs see it: the 64-bit
    prefix keeps their system32 in syswow64."""
    return wine.DRIVE_C / "windows" / "syswow64" / name


def installer(tasks):
    """An installer with `tasks` as [UserTask]; the package carries tool.exe
    and, in the work directory, libraries to copy."""
    return wine.build_installer(
        {"Info": {"Titel": "Tasks"}, "Settings": {"ProgExe": "tool.exe"}, "StartMenue": {"DefaultDir": MENU_NAME},
         "Task": {"StartMenu": 1}, "UserTask": tasks},
        {"new.dll": "MZ new", "replaced.dll": "MZ replacement", "kept.dll": "MZ not wanted"},
        package={"tool.exe": "MZ tool"})


class UserTasks(wine.WineTest):
    def setUp(self):
        self.folders = wine.system_folders()
        self.desktop, self.menu = self.folders[wine.DESKTOP], self.folders[wine.PROGRAMS] + MENU_NAME + "\\"
        self.scrub(wine.TESTS, wine.host_path(self.menu), *map(system_file, (NEW, REPLACED, KEPT)),
                   *(wine.host_path(link) for link in (self.desktop + "Tool Task.lnk", self.desktop + "Site.lnk",
                                                       self.folders[STARTUP] + "Tool Start.lnk")))
        self.scrub_keys("HKCU\\" + REGISTRY_KEY)

    def uninstall_data(self):
        return (wine.TESTS / "Tasks" / "uninstall.dat").read_bytes().decode("latin-1")

    def test_every_task_type_does_its_work_and_leaves_its_record(self):
        tasks = ["0|Tool Task|tool.exe|2", "1|Tool Menu.lnk|tool.exe|0", "2|Site|https://tool.example/",
                 "3|Site.LNK|https://tool.example/menu", "4|Tool Start|tool.exe|0",
                 f"5|{NEW}|new.dll|%System%", f"5|{REPLACED}|replaced.dll|%System%", f"5|{KEPT}|kept.dll|%System%",
                 f"6|2147483649|{REGISTRY_KEY}|Path|%ProgDir%bin",
                 "8|tool.ini||Top|%ProgDir%x", "8|tool.ini|Paths|Home|%InstallDir%", "9|%System%x.dll|1"]
        for name in (REPLACED, KEPT):
            system_file(name).write_bytes(USERS_LIBRARY)

        def answer_the_copies():
            for source, button in (("replaced.dll", YES), ("kept.dll", NO)):
                dialog = wine.Robot(f" Copy File  '{source}'")
                dialog.wait()
                dialog.click(button)
        run = self.start(installer({"Number": len(tasks), **{f"Task{i}": task for i, task in enumerate(tasks, 1)}}))
        run.install(TARGET, during_install=answer_the_copies)
        self.assertEqual(run.progress()[-1], "Create additional Links")

        folder, program = TARGET + "\\", TARGET + "\\tool.exe"
        system = self.folders[wine.SYSTEM]
        records = [self.desktop + "Tool Task.lnk", self.menu + "Tool Menu.lnk", self.desktop + "Site.lnk",
                   self.menu + "Site.LNK.lnk", self.folders[STARTUP] + "Tool Start.lnk", system + NEW,
                   system + REPLACED, f"2147483649|{REGISTRY_KEY}|Path"]
        self.assertIn(f"[UserTask]\r\nNumber = {len(records)}\r\n" +
                      "".join(f"Task{i} = {record}\r\n" for i, record in enumerate(records, 1)) + "[Written]\r\n",
                      self.uninstall_data())

        for link, icon in ((records[0], 2), (records[1], 0), (records[4], 0)):
            self.assertEqual(wine.read_shortcut(link), (program, folder, program, icon))
        for web_link in (records[2], records[3]):
            self.assertTrue(wine.host_path(web_link).exists(), web_link)
        for name, content in ((NEW, b"MZ new"), (REPLACED, b"MZ replacement"), (KEPT, USERS_LIBRARY)):
            self.assertEqual(system_file(name).read_bytes(), content, name)
        self.assertEqual(wine.registry_values("HKCU\\" + REGISTRY_KEY), {"Path": "%ProgDir%bin"})
        ini = (wine.TESTS / "Tasks" / "tool.ini").read_bytes()
        self.assertEqual(ini, f"Top = %ProgDir%x\r\n[Paths]\r\nHome = {folder}\r\n".encode("latin-1"))
        run.finish()

    def test_task_counts_that_run_nothing(self):
        # 40000 is negative in sixteen bits.
        for tasks, last_line in (({"Number": 40000, "Task1": "0|Tool Task|tool.exe|0"}, "Create additional Links"),
                                 ({"Task1": "0|Tool Task|tool.exe|0"}, "Create Startmenu Shortcuts")):
            with self.subTest(number=tasks.get("Number")):
                run = self.start(installer(tasks))
                run.install(TARGET)
                self.assertEqual(run.progress()[-1], last_line)
                self.assertFalse(wine.host_path(self.desktop + "Tool Task.lnk").exists())
                self.assertIn("[UserTask]\r\nNumber = 0\r\n", self.uninstall_data())
                self.assertNotIn("Task1", self.uninstall_data())
                run.finish()

