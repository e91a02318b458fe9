"""The test robot (brindle-robot.exe) against a window made for it
(brindle-robot-target.exe): each command's effect shows in the notifications
the window logs and in what the robot reads back."""

import subprocess
import tempfile
import unittest

import wine_harness as wine

ROBOT = wine.BIN / "brindle-robot.exe"
TARGET = wine.BIN / "brindle-robot-target.exe"
CAPTION = " Robot Target"
STARTUP_SECONDS = "120"  # a Wine program start under qemu takes seconds

# Notification codes as the target logs them.
CLICKED = 0  # BN_CLICKED and STN_CLICKED
SELECTION_CHANGED = 1  # CBN_SELCHANGE and LBN_SELCHANGE
KILL_FOCUS = 0x200  # EN_KILLFOCUS


def setUpModule():
    wine.ensure_display()  # robot and target must share one display


def robot_command(*arguments, timeout=None):
    options = ["--timeout", str(timeout)] if timeout is not None else []
    return ["wine", str(ROBOT), *options, *arguments]


def robot_environment():
    # Wine's own messages would spoil the robot's one-line errors.
    return dict(wine.ENV, WINEDEBUG="-all")


def robot(*arguments, timeout=None):
    """Runs the robot; returns its exit code, stdout and stderr (latin-1)."""
    # Files, not pipes: when the robot is the first program of a Wine session,
    # the services Wine starts for it inherit its output handles and would
    # hold a pipe open long after the robot has ended.
    with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as error:
        code = subprocess.run(robot_command(*arguments, timeout=timeout), env=robot_environment(),
                              stdout=output, stderr=error, timeout=300).returncode
        return code, read_back(output), read_back(error)


def read_back(file):
    file.seek(0)
    return file.read().decode("latin-1")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class Target:
    """One running brindle-robot-target.exe and its notification log."""

    def __init__(self, name):
        self.log = wine.fresh_work(name) / "target.log"
        self.log.touch()
        self.process = subprocess.Popen(["wine", str(TARGET), windows_path(self.log)], env=wine.ENV,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def lines(self):
        return self.log.read_bytes().decode("latin-1").splitlines()

    def stop(self):
        if self.process.poll() is None:
            robot("close", CAPTION, timeout=10)
            try:
                self.process.wait(timeout=120)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        wine.wait_for_wineserver()


class RobotCommands(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.target = Target("robot-commands")
        code, _, error = robot("wait", CAPTION, timeout=STARTUP_SECONDS)
        if code != 0:
            cls.target.stop()
            raise RuntimeError(f"the target window did not appear: {error}")

    @classmethod
    def tearDownClass(cls):
        cls.target.stop()

    def act(self, *arguments, timeout=None):
        """Runs the robot; returns its exit code, stdout, stderr and the log lines it caused."""
        before = len(self.target.lines())
        code, output, error = robot(*arguments, timeout=timeout)
        return code, output, error, self.target.lines()[before:]

    def assertSucceeds(self, *arguments):
        code, output, error, logged = self.act(*arguments)
        self.assertEqual((code, error), (0, ""), arguments)
        return output, logged

    def assertFailsWith(self, reason, *arguments, timeout=None):
        code, output, error, logged = self.act(*arguments, timeout=timeout)
        self.assertEqual(code, 1, arguments)
        self.assertEqual(output, "")
        self.assertEqual(len(error.splitlines()), 1, error)
        self.assertIn(reason, error)
        return logged

    def test_window_by_caption_prefix_and_number(self):
        for window in (CAPTION, "prefix: Robot", "#1"):
            self.assertEqual(self.assertSucceeds("caption", window)[0], CAPTION + "\n")

    def test_geometry_gives_corner_inner_size_and_system_menu(self):
        output, _ = self.assertSucceeds("geometry", "#1")
        fields = {key: int(value) for key, value in (item.split("=") for item in output.split())}
        self.assertEqual(fields["sysmenu"], 1)
        # 500 x 360 with the frame and caption bar; the panel of 490 x 320 fits inside.
        self.assertTrue(490 <= fields["width"] < 500, fields)
        self.assertTrue(320 <= fields["height"] < 360, fields)

    def test_missing_window_or_control_fails_in_time(self):
        self.assertFailsWith('no window " Nowhere"', "caption", " Nowhere", timeout=1)
        self.assertFailsWith('no window "Robot Target"', "caption", "Robot Target", timeout=1)  # not a prefix
        self.assertFailsWith('no window "#2"', "caption", "#2", timeout=1)
        self.assertFailsWith("has no control 55", "text", CAPTION, "55", timeout=1)

    def test_button_click_notifies_once(self):
        _, logged = self.assertSucceeds("click", CAPTION, "1")
        self.assertEqual(logged.count(f"command 1 {CLICKED}"), 1, logged)

    def test_check_box_click_toggles_it(self):
        before, _ = self.assertSucceeds("state", CAPTION, "2")
        _, logged = self.assertSucceeds("click", CAPTION, "2")
        after, _ = self.assertSucceeds("state", CAPTION, "2")
        self.assertIn(f"command 2 {CLICKED}", logged)
        flipped = {"checked=0": "checked=1", "checked=1": "checked=0"}
        checked, rest = before.split(" ", 1)
        self.assertEqual(after, flipped[checked] + " " + rest)

    def test_radio_click_moves_the_choice(self):
        self.assertEqual(self.assertSucceeds("state", CAPTION, "3")[0], "checked=1 visible=1 shown=1 enabled=1\n")
        _, logged = self.assertSucceeds("click", CAPTION, "4")
        self.assertIn(f"command 4 {CLICKED}", logged)
        self.assertTrue(self.assertSucceeds("state", CAPTION, "4")[0].startswith("checked=1 "))
        self.assertTrue(self.assertSucceeds("state", CAPTION, "3")[0].startswith("checked=0 "))

    def test_link_click_reports_to_the_panel(self):
        _, logged = self.assertSucceeds("click", CAPTION, "6")
        self.assertEqual(logged, [f"command 6 {CLICKED}"])

    def test_controls_that_cannot_be_clicked(self):
        self.assertEqual(self.assertFailsWith("it is disabled", "click", CAPTION, "10"), [])
        self.assertEqual(self.assertFailsWith("panel around it, control 103", "click", CAPTION, "17"), [])
        self.assertEqual(self.assertFailsWith("neither a button nor a link", "click", CAPTION, "13"), [])

    def test_click_that_opens_a_question_returns_and_the_answer_closes_it(self):
        _, logged = self.assertSucceeds("click", CAPTION, "12")
        self.assertEqual(logged, [f"command 12 {CLICKED}"])  # no answer yet: the question is open
        self.assertEqual(self.assertSucceeds("message", "Question")[0], "Carry on?\nThe robot decides.\n")
        # The question box makes its window modal: a user cannot click there.
        self.assertEqual(self.assertFailsWith("its window is disabled", "click", CAPTION, "1"), [])
        self.assertFailsWith("has no button 1", "answer", "Question", "ok")
        _, logged = self.assertSucceeds("answer", "Question", "yes")
        self.assertEqual(logged, ["answer 6"])  # IDYES
        self.assertFailsWith('no window "Question"', "message", "Question", timeout=1)

    def test_message_box_with_the_window_caption(self):
        _, logged = self.assertSucceeds("click", CAPTION, "18")
        self.assertEqual(logged, [f"command 18 {CLICKED}"])
        self.assertEqual(self.assertSucceeds("message", CAPTION)[0], "Careful.\n")
        # A control is looked for in the window that has it, not in the box on top.
        self.assertEqual(self.assertSucceeds("text", CAPTION, "13")[0], "Line one\nLine two\n")
        _, logged = self.assertSucceeds("answer", CAPTION, "cancel")
        self.assertEqual(logged, ["answer 2"])  # IDCANCEL

    def test_text_is_set_and_the_field_left(self):
        _, logged = self.assertSucceeds("settext", CAPTION, "5", "Größe und mehr")
        self.assertNotIn(f"command 5 {KILL_FOCUS}", logged)
        self.assertEqual(self.assertSucceeds("text", CAPTION, "5")[0], "Größe und mehr\n")
        _, logged = self.assertSucceeds("leave", CAPTION, "5")
        self.assertEqual(logged, [f"command 5 {KILL_FOCUS}"])
        self.assertEqual(self.assertFailsWith("is not a field", "leave", CAPTION, "1"), [])

    def test_text_comes_as_given(self):
        self.assertEqual(self.assertSucceeds("text", CAPTION, "13")[0], "Line one\nLine two\n")
        self.assertEqual(self.assertSucceeds("text", CAPTION, "16")[0], "Größe\n")  # code page 1252 bytes
        self.assertEqual(self.assertSucceeds("text", CAPTION, "14")[0], "Rich text\n")
        self.assertEqual(self.assertSucceeds("text", CAPTION, "15")[0], "Behind\n")  # in a hidden panel

    def test_state_tells_visible_from_shown(self):
        expected = {
            "1": "checked=0 visible=1 shown=1 enabled=1",
            "10": "checked=0 visible=1 shown=1 enabled=0",
            "11": "checked=0 visible=0 shown=0 enabled=1",  # hidden itself
            "15": "checked=0 visible=0 shown=1 enabled=1",  # shown, in a hidden panel
        }
        for control, state in expected.items():
            self.assertEqual(self.assertSucceeds("state", CAPTION, control)[0], state + "\n", control)

    def test_list_box_items_and_selection(self):
        self.assertEqual(self.assertSucceeds("items", CAPTION, "7")[0], "Apple\nBanana\nCrème\nselected=-1\n")
        _, logged = self.assertSucceeds("select", CAPTION, "7", "2")
        self.assertEqual(logged, [f"command 7 {SELECTION_CHANGED}"])
        self.assertEqual(self.assertSucceeds("items", CAPTION, "7")[0], "Apple\nBanana\nCrème\nselected=2\n")
        self.assertEqual(self.assertFailsWith("has no item 3", "select", CAPTION, "7", "3"), [])

    def test_drop_down_items_and_selection(self):
        self.assertEqual(self.assertSucceeds("items", CAPTION, "8")[0], "Red\nGreen\nBlue\nselected=1\n")
        _, logged = self.assertSucceeds("select", CAPTION, "8", "0")
        self.assertEqual(logged, [f"command 8 {SELECTION_CHANGED}"])
        self.assertEqual(self.assertSucceeds("items", CAPTION, "8")[0], "Red\nGreen\nBlue\nselected=0\n")
        self.assertEqual(self.assertSucceeds("text", CAPTION, "8")[0], "Red\n")
        self.assertFailsWith("neither a drop-down list nor a list box", "select", CAPTION, "5", "0")

    def test_tree_items_and_selection_by_path(self):
        items = "0\tProgram\n1\tCore\n1\tExtras\n2\tThemes\n2\tKlänge\n0\tHelp\n"
        self.assertEqual(self.assertSucceeds("tree", CAPTION, "9")[0], items + "selected=\n")
        _, logged = self.assertSucceeds("treeselect", CAPTION, "9", "Program\\Extras\\Klänge")
        self.assertEqual(logged, ["selchanged 9 Klänge"])
        self.assertEqual(self.assertSucceeds("tree", CAPTION, "9")[0], items + "selected=Program\\Extras\\Klänge\n")
        self.assertEqual(self.assertFailsWith("has no item Program\\Themes", "treeselect", CAPTION, "9",
                                              "Program\\Themes"), [])
        self.assertFailsWith("is not a tree view", "tree", CAPTION, "7")

    def test_dump_lists_every_control(self):
        output, _ = self.assertSucceeds("dump", CAPTION)
        rows = {}
        for line in output.splitlines():
            control, kind, visible, enabled, text = line.split("\t")
            rows[int(control)] = (kind, visible, enabled, text)
        self.assertEqual(set(rows), set(range(1, 19)) | {100, 101, 102, 103})
        self.assertEqual(rows[10], ("Button", "1", "0", "Locked"))
        self.assertEqual(rows[13], ("Static", "1", "1", "Line one\\nLine two"))
        self.assertEqual(rows[9][0], "SysTreeView32")
        self.assertEqual(rows[15][:2], ("Static", "0"))


class RobotWaitingAndClosing(unittest.TestCase):
    def test_waits_for_the_window_then_closes_it(self):
        with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as error:
            waiting = subprocess.Popen(robot_command("wait", "prefix: Robot", timeout=STARTUP_SECONDS),
                                       env=robot_environment(), stdout=output, stderr=error)
            target = Target("robot-closing")
            try:
                self.assertEqual(waiting.wait(timeout=300), 0, read_back(error))
                self.assertEqual(read_back(output), CAPTION + "\n")
                code, _, error = robot("gone", CAPTION, timeout=1)
                self.assertEqual(code, 1)
                self.assertIn("is still there", error)
                self.assertEqual(robot("close", "#1"), (0, "", ""))
                self.assertEqual(robot("gone", CAPTION), (0, "", ""))
                self.assertEqual(target.process.wait(timeout=120), 0)
                self.assertEqual(target.lines()[-1:], ["close requested"])
            finally:
                target.stop()


class RobotUsage(unittest.TestCase):
    def assertMisused(self, *arguments):
        code, output, error = robot(*arguments)
        self.assertEqual((code, output), (2, ""), arguments)
        self.assertEqual(len(error.splitlines()), 1, error)
        self.assertTrue(error.startswith("brindle-robot: "), error)

    def test_wrong_usage(self):
        self.assertMisused()
        self.assertMisused("fly", CAPTION)
        self.assertMisused("click", CAPTION)
        self.assertMisused("click", CAPTION, "1", "2")
        self.assertMisused("click", CAPTION, "one")
        self.assertMisused("select", CAPTION, "7", "-1")
        self.assertMisused("answer", "Question", "maybe")
        self.assertMisused("caption", "#one")
        self.assertMisused("--timeout", "soon", "caption", CAPTION)


if __name__ == "__main__":
    unittest.main()
