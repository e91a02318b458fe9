"""The wizard under Wine, driven by the robot: what each page shows, how the
pages follow one another, the field checks, and the language chooser."""

import wine_harness as wine
from wine_harness import BACK, CANCEL, FINISH, FOLDER_FIELD, INSTALL, NEXT, START_MENU_FIELD

PAGE_PANELS = {1: 25, 2: 12, 3: 16, 4: 10, 5: 30}
ACCEPT, DECLINE, TITLE = 14, 15, 17
LANGUAGES = wine.Robot("#3")
REFUSAL = wine.Robot(" Setup Settings")  # the message box of an incomplete installation folder
SETUP = {"Info": {"Titel": "Tool", "Version": "2.5", "Web": "https://tool.example"},
         "Settings": {"ProgExe": "tool.exe", "DefaultDir": "Tool Suite"},
         "Task": {"StartMenu": 1}, "StartMenue": {"DefaultDir": "Tools\\Tool"}}
CHOOSING = {"german.lng": "[Buttons]\r\nNext=Weiter\r\nCancel=Abbrechen\r\n",
            "french.lng": "[Language]\r\nName=Fran\xe7ais\r\n[Buttons]\r\nNext=Suivant\r\n"}


def page(robot):
    """The page whose panel is on show (exactly one must be)."""
    visible = robot.visible_controls()
    shown = [page for page, panel in PAGE_PANELS.items() if panel in visible]
    assert len(shown) == 1, shown
    return shown[0]


class Wizard(wine.WineTest):
    def go(self, robot, button, to_page):
        robot.click(button)
        self.assertTrue(robot.wait_for(lambda r: page(r) == to_page), to_page)

    def left_field(self, robot, field, text, expected):
        robot.enter(field, text)
        self.assertTrue(robot.wait_for(lambda r: r.text(field) == expected), (text, expected))

    def test_first_page_field_checks_and_pages_without_documents_skipped(self):
        run = self.start(wine.build_installer(SETUP))
        robot = run.wizard
        self.assertEqual(robot.do("caption"), " Tool 2.5\n")
        self.assertEqual(robot.text(26), "Welcome to the installation of\n'Tool'")
        self.assertTrue(robot.text(27).startswith("Brindle will now install 'Tool' version 2.5 on your computer."))
        self.assertEqual(page(robot), 1)
        self.assertLessEqual({NEXT, CANCEL, wine.WEB_LINK, 29}, robot.visible_controls())
        for control in (BACK, INSTALL, FINISH, 1, 35):
            self.assertFalse(robot.state(control)["shown"], control)
        self.assertEqual(robot.text(wine.WEB_LINK), "https://tool.example")
        self.assertEqual(robot.text(FOLDER_FIELD), wine.program_files() + "Tool Suite")
        self.assertEqual(robot.text(START_MENU_FIELD), "Tools\\Tool")

        self.go(robot, NEXT, 3)
        # Fields are checked when they lose the focus.
        self.left_field(robot, FOLDER_FIELD, "D:\\Apps", "D:\\Apps\\Tool Suite")
        robot.enter(FOLDER_FIELD, "E:\\Tool Suite Old")  # holds the name: kept as it is ...
        self.left_field(robot, START_MENU_FIELD, "", "Tools\\Tool")  # (empty: the default)
        self.assertEqual(robot.text(FOLDER_FIELD), "E:\\Tool Suite Old")  # ... as an event later shows
        self.left_field(robot, START_MENU_FIELD, "Games", "Games\\Tools\\Tool")
        self.go(robot, NEXT, 5)
        self.go(robot, BACK, 3)
        self.go(robot, BACK, 1)
        run.cancel()

    def test_all_pages_with_licence_gate(self):
        run = self.start(wine.build_installer(SETUP, {"licence.txt": "Terms.\r\n", "readme.rtf": r"{\rtf1 Read me.}"}))
        robot = run.wizard
        self.go(robot, NEXT, 2)
        self.assertEqual(robot.text(TITLE), "Licence Agreement")
        self.assertTrue(robot.state(DECLINE)["checked"])  # preselected
        for option, next_enabled in ((None, False), (ACCEPT, True), (DECLINE, False), (ACCEPT, True)):
            if option:
                robot.click(option)
            self.assertTrue(robot.wait_for(lambda r: r.state(NEXT)["enabled"] == next_enabled), option)
            if not next_enabled:
                self.assertEqual(robot.run("click", wine.WIZARD, NEXT)[0], 1)  # a disabled button cannot be clicked
        self.go(robot, NEXT, 3)
        self.assertEqual(robot.text(TITLE), "Setup Settings")
        self.go(robot, NEXT, 4)
        self.assertEqual(robot.text(TITLE), "Information")
        self.assertEqual(robot.text(11).strip(), "Read me.")
        self.go(robot, NEXT, 5)
        self.assertTrue(robot.visible(INSTALL))
        self.assertFalse(robot.visible(NEXT))
        for to_page in (4, 3, 2, 1):  # and back again, page by page
            self.go(robot, BACK, to_page)
        self.assertEqual(robot.text(TITLE), "Licence Agreement")
        self.assertFalse(robot.visible(BACK))
        self.assertTrue(robot.state(NEXT)["enabled"])
        run.cancel()

    def test_next_refuses_an_incomplete_installation_folder(self):
        run = self.start(wine.build_installer(SETUP))
        robot = run.wizard
        self.go(robot, NEXT, 3)
        for folder in ("Apps", "", "\\Apps"):
            with self.subTest(folder=folder):
                robot.do("settext", FOLDER_FIELD, folder)
                robot.click(NEXT)
                self.assertEqual(REFUSAL.do("message"), "Please enter a complete folder path, "
                                 "such as C:\\Programs\\App\\ or \\\\server\\share\\App\\.\n")
                REFUSAL.do("answer", "ok")
                self.assertEqual(page(robot), 3)
        robot.do("settext", FOLDER_FIELD, "C:\\Apps\\Tool Suite")
        self.go(robot, NEXT, 5)
        run.cancel()

    def test_remembered_choices_replace_the_defaults_and_options_that_do_not_apply_are_off(self):
        key = "HKCU\\SOFTWARE\\Brindle\\{E2E-REMEMBERED}"
        self.scrub_keys(key)
        wine.set_registry_values(key, {"InstallDir": "F:\\Kept\\Tool\\", "StartMenu": "Kept Menu", "DesktopIcon": "1"})
        # No start menu, and a program not named ".exe": no desktop icon and no start either.
        run = self.start(wine.build_installer({"Info": {"Titel": "Tool", "GUID": "{E2E-REMEMBERED}"},
                                               "Settings": {"ProgExe": "tool.EXE"}, "Task": {"StartProg": 1}}))
        self.assertEqual(run.wizard.text(FOLDER_FIELD), "F:\\Kept\\Tool\\")
        self.assertEqual(run.wizard.text(START_MENU_FIELD), "Kept Menu")
        for control in (wine.DESKTOP_CHECK, wine.START_PROGRAM_CHECK, 21, START_MENU_FIELD, 23):
            self.assertFalse(run.wizard.state(control)["enabled"], control)
        self.assertTrue(run.wizard.state(wine.DESKTOP_CHECK)["checked"])  # disabled, yet as remembered
        run.cancel()

    def test_language_chooser_lists_the_entries_and_loads_the_choice(self):
        setup = {"Settings": {"Language": "german.lng#7|french.lng#12|"}, "Info": {"Titel": "Tool"}}
        run = self.start(wine.build_installer(setup, CHOOSING), wait=False)
        LANGUAGES.wait()
        self.assertEqual(LANGUAGES.do("caption"), " Brindle\n")
        self.assertEqual(LANGUAGES.items(38), ([" german", " Fran\xe7ais"], 0))  # a file may name its language
        LANGUAGES.do("select", 38, 1)
        LANGUAGES.click(39)
        run.wizard.wait()
        self.assertEqual(run.wizard.text(NEXT), "Suivant >")
        self.assertEqual(run.wizard.text(CANCEL), "Cancel")  # not in the file: the default
        run.cancel()

    def test_closing_the_language_chooser_keeps_the_defaults(self):
        setup = {"Settings": {"Language": "german.lng#7|french.lng#12|"}, "Info": {"Titel": "Plain"}}
        run = self.start(wine.build_installer(setup, CHOOSING), wait=False)
        LANGUAGES.wait()
        LANGUAGES.do("close")
        run.wizard.wait()
        self.assertEqual(run.wizard.text(NEXT), "Next >")
        # No version, no web address: neither in the caption nor as a link.
        self.assertEqual(run.wizard.do("caption"), " Plain\n")
        self.assertFalse(run.wizard.state(wine.WEB_LINK)["shown"])
        run.close()

