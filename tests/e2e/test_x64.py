"""64-bit installations under Wine. In a 64-bit prefix an installer with
Architecture = x64 installs a 64-bit program into the native program files
folder, writes its entry and registry tasks in the 64-bit view (a task that
names the 32-bit view in that one), copies into the native system folder,
links the native program, and its uninstaller removes it all again; without
the setting the same installer installs as a 32-bit one. On 32-bit Windows
it says so and ends with exit code 2, leaving nothing behind."""

import os
import shutil
import subprocess

import test_uninstall as uninstall
import wine_harness as wine

GUID = "{E2E-X64}"
ENTRY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID
TASK_KEY = "HKLM\\Software\\Brindle X64"
SYSTEM_COPY = "brindle-x64-e2e.dll"
BITNESS_LOG = "C:\\brindle-bitness.log"
NATIVE = "C:\\Program Files\\App\\"
WOW = "C:\\Program Files (x86)\\App\\"
CHOICES = "HKCU\\SOFTWARE\\Brindle\\" + GUID


def installer(scratch, architecture):
    """An installer of the 64-bit probe, made by brindle-pack build."""
    project = scratch / "project"
    (project / "app").mkdir(parents=True)
    shutil.copy(wine.BIN / "brindle-bitness-probe.exe", project / "app" / "app64.exe")
    (project / "shared.dll").write_bytes(b"MZ x64 system copy")
    tasks = ["6|2147483650|Software\\Brindle X64|Native|64", "6|HKLM32|Software\\Brindle X64|Wow|32",
             f"5|{SYSTEM_COPY}|shared.dll|%System%"]
    settings = {"ProgExe": "app64.exe", "DefaultDir": "App"}
    if architecture:
        settings["Architecture"] = architecture
    (project / "setup.ini").write_text(wine.setup_ini({
        "Info": {"Titel": "X64 App", "Version": "1.0", "GUID": GUID},
        "Settings": settings,
        "StartMenue": {"DefaultDir": "App X64", "ProgLink": "X64 App"},
        "Task": {"StartMenu": 1},
        "UserTask": {"Number": len(tasks), **{f"Task{i}": task for i, task in enumerate(tasks, 1)}}}), newline="")
    built = subprocess.run([wine.BIN / "brindle-pack", "build", project, "-o", scratch / "setup.exe"],
                           capture_output=True, text=True, check=True)
    return scratch / "setup.exe", built.stderr


def snapshot():
    """The uninstall tests' snapshot with the 64-bit view of the software keys."""
    items = uninstall.snapshot()
    for key in ("HKLM\\Software", "HKCU\\Software"):
        items.update({f"{key} (64-bit): {line}": "value" for line in uninstall.registry_lines(key, wine.reg64)})
    return items


class SixtyFourBitWindows(wine.WineTest):
    def setUp(self):
        self.native_copy = wine.DRIVE_C / "windows" / "system32" / SYSTEM_COPY
        self.wow_copy = wine.DRIVE_C / "windows" / "syswow64" / SYSTEM_COPY
        menu = wine.host_path(wine.system_folders()[wine.PROGRAMS] + "App X64")
        self.scrub(self.native_copy, self.wow_copy, wine.host_path(BITNESS_LOG), wine.host_path(NATIVE),
                   wine.host_path(WOW), menu)
        for view in (wine.reg, wine.reg64):
            for key in (ENTRY, TASK_KEY, CHOICES):
                view("delete", key, "/f")
                self.addCleanup(view, "delete", key, "/f")
        self.addCleanup(wine.remove_work_directories)

    def install(self, architecture):
        setup, warnings = installer(wine.fresh_work(f"x64-{architecture or 'none'}"), architecture)
        run = self.start(setup)
        run.install(None)
        self.assertEqual(run.wizard.text(33), "Installation completed")
        run.finish()
        return warnings

    def test_a_64_bit_installation_lands_in_the_native_world_and_goes_again(self):
        wine.remove_work_directories()
        before = snapshot()
        self.assertNotIn("64-bit", self.install("x64"))
        self.assertTrue(wine.host_path(NATIVE + "app64.exe").exists())
        self.assertFalse(wine.host_path("C:\\Program Files (x86)\\App").exists())

        entry = wine.registry_values(ENTRY, view=wine.reg64)
        self.assertEqual(entry["InstallLocation"], NATIVE)
        self.assertEqual(entry["RegistryView"], "64")
        self.assertIsNone(wine.registry_values(ENTRY))  # not below WOW6432Node
        self.assertEqual(wine.registry_values(TASK_KEY, view=wine.reg64), {"Native": "64"})
        self.assertEqual(wine.registry_values(TASK_KEY), {"Wow": "32"})
        self.assertTrue(self.native_copy.exists())
        self.assertFalse(self.wow_copy.exists())

        link = wine.system_folders()[wine.PROGRAMS] + "App X64\\X64 App.lnk"
        self.assertEqual(wine.read_shortcut(link)[0], NATIVE + "app64.exe")
        # The shell resolves the link and starts its target without waiting for it.
        log = wine.host_path(BITNESS_LOG)
        self.assertEqual(wine.run_windows(["start", link], env={**wine.ENV, "BRINDLE_BITNESS_LOG": BITNESS_LOG})[0], 0)
        self.assertTrue(wine.wait_until(lambda: log.exists() and log.read_text().endswith("\n"), timeout=120))
        self.assertEqual(log.read_text().splitlines(), [f"64|{NATIVE}app64.exe"])

        self.assertEqual(uninstall.start(entry["QuietUninstallString"]).wait(timeout=300), 0)
        self.assertTrue(uninstall.wait_gone(wine.host_path(NATIVE)))
        self.assertTrue(self.native_copy.exists())  # copied into the system folder: it stays, as shared
        self.native_copy.unlink()
        wine.host_path(BITNESS_LOG).unlink()
        self.assertEqual(uninstall.differences(before, snapshot()), [])

    def test_without_the_setting_the_same_installer_installs_as_a_32_bit_one(self):
        self.assertIn("app64.exe is a 64-bit program, but the installation is a 32-bit one", self.install(None))
        self.assertTrue(wine.host_path(WOW + "app64.exe").exists())
        self.assertFalse(wine.host_path(NATIVE).exists())
        entry = wine.registry_values(ENTRY)
        self.assertEqual(entry["InstallLocation"], WOW)
        self.assertNotIn("RegistryView", entry)
        self.assertIsNone(wine.registry_values(ENTRY, view=wine.reg64))
        self.assertEqual(wine.registry_values(TASK_KEY), {"Native": "64", "Wow": "32"})
        self.assertTrue(self.wow_copy.exists())
        self.assertEqual(uninstall.start(entry["QuietUninstallString"]).wait(timeout=300), 0)
        self.assertTrue(uninstall.wait_gone(wine.host_path(WOW)))
        self.assertIsNone(wine.registry_values(TASK_KEY))


class ThirtyTwoBitWindows(wine.WineTest):
    def test_a_64_bit_installation_says_so_and_leaves_nothing(self):
        setup, _ = installer(wine.fresh_work("x64-on-win32"), "x64")
        wine.windows_32_bit(self)
        self.assertEqual(os.path.basename(wine.PREFIX), "win32-prefix")
        run = self.start(setup, wait=False)
        box = wine.Robot(" Setup")
        self.assertEqual(box.do("message", timeout=600), "This program needs a 64-bit version of Windows.\n")
        box.do("answer", "ok")
        run.ended(timeout=300, code=2)
        self.assertEqual(wine.work_directories(), [])
        self.assertFalse(wine.host_path("C:\\Program Files\\App").exists())
