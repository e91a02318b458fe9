"""Hook programs under Wine: BeforeBR.exe can stop the run, WhileBR.exe runs
beside the wizard until Cancel or Finish, AfterBR.exe runs after Finish only
and sees the installation folder. A probe program stands in for each hook
and logs its start."""

import wine_harness as wine

TARGET = "C:\\Brindle Tests\\Hooked"
WHILE_HOOK = wine.Robot("WhileBR running")
WORK_DIRECTORY = r"\\Temp\\Brindle-[0-9A-F]{16}\\?$"

# The hooks in the package, each with the exit code it ends with; how the run
# ends; the hooks started, in order; whether WhileBR.exe outlives the run.
CASES = [
    ({"BeforeBR": "1"}, "by itself", ["BeforeBR"], False),
    ({"BeforeBR": "0", "WhileBR": "", "AfterBR": ""}, "cancel", ["BeforeBR", "WhileBR"], False),
    # A StartBR.exe makes closing end WhileBR.exe; it is itself never started.
    ({"BeforeBR": "2", "WhileBR": "", "StartBR": ""}, "close", ["BeforeBR", "WhileBR"], False),
    ({"WhileBR": "", "AfterBR": ""}, "finish", ["WhileBR", "AfterBR"], False),
    ({"WhileBR": "", "AfterBR": ""}, "close", ["WhileBR"], True),
    # /S: the hooks as around Finish, without a window of the installer.
    ({"BeforeBR": "0", "AfterBR": ""}, "unattended", ["BeforeBR", "AfterBR"], False),
]


class Hooks(wine.WineTest):
    def setUp(self):
        self.scrub(wine.TESTS)
        self.addCleanup(WHILE_HOOK.run, "close", WHILE_HOOK.window, timeout=0)

    def test_each_hook_by_the_way_the_run_ends(self):
        for hooks, ending, started, while_hook_stays in CASES:
            with self.subTest(hooks=" ".join(hooks), ending=ending):
                wine.start_hook_log()
                wine.remove_work_directories()
                files = {f"{hook}.exe": wine.PROBE.read_bytes() for hook in hooks}
                files.update({f"{hook}.exit": code for hook, code in hooks.items() if code})
                if "WhileBR" in hooks:
                    files["WhileBR.wait"] = ""  # it runs until it is ended
                installer = wine.build_installer({"Info": {"Titel": "Hooked"}, "Settings": {"ProgExe": "tool.exe"}},
                                                 files, package={"readme.txt": "hooked"})
                if ending == "unattended":
                    self.assertEqual(wine.brindle_robot.run_unattended(wine.windows_path(installer), f"/S /D={TARGET}"),
                                     (0, []))
                else:
                    self.end_wizard(installer, ending, "WhileBR" in hooks)

                log = wine.hook_log()
                self.assertEqual([start[0] for start in log], started)
                for name, folder, install_dir, _, _ in log:
                    if name != "WhileBR":
                        self.assertRegex(folder, WORK_DIRECTORY)
                    if name == "AfterBR":
                        self.assertEqual(install_dir, TARGET + "\\")
                if while_hook_stays:
                    self.assertEqual(WHILE_HOOK.run("wait", WHILE_HOOK.window, timeout=0)[0], 0)
                    WHILE_HOOK.do("close")
                self.assertTrue(WHILE_HOOK.gone(timeout=10))

    def end_wizard(self, installer, ending, while_hook):
        """Runs the installer with its wizard to the `ending`."""
        run = self.start(installer, wait=ending != "by itself")
        if while_hook:
            WHILE_HOOK.wait()
        if ending == "by itself":
            run.ended(timeout=240, code=1)
            self.assertTrue(run.wizard.gone())
            self.assertEqual(len(list(wine.TEMP.glob("Brindle-*/BeforeBR.exe"))), 1)
        elif ending == "finish":
            run.install(TARGET)
            run.finish()
        else:
            getattr(run, ending)()
