"""Unattended installs under Wine: setup.exe /S installs what the wizard
would have installed, with no window at any time (the robot starts the
installer and looks at its top-level windows all along), and every ending
has its exit code; the log holds what was written. The wizard's own codes:
Cancel 1, Finish 0."""

import time

import wine_harness as wine

TARGET = "C:\\Apps\\Tool"
GUID = "{E2E-UNATTENDED}"
ENTRY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID
REMEMBERED = "HKCU\\SOFTWARE\\Brindle\\" + GUID
MUTEX = "Brindle E2E Unattended Mutex"
LOG = "C:\\unattended.log"
TEMPLATE = b"[Settings]\r\nProgName = Tool\r\n"
PACKAGE = {"uninstall.dat": TEMPLATE, "tool.exe": wine.PROBE.read_bytes(), "docs/read me.txt": "How to use it.\r\n"}
GERMAN = "[Buttons]\r\nNext=Weiter\r\n"


def setup(task=None, **groups):
    return {"Info": {"Titel": "Tool", "Version": "2.0", "GUID": GUID},
            "Settings": {"ProgExe": "tool.exe", "DefaultDir": "Tool Default", **groups.get("settings", {})},
            "StartMenue": {"ProgLink": "Tool", "DefaultDir": "Tool Menu", "Unistall": 1},
            "Task": {"Desktop": 1, "StartMenu": 1, "StartProg": 1, "MutexString": MUTEX, **(task or {})}}


class Unattended(wine.WineTest):
    def setUp(self):
        self.desktop, self.programs = wine.system_folders()[wine.DESKTOP], wine.system_folders()[wine.PROGRAMS]
        self.target = wine.host_path(TARGET)
        self.scrub(self.target, wine.host_path(LOG), wine.host_path(self.programs + "Tool Menu"),
                   wine.host_path(self.desktop + "Tool.lnk"))
        self.scrub_keys(ENTRY, REMEMBERED)

    def silent(self, installer, arguments):
        """Runs the installer with `arguments` to its end; its exit code,
        after asserting that it never had a window."""
        code, windows = wine.brindle_robot.run_unattended(wine.windows_path(installer), arguments)
        self.assertEqual(windows, [])
        return code

    def installed(self):
        """What an installation left: files with their bytes, the links'
        targets, the uninstall entry (its date aside) and the remembered choices."""
        files = {str(path.relative_to(self.target)): path.read_bytes()
                 for path in sorted(self.target.rglob("*")) if path.is_file()}
        links = {link: wine.read_shortcut(link) for link in (self.desktop + "Tool.lnk", self.programs + "Tool Menu\\Tool.lnk")
                 if wine.host_path(link).exists()}
        entry = wine.registry_values(ENTRY) or {}
        entry.pop("InstallDate", None)
        return files, links, entry, wine.registry_values(REMEMBERED)

    def test_silent_install_is_the_wizards_without_a_window_and_logs_every_file(self):
        installer = wine.build_installer(setup(), package=PACKAGE)
        wine.start_hook_log()
        run = self.start(installer)
        run.install(TARGET)
        run.finish()
        # The wizard's Finish starts the program (the probe logs its start);
        # the unattended run below gets as long to start it, and must not.
        finished = time.monotonic()
        self.assertTrue(wine.wait_until(lambda: [start[0] for start in wine.hook_log()] == ["tool"], timeout=60))
        program_start = time.monotonic() - finished
        by_wizard = self.installed()
        self.assertIn("tool.exe", by_wizard[0])
        self.assertEqual(len(by_wizard[1]), 2)  # the desktop link and the start-menu link
        self.scrub(self.target, wine.host_path(self.programs + "Tool Menu"), wine.host_path(self.desktop + "Tool.lnk"))
        self.scrub_keys(ENTRY, REMEMBERED)

        # The rest of the line is the folder, blanks and all.
        wine.start_hook_log()
        self.assertEqual(self.silent(installer, f"/s /LOG={LOG} /D={TARGET}"), 0)
        time.sleep(program_start + 1)
        self.assertEqual(wine.hook_log(), [])
        self.assertEqual(self.installed(), by_wizard)
        log = wine.host_path(LOG).read_text("utf-8").splitlines()
        for name in ("tool.exe", "docs\\read me.txt", "uninstall.dat"):
            self.assertIn(f"written: {TARGET}\\{name}", log)
        self.assertIn(f"installation folder: {TARGET}", log)
        self.assertIn("Copy Program Files   -->   *** Completed ***", log)
        self.assertEqual(log[-1], "exit code: 0")

    def test_no_icons_and_a_restart_that_is_left_to_the_administrator(self):
        installer = wine.build_installer(setup(task={"Reboot": 1}), package=PACKAGE)
        self.assertEqual(self.silent(installer, f"/NOICONS /S /D={TARGET}"), 3010)
        files, links, entry, _ = self.installed()
        self.assertIn("tool.exe", files)
        self.assertEqual(links, {})
        self.assertFalse(wine.host_path(self.programs + "Tool Menu").exists())
        self.assertIn("UninstallString", entry)

    def test_a_running_application_ends_the_run_unless_forced(self):
        probe = wine.DRIVE_C / "Apps" / "Holder.exe"
        self.scrub(probe.parent)
        wine.write_tree(probe.parent, {"Holder.exe": wine.PROBE.read_bytes(), "Holder.mutex": MUTEX, "Holder.wait": ""})
        holder = self.start(probe, wait=False)
        window = wine.Robot("Holder running")
        self.addCleanup(lambda: (window.run("close", window.window, timeout=5), holder.ended()))
        window.wait()
        installer = wine.build_installer(setup(), package=PACKAGE)
        self.assertEqual(self.silent(installer, f"/S /D={TARGET}"), 3)
        self.assertFalse(self.target.exists())
        self.assertIsNone(wine.registry_values(ENTRY))
        self.assertEqual(self.silent(installer, f"/S /FORCE /D={TARGET}"), 0)
        self.assertTrue((self.target / "tool.exe").exists())

    def test_a_damaged_installer_or_a_wrong_switch_installs_nothing(self):
        installer = wine.build_installer(setup(), package=PACKAGE)
        damaged = installer.with_name("damaged.exe")
        damaged.write_bytes(installer.read_bytes()[:-100])
        self.assertEqual(self.silent(damaged, f"/S /D={TARGET}"), 2)
        self.assertEqual(self.silent(installer, f"/S /QUIET /D={TARGET}"), 2)
        self.assertEqual(self.silent(installer, "/S /D=Tool"), 2)  # a folder must name its drive
        self.assertFalse(self.target.exists())
        # With the wizard, a wrong switch shows the switches.
        run = self.start(installer, "/Quiet", wait=False)
        box = wine.Robot(" Setup")
        text = box.do("message", timeout=240)
        self.assertTrue(text.startswith("Unknown or incomplete switch: /Quiet\n"), text)
        self.assertIn("/NOICONS", text)
        box.do("answer", "ok")
        run.ended(code=2)
        # The robot's watch sees that box, as it would any window of a run
        # that should have none: left unanswered, the run is ended at the deadline.
        code, _, error = wine.Robot().run("watch", wine.windows_path(installer), "/Quiet", timeout=60)
        self.assertEqual(code, 1)
        self.assertIn("window #32770\t", error)  # a dialog box, caught whatever its caption then

    def test_a_language_asked_for_skips_the_chooser_and_the_wizard_reports_its_end(self):
        # French users would be asked; /LANG=7 takes the German file at once.
        installer = wine.build_installer(setup(settings={"Language": "english.lng#9|german.lng#7|french.lng#12|"}),
                                         {"german.lng": GERMAN, "english.lng": "", "french.lng": ""}, package=PACKAGE)
        run = self.start(installer, "/LANG=7", f"/LOG={LOG}", f"/D={TARGET}")
        self.assertEqual(run.wizard.text(wine.NEXT), "Weiter >")
        run.wizard.click(wine.NEXT, then_shown=wine.SETTINGS_PAGE)
        self.assertEqual(run.wizard.text(wine.FOLDER_FIELD), TARGET)  # /D= gives the field's start value
        run.cancel()
        self.assertFalse(self.target.exists())
        # The wizard writes the log too.
        log = wine.host_path(LOG).read_text("utf-8").splitlines()
        self.assertIn("language file: german.lng", log)
        self.assertEqual(log[-1], "exit code: 1")
