"""An installation onto a drive that fills up leaves no file half written:
a 2 MB tmpfs serves as drive T:, and the package holds a 3 MB file of random
bytes (stored as they are) besides a small one."""

import os
import shutil
import subprocess
import unittest

import wine_harness as wine

BIG = os.urandom(3 * 1024 * 1024)
SMALL = b"fits on the drive\r\n"
DRIVE_LINK = wine.PREFIX / "dosdevices" / "t:"
MOUNT_POINT = wine.WORK / "full-drive"


def unmount(path):
    if subprocess.run(["umount", str(path)], capture_output=True).returncode != 0:
        subprocess.run(["umount", "-l", str(path)], check=True)  # still busy: detach it


def mount_small_drive():
    """Mounts the tmpfs and maps it as T:; raises SkipTest where mounting is
    not permitted."""
    if os.path.ismount(MOUNT_POINT) and DRIVE_LINK.is_symlink():  # an earlier test of this run mounted it: emptied
        for entry in MOUNT_POINT.iterdir():
            shutil.rmtree(entry) if entry.is_dir() else entry.unlink()
        return
    if os.geteuid() != 0:
        raise unittest.SkipTest("mounting a tmpfs needs root")
    if os.path.ismount(MOUNT_POINT):  # left by a run that was killed
        unmount(MOUNT_POINT)
    MOUNT_POINT.mkdir(parents=True, exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", str(MOUNT_POINT)],
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise unittest.SkipTest("mounting a tmpfs is not permitted here: " + result.stderr.strip())
    unittest.addModuleCleanup(unmount, MOUNT_POINT)
    DRIVE_LINK.unlink(missing_ok=True)
    DRIVE_LINK.symlink_to(MOUNT_POINT)
    unittest.addModuleCleanup(DRIVE_LINK.unlink)



class FullDrive(wine.WineTest):
    def test_no_file_is_left_partial_and_the_failure_shows(self):
        mount_small_drive()
        setup = {"Info": {"Titel": "Tool", "Version": "1.0", "GUID": "{E2E-FULL-DRIVE}"},
                 "Settings": {"ProgExe": "tool.exe", "DefaultDir": "App"}}
        run = self.start(wine.build_installer(setup, package={"big.bin": BIG, "small.txt": SMALL}))
        run.install("T:\\App")
        lines = run.progress()
        self.assertEqual(lines[3], "Copy Program Files   -->   *** Failed: files could not be written ***")
        # The file that failed follows, with the reason.
        self.assertEqual(lines[4], f"big.bin: its {len(BIG)} bytes do not fit the destination's free space; not written")
        self.assertEqual(run.wizard.text(33), "Installation failed")
        run.finish(code=4)
        left = {str(path.relative_to(MOUNT_POINT)): path.read_bytes() for path in MOUNT_POINT.rglob("*") if path.is_file()}
        uninstall_data = left.pop("App/uninstall.dat", None)
        self.assertEqual(left, {"App/small.txt": SMALL})  # no piece of big.bin, no temporary file
        if uninstall_data is not None:
            self.assertTrue(uninstall_data.startswith(b"[Settings]\r\nProgDir = T:\\App\\\r\n"), uninstall_data)
            self.assertTrue(uninstall_data.endswith(b"[UserTask]\r\nNumber = 0\r\n"), uninstall_data)

    def test_unattended_the_full_drive_ends_with_code_4_and_the_log_names_the_file(self):
        mount_small_drive()
        log = "C:\\full-drive.log"
        self.scrub(wine.host_path(log))
        setup = {"Info": {"Titel": "Tool", "Version": "1.0", "GUID": "{E2E-FULL-DRIVE-SILENT}"},
                 "Settings": {"ProgExe": "tool.exe"}}
        installer = wine.build_installer(setup, package={"big.bin": BIG, "small.txt": SMALL})
        code, windows = wine.brindle_robot.run_unattended(wine.windows_path(installer), f"/S /LOG={log} /D=T:\\Silent")
        self.assertEqual((code, windows), (4, []))
        lines = wine.host_path(log).read_text("utf-8").splitlines()
        self.assertIn("not written: T:\\Silent\\big.bin: not enough space on the drive", lines)
        self.assertIn("written: T:\\Silent\\small.txt", lines)
        self.assertEqual(lines[-1], "exit code: 4")


if __name__ == "__main__":
    unittest.main()
