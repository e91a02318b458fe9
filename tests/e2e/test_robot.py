"""The test robot (brindle-robot.exe) against a window made for it
(brindle-robot-target.exe): each command's effect shows in the notifications
the window logs and in what the robot reads back."""

import collections
import re

import wine_harness as wine

CAPTION = " Robot Target"
ROBOT = wine.Robot(CAPTION)
CLICKED, SELECTION_CHANGED, KILL_FOCUS = 0, 1, 0x200  # BN_/STN_CLICKED, CBN_SELCHANGE, EN_KILLFOCUS
# Fields report changes and updates of their text (set, or drawn) on their own.
NOISE = re.compile(r"command \d+ (768|1024)$")
TREE = "0\tProgram\n1\tCore\n1\tExtras\n2\tThemes\n2\tKlänge\n0\tHelp\n"
Fails = collections.namedtuple("Fails", "reason timeout", defaults=[30])

# In order: a command line, its output (or its failure) and the notifications it causes.
STEPS = [
    # Windows by caption or number; what is not there fails in time.
    (("caption", CAPTION), CAPTION + "\n", []),
    (("caption", " Nowhere"), Fails('no window " Nowhere"', 1), []),
    (("caption", "Robot Target"), Fails('no window "Robot Target"', 1), []),  # the whole caption only
    (("caption", "#2"), Fails('no window "#2"', 1), []),
    (("text", CAPTION, 55), Fails("has no control 55", 1), []),
    # Visible: it can be seen; shown: its own style.
    (("state", CAPTION, 10), "checked=0 visible=1 shown=1 enabled=0\n", []),
    (("state", CAPTION, 11), "checked=0 visible=0 shown=0 enabled=1\n", []),  # hidden itself
    (("state", CAPTION, 15), "checked=0 visible=0 shown=1 enabled=1\n", []),  # shown, in a hidden panel
    # Clicks: buttons, check boxes, radio buttons and links notify once.
    (("click", CAPTION, 1), "", [f"command 1 {CLICKED}"]),
    (("click", CAPTION, 2), "", [f"command 2 {CLICKED}"]),
    (("state", CAPTION, 2), "checked=1 visible=1 shown=1 enabled=1\n", []),
    (("state", CAPTION, 3), "checked=1 visible=1 shown=1 enabled=1\n", []),
    (("click", CAPTION, 4), "", [f"command 4 {CLICKED}"]),
    (("state", CAPTION, 4), "checked=1 visible=1 shown=1 enabled=1\n", []),
    (("state", CAPTION, 3), "checked=0 visible=1 shown=1 enabled=1\n", []),
    (("click", CAPTION, 6), "", [f"command 6 {CLICKED}"]),
    (("click", CAPTION, 10), Fails("it is disabled"), []),
    (("click", CAPTION, 17), Fails("panel around it, control 103"), []),
    (("click", CAPTION, 13), Fails("neither a button nor a link"), []),
    # Fields: the text is set without leaving the field; leaving it is a step of its own.
    (("settext", CAPTION, 5, "Größe und mehr"), "", []),
    (("text", CAPTION, 5), "Größe und mehr\n", []),
    (("leave", CAPTION, 5), "", [f"command 5 {KILL_FOCUS}"]),
    (("leave", CAPTION, 1), Fails("is not a field"), []),
    # Texts as given: line ends, code page 1252, a hidden panel.
    (("text", CAPTION, 13), "Line one\nLine two\n", []),
    (("text", CAPTION, 16), "Größe\n", []),
    (("text", CAPTION, 15), "Behind\n", []),
    # Rectangles in the window's client area, through panels; the line height of lists.
    (("rect", CAPTION, 1), "x=10 y=10 width=80 height=24 font=0 items=0\n", []),
    (("rect", CAPTION, 15), "x=10 y=270 width=100 height=24 font=0 items=0\n", []),  # two panels deep
    (("rect", CAPTION, 55), Fails("has no control 55", 1), []),
    # Lists, drop-down lists and trees.
    (("items", CAPTION, 7), "Apple\nBanana\nCrème\nselected=-1\n", []),
    (("select", CAPTION, 8, 0), "", [f"command 8 {SELECTION_CHANGED}"]),
    (("items", CAPTION, 8), "Red\nGreen\nBlue\nselected=0\n", []),
    (("text", CAPTION, 8), "Red\n", []),
    (("select", CAPTION, 8, 3), Fails("has no item 3"), []),
    (("select", CAPTION, 7, 0), Fails("is not a drop-down list"), []),
    (("treeselect", CAPTION, 9, "Program\\Extras\\Klänge"), "", ["selchanged 9 Klänge"]),
    (("tree", CAPTION, 9), TREE + "selected=Program\\Extras\\Klänge\n", []),
    (("treeselect", CAPTION, 9, "Program\\Themes"), Fails("has no item Program\\Themes"), []),
    (("tree", CAPTION, 7), Fails("is not a tree view"), []),
    # A click that opens a question returns at once; the question makes its
    # window modal, and only its own buttons answer it.
    (("click", CAPTION, 12), "", [f"command 12 {CLICKED}"]),
    (("message", "Question"), "Carry on?\nThe robot decides.\n", []),
    (("click", CAPTION, 1), Fails("its window is disabled"), []),
    (("answer", "Question", "ok"), Fails("has no button 1"), []),
    (("answer", "Question", "yes"), "", ["answer 6"]),  # IDYES
    (("message", "Question"), Fails('no window "Question"', 1), []),
    # A box with the window's own caption: controls are looked for in the
    # window that has them, not in the box on top.
    (("click", CAPTION, 18), "", [f"command 18 {CLICKED}"]),
    (("message", CAPTION), "Careful.\n", []),
    (("text", CAPTION, 13), "Line one\nLine two\n", []),
    (("answer", CAPTION, "cancel"), "", ["answer 2"]),  # IDCANCEL
]


class Robot(wine.WineTest):
    def test_commands_in_turn(self):
        log = wine.fresh_work("robot") / "target.log"
        log.touch()
        target = self.start(wine.BIN / "brindle-robot-target.exe", wine.windows_path(log), wait=False)
        self.assertEqual(ROBOT.wait(), CAPTION)
        for arguments, expected, notifications in STEPS:
            with self.subTest(arguments=arguments):
                before = len(log.read_bytes().splitlines())
                code, output, error = ROBOT.run(*arguments, timeout=getattr(expected, "timeout", 30))
                logged = log.read_bytes().decode("latin-1").splitlines()[before:]
                self.assertEqual([line for line in logged if not NOISE.match(line)], notifications)
                if isinstance(expected, Fails):
                    self.assertEqual((code, output), (1, ""))
                    self.assertEqual(len(error.splitlines()), 1, error)
                    self.assertIn(expected.reason, error)
                else:
                    self.assertEqual((code, output, error), (0, expected, ""))

        fields = {key: int(value) for key, value in (item.split("=") for item in ROBOT.do("geometry").split())}
        self.assertEqual(fields["sysmenu"], 1)
        # 500 x 360 with the frame and caption bar; the panel of 490 x 320 fits inside.
        self.assertTrue(490 <= fields["width"] < 500 and 320 <= fields["height"] < 360, fields)
        rows = {int(line.split("\t")[0]): line.split("\t")[1:] for line in ROBOT.do("dump").splitlines()}
        self.assertEqual(set(rows), set(range(1, 19)) | {100, 101, 102, 103})
        self.assertEqual(rows[10], ["Button", "1", "0", "Locked"])
        self.assertEqual(rows[13], ["Static", "1", "1", "Line one\\nLine two"])
        self.assertEqual(rows[9][0], "SysTreeView32")
        self.assertEqual(rows[15][:2], ["Static", "0"])
        ROBOT.do("close")
        target.ended()
        self.assertEqual(log.read_bytes().splitlines()[-1:], [b"close requested"])

    def test_wrong_usage(self):
        for arguments in ((), ("fly", CAPTION), ("click", CAPTION), ("click", CAPTION, 1, 2), ("click", CAPTION, "one"),
                          ("select", CAPTION, 8, -1), ("answer", "Question", "maybe"), ("caption", "#one"),
                          ("--timeout", "soon", "caption", CAPTION)):
            with self.subTest(arguments=arguments):
                code, output, error = ROBOT.run(*arguments, timeout=None)
                self.assertEqual((code, output), (2, ""))
                self.assertEqual(len(error.splitlines()), 1, error)
                self.assertTrue(error.startswith("brindle-robot: "), error)

