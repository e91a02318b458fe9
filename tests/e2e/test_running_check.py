"""The running-program check under Wine: a held mutex or a running process
of the program's name brings up the warning before the wizard; Cancel ends
the installer, OK goes on. The probe program plays the running application."""

import wine_harness as wine

MUTEX = "Brindle E2E Tool Mutex"
WARNING = wine.Robot("Brindle - Warning")
APPS = wine.DRIVE_C / "Apps"


def installer(mutex=""):
    return wine.build_installer({"Info": {"Titel": "Editor"}, "Settings": {"ProgExe": "Tool.exe"},
                                 "Task": {"MutexString": f"  {mutex}  "}})


class RunningCheck(wine.WineTest):
    def setUp(self):
        wine.start_hook_log()
        wine.remove_work_directories()
        self.scrub(APPS)

    def probe(self, name, **side_files):
        """The probe as C:\\Apps\\<name> with its side files ({"mutex": name})."""
        base = name.rpartition(".")[0]
        wine.write_tree(APPS, {name: wine.PROBE.read_bytes(), **{f"{base}.{kind}": text
                                                                 for kind, text in side_files.items()}})
        return APPS / name

    def application(self, name, **side_files):
        """Starts the probe as an application that runs until the test ends."""
        running = self.start(self.probe(name, wait="", **side_files), wait=False)
        window = wine.Robot(name.rpartition(".")[0] + " running")
        self.addCleanup(lambda: (window.run("close", window.window, timeout=5), running.ended()))
        window.wait()

    def warns(self, run, answer):
        """Asserts the warning, answers it; its text."""
        text = WARNING.do("message", timeout=240)
        WARNING.do("answer", answer)
        if answer == "cancel":
            run.ended(code=1)
            self.assertEqual(wine.work_directories(), [])
        return text

    def test_a_process_of_the_program_name_warns_unless_a_mutex_is_named(self):
        self.application("TOOL.EXE")  # whatever its case and folder
        self.assertIn("'Editor'", self.warns(self.start(installer(), wait=False), "cancel"))
        # With a mutex name only the mutex counts, and the installer does not hold it.
        run = self.start(installer(MUTEX))
        self.assertEqual(wine.run_program(self.probe("Checker.exe", mutex=MUTEX)), 0)
        self.assertEqual([start[3] for start in wine.hook_log() if start[0] == "Checker"], ["new"])
        run.cancel()

    def test_held_mutex_warns_and_the_answer_decides(self):
        self.application("Holder.exe", mutex=MUTEX)
        for answer in ("cancel", "ok"):
            with self.subTest(answer=answer):
                run = self.start(installer(MUTEX), wait=False)
                self.assertEqual(self.warns(run, answer), "Close Program 'Editor' first!\nThen press OK!\n")
                if answer == "ok":
                    run.wizard.wait()
                    run.cancel()

