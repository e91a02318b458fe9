"""brindle-pack as other tools use it: its output formats, exit codes and
messages, on real trees and damaged packages."""

import os
import subprocess
import tempfile
import unittest
from pathlib import Path

PACK = Path(__file__).resolve().parents[2] / "build" / "bin" / "brindle-pack"
MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022


def brindle_pack(*args):
    result = subprocess.run([str(PACK), *map(str, args)], capture_output=True, text=True)
    return result.returncode, result.stdout, result.stderr


class BrindlePack(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="brindle-pack-test-"))
        self.addCleanup(subprocess.run, ["rm", "-rf", str(self.folder)])
        tree = self.folder / "tree"
        (tree / "docs" / "deep").mkdir(parents=True)
        (tree / "setup.ini").write_bytes(b"[Info]\r\nTitel = Tool\r\n" * 40)
        (tree / "docs" / "deep" / "notes.txt").write_bytes(b"notes")
        (tree / "empty.dat").write_bytes(b"")
        seconds = (MODIFIED - 116444736000000000) / 10_000_000
        os.utime(tree / "setup.ini", (seconds, seconds))
        self.tree = tree

    def test_pack_and_list(self):
        code, _, err = brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")
        self.assertEqual((code, err), (0, ""))
        code, out, _ = brindle_pack("list", self.folder / "p.pck")
        self.assertEqual(code, 0)
        rows = [line.split("\t") for line in out.splitlines()]
        self.assertEqual([row[6] for row in rows],
                         ["docs\\", "docs\\deep\\", "docs\\deep\\notes.txt", "empty.dat", "setup.ini"])
        self.assertTrue(all(len(row) == 7 for row in rows))
        kind, size, stored, offset, created, modified, _ = rows[4]
        self.assertEqual((kind, size), ("1", str(40 * 22)))
        self.assertLess(int(stored), int(size))  # repetitive: packed
        self.assertEqual((int(created), int(modified)), (MODIFIED, MODIFIED))
        # Offsets follow the stored sizes from 0.
        self.assertEqual(int(offset), sum(int(row[2]) for row in rows[:4]))

    def test_stub_makes_an_installer_and_shifts_offsets(self):
        stub = self.folder / "stub.exe"
        stub.write_bytes(b"MZ" + bytes(998))
        brindle_pack("pack", self.tree, "-o", self.folder / "plain.pck")
        self.assertEqual(brindle_pack("pack", self.tree, "-o", self.folder / "setup.exe", "--stub", stub)[0], 0)
        installer = (self.folder / "setup.exe").read_bytes()
        self.assertEqual(installer[:1000], stub.read_bytes())
        plain = [line.split("\t") for line in brindle_pack("list", self.folder / "plain.pck")[1].splitlines()]
        shifted = [line.split("\t") for line in brindle_pack("list", self.folder / "setup.exe")[1].splitlines()]
        self.assertEqual([int(row[3]) + 1000 for row in plain], [int(row[3]) for row in shifted])
        self.assertEqual(brindle_pack("verify", self.folder / "setup.exe")[:2], (0, "5 entries, all sound\n"))

    def test_extract_with_keep_list(self):
        brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")
        out = self.folder / "out"
        out.mkdir()
        (out / "setup.ini").write_bytes(b"mine")
        code, _, err = brindle_pack("extract", self.folder / "p.pck", "-C", out, "--keep", "ini|")
        self.assertEqual((code, err), (0, ""))
        self.assertEqual((out / "setup.ini").read_bytes(), b"mine")
        self.assertEqual((out / "docs" / "deep" / "notes.txt").read_bytes(), b"notes")
        self.assertEqual(os.stat(out / "docs" / "deep" / "notes.txt").st_size, 5)

    def test_damaged_block_is_named(self):
        brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")
        rows = [line.split("\t") for line in brindle_pack("list", self.folder / "p.pck")[1].splitlines()]
        offset = int(rows[4][3])
        data = bytearray((self.folder / "p.pck").read_bytes())
        data[offset + 6] ^= 0xFF  # the checksum of setup.ini's block
        (self.folder / "p.pck").write_bytes(data)
        code, _, err = brindle_pack("verify", self.folder / "p.pck")
        self.assertEqual(code, 1)
        self.assertIn("setup.ini: packed block is damaged", err)
        code, _, err = brindle_pack("extract", self.folder / "p.pck", "-C", self.folder / "out")
        self.assertEqual(code, 1)
        self.assertIn("setup.ini: packed block is damaged; not written", err)
        self.assertFalse((self.folder / "out" / "setup.ini").exists())
        self.assertTrue((self.folder / "out" / "docs" / "deep" / "notes.txt").exists())

    def test_clear_errors(self):
        (self.folder / "text").write_bytes(b"no package here, just text" * 3)
        self.assertEqual(brindle_pack("list", self.folder / "text")[0::2],
                         (1, f"brindle-pack: {self.folder / 'text'}: no package found\n"))
        self.assertEqual(brindle_pack("pack", self.tree)[0], 2)
        self.assertEqual(brindle_pack("nonsense")[0], 2)
        for command in ("pack", "list", "extract", "verify"):
            code, out, _ = brindle_pack(command, "--help")
            self.assertEqual(code, 0)
            self.assertTrue(out.startswith(f"usage: brindle-pack {command}"), command)

    def test_names_windows_cannot_take_are_refused(self):
        (self.tree / "nul.txt").write_bytes(b"x")
        code, _, err = brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")
        self.assertEqual(code, 1)
        self.assertIn("nul.txt: name cannot be used on Windows", err)
        self.assertFalse((self.folder / "p.pck").exists())
        self.assertFalse((self.folder / "p.pck.partial").exists())


if __name__ == "__main__":
    unittest.main()
