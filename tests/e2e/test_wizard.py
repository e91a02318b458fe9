"""The wizard under Wine, driven by the robot: what each page shows, how the
pages follow one another, the field checks, and how a run ends."""

import subprocess
import unittest

import wine_harness as wine
from installer_builder import build_installer, setup_ini

WIZARD = "#1"
BACK, NEXT, CANCEL, INSTALL, FINISH = 5, 6, 7, 8, 9
PAGE_PANELS = {1: 25, 2: 12, 3: 16, 4: 10, 5: 30}


def setUpModule():
    wine.ensure_display()


class WizardRun:
    """One installer run with its robot; ends the run when the test is done."""

    def __init__(self, test, files):
        self.installer = wine.Installer(build_installer(files))
        test.addCleanup(self.installer.kill)
        self.robot = wine.Robot(WIZARD)
        self.robot.wait()

    def page(self):
        """The page whose panel is on show (exactly one must be)."""
        shown = [page for page, panel in PAGE_PANELS.items() if self.robot.visible(panel)]
        assert len(shown) == 1, shown
        return shown[0]

    def click_and_wait(self, control, page):
        self.robot.click(control)
        return wine.wait_until(lambda: self.page() == page, timeout=30, interval=0.3)


def ini(**task):
    return setup_ini(Info={"Titel": "Tool", "Version": "2.5", "Web": "https://tool.example"},
                     Settings={"ProgExe": "tool.exe", "DefaultDir": "Tool Suite"},
                     Task={"StartMenu": 1, **task},
                     StartMenue={"DefaultDir": "Tools\\Tool"})


class Pages(unittest.TestCase):
    def test_caption_and_first_page(self):
        run = WizardRun(self, {"setup.ini": ini()})
        robot = run.robot
        self.assertEqual(robot.do("caption", WIZARD), " Tool 2.5\n")
        self.assertEqual(robot.text(26), "Welcome to the installation of\n'Tool'")
        self.assertTrue(robot.text(27).startswith("Brindle will now install 'Tool' version 2.5 on your computer."))
        self.assertEqual(run.page(), 1)
        for control in (NEXT, CANCEL, 4, 29):
            self.assertTrue(robot.visible(control), control)
        for control in (BACK, INSTALL, FINISH, 1, 35):
            self.assertFalse(robot.state(control)["shown"], control)
        self.assertEqual(robot.text(4), "https://tool.example")
        self.assertEqual(robot.text(19), wine.program_files() + "Tool Suite")
        self.assertEqual(robot.text(22), "Tools\\Tool")
        robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)

    def test_caption_without_version_and_hidden_link(self):
        run = WizardRun(self, {"setup.ini": setup_ini(Info={"Titel": "Plain"})})
        self.assertEqual(run.robot.do("caption", WIZARD), " Plain\n")
        self.assertFalse(run.robot.state(4)["shown"])
        run.robot.close()
        self.assertEqual(run.installer.wait(), 0)

    def test_all_pages_with_licence_gate(self):
        run = WizardRun(self, {"setup.ini": ini(), "licence.txt": "Terms.\r\n", "readme.rtf": r"{\rtf1 Read me.}"})
        robot = run.robot
        self.assertTrue(run.click_and_wait(NEXT, 2))
        self.assertFalse(robot.enabled(NEXT))          # option 15 is preselected
        self.assertTrue(robot.checked(15))
        self.assertEqual(robot.text(17), "Licence Agreement")
        robot.click(14)
        self.assertTrue(wine.wait_until(lambda: robot.enabled(NEXT), timeout=30, interval=0.3))
        robot.click(15)
        self.assertTrue(wine.wait_until(lambda: not robot.enabled(NEXT), timeout=30, interval=0.3))
        self.assertEqual(robot.run("click", WIZARD, NEXT)[0], 1)  # a disabled button cannot be clicked
        robot.click(14)
        self.assertTrue(wine.wait_until(lambda: robot.enabled(NEXT), timeout=30, interval=0.3))
        self.assertTrue(run.click_and_wait(NEXT, 3))
        self.assertEqual(robot.text(17), "Setup Settings")
        self.assertTrue(run.click_and_wait(NEXT, 4))
        self.assertEqual(robot.text(17), "Information")
        self.assertEqual(robot.text(11).strip(), "Read me.")
        self.assertTrue(run.click_and_wait(NEXT, 5))
        self.assertTrue(robot.visible(INSTALL))
        self.assertFalse(robot.visible(NEXT))
        # And back again, page by page.
        for page in (4, 3, 2, 1):
            self.assertTrue(run.click_and_wait(BACK, page), page)
        self.assertEqual(robot.text(17), "Licence Agreement")
        self.assertFalse(robot.visible(BACK))
        self.assertTrue(robot.enabled(NEXT))
        robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)

    def test_pages_without_documents_are_skipped(self):
        run = WizardRun(self, {"setup.ini": ini()})
        self.assertTrue(run.click_and_wait(NEXT, 3))
        self.assertTrue(run.click_and_wait(NEXT, 5))
        self.assertTrue(run.click_and_wait(BACK, 3))
        self.assertTrue(run.click_and_wait(BACK, 1))
        run.robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)


class SettingsPage(unittest.TestCase):
    def test_folder_checks_when_a_field_loses_the_focus(self):
        run = WizardRun(self, {"setup.ini": ini()})
        robot = run.robot
        run.click_and_wait(NEXT, 3)
        robot.set_text(19, "D:\\Apps")
        robot.leave(19)
        self.assertTrue(robot.wait_for_text(19, "D:\\Apps\\Tool Suite"))
        robot.set_text(19, "E:\\Tool Suite Old")
        robot.leave(19)
        self.assertTrue(robot.wait_for_text(22, "Tools\\Tool"))  # an event later, still unchanged ...
        self.assertEqual(robot.text(19), "E:\\Tool Suite Old")   # ... as the name is contained
        robot.set_text(22, "")
        robot.leave(22)
        self.assertTrue(robot.wait_for_text(22, "Tools\\Tool"))
        robot.set_text(22, "Games")
        robot.leave(22)
        self.assertTrue(robot.wait_for_text(22, "Games\\Tools\\Tool"))
        robot.close()
        self.assertEqual(run.installer.wait(), 0)

    def test_next_refuses_an_incomplete_installation_folder(self):
        run = WizardRun(self, {"setup.ini": ini()})
        robot = run.robot
        run.click_and_wait(NEXT, 3)
        for folder in ("Apps", "", "\\Apps"):
            with self.subTest(folder=folder):
                robot.set_text(19, folder)
                robot.click(NEXT)
                self.assertEqual(robot.do("message", " Setup Settings"), "Please enter a complete folder path, "
                                 "such as C:\\Programs\\App\\ or \\\\server\\share\\App\\.\n")
                robot.do("answer", " Setup Settings", "ok")
                self.assertEqual(run.page(), 3)
        robot.set_text(19, "C:\\Apps\\Tool Suite")
        self.assertTrue(run.click_and_wait(NEXT, 5))
        robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)

    def test_program_without_exe_extension_and_no_start_menu(self):
        files = {"setup.ini": setup_ini(Settings={"ProgExe": "tool.EXE"}, Task={"StartProg": 1, "Desktop": 1})}
        run = WizardRun(self, files)
        robot = run.robot
        for control in (24, 35, 21, 22, 23):
            self.assertFalse(robot.enabled(control), control)
        self.assertTrue(robot.checked(24))
        robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)

    def test_remembered_choices_replace_the_defaults(self):
        key = "HKCU\\SOFTWARE\\Brindle\\{E2E-REMEMBERED}"
        values = {"InstallDir": "F:\\Kept\\Tool\\", "StartMenu": "Kept Menu", "DesktopIcon": "1"}
        for name, value in values.items():
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=wine.ENV,
                           check=True, capture_output=True)
        self.addCleanup(subprocess.run, ["wine", "reg", "delete", key, "/f"], env=wine.ENV, capture_output=True)
        files = {"setup.ini": setup_ini(Info={"Titel": "Tool", "GUID": "{E2E-REMEMBERED}"},
                                        Settings={"ProgExe": "tool.exe"}, Task={"StartMenu": 1})}
        run = WizardRun(self, files)
        self.assertEqual(run.robot.text(19), "F:\\Kept\\Tool\\")
        self.assertEqual(run.robot.text(22), "Kept Menu")
        self.assertTrue(run.robot.checked(24))
        run.robot.click(CANCEL)
        self.assertEqual(run.installer.wait(), 0)


class LanguageChooser(unittest.TestCase):
    FILES = {
        "setup.ini": setup_ini(Settings={"Language": "german.lng#7|french.lng#12|"}, Info={"Titel": "Tool"}),
        "german.lng": "[Buttons]\r\nNext=Weiter\r\nCancel=Abbrechen\r\n",
        "french.lng": "[Buttons]\r\nNext=Suivant\r\n",
    }

    def test_lists_the_entries_and_loads_the_choice(self):
        installer = wine.Installer(build_installer(self.FILES))
        self.addCleanup(installer.kill)
        chooser = wine.Robot("#3")
        chooser.wait()
        self.assertEqual(chooser.do("caption", "#3"), " Brindle\n")
        self.assertEqual(chooser.items(38), ([" german", " french"], 0))
        chooser.do("select", "#3", 38, 1)
        chooser.click(39)
        wizard = wine.Robot(WIZARD)
        wizard.wait()
        self.assertEqual(wizard.text(NEXT), "Suivant >")
        self.assertEqual(wizard.text(CANCEL), "Cancel")  # not in the file: the default
        wizard.click(CANCEL)
        self.assertEqual(installer.wait(), 0)

    def test_closing_the_chooser_keeps_the_defaults(self):
        installer = wine.Installer(build_installer(self.FILES))
        self.addCleanup(installer.kill)
        wine.Robot("#3").wait()
        wine.Robot("#3").close()
        wizard = wine.Robot(WIZARD)
        wizard.wait()
        self.assertEqual(wizard.text(NEXT), "Next >")
        wizard.close()
        self.assertEqual(installer.wait(), 0)


class EndOfRun(unittest.TestCase):
    def work_directories(self):
        return sorted(wine.temp_folder().glob("Brindle*"))

    def setUp(self):
        wine.ensure_display()
        for folder in self.work_directories():
            subprocess.run(["rm", "-rf", str(folder)])

    def test_cancel_and_close_remove_the_work_directory(self):
        for ending in ("cancel", "close"):
            run = WizardRun(self, {"setup.ini": ini(), "licence.txt": "Terms"})
            self.assertEqual(len(self.work_directories()), 1)
            if ending == "cancel":
                run.robot.click(CANCEL)
            else:
                run.robot.close()
            self.assertEqual(run.installer.wait(), 0, ending)
            self.assertEqual(self.work_directories(), [], ending)


if __name__ == "__main__":
    unittest.main()
