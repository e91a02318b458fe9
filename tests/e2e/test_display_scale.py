"""The wizard and the uninstaller on a display of 144 dpi (150 %): each window's
inner size, each control's rectangle and each font's height are one and a
half times what the same run shows at 96 dpi, within a pixel of rounding, and
the side picture fills its frame at that scale."""

import wine_harness as wine
from wine_harness import CANCEL, NEXT, SETTINGS_PAGE

import test_uninstall as uninstall

SCALED_DPI = 144
# Wine reads the user's value first, then the machine's (HKCC\Software\Fonts).
DISPLAY_KEY = "HKCU\\Control Panel\\Desktop"
SIDE_PICTURE = 29
SETUP = {"Info": {"Titel": "Tool", "Version": "2.5", "Web": "https://tool.example"},
         "Settings": {"ProgExe": "tool.exe", "DefaultDir": "Tool Suite", "Bitmap": "side.tga"},
         "Task": {"StartMenu": 1}, "StartMenue": {"DefaultDir": "Tools\\Tool"}}

# The controls read on each page: the welcome page with the side picture, the
# link, the buttons, the separator and the (hidden) progress list; the
# settings page with the header band and its icon, the fields and their
# buttons.
WELCOME_CONTROLS = (25, 26, 27, 28, SIDE_PICTURE, wine.WEB_LINK, NEXT, CANCEL, 65, wine.PROGRESS)
SETTINGS_CONTROLS = (1, 17, 2, 3, SETTINGS_PAGE, 18, wine.FOLDER_FIELD, 20, 21, wine.START_MENU_FIELD, 23,
                     wine.DESKTOP_CHECK)
LEFTOVER_LIST = 62
UNINSTALL_CONTROLS = (57, 58, 59, 60, 61, LEFTOVER_LIST, 63, 64)
# A list box keeps to whole lines: its height is a multiple of its line's, so
# it may fall short of the scaled height by up to one line.
WHOLE_LINES = {wine.PROGRESS, LEFTOVER_LIST}


def targa(width, height):
    """An uncompressed 24-bit Targa picture of a colour gradient."""
    header = bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0]) + width.to_bytes(2, "little") + \
        height.to_bytes(2, "little") + bytes([24, 0])
    pixels = bytes(value for y in range(height) for x in range(width) for value in (x * 2 % 256, y % 256, 128))
    return header + pixels


def fields(line):
    return {key: int(value) for key, value in (item.split("=") for item in line.split()) if value.lstrip("-").isdigit()}


def reading(robot, controls):
    """{"window": inner size, control: rectangle and font height}."""
    window = fields(robot.do("geometry"))
    result = {"window": {"width": window["width"], "height": window["height"]}}
    for control in controls:
        result[control] = fields(robot.do("rect", control))
    return result


def set_log_pixels(value):
    """Sets the display's dots per inch or, for None, deletes the value."""
    if value is None:
        wine.reg("delete", DISPLAY_KEY, "/v", "LogPixels", "/f")
    else:
        assert wine.reg("add", DISPLAY_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(value), "/f")[0] == 0


def rectangle(control):
    return tuple(control[name] for name in ("x", "y", "width", "height"))


class DisplayScale(wine.WineTest):
    def at_scaled_dpi(self):
        """Programs started from now on until the test ends see a 144-dpi
        display; each process reads the density when it starts, so the
        Wine server and the programs already running go on as they are."""
        before = (wine.registry_values(DISPLAY_KEY) or {}).get("LogPixels")
        self.addCleanup(set_log_pixels, int(before, 0) if before else None)
        set_log_pixels(SCALED_DPI)

    def assert_scaled(self, plain, scaled):
        """Every number of every item 1.5 times as large, within a pixel (a
        font that cannot be read is 0 in both)."""
        for item, numbers in plain.items():
            for name, value in numbers.items():
                with self.subTest(item=item, number=name):
                    slack = scaled[item]["items"] if item in WHOLE_LINES and name == "height" else 1
                    self.assertLessEqual(abs(scaled[item][name] - value * SCALED_DPI / 96), slack,
                                         (value, scaled[item][name]))

    def wizard_readings(self, installer):
        run = self.start(installer)
        welcome = reading(run.wizard, WELCOME_CONTROLS)
        run.wizard.click(NEXT)
        self.assertTrue(run.wizard.wait_for(lambda r: r.visible(SETTINGS_PAGE)))
        settings = reading(run.wizard, SETTINGS_CONTROLS)
        run.cancel()
        return welcome, settings

    def test_wizard_pages(self):
        installer = wine.build_installer(SETUP, files={"side.tga": targa(130, 300)})
        plain = self.wizard_readings(installer)
        self.assertEqual(plain[0]["window"], {"width": 480, "height": 335})
        self.assertEqual(rectangle(plain[0][SIDE_PICTURE]), (0, 0, 130, 300))
        self.assertGreater(plain[0][wine.PROGRESS]["items"], 0)  # the default font's lines are compared
        self.at_scaled_dpi()
        scaled = self.wizard_readings(installer)
        for page_plain, page_scaled in zip(plain, scaled):
            self.assert_scaled(page_plain, page_scaled)
        self.assertEqual(rectangle(scaled[0][SIDE_PICTURE]), (0, 0, 195, 450))  # the picture fills its frame

    def test_uninstaller_window(self):
        readings = []
        for dpi in (96, SCALED_DPI):
            if dpi != 96:
                self.at_scaled_dpi()
            installation = uninstall.Installation(f"Scale{dpi}")
            self.addCleanup(installation.remove)
            program = uninstall.start(installation.command())
            self.addCleanup(lambda: program.poll() is None and program.kill())
            robot = wine.Robot(uninstall.UNINSTALLER)
            robot.wait()
            readings.append(reading(robot, UNINSTALL_CONTROLS))
            robot.click(uninstall.CANCEL)
            self.assertEqual(program.wait(timeout=120), 1)
        self.assertEqual(readings[0]["window"], {"width": 400, "height": 260})
        self.assertGreater(readings[0][LEFTOVER_LIST]["items"], 0)
        self.assert_scaled(*readings)
