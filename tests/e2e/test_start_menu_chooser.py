"""The start-menu folder chooser under Wine: the tree of the user's and all
users' Programs folders, the folder chosen at first from the start-menu
field, and the ways out: Apply with a folder, Apply with none, the close box."""

import wine_harness as wine

CHOOSER = wine.Robot("#2")
NO_FOLDER = wine.Robot(" Select Start Menu Folder")
CHANGE, TREE, APPLY = 23, 36, 37
START_MENU = "Brindle Kit\\Tool"

USER_PROGRAMS = wine.USER / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
COMMON_PROGRAMS = wine.DRIVE_C / "ProgramData/Microsoft/Windows/Start Menu/Programs"
# "brindle shared" is in both; "Brindle Kit 2" sorts between "Brindle Kit"
# and its sub-folder when whole paths are compared byte by byte.
FOLDERS = {
    USER_PROGRAMS: ["Brindle Kit/Sub", "Brindle Kit 2", "brindle shared/Mine"],
    COMMON_PROGRAMS: ["brindle shared/Theirs", "Brindle Zone", "brindle Apps"],
}
OUR_TREE = [(0, "brindle Apps"), (0, "Brindle Kit"), (1, "Sub"), (0, "Brindle Kit 2"), (0, "brindle shared"),
            (1, "Mine"), (1, "Theirs"), (0, "Brindle Zone")]


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


class StartMenuChooser(wine.WineTest):
    def open_chooser(self):
        """Opens the chooser; returns its tree's items as (level, text) and the selected path."""
        self.wizard.click(CHANGE)
        self.assertEqual(CHOOSER.wait(), " Select Directory")
        lines = CHOOSER.do("tree", TREE).splitlines()
        items = [(int(level), text) for level, text in (line.split("\t") for line in lines[:-1])]
        return items, lines[-1].removeprefix("selected=")

    def leave_chooser(self, robot, *command):
        robot.do(*command)
        CHOOSER.do("gone")

    def field_after_the_chooser(self):
        """The start-menu field once the chooser's result is in: the next
        Change is only handled after that, so opening it again waits for it."""
        self.open_chooser()
        text = self.wizard.text(wine.START_MENU_FIELD)
        self.leave_chooser(CHOOSER, "close")
        return text

    def test_tree_choice_and_the_ways_out(self):
        for programs, folders in FOLDERS.items():
            self.scrub(*{programs / folder.split("/")[0] for folder in folders})
            for folder in folders:
                (programs / folder).mkdir(parents=True, exist_ok=True)
        run = self.start(wine.build_installer({"Info": {"Titel": "Tool"}, "Settings": {"ProgExe": "tool.exe"},
                                               "Task": {"StartMenu": 1}, "StartMenue": {"DefaultDir": START_MENU}}))
        self.wizard = run.wizard
        self.wizard.click(wine.NEXT)  # no licence, no readme: the settings page
        self.assertTrue(self.wizard.wait_for(lambda robot: robot.visible(wine.SETTINGS_PAGE)))

        # Both Programs folders, each folder once, in order; the field's
        # second name, Tool, names no folder in Brindle Kit.
        items, selected = self.open_chooser()
        self.assertEqual(CHOOSER.text(APPLY), "Apply")
        self.assertEqual(subtrees(items, lambda name: folded(name).startswith("brindle ")), OUR_TREE)
        tops = [text for level, text in items if level == 0]
        self.assertEqual(tops, sorted(set(tops), key=folded))  # Wine's own folders too
        self.assertEqual(selected, "Brindle Kit")
        self.leave_chooser(CHOOSER, "close")

        # Apply returns the chosen folder; opened again, the chooser shows the
        # deepest folder of the field's path; the close box returns nothing.
        self.open_chooser()
        CHOOSER.do("treeselect", TREE, "brindle shared\\Theirs")
        self.leave_chooser(CHOOSER, "click", APPLY)
        self.assertTrue(self.wizard.wait_for(lambda robot: robot.text(wine.START_MENU_FIELD) ==
                                             "brindle shared\\Theirs\\Tool"))
        self.assertEqual(self.open_chooser()[1], "brindle shared\\Theirs")
        CHOOSER.do("treeselect", TREE, "Brindle Kit\\Sub")
        self.leave_chooser(CHOOSER, "close")
        self.assertEqual(self.field_after_the_chooser(), "brindle shared\\Theirs\\Tool")

        # Apply without a folder shows the message and keeps the field.
        field = "Nowhere\\" + START_MENU  # holds the default, so leaving the field keeps it too
        self.wizard.do("settext", wine.START_MENU_FIELD, field)
        self.assertEqual(self.open_chooser()[1], "")
        CHOOSER.click(APPLY)
        self.assertEqual(NO_FOLDER.do("message"), "No valid start menu folder.\n")
        self.leave_chooser(NO_FOLDER, "answer", "ok")
        self.assertEqual(self.field_after_the_chooser(), field)
        run.cancel()

