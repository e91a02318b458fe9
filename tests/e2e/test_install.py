"""The install step under Wine: setup.pck's files land below the chosen
folder with their contents and times, the keep list protects existing files,
the progress list tells what happened; then what it leaves besides the
files: the entry in the list of installed programs, the shortcuts (read back
through the shell's link object), the choices remembered for the next run,
and the end of the run starting the program or asking for a restart."""

import hashlib
import time

import wine_harness as wine

MODIFIED = 133_100_000_000_000_000
TARGET = "C:\\Brindle Tests\\Tool"
FOLDER = TARGET + "\\"
PROGRAM = FOLDER + "tool.exe"
GUID = "{E2E-INSTALL}"
UNINSTALL_KEYS = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
REMEMBERED = "HKCU\\SOFTWARE\\Brindle\\"
TEMPLATE = b"; from the builder\r\n[Settings]\r\nProgName = Tool\r\n[Files]\r\nF001 = tool.exe\r\n"
PACKAGE = {"uninstall.dat": TEMPLATE, "tool.exe": wine.PROBE.read_bytes(), "bin/conf.ig.exe": b"MZ",
           "docs/manual.txt": (b"How to use the tool.\r\n" * 30, MODIFIED), "tool.ini": "[Defaults]\r\nColour=blue\r\n"}
BY_ANN = "\xa9 Ann Example   ( ann@tool.example )"


def setup(info=None, start_menu=None, task=None):
    return {"Info": {"Titel": "Tool", "Version": "3.1", **(info or {})},
            "Settings": {"ProgExe": "tool.exe", "DefaultDir": "Tool", "NoCopyExt": "ini|", "IconID": 200},
            "StartMenue": start_menu or {}, "Task": {"Desktop": 1, "StartProg": 1, **(task or {})}}


class InstallStep(wine.WineTest):
    def setUp(self):
        wine.start_hook_log()
        self.desktop, self.programs = wine.system_folders()[wine.DESKTOP], wine.system_folders()[wine.PROGRAMS]
        self.scrub(wine.TESTS, wine.host_path(self.programs + "Tool Menu"),
                   *(wine.host_path(self.desktop + link) for link in ("Tool Link.lnk", ".lnk")))
        self.scrub_keys(UNINSTALL_KEYS + GUID, REMEMBERED + GUID)
        self.scratch = wine.fresh_work("install-step")

    def install(self, installer, before_install=None, **options):
        run = self.start(installer, **options)
        run.install(TARGET, before_install)
        return run

    def test_full_signed_install(self):
        # Signing appends a certificate table behind the package; the runtime
        # still finds the package in front of it.
        (wine.TESTS / "Tool").mkdir(parents=True)
        (wine.TESTS / "Tool" / "tool.ini").write_bytes(b"the user's own settings")
        start_menu = {"ProgLink": "Tool Link", "Exe": "bin\\conf.ig.exe", "Help": "docs\\manual.chm",
                      "URL": "https://tool.example/start", "Unistall": 1}
        info = {"Date": "May 2026", "Author": "Ann Example", "EMail": "ann@tool.example",
                "Web": "https://tool.example/", "GUID": GUID}
        run = self.install(wine.sign(wine.build_installer(setup(info, start_menu, {"StartMenu": 1}), package=PACKAGE)),
                           lambda robot: robot.do("settext", wine.START_MENU_FIELD, "Tool Menu\\Tools"))
        self.assertEqual(run.progress(), [
            "Tool  -  Version 3.1   (May 2026)", BY_ANN, "", "Copy Program Files   -->   *** Completed ***", "",
            "Create Uninstaller Entry", "Create Desktop Icon", "Create Startmenu Shortcuts"])
        robot = run.wizard
        self.assertEqual(robot.text(31), "Installation finished")
        self.assertEqual(robot.text(33), "Installation completed")
        self.assertFalse(robot.visible(wine.CANCEL))
        self.assertFalse(robot.visible(wine.INSTALL))
        start_program = robot.state(wine.START_PROGRAM_CHECK)
        self.assertTrue(start_program["visible"] and start_program["checked"])

        folder = wine.TESTS / "Tool"
        self.assertEqual((folder / "tool.exe").read_bytes(), PACKAGE["tool.exe"])
        self.assertEqual((folder / "docs" / "manual.txt").read_bytes(), PACKAGE["docs/manual.txt"][0])
        self.assertEqual(wine.filetime_of(folder / "docs" / "manual.txt"), MODIFIED)
        self.assertEqual((folder / "tool.ini").read_bytes(), b"the user's own settings")  # kept

        package_bytes = sum(len(content[0] if isinstance(content, tuple) else content) for content in PACKAGE.values())
        self.assertEqual(wine.registry_values(UNINSTALL_KEYS + GUID), {
            "DisplayName": "Tool  3.1", "DisplayIcon": PROGRAM, "Publisher": "Ann Example",
            "URLInfoAbout": "https://tool.example/", "HelpLink": "https://tool.example/",
            "Contact": "ann@tool.example", "UninstallString": f'"{FOLDER}uninstall.exe"',
            "DisplayVersion": "3.1", "EstimatedSize": hex(-(-package_bytes // 1024)), "InstallLocation": FOLDER,
            "InstallDate": time.strftime("%Y%m%d"), "NoModify": "0x1", "NoRepair": "0x1",
            "QuietUninstallString": f'"{FOLDER}uninstall.exe" /S',
            # What the uninstaller trusts uninstall.dat with: its hash as written.
            "UninstallDataHash": hashlib.sha256((folder / "uninstall.dat").read_bytes()).hexdigest()})
        self.assertEqual(wine.registry_values(REMEMBERED + GUID),
                         {"InstallDir": FOLDER, "StartMenu": "Tool Menu\\Tools", "DesktopIcon": "1"})

        desktop, menu = self.desktop, self.programs + "Tool Menu\\Tools\\"
        uninstaller, conf, manual = FOLDER + "Uninstall.exe", FOLDER + "bin\\conf.ig.exe", FOLDER + "docs\\manual.chm"
        for link, expected in ((desktop + "Tool Link.lnk", (PROGRAM, FOLDER, PROGRAM, -56)),
                               (menu + "Tool Link.lnk", (PROGRAM, FOLDER, PROGRAM, -56)),
                               (menu + "conf.lnk", (conf, FOLDER + "bin\\", conf, 0)),
                               (menu + "Help.lnk", (manual, FOLDER, manual, 0)),
                               (menu + "Uninstall.lnk", (uninstaller, FOLDER, uninstaller, 0))):
            self.assertEqual(wine.read_shortcut(link), expected, link)
        # Web links point at an address, which the link keeps as its target.
        self.assertTrue(wine.host_path(menu + "Homepage.lnk").exists())

        # uninstall.dat: the template's lines first, then what the installer adds.
        data = (folder / "uninstall.dat").read_bytes().decode("latin-1")
        self.assertTrue(data.startswith(
            f"; from the builder\r\n[Settings]\r\nProgName = Tool\r\nProgDir = {FOLDER}\r\nProgExe = tool.exe\r\n"
            f"GUID = {GUID}\r\nProgLink = Tool Link\r\nStartMenu = {menu}\r\nDesktopIcon = {desktop}Tool Link.lnk\r\n"
            "[Files]\r\nF001 = tool.exe\r\n[Language]\r\n"), data)
        self.assertIn("Mutex = Close Program 'Tool' first!|Then press OK!\r\n", data)
        links = "".join(f"{name} = {menu}{link}.lnk\r\n" for name, link in (
            ("Program", "Tool Link"), ("AddExe", "conf"), ("Help", "Help"), ("Homepage", "Homepage"),
            ("Uninstall", "Uninstall")))
        self.assertTrue(data.endswith(f"[StartMenu]\r\n{links}[UserTask]\r\nNumber = 0\r\n"), data)

        run.finish()
        self.assertTrue(wine.wait_until(wine.hook_log, timeout=60))
        name, working_folder, install_dir, _, _ = wine.hook_log()[0]
        self.assertEqual((name, working_folder.rstrip("\\"), install_dir), ("tool", TARGET, FOLDER))

    def test_a_folder_others_may_write_is_entered_without_links_and_only_its_own_program_starts(self):
        # Ordinary users may write into an existing installation folder: one
        # made "sub" a link to a folder elsewhere, and once the files are in,
        # one replaces tool.exe before Finish.
        folder, elsewhere = wine.TESTS / "Tool", wine.TESTS / "Elsewhere"
        folder.mkdir(parents=True)
        elsewhere.mkdir()
        (folder / "sub").symlink_to(elsewhere)
        package = {**PACKAGE, "sub/planted.dll": b"MZ planted"}
        run = self.start(wine.build_installer(setup(task={"Desktop": 0}), package=package),
                         trace=self.scratch / "processes.log")
        run.install(TARGET)
        self.assertEqual(run.progress()[3], "Copy Program Files   -->   *** Failed: files could not be written ***")
        self.assertEqual(list(elsewhere.iterdir()), [])
        self.assertEqual((folder / "tool.exe").read_bytes(), PACKAGE["tool.exe"])
        (folder / "tool.exe").write_bytes(PACKAGE["tool.exe"] + b"replaced")
        self.assertTrue(run.wizard.state(wine.START_PROGRAM_CHECK)["checked"])
        run.finish(code=4)
        self.assertEqual([command for command in run.started() if "tool.exe" in command.lower()], [])

    def test_no_uninstaller_writes_no_entry_and_leaves_the_template_alone(self):
        run = self.install(wine.build_installer(setup({"GUID": GUID}, task={"NoUninstall": 1, "Desktop": 0}),
                                                package=PACKAGE))
        self.assertEqual(run.progress()[5:], [])
        self.assertEqual((wine.TESTS / "Tool" / "uninstall.dat").read_bytes(), TEMPLATE)
        self.assertIsNone(wine.registry_values(UNINSTALL_KEYS + GUID))
        self.assertEqual(wine.registry_values(REMEMBERED + GUID)["DesktopIcon"], "0")
        run.finish()

    def test_empty_link_name_and_guid_register_and_remember_nothing_and_reboot_starts_nothing(self):
        trace = wine.fresh_work("reboot-trace") / "processes.log"
        run = self.install(wine.build_installer(setup(start_menu={"ProgLink": ""}, task={"Reboot": 1}),
                                                package=PACKAGE), trace=trace)
        self.assertEqual(run.progress()[5:], ["Create Desktop Icon"])
        self.assertNotIn("InstallDir", wine.registry_values(REMEMBERED) or {})
        self.assertEqual(wine.read_shortcut(self.desktop + ".lnk"), (PROGRAM, FOLDER, PROGRAM, -56))
        self.assertFalse(run.wizard.state(wine.START_PROGRAM_CHECK)["enabled"])
        run.finish(code=3010)  # installed; the restart is the user's to make
        self.assertFalse([command for command in run.started() if "tool.exe" in command.lower()])
        self.assertEqual(wine.hook_log(), [])

    def test_missing_package_is_not_reported_as_completed(self):
        run = self.install(wine.build_installer(setup({"GUID": GUID}, task={"Desktop": 0})))
        lines = run.progress()
        self.assertEqual(lines[3], "Copy Program Files   -->   *** Failed: files could not be written ***")
        self.assertEqual(lines[0], lines[1])  # no author and no e-mail: the title line twice
        # Without a link name of its own the program goes by that line.
        data = (wine.TESTS / "Tool" / "uninstall.dat").read_bytes().decode("latin-1")
        self.assertIn(f"ProgLink = {lines[1]}\r\n", data)
        run.finish(code=4)

