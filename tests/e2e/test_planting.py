"""The installer runs elevated from folders that anyone may drop files into
(a Downloads folder). Libraries and programs planted there, or in the
current folder, under the names of system ones are never loaded or started;
the web link goes through the system's own RunDll32.exe."""

import shutil

import wine_harness as wine

SCHEME = "brindle-e2e"
LINK = SCHEME + "://tool.example/start"


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

