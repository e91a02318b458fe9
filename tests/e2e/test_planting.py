"""The installer runs elevated from folders that anyone may drop files into
(a Downloads folder), and the uninstaller from an installation folder that
ordinary users may write. Libraries and programs planted there, or in the
current folder, under the names of system ones are never loaded or started,
also where a system library pulls them in; the web link goes through the
system's own RunDll32.exe."""

import re
import shutil
import subprocess

import wine_harness as wine

SCHEME = "brindle-e2e"
LINK = SCHEME + "://tool.example/start"
TARGET = "C:\\Brindle Tests\\Planted"
GUID = "{E2E-PLANTED}"
README_PAGE, LICENCE_PAGE, ACCEPT = 10, 12, 14
LOADED = re.compile(r'Loaded L"([^"]+)" at \w+: (?:builtin|native)')


def loaded(trace):
    """The files of the libraries that Wine's +loaddll trace shows loaded."""
    return {path.replace("\\\\", "\\").lower() for path in LOADED.findall(trace.read_text("latin-1"))}


def bound_at_start(scratch):
    """What the platform loads before a program's first line when it imports
    what both programs import at start (kernel32, advapi32 and msvcrt, as the
    build checks): on Windows these are known libraries, which are never
    looked up beside a program; Wine lets an override take them from there."""
    trace = scratch / "start.log"
    env = {**wine.ENV, "WINEDEBUG": "+loaddll"}
    with open(trace, "wb") as log:
        subprocess.run(["wine", wine.BIN / "brindle-library-probe.exe", "advapi32.dll"], env=env,
                       stdout=subprocess.DEVNULL, stderr=log, timeout=300, check=True)
    return libraries_of(loaded(trace))


def libraries_of(files):
    """Their names, without the programs themselves."""
    return {path.rpartition("\\")[2] for path in files if path.endswith(".dll")}


def whole_installer(scratch):
    """An installer, made by brindle-pack build, that shows a licence and a
    readme (the rich edit control), installs files, the uninstaller and
    shortcuts (the shell's link object) and remembers the choices."""
    project = scratch / "project"
    wine.write_tree(project, {"app/tool.exe": wine.PROBE.read_bytes(), "app/docs/manual.txt": "Manual\r\n",
                              "licence.txt": "Terms\r\n", "readme.txt": "Read me\r\n"})
    (project / "setup.ini").write_text(wine.setup_ini({
        "Info": {"Titel": "Planted", "Version": "1.0", "GUID": GUID},
        "Settings": {"ProgExe": "tool.exe", "DefaultDir": "Planted"},
        "StartMenue": {"DefaultDir": "Brindle Planted", "ProgLink": "Planted", "Help": "docs\\manual.txt",
                       "Unistall": 1},
        "Task": {"StartMenu": 1, "Desktop": 1, "StartProg": 0}}), newline="")
    subprocess.run([wine.BIN / "brindle-pack", "build", project, "-o", scratch / "setup.exe", "--quiet"], check=True)
    return scratch / "setup.exe"


class Planting(wine.WineTest):
    def setUp(self):
        wine.start_hook_log()
        wine.remove_work_directories()

    def start_in(self, folder, installer, cwd=None, **options):
        """Runs a copy of `installer` from `folder`."""
        shutil.copy(installer, folder / "setup.exe")
        return self.start(folder / "setup.exe", cwd=cwd or folder, **options)

    def test_libraries_beside_the_installer_are_never_loaded(self):
        installer = wine.build_installer({"Info": {"Titel": "Planted"}}, {"licence.txt": "Terms\r\n"})
        for library in ("riched20", "version"):
            with self.subTest(library=library):
                folder = wine.fresh_work(f"planted-{library}")
                shutil.copy(wine.BIN / "brindle-marker.dll", folder / f"{library}.dll")
                marker = folder / f"{library}.dll.marker"
                run = self.start_in(folder, installer, native_first=[library])
                self.assertIn("Terms", run.wizard.text(13))  # the rich edit control holds the licence
                run.cancel()
                self.assertFalse(marker.exists())
                # A program that leaves the library search as it is does load it.
                shutil.copy(wine.BIN / "brindle-library-probe.exe", folder)
                self.assertEqual(wine.run_program(folder / "brindle-library-probe.exe", f"{library}.dll",
                                                  native_first=[library]), 0)
                self.assertTrue(marker.exists())

    def install_through_every_page(self, folder, installer, libraries, trace):
        """A whole run of a copy of `installer` from `folder`, with copies of
        the marker library planted there under the names of `libraries`."""
        for name in libraries:
            shutil.copy(wine.BIN / "brindle-marker.dll", folder / name)
        run = self.start_in(folder, installer, native_first=[name[:-4] for name in libraries], trace=trace,
                            channels="+loaddll")
        robot = run.wizard
        for page, then in ((LICENCE_PAGE, ACCEPT), (wine.SETTINGS_PAGE, None), (README_PAGE, None),
                           (wine.INSTALL, wine.INSTALL)):
            robot.click(wine.NEXT)
            self.assertTrue(robot.wait_for(lambda r: r.visible(page)), page)
            if page == wine.SETTINGS_PAGE:
                robot.do("settext", wine.FOLDER_FIELD, TARGET)
            if then:
                robot.click(then)
        self.assertTrue(robot.wait_for(lambda r: r.visible(wine.FINISH), timeout=120))
        run.finish()

    def uninstall(self, libraries, trace):
        """Uninstall.exe /S from the installation folder, with the marker
        library planted beside it under the names of `libraries`."""
        folder = wine.host_path(TARGET)
        for name in libraries:
            shutil.copy(wine.BIN / "brindle-marker.dll", folder / name)
        env = {**wine.environment([name[:-4] for name in libraries]), "WINEDEBUG": "+loaddll"}
        with open(trace, "wb") as log:
            code = subprocess.run(["wine", TARGET + "\\Uninstall.exe", "/S"], env=env, cwd=folder,
                                  stdout=subprocess.DEVNULL, stderr=log, timeout=600).returncode
        self.assertEqual(code, 0)
        # The copy in the temporary folder removes the original once it has ended.
        self.assertTrue(wine.wait_until(lambda: not (folder / "Uninstall.exe").exists(), timeout=120))

    def test_no_library_either_program_loads_is_taken_from_beside_it(self):
        programs, desktop = wine.system_folders()[wine.PROGRAMS], wine.system_folders()[wine.DESKTOP]
        self.scrub(wine.host_path(TARGET), wine.host_path(programs + "Brindle Planted"),
                   wine.host_path(desktop + "Planted.lnk"))
        self.scrub_keys(f"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{GUID}",
                        f"HKCU\\SOFTWARE\\Brindle\\{GUID}")
        scratch = wine.fresh_work("planted-everywhere")
        installer = whole_installer(scratch)
        # Every library a whole run of each program loads, as Wine's trace lists them.
        self.install_through_every_page(wine.fresh_work("planted-none"), installer, (), scratch / "setup.log")
        self.uninstall((), scratch / "uninstall.log")
        libraries = libraries_of(loaded(scratch / "setup.log") | loaded(scratch / "uninstall.log"))
        libraries -= bound_at_start(scratch)
        self.assertTrue({"user32.dll", "comctl32.dll", "riched20.dll", "ole32.dll", "shell32.dll"} <= libraries,
                        libraries)

        folder = wine.fresh_work("planted-all")
        self.install_through_every_page(folder, installer, libraries, scratch / "setup-planted.log")
        self.assertEqual(sorted(folder.glob("*.marker")), [])
        self.assertEqual(libraries_of(path for path in loaded(scratch / "setup-planted.log")
                                      if path.startswith(wine.windows_path(folder).lower())), set())
        self.uninstall(libraries, scratch / "uninstall-planted.log")
        self.assertEqual(sorted(wine.host_path(TARGET).glob("*.marker")), [])
        self.assertEqual(libraries_of(path for path in loaded(scratch / "uninstall-planted.log")
                                      if path.startswith(TARGET.lower())), set())

    def test_web_link_opens_through_the_system_rundll32_and_no_planted_program_starts(self):
        # The link starts "<system folder>\RunDll32.exe Url.dll,FileProtocolHandler <link>" (as Wine's
        # log of started processes shows), which hands the link on to the program registered for its
        # scheme: here the probe, for a scheme of the test's own.
        folder = wine.fresh_work("planted-programs")
        browser = wine.write_tree(folder, {"browser/Browser.exe": wine.PROBE.read_bytes()}) / "browser" / "Browser.exe"
        self.scrub_keys(f"HKCR\\{SCHEME}")
        wine.set_registry_values(f"HKCR\\{SCHEME}", {None: "URL:Brindle test", "URL Protocol": ""})
        wine.set_registry_values(f"HKCR\\{SCHEME}\\shell\\open\\command",
                                 {None: f'"{wine.windows_path(browser)}" "%1"'})
        for planted in ("RunDll32.exe", "current/RunDll32.exe", "tool.exe"):
            wine.write_tree(folder, {planted: wine.PROBE.read_bytes()})
        installer = wine.build_installer({"Info": {"Titel": "Planted", "Web": LINK},
                                          "Settings": {"ProgExe": "tool.exe"}, "Task": {"StartProg": 1}})
        run = self.start_in(folder, installer, cwd=folder / "current", trace=folder / "processes.log")
        self.assertEqual(run.wizard.text(wine.WEB_LINK), LINK)
        run.wizard.click(wine.WEB_LINK)
        self.assertTrue(wine.wait_until(wine.hook_log, timeout=120))
        # Closing before the install starts no program either: of the
        # planted ones, none appears among what the run started.
        run.close()
        self.assertEqual([(start[0], start[4]) for start in wine.hook_log()], [("Browser", f'"{LINK}"')])
        started = [command.lower() for command in run.started()]
        rundll32 = f'"{wine.system_folders()[wine.SYSTEM]}RunDll32.exe" Url.dll,FileProtocolHandler {LINK}'.lower()
        self.assertIn(rundll32, started)
        # RunDll32.exe only from the system folder, tool.exe not at all.
        self.assertEqual([command for command in started
                          if ("rundll32.exe" in command and command != rundll32) or "tool.exe" in command], [])

