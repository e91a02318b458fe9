"""An application's whole life under Wine, each test on a prefix of its own
with the snapshots the round trip uses: an installation into a folder
written with doubled separators, an upgrade that drops and adds files while
the user keeps a changed file, the same with RemoveOldFiles, registry keys
and INI files that did and did not exist, folders made above the
installation folder, and an uninstall.dat changed by someone else, which
removes nothing outside the installation folder."""

import hashlib
import subprocess

import test_uninstall as uninstall
import wine_harness as wine

GUID = "{E2E-LIFECYCLE}"
ENTRY = uninstall.UNINSTALL_KEY + GUID
DOCUMENTS = 5
NO = 56  # the version dialog's No: keep the current file
TASK_KEY = "Software\\Brindle Lifecycle"
OLD_KEY = "Software\\Brindle Lifecycle Old"


def installer(version, app, tasks=(), settings=None, files=None):
    """An installer of version `version` made by brindle-pack build: the
    application's files `app`, the carried `files`, the user `tasks`."""
    scratch = wine.fresh_work(f"lifecycle-{version}")
    project = scratch / "project"
    wine.write_tree(project / "app", {"tool.exe": f"MZ tool {version}", **app})
    wine.write_tree(project, files or {})
    (project / "setup.ini").write_text(wine.setup_ini({
        "Info": {"Titel": "Acme Writer", "Version": version, "GUID": GUID},
        "Settings": {"ProgExe": "tool.exe", **(settings or {})},
        "StartMenue": {"DefaultDir": "Acme Writer", "ProgLink": "Acme Writer"},
        "Task": {"StartMenu": 1, "Desktop": 1},
        "UserTask": {"Number": len(tasks), **{f"Task{i}": task for i, task in enumerate(tasks, 1)}}}), newline="")
    subprocess.run([wine.BIN / "brindle-pack", "build", project, "-o", scratch / "setup.exe", "--quiet"], check=True)
    return scratch / "setup.exe"


class Lifecycle(wine.WineTest):
    def setUp(self):
        wine.fresh_prefix(self)
        self.before = uninstall.snapshot()

    def install(self, setup, folder, during_install=None):
        run = self.start(setup)
        run.install(folder, during_install=during_install)
        progress = run.progress()
        run.finish()
        return progress

    def uninstall(self, code=0):
        """Removes the installation with /S and waits for its copy to end."""
        entry = wine.registry_values(ENTRY)
        folder = wine.host_path(entry["InstallLocation"])
        self.assertEqual(uninstall.start(entry["QuietUninstallString"]).wait(timeout=300), code)
        self.assertTrue(uninstall.wait_gone(folder / "Uninstall.exe"))

    def assert_as_before(self, *changed):
        """The machine is as at the test's start, but for the items named."""
        self.assertEqual(uninstall.differences(self.before, uninstall.snapshot()), sorted(changed))


class Spellings(Lifecycle):
    def test_a_folder_with_doubled_separators_installs_and_uninstalls(self):
        # "%ProgramFiles%\App" expands to the program files folder, which
        # ends in a separator, then one more.
        self.install(installer("1.0", {"readme.txt": "read me"}, settings={"DefaultDir": "%ProgramFiles%\\App"}),
                     None)
        folder = wine.program_files() + "App\\"
        entry = wine.registry_values(ENTRY)
        self.assertEqual(entry["InstallLocation"], folder)
        self.assertEqual(entry["UninstallString"], f'"{folder}uninstall.exe"')
        data = wine.host_path(folder + "uninstall.dat").read_bytes()
        self.assertIn(f"ProgDir = {folder}\r\n".encode("latin-1"), data)
        self.assertEqual(entry["UninstallDataHash"], hashlib.sha256(data).hexdigest())
        self.uninstall()
        self.assert_as_before()


class Upgrades(Lifecycle):
    FOLDER = "C:\\Apps\\Acme Writer"

    def versions(self, settings=None):
        """2.1 with old.dll, 2.2 without it and with new.dll; both copy
        Welcome.rtf into the documents."""
        task = ["5|Welcome.rtf|Welcome.rtf|%MyDocuments%"]
        files = {"Welcome.rtf": "{\\rtf1 Welcome}"}
        return (installer("2.1", {"old.dll": "MZ old", "common.txt": "2.1"}, task, settings, files),
                installer("2.2", {"new.dll": "MZ new", "common.txt": "2.2"}, task, settings, files))

    def upgrade(self, settings=None):
        first, second = self.versions(settings)
        self.install(first, self.FOLDER)
        welcome = wine.host_path(wine.system_folders()[DOCUMENTS] + "Welcome.rtf")
        welcome.write_bytes(b"{\\rtf1 Welcome, with the user's notes}")

        def keep_the_users_file():
            dialog = wine.Robot(" Copy File  'Welcome.rtf'")
            dialog.wait()
            dialog.click(NO)
        progress = self.install(second, self.FOLDER, during_install=keep_the_users_file)
        return welcome, progress

    def test_an_upgrade_leaves_nothing_of_either_version_but_the_users_file(self):
        welcome, progress = self.upgrade()
        self.assertTrue(wine.host_path(self.FOLDER + "\\old.dll").exists())  # until the uninstall
        self.assertNotIn("Remove files of the earlier version", progress)
        self.uninstall()  # keeping the user's file is success
        self.assertEqual(welcome.read_bytes(), b"{\\rtf1 Welcome, with the user's notes}")
        welcome.unlink()
        self.assert_as_before()

    def test_remove_old_files_takes_the_dropped_file_at_the_upgrade(self):
        welcome, progress = self.upgrade({"RemoveOldFiles": 1})
        self.assertFalse(wine.host_path(self.FOLDER + "\\old.dll").exists())
        self.assertTrue(wine.host_path(self.FOLDER + "\\new.dll").exists())
        self.assertEqual(progress[-2:], ["Remove files of the earlier version", "   old.dll"])
        self.uninstall()
        welcome.unlink()
        self.assert_as_before()


class CreatedAndExisting(Lifecycle):
    def test_keys_and_ini_files_the_installation_made_go_and_existing_ones_keep_their_values(self):
        folder = wine.TESTS / "Acme"
        folder.mkdir(parents=True)
        (folder / "existing.ini").write_bytes(b"[Keep]\r\nA = 1\r\n")
        wine.set_registry_values(f"HKCU\\{OLD_KEY}", {"Old": "1"})
        wine.set_registry_values(f"HKLM\\{OLD_KEY}", {"Old": "2"})
        self.before = uninstall.snapshot()
        tasks = [f"6|2147483649|{TASK_KEY}\\Sub|Value|new", f"6|2147483650|{TASK_KEY}|Value|new",
                 f"6|2147483649|{OLD_KEY}|New|added", f"6|2147483650|{OLD_KEY}|New|added",
                 "8|new.ini|Paths|Home|%InstallDir%", "8|existing.ini|Keep|New|added",
                 "8|existing.ini|Added|Key|added"]
        self.install(installer("1.0", {}, tasks), "C:\\Brindle Tests\\Acme")
        self.assertEqual(wine.registry_values(f"HKCU\\{TASK_KEY}\\Sub"), {"Value": "new"})
        self.assertIn(b"[Added]\r\nKey = added\r\n", (folder / "existing.ini").read_bytes())
        self.uninstall()
        self.assertEqual((folder / "existing.ini").read_bytes(), b"[Keep]\r\nA = 1\r\n")
        self.assertEqual(wine.registry_values(f"HKCU\\{OLD_KEY}"), {"Old": "1"})
        self.assertEqual(wine.registry_values(f"HKLM\\{OLD_KEY}"), {"Old": "2"})
        # The INI file was rewritten with its old values: only its time differs.
        self.assert_as_before("Brindle Tests/Acme/existing.ini")

    def test_folders_made_above_the_installation_go_and_existing_ones_stay(self):
        for existed in (False, True):
            with self.subTest(existed=existed):
                apps = wine.DRIVE_C / "Apps"
                if existed:
                    apps.mkdir()
                before = uninstall.snapshot()
                self.install(installer("1.0", {"data/a.txt": "a"}), "C:\\Apps\\Tool")
                self.uninstall()
                self.assertEqual(apps.exists(), existed)
                self.assertEqual(uninstall.differences(before, uninstall.snapshot()), [])


class ChangedRecord(Lifecycle):
    """An installation folder that ordinary users may change: whoever edits
    its uninstall.dat gets nothing outside the folder removed."""
    FOLDER = "C:\\users\\Public\\Acme Tool"
    HOSTILE = b"Task5 = C:\\Other\\other.dll\r\nTask6 = 2147483649|Software\\Brindle Other|Keep\r\n"

    def install_and_edit(self):
        """Installs, then adds records of another application's file and
        value to uninstall.dat; what lies outside the folder."""
        self.other = wine.DRIVE_C / "Other" / "other.dll"
        self.other.parent.mkdir()
        self.other.write_bytes(b"MZ another application's library")
        wine.set_registry_values("HKCU\\Software\\Brindle Other", {"Keep": "1"})
        tasks = ["0|Acme Desk|tool.exe|0", "5|acme.txt|acme.txt|%AppData%", f"6|2147483649|{TASK_KEY}|Value|new",
                 "5|inside.txt|acme.txt|%InstallDir%"]
        self.install(installer("1.0", {}, tasks, files={"acme.txt": "acme"}), self.FOLDER)
        data = wine.host_path(self.FOLDER + "\\uninstall.dat")
        edited = data.read_bytes().replace(b"Number = 4\r\n", b"Number = 6\r\n").replace(
            b"[Written]", self.HOSTILE + b"[Written]")
        self.assertNotEqual(edited, data.read_bytes())
        data.write_bytes(edited)
        folders = wine.system_folders()
        self.desktop = folders[wine.DESKTOP]
        return [wine.host_path(path) for path in (self.desktop + "Acme Desk.lnk", self.desktop + "Acme Writer.lnk",
                                                  folders[26] + "acme.txt",
                                                  folders[wine.PROGRAMS] + "Acme Writer\\Acme Writer.lnk")]

    def assert_nothing_outside_went(self, outside):
        self.assertFalse(wine.host_path(self.FOLDER + "\\inside.txt").exists())
        self.assertFalse(wine.host_path(self.FOLDER + "\\tool.exe").exists())
        for path in (*outside, self.other):
            self.assertTrue(path.exists(), path)
        self.assertEqual(wine.registry_values(f"HKCU\\{TASK_KEY}"), {"Value": "new"})
        self.assertEqual(wine.registry_values("HKCU\\Software\\Brindle Other"), {"Keep": "1"})
        self.assertIsNone(wine.registry_values(ENTRY))  # its own entry goes

    def test_silently_it_removes_the_inside_and_exits_1(self):
        outside = self.install_and_edit()
        self.uninstall(code=1)
        self.assert_nothing_outside_went(outside)

    def test_its_window_names_what_it_left(self):
        outside = self.install_and_edit()
        uninstaller = uninstall.start(wine.registry_values(ENTRY)["UninstallString"])
        robot = wine.Robot(uninstall.UNINSTALLER)
        robot.wait()
        robot.click(uninstall.OK)
        self.assertTrue(robot.wait_for(lambda r: r.text(uninstall.STATUS) == uninstall.FAILED, timeout=120))
        left = robot.items(uninstall.LEFTOVERS)[0]
        self.assertEqual(left[0], "Left, as uninstall.dat was changed since the installation:")
        for item in (f"   HKEY_CURRENT_USER\\{TASK_KEY} (Value)", f"   {self.desktop}Acme Desk.lnk",
                     "   C:\\Other\\other.dll", "   HKEY_CURRENT_USER\\Software\\Brindle Other (Keep)"):
            self.assertIn(item, left)
        self.assertEqual(uninstall.finish(uninstaller, robot, status=uninstall.FAILED), 1)
        self.assertTrue(uninstall.wait_gone(wine.host_path(self.FOLDER + "\\Uninstall.exe")))
        self.assert_nothing_outside_went(outside)
