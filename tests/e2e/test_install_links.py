"""What the install step leaves besides the files, under Wine: the entry in
the list of installed programs, the shortcuts (read back through the
shell's link object), the choices remembered for the next run, and the end
of the run starting the program or asking for a restart."""

import shutil
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer, setup_ini

TARGET = "C:\\Brindle Tests\\Linked Tool"
GUID = "{E2E-LINKS}"
UNINSTALL_KEYS = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
REMEMBERED = "HKCU\\SOFTWARE\\Brindle\\"
DESKTOP, PROGRAMS = 0, 2


def setUpModule():
    wine.ensure_display()
    global FOLDERS
    FOLDERS = wine.system_folders()


def app_package(scratch):
    """setup.pck whose program is the probe, so that its start shows in the log."""
    tree = scratch / "app"
    (tree / "bin").mkdir(parents=True)
    (tree / "tool.exe").write_bytes((wine.BIN / "brindle-hook-probe.exe").read_bytes())
    (tree / "bin" / "conf.ig.exe").write_bytes(b"MZ")
    return wine.pack(tree, scratch / "setup.pck").read_bytes()


def installer(name, info=None, start_menu=None, task=None):
    ini = setup_ini(Info={"Titel": "Linked", "Version": "2.0", "Author": "Ann Example", "EMail": "ann@tool.example",
                          "Web": "https://tool.example/", **(info or {})},
                    Settings={"ProgExe": "tool.exe", "DefaultDir": "Linked", "IconID": 200},
                    StartMenue={"ProgLink": "Linked Tool", **(start_menu or {})},
                    Task={"Desktop": 1, "StartProg": 1, **(task or {})})
    return build_installer({"setup.ini": ini, "setup.pck": app_package(wine.fresh_work(name))}, name)


class InstallLinks(unittest.TestCase):
    def setUp(self):
        wine.start_hook_log()
        self.target = wine.PREFIX / "drive_c" / "Brindle Tests"
        for path in (self.target, wine.host_path(FOLDERS[PROGRAMS] + "Linked Menu")):
            shutil.rmtree(path, ignore_errors=True)
            self.addCleanup(shutil.rmtree, path, True)
        for link in ("Linked Tool.lnk", ".lnk"):
            path = wine.host_path(FOLDERS[DESKTOP] + link)
            path.unlink(missing_ok=True)
            self.addCleanup(path.unlink, True)
        for key in (UNINSTALL_KEYS + GUID, UNINSTALL_KEYS + "Linked Tool", REMEMBERED + GUID):
            wine.delete_registry_key(key)
            self.addCleanup(wine.delete_registry_key, key)

    def install(self, path, start_menu_field=None):
        run, robot = wizard.start(path)
        self.addCleanup(run.kill)
        set_field = (lambda r: r.set_text(wizard.START_MENU_FIELD, start_menu_field)) if start_menu_field else None
        wizard.install(robot, TARGET, set_field)
        return run, robot

    def test_full_install_registers_links_and_starts_the_program(self):
        path = installer("links-full", info={"GUID": GUID},
                         start_menu={"Exe": "bin\\conf.ig.exe", "Help": "docs\\manual.chm",
                                     "URL": "https://tool.example/start", "Unistall": 1},
                         task={"StartMenu": 1})
        run, robot = self.install(path, start_menu_field="Linked Menu\\Tools")
        lines, _ = robot.items(34)
        self.assertEqual(lines[5:], ["Create Uninstaller Entry", "Create Desktop Icon", "Create Startmenu Shortcuts"])

        folder = TARGET + "\\"
        self.assertEqual(wine.registry_values(UNINSTALL_KEYS + GUID), {
            "DisplayName": "Linked  2.0", "DisplayIcon": folder + "tool.exe", "Publisher": "Ann Example",
            "URLInfoAbout": "https://tool.example/", "HelpLink": "https://tool.example/",
            "Contact": "ann@tool.example", "UninstallString": f'"{folder}uninstall.exe"'})
        self.assertEqual(wine.registry_values(REMEMBERED + GUID),
                         {"InstallDir": folder, "StartMenu": "Linked Menu\\Tools", "DesktopIcon": "1"})

        program = folder + "tool.exe"
        self.assertEqual(wine.read_shortcut(FOLDERS[DESKTOP] + "Linked Tool.lnk"), (program, folder, program, -56))
        menu = FOLDERS[PROGRAMS] + "Linked Menu\\Tools\\"
        self.assertEqual(wine.read_shortcut(menu + "Linked Tool.lnk"), (program, folder, program, -56))
        conf = folder + "bin\\conf.ig.exe"
        self.assertEqual(wine.read_shortcut(menu + "conf.lnk"), (conf, folder + "bin\\", conf, 0))
        manual = folder + "docs\\manual.chm"
        self.assertEqual(wine.read_shortcut(menu + "Help.lnk"), (manual, folder, manual, 0))
        self.assertEqual(wine.read_shortcut(menu + "Uninstall.lnk"),
                         (folder + "Uninstall.exe", folder, folder + "Uninstall.exe", 0))
        # Web links point at an address, which the link keeps as its target.
        self.assertTrue(wine.host_path(menu + "Homepage.lnk").exists())

        data = (self.target / "Linked Tool" / "uninstall.dat").read_bytes().decode("latin-1")
        self.assertIn(f"StartMenu = {menu}\r\nDesktopIcon = {FOLDERS[DESKTOP]}Linked Tool.lnk\r\n", data)
        self.assertIn(f"AddExe = {menu}conf.lnk\r\n", data)

        self.assertTrue(robot.checked(wizard.START_PROGRAM_CHECK))
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)
        self.assertTrue(wine.wait_until(lambda: wine.hook_log(), timeout=60))
        name, working_folder, install_dir, _ = wine.hook_log()[0]
        self.assertEqual((name, working_folder.rstrip("\\"), install_dir), ("tool", TARGET, folder))

    def test_empty_link_name_and_guid_register_and_remember_nothing(self):
        path = installer("links-empty", start_menu={"ProgLink": ""}, task={"StartProg": 0})
        run, robot = self.install(path)
        lines, _ = robot.items(34)
        self.assertEqual(lines[5:], ["Create Desktop Icon"])
        self.assertIsNone(wine.registry_values(UNINSTALL_KEYS + "Linked Tool"))
        self.assertNotIn("InstallDir", wine.registry_values(REMEMBERED) or {})
        program = TARGET + "\\tool.exe"
        self.assertEqual(wine.read_shortcut(FOLDERS[DESKTOP] + ".lnk"), (program, TARGET + "\\", program, -56))
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.hook_log(), [])

    def test_no_uninstall_writes_no_entry(self):
        path = installer("links-no-uninstall", info={"GUID": GUID}, task={"NoUninstall": 1, "Desktop": 0})
        run, robot = self.install(path)
        lines, _ = robot.items(34)
        self.assertEqual(lines[5:], [])
        self.assertIsNone(wine.registry_values(UNINSTALL_KEYS + GUID))
        self.assertEqual(wine.registry_values(REMEMBERED + GUID)["DesktopIcon"], "0")
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)

    def test_reboot_flag_starts_nothing(self):
        run, robot = self.install(installer("links-reboot", task={"Reboot": 1}))
        self.assertFalse(robot.enabled(wizard.START_PROGRAM_CHECK))
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)
        self.assertEqual(wine.hook_log(), [])


if __name__ == "__main__":
    unittest.main()
