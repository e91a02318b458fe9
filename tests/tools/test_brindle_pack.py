"""brindle-pack as other tools use it: its output formats, exit codes and
messages, on real trees, damaged packages and signed installers."""

import os
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

PACK = Path(__file__).resolve().parents[2] / "build" / "bin" / "brindle-pack"
STUB = PACK.parent / "brindle-setup.exe"
MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022


def brindle_pack(*args, env=None):
    result = subprocess.run([str(PACK), *map(str, args)], capture_output=True, text=True, env=env)
    return result.returncode, result.stdout, result.stderr


def throwaway_certificate(folder, name="test"):
    """A self-signed certificate valid for a day and its key: (cert, key)."""
    cert, key = folder / f"{name}-cert.pem", folder / f"{name}-key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "1", "-subj", "/CN=Test"], check=True, capture_output=True)
    return cert, key


def security_directory_at(image):
    """Where a PE32 image's certificate table entry (file offset, size) lies."""
    optional = struct.unpack_from("<I", image, 0x3C)[0] + 24
    assert image[optional:optional + 2] == b"\x0b\x01", "not a PE32 image"
    return optional + 96 + 4 * 8


class ScratchTree(unittest.TestCase):
    """A fresh temporary folder with a small tree to pack."""

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


class BrindlePack(ScratchTree):
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
        for command in ("pack", "list", "extract", "verify", "sign"):
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


class SignedInstallers(ScratchTree):
    def setUp(self):
        super().setUp()
        self.installer = self.folder / "setup.exe"
        self.assertEqual(brindle_pack("pack", self.tree, "-o", self.installer, "--stub", STUB)[0], 0)
        self.cert, self.key = throwaway_certificate(self.folder)

    def sign(self, *extra, env=None):
        return brindle_pack("sign", self.installer, "--cert", self.cert, "--key", self.key, *extra, env=env)

    def test_signed_installer_is_read_in_front_of_its_certificate_table(self):
        unsigned = self.installer.read_bytes()
        listed = brindle_pack("list", self.installer)[1]
        self.installer.chmod(0o750)
        self.assertEqual(self.sign(), (0, "", ""))
        signed = self.installer.read_bytes()
        offset, size = struct.unpack_from("<II", signed, security_directory_at(signed))
        self.assertEqual(offset + size, len(signed))
        self.assertEqual(signed[len(unsigned):offset], bytes(offset - len(unsigned)))  # only zero padding between
        self.assertEqual(self.installer.stat().st_mode & 0o777, 0o750)  # the mode is kept

        self.assertEqual(brindle_pack("list", self.installer), (0, listed, ""))
        self.assertEqual(brindle_pack("verify", self.installer),
                         (0, f"signature: present (certificate table of {size} bytes)\n5 entries, all sound\n", ""))
        out = self.folder / "out"
        self.assertEqual(brindle_pack("extract", self.installer, "-C", out), (0, "", ""))
        for name in ("setup.ini", "docs/deep/notes.txt", "empty.dat"):
            self.assertEqual((out / name).read_bytes(), (self.tree / name).read_bytes(), name)
        # The signature covers the package: the signer's own check accepts it.
        check = subprocess.run(["osslsigncode", "verify", "-CAfile", self.cert, "-in", self.installer],
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    def test_damaged_certificate_table_is_refused_cleanly(self):
        self.assertEqual(self.sign()[0], 0)
        signed = bytearray(self.installer.read_bytes())
        struct.pack_into("<I", signed, security_directory_at(signed), len(signed) + 8)  # past the end
        self.installer.write_bytes(signed)
        for args in (("list",), ("verify",), ("extract", "-C", self.folder / "out")):
            code, out, err = brindle_pack(args[0], self.installer, *args[1:])
            self.assertEqual((code, out), (1, ""), args[0])
            self.assertRegex(err, r"\Abrindle-pack: .*setup\.exe: no package found[^\n]*\n\Z", args[0])

    def test_failed_signing_leaves_the_installer_as_it_was(self):
        unsigned = self.installer.read_bytes()
        other_cert, _ = throwaway_certificate(self.folder, "other")
        no_programs = self.folder / "no-programs"
        no_programs.mkdir()
        # A signer that succeeds but leaves junk where the certificate table belongs.
        junk_signer = self.folder / "junk-signer"
        junk_signer.mkdir()
        (junk_signer / "osslsigncode").write_text('#!/bin/sh\nwhile [ "$1" != -in ]; do shift; done\n'
                                                  '{ cat "$2"; echo junk; } > "$4"\n')
        (junk_signer / "osslsigncode").chmod(0o755)
        cases = [
            ("signer missing", (), {**os.environ, "PATH": str(no_programs)}, "is not found on PATH"),
            ("key missing", ("--key", self.folder / "missing.pem"), None, "osslsigncode failed"),
            ("key of another certificate", ("--cert", other_cert), None, "osslsigncode failed"),
            ("time-stamp server unreachable", ("--timestamp", "http://127.0.0.1:9/"), None, "osslsigncode failed"),
            ("package lost in signing", (), {**os.environ, "PATH": f"{junk_signer}:{os.environ['PATH']}"},
             "no longer shows its package"),
        ]
        for name, extra, env, message in cases:
            code, out, err = self.sign(*extra, env=env)
            self.assertEqual((code, out), (1, ""), name)
            self.assertIn(message, err, name)
            self.assertEqual(err.count("\n"), 1, name)
            self.assertEqual(self.installer.read_bytes(), unsigned, name)
            self.assertFalse(Path(f"{self.installer}.partial").exists(), name)

        (self.folder / "text").write_bytes(b"no package here" * 3)
        self.assertEqual(brindle_pack("sign", self.folder / "text", "--cert", self.cert, "--key", self.key)[0::2],
                         (1, f"brindle-pack: {self.folder / 'text'}: no package found\n"))
        self.assertEqual(brindle_pack("sign", self.installer, "--cert", self.cert)[0], 2)


if __name__ == "__main__":
    unittest.main()
