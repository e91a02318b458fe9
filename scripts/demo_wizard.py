#!/usr/bin/env python3
"""Runs the example installer under Wine on a virtual display, walks through
its pages with the robot, saving a screenshot of each, installs, and shows
what the installation left: files, start-menu links and the uninstall entry.
Then it shows two pages again on a display of 150 % (144 dpi)."""

import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import wine_harness as wine  # noqa: E402

NEXT, CANCEL, ACCEPT, INSTALL, FINISH, CHANGE = 6, 7, 14, 8, 9, 23
WIZARD, CHOOSER = "#1", "#2"
# Each page: its panel, its name, and the clicks that lead to the next one.
PAGES = ((25, "welcome", [NEXT]), (12, "licence", [ACCEPT, NEXT]), (16, "settings", [NEXT]),
         (10, "readme", [NEXT]), (30, "install", [INSTALL]))
# The wizard and the chooser sit in the middle of the 1024x768 display.
WIZARD_AREA, CHOOSER_AREA = "490x370+267+199", "236x336+394+214"
GUID = "{6B1D4C2E-0DE5-4B7A-9C11-B21D1E000001}"
PROGRAMS = 2
DISPLAY_KEY, SCALED_DPI = "HKCU\\Control Panel\\Desktop", 144


def shoot(path, area=WIZARD_AREA):
    subprocess.run(["import", "-window", "root", "-crop", area, str(path)], env=wine.ENV, check=True)


def show_start_menu_chooser(robot, screens):
    robot.click(CHANGE)
    chooser = wine.Robot(CHOOSER)
    chooser.wait()
    path = screens / "start-menu-chooser.png"
    shoot(path, CHOOSER_AREA)
    print(f"start-menu chooser: {path}")
    chooser.do("close")
    chooser.gone(timeout=30)


def show_installation(folders):
    folder = Path(wine.host_path(wine.program_files() + "Brindle Demo"))
    print("installed files:", ", ".join(sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())))
    menu = folders[PROGRAMS] + "Brindle Demo\\"
    print("start menu links:", ", ".join(sorted(p.name for p in wine.host_path(menu).iterdir())))
    print("Help.lnk opens:", wine.read_shortcut(menu + "Help.lnk")[0])
    entry = wine.registry_values("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID)
    print("uninstall entry:", entry)


def show_at_scale(installer, screens):
    """The welcome and settings pages on a 144-dpi display, each cut to the
    window (the rest of the screen is black)."""
    wine.reg("add", DISPLAY_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(SCALED_DPI), "/f")
    try:
        run = subprocess.Popen(["wine", str(installer)], env=wine.ENV, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        robot = wine.Robot(WIZARD)
        robot.wait()
        for panel, name, clicks in (PAGES[0], PAGES[1], PAGES[2]):
            wine.wait_until(lambda: robot.visible(panel), timeout=30, interval=0.3)
            if name != "licence":
                path = screens / f"scale-150-{name}.png"
                subprocess.run(["import", "-window", "root", "-trim", "+repage", str(path)], env=wine.ENV, check=True)
                print(f"{name} at 150 %: {path}")
            for control in clicks:
                robot.click(control)
        robot.click(CANCEL)
        print("installer exit code:", run.wait(timeout=120))
    finally:
        wine.reg("delete", DISPLAY_KEY, "/v", "LogPixels", "/f")


def main(installer, screens):
    screens.mkdir(parents=True, exist_ok=True)
    wine.start_session()
    run = subprocess.Popen(["wine", str(installer)], env=wine.ENV, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    robot = wine.Robot(WIZARD)
    robot.wait()
    print("wizard:", robot.do("caption").strip())
    for number, (panel, name, clicks) in enumerate(PAGES, start=1):
        wine.wait_until(lambda: robot.visible(panel), timeout=30, interval=0.3)
        path = screens / f"page-{number}-{name}.png"
        shoot(path)
        print(f"page {number} ({name}): {path}")
        if name == "settings":
            show_start_menu_chooser(robot, screens)
        for control in clicks:
            robot.click(control)
    wine.wait_until(lambda: robot.visible(FINISH), timeout=120, interval=0.5)
    path = screens / "page-6-finished.png"
    shoot(path)
    print(f"finished: {path}")
    print("progress:", robot.items(34)[0])
    robot.click(FINISH)
    print("installer exit code:", run.wait(timeout=120))
    show_installation(wine.system_folders())
    show_at_scale(installer, screens)


if __name__ == "__main__":
    main(Path(sys.argv[1]), Path(sys.argv[2]))
