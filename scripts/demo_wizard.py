#!/usr/bin/env python3
"""Runs the example installer under Wine on a virtual display, walks through
its pages with the robot and saves a screenshot of each page."""

import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import wine_harness as wine  # noqa: E402

NEXT, ACCEPT, CANCEL = 6, 14, 7
# Each page: its panel, its name, and the clicks that lead to the next one.
PAGES = ((25, "welcome", [NEXT]), (12, "licence", [ACCEPT, NEXT]), (16, "settings", [NEXT]),
         (10, "readme", [NEXT]), (30, "install", [CANCEL]))


def shoot(path):
    subprocess.run(["import", "-window", "root", "-crop", "490x370+267+199", str(path)], env=wine.ENV, check=True)


def main(installer, screens):
    screens.mkdir(parents=True, exist_ok=True)
    run = wine.Installer(installer)
    robot = wine.Robot("#1")
    robot.wait()
    print("wizard:", robot.do("caption", "#1").strip())
    for number, (panel, name, clicks) in enumerate(PAGES, start=1):
        wine.wait_until(lambda: robot.visible(panel), timeout=30, interval=0.3)
        path = screens / f"page-{number}-{name}.png"
        shoot(path)
        print(f"page {number} ({name}): {path}")
        for control in clicks:
            robot.click(control)
    print("installer exit code:", run.wait())


if __name__ == "__main__":
    main(Path(sys.argv[1]), Path(sys.argv[2]))
