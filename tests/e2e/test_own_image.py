"""What the installer trusts of its own file, under Wine: it installs the
package of the file it was started from, whatever is put in that file's
place while it runs; and a damaged installer (cut short, a block changed, a
package appended behind its certificate table, a table it does not
recognise) shows one message before anything else happens, leaves nothing
in the temporary folder and exits with code 2."""

import shutil
import struct
import subprocess

import wine_harness as wine

TARGET = "C:\\Brindle Tests\\Own"
SETUP = {"Info": {"Titel": "Own"}}
DAMAGED = "The installer is damaged. Download it again.\n"
BEFORE_HOOK = wine.Robot("BeforeBR running")


def security_directory_at(image):
    """Where a PE32 image's certificate table entry (file offset, size) lies."""
    return struct.unpack_from("<I", image, 0x3C)[0] + 24 + 96 + 4 * 8


def listing(installer):
    """brindle-pack list's rows: kind, size, stored size, offset, ..., name."""
    out = subprocess.run([wine.BIN / "brindle-pack", "list", installer], capture_output=True, text=True,
                         check=True).stdout
    return [line.split("\t") for line in out.splitlines()]


def rename_through_the_platform(path, new_path):
    """Renames a file as a Windows program would; the exit code of the move."""
    return wine.run_windows(["cmd", "/c", "move", "/y", wine.windows_path(path), wine.windows_path(new_path)])[0]


class OwnImage(wine.WineTest):
    def setUp(self):
        wine.remove_work_directories()
        wine.start_hook_log()
        self.scrub(wine.TESTS)

    def test_installs_the_package_of_the_file_it_was_started_from(self):
        hooks = {"BeforeBR.exe": wine.PROBE.read_bytes(), "BeforeBR.wait": ""}
        started = wine.build_installer(SETUP, hooks, package={"tool.txt": "from the file that was started"})
        planted = wine.build_installer(SETUP, hooks, package={"tool.txt": "from a file put in its place"})
        run = self.start(started, wait=False)
        BEFORE_HOOK.wait()
        # While it runs the installer holds its file without delete sharing:
        # the platform refuses to rename it.
        self.assertNotEqual(rename_through_the_platform(started, started.parent / "renamed.exe"), 0)
        self.assertFalse((started.parent / "renamed.exe").exists())
        # Replaced behind the platform's back all the same, it is not read again.
        started.rename(started.parent / "renamed.exe")
        shutil.copyfile(planted, started)
        BEFORE_HOOK.do("close")
        run.wizard.wait()
        run.install(TARGET)
        run.finish()
        self.assertEqual((wine.TESTS / "Own" / "tool.txt").read_bytes(), b"from the file that was started")
        self.assertEqual([start[0] for start in wine.hook_log()], ["BeforeBR"])

    def test_a_damaged_installer_says_so_and_leaves_nothing(self):
        # A hook that would log its start, in the package and in the one appended.
        files = {"BeforeBR.exe": wine.PROBE.read_bytes(), "licence.txt": "the licence\r\n" * 200}
        signed = wine.sign(wine.build_installer(SETUP, files)).read_bytes()
        table_at = struct.unpack_from("<I", signed, security_directory_at(signed))[0]
        unsigned = wine.build_installer(SETUP, files)
        licence = next(row for row in listing(unsigned) if row[6] == "licence.txt")
        self.assertNotEqual(licence[1], licence[2], "a packed block")
        unsigned = unsigned.read_bytes()
        appended = wine.build_installer(SETUP, files).read_bytes()

        def changed(data, at, value):
            data = bytearray(data)
            data[at] = value
            return bytes(data)
        cases = {
            "cut short": unsigned[:-100],
            "a block changed": changed(unsigned, int(licence[3]) + 6, unsigned[int(licence[3]) + 6] ^ 1),
            "a package appended behind the certificate table": signed + appended,
            "a certificate table it does not recognise": changed(signed, table_at + 5, 0x03),
        }
        installer = wine.fresh_work("own-image") / "setup.exe"
        for name, data in cases.items():
            with self.subTest(name):
                installer.write_bytes(data)
                run = self.start(installer, wait=False)
                box = wine.Robot(" Setup")
                self.assertEqual(box.do("message", timeout=240), DAMAGED)
                box.do("answer", "ok")
                run.ended(code=2)
                self.assertEqual(wine.work_directories(), [])
                self.assertEqual(wine.hook_log(), [])
