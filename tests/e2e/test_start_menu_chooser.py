"""The start-menu folder chooser under Wine: the tree of the user's and all
users' Programs folders, the folder chosen at first from the start-menu
field, and the ways out: Apply with a folder, Apply with none, the close box."""

import shutil
import unittest

import wine_harness as wine
from installer_builder import build_installer, setup_ini

WIZARD, CHOOSER = "#1", "#2"
NEXT, CANCEL, SETTINGS_PAGE, START_MENU_FIELD, CHANGE = 6, 7, 16, 22, 23
TREE, APPLY = 36, 37
START_MENU = "Brindle Kit\\Tool"

USER_PROGRAMS = wine.user_folder() / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
COMMON_PROGRAMS = wine.PREFIX / "drive_c" / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
# "brindle shared" is in both; "Brindle Kit 2" sorts between "Brindle Kit"
# and its sub-folder when whole paths are compared byte by byte.
FOLDERS = {
    USER_PROGRAMS: ["Brindle Kit/Sub", "Brindle Kit 2", "brindle shared/Mine"],
    COMMON_PROGRAMS: ["brindle shared/Theirs", "Brindle Zone", "brindle Apps"],
}
OUR_TREE = [(0, "brindle Apps"), (0, "Brindle Kit"), (1, "Sub"), (0, "Brindle Kit 2"), (0, "brindle shared"),
            (1, "Mine"), (1, "Theirs"), (0, "Brindle Zone")]


def setUpModule():
    wine.ensure_display()


def folded(name):
    """The folder order's key: ASCII letters in lower case."""
    return "".join(c.lower() if "A" <= c <= "Z" else c for c in name)


def subtrees(items, wanted):
    """The top items whose names are wanted, each with the items below it."""
    kept, keeping = [], False
    for level, text in items:
        keeping = wanted(text) if level == 0 else keeping
        if keeping:
            kept.append((level, text))
    return kept


class StartMenuChooser(unittest.TestCase):
    def setUp(self):
        for programs, folders in FOLDERS.items():
            for folder in folders:
                top = programs / folder.split("/")[0]
                self.addCleanup(shutil.rmtree, top, True)
                (programs / folder).mkdir(parents=True, exist_ok=True)
        files = {"setup.ini": setup_ini(Info={"Titel": "Tool"}, Settings={"ProgExe": "tool.exe"},
                                        Task={"StartMenu": 1}, StartMenue={"DefaultDir": START_MENU})}
        installer = wine.Installer(build_installer(files))
        self.addCleanup(installer.kill)
        self.installer = installer
        self.wizard = wine.Robot(WIZARD)
        self.wizard.wait()
        self.wizard.click(NEXT)  # no licence, no readme: the settings page
        self.assertTrue(wine.wait_until(lambda: self.wizard.visible(SETTINGS_PAGE), timeout=30, interval=0.3))
        self.chooser = wine.Robot(CHOOSER)

    def open_chooser(self):
        """Opens the chooser; returns its tree's items as (level, text) and the selected path."""
        self.wizard.click(CHANGE)
        self.assertEqual(self.chooser.wait(), " Select Directory\n")
        lines = self.chooser.do("tree", CHOOSER, TREE).splitlines()
        items = [(int(level), text) for level, text in (line.split("\t") for line in lines[:-1])]
        return items, lines[-1].removeprefix("selected=")

    def leave_chooser(self, action):
        action()
        self.chooser.do("gone", CHOOSER)

    def field_after_the_chooser(self):
        """The start-menu field once the chooser's result is in: the next
        Change is only handled after that, so opening it again waits for it."""
        self.open_chooser()
        text = self.wizard.text(START_MENU_FIELD)
        self.leave_chooser(self.chooser.close)
        return text

    def test_tree_lists_both_programs_folders_once_in_order(self):
        items, selected = self.open_chooser()
        self.assertEqual(self.chooser.text(APPLY), "Apply")
        self.assertEqual(subtrees(items, lambda name: folded(name).startswith("brindle ")), OUR_TREE)
        tops = [text for level, text in items if level == 0]
        self.assertEqual(tops, sorted(set(tops), key=folded))  # Wine's own folders too, each once
        # The field's second name, Tool, names no folder in Brindle Kit.
        self.assertEqual(selected, "Brindle Kit")
        self.leave_chooser(self.chooser.close)
        self.wizard.click(CANCEL)
        self.assertEqual(self.installer.wait(), 0)

    def test_apply_returns_the_chosen_folder_and_close_returns_nothing(self):
        self.open_chooser()
        self.chooser.do("treeselect", CHOOSER, TREE, "brindle shared\\Theirs")
        self.leave_chooser(lambda: self.chooser.click(APPLY))
        self.assertTrue(self.wizard.wait_for_text(START_MENU_FIELD, "brindle shared\\Theirs\\Tool"))
        # Opened again, the chooser shows the deepest folder of the field's path.
        _, selected = self.open_chooser()
        self.assertEqual(selected, "brindle shared\\Theirs")
        self.chooser.do("treeselect", CHOOSER, TREE, "Brindle Kit\\Sub")
        self.leave_chooser(self.chooser.close)
        self.assertEqual(self.field_after_the_chooser(), "brindle shared\\Theirs\\Tool")
        self.wizard.click(CANCEL)
        self.assertEqual(self.installer.wait(), 0)

    def test_apply_without_a_folder_shows_the_message_and_keeps_the_field(self):
        field = "Nowhere\\" + START_MENU  # holds the default, so leaving the field keeps it too
        self.wizard.set_text(START_MENU_FIELD, field)
        _, selected = self.open_chooser()
        self.assertEqual(selected, "")
        self.chooser.click(APPLY)
        self.assertEqual(self.chooser.do("message", " Select Start Menu Folder"), "No valid start menu folder.\n")
        self.leave_chooser(lambda: self.chooser.do("answer", " Select Start Menu Folder", "ok"))
        self.assertEqual(self.field_after_the_chooser(), field)
        self.wizard.click(CANCEL)
        self.assertEqual(self.installer.wait(), 0)


if __name__ == "__main__":
    unittest.main()
