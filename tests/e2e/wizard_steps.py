"""Walks the installer's wizard the way a user does, for tests that need
the install done rather than the pages themselves."""

import wine_harness as wine

WIZARD = "#1"
NEXT, CANCEL, INSTALL, FINISH = 6, 7, 8, 9
FOLDER_FIELD, START_MENU_FIELD, DESKTOP_CHECK, START_PROGRAM_CHECK = 19, 22, 24, 35


def start(installer_path):
    """Runs the installer; returns (run, robot) once its wizard shows."""
    run = wine.Installer(installer_path)
    robot = wine.Robot(WIZARD)
    robot.wait()
    return run, robot


def install(robot, folder, before_install=None, during_install=None):
    """From the welcome page of a package without licence and readme to the
    finished page, with `folder` as installation folder. `before_install`
    runs on the settings page, to set its fields; `during_install` right
    after the Install button, to answer what the install step asks."""
    robot.click(NEXT)
    assert wine.wait_until(lambda: robot.visible(16), timeout=30, interval=0.3), "no settings page"
    robot.set_text(FOLDER_FIELD, folder)
    if before_install:
        before_install(robot)
    robot.click(NEXT)
    assert wine.wait_until(lambda: robot.visible(INSTALL), timeout=30, interval=0.3), "no install page"
    robot.click(INSTALL)
    if during_install:
        during_install()
    assert wine.wait_until(lambda: robot.visible(FINISH), timeout=120, interval=0.5), "install did not finish"
