"""What the installer trusts of its own file, under Wine: it installs the
package of the file it was started from, whatever is put in that file's
place while it runs; and a damaged installer (cut short, a block changed, a
package appended behind its certificate table, a table it does not
recognise) shows one message before anything else happens, leaves nothing
in the temporary folder and exits with code 2. Its own code travels packed:
restored at another address than it was packed for, as a system that
loads programs at random addresses has it, it installs; with its packed
code damaged, it ends with code 2 before any of it runs."""

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


def sections(image):
    """A PE32 image's sections: (name, address, raw size, file offset)."""
    nt = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H", image, nt + 6)[0], struct.unpack_from("<H", image, nt + 20)[0]
    table = nt + 24 + optional_size
    return [(image[at:at + 8].rstrip(b"\0").decode(), *struct.unpack_from("<III", image, at + 12))
            for at in range(table, table + 40 * count, 40)]


def rebased(image, base):
    """The image as if linked for `base`: its preferred base and every address
    its relocations name in its file moved. The packed code, not in the file,
    is left to the loader, whose record still names the base it was packed
    for: it finds itself elsewhere and must move what it restores."""
    image = bytearray(image)
    optional = struct.unpack_from("<I", image, 0x3C)[0] + 24
    delta = base - struct.unpack_from("<I", image, optional + 28)[0]
    struct.pack_into("<I", image, optional + 28, base)
    table, size = struct.unpack_from("<II", image, optional + 96 + 8 * 5)
    in_file = [(address, raw_size, offset) for _, address, raw_size, offset in sections(image) if raw_size]
    file_offset = next(offset + table - address for address, raw_size, offset in in_file
                       if address <= table < address + raw_size)
    at = file_offset
    while at < file_offset + size:
        page, block = struct.unpack_from("<II", image, at)
        assert block >= 8, "a relocation block shorter than its header"
        for (entry,) in struct.iter_unpack("<H", image[at + 8:at + block]):
            rva = page + (entry & 0xFFF)
            for address, raw_size, offset in in_file:
                if entry >> 12 == 3 and address <= rva < address + raw_size:
                    value = struct.unpack_from("<I", image, offset + rva - address)[0]
                    struct.pack_into("<I", image, offset + rva - address, (value + delta) & 0xFFFFFFFF)
        at += block
    return bytes(image)


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

    def test_its_packed_code_restored_elsewhere_installs_and_damaged_ends_the_run(self):
        stub = wine.BIN.joinpath("brindle-setup.exe").read_bytes()
        name, _, _, loader_at = sections(stub)[-2]
        self.assertEqual(name, ".unpack")  # the loader's section starts with the packed code
        damaged = bytearray(stub)
        damaged[loader_at + 4000] ^= 0x40
        stubs = wine.fresh_work("packed-stubs")
        cases = {"restored elsewhere": (rebased(stub, 0x10000000), 0), "packed code damaged": (bytes(damaged), 2)}
        for case, (image, code) in cases.items():
            with self.subTest(case):
                (stubs / "setup.exe").write_bytes(image)
                installer = wine.build_installer(SETUP, package={"tool.txt": case}, stub=stubs / "setup.exe")
                self.assertEqual(wine.brindle_robot.run_unattended(wine.windows_path(installer), f"/S /D={TARGET}"),
                                 (code, []))
                installed = wine.TESTS / "Own" / "tool.txt"
                self.assertEqual(installed.read_text() if installed.exists() else None, case if code == 0 else None)
                self.scrub(wine.TESTS)
