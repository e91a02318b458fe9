"""brindle-pack as other tools use it: its output formats, exit codes and
messages, on real trees, damaged packages, signed installers and install
projects."""

import errno
import os
import pty
import random
import resource
import signal
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
PACK = ROOT / "build" / "bin" / "brindle-pack"
STUB = PACK.parent / "brindle-setup.exe"
UNINSTALLER = PACK.parent / "brindle-hook-probe.exe"  # any small program stands in for the uninstaller
MODIFIED = 133_000_000_000_000_000  # a FILETIME in 2022
UNIX_EPOCH_FILETIME = 116444736000000000


def brindle_pack(*args, env=None, file_limit=None):
    """Exit code, output and error of a run; with `file_limit`, no file may
    grow past that many bytes (a full disk that root cannot pass either)."""
    def limit_files():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # the write fails instead
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_limit, file_limit))
    # Names the tool prints are Windows-1252 bytes, which need not be UTF-8.
    result = subprocess.run([str(PACK), *map(str, args)], capture_output=True, text=True, errors="replace", env=env,
                            preexec_fn=limit_files if file_limit else None)
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


def raw_package(entries):
    """A package of raw blocks and a raw directory: [(name bytes, content bytes
    or None for a folder)], names taken as they are, however hostile."""
    data, directory = b"", struct.pack("<I", len(entries))
    for name, content in entries:
        kind, size = (0, 0) if content is None else (1, len(content))
        directory += name + b"\0" + struct.pack("<iiiiQQ", kind, size, size, len(data), MODIFIED, MODIFIED)
        data += content or b""
    return data + directory + struct.pack("<III", len(directory), len(directory), 0) + b"Pack"


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
        seconds = (MODIFIED - UNIX_EPOCH_FILETIME) / 10_000_000
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
        self.assertTrue(all(len(row) == 8 for row in rows))
        self.assertEqual([row[7] for row in rows], ["raw", "raw", "raw", "raw", "lz"])
        kind, size, stored, offset, created, modified, _, _ = rows[4]
        self.assertEqual((kind, size), ("1", str(40 * 22)))
        self.assertLess(int(stored), int(size))  # repetitive: packed
        self.assertEqual((int(created), int(modified)), (MODIFIED, MODIFIED))
        # Offsets follow the stored sizes from 0.
        self.assertEqual(int(offset), sum(int(row[2]) for row in rows[:4]))

    def test_entries_follow_the_byte_order_of_their_windows_names(self):
        # UTF-8 puts \xe9 (C3 A9) before \u20ac (E2 82 AC); Windows-1252 puts \u20ac (80) before \xe9 (E9).
        for name in ("\xe9t\xe9.txt", "Zebra.txt", "\u20acuro.txt"):
            (self.tree / "docs" / name).write_bytes(b"x")
        self.assertEqual(brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")[0], 0)
        out = subprocess.run([PACK, "list", self.folder / "p.pck"], capture_output=True, check=True).stdout
        self.assertEqual([line.split(b"\t")[6].decode("cp1252") for line in out.splitlines()],
                         ["docs\\", "docs\\Zebra.txt", "docs\\deep\\", "docs\\deep\\notes.txt", "docs\\\u20acuro.txt",
                          "docs\\\xe9t\xe9.txt", "empty.dat", "setup.ini"])

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
        for command in ("init", "build", "reference", "pack", "list", "extract", "verify", "sign"):
            code, out, _ = brindle_pack(command, "--help")
            self.assertEqual(code, 0)
            self.assertTrue(out.startswith(f"usage: brindle-pack {command}"), command)
            # Wrong usage of any command, an empty argument too (init would
            # write into the current folder): exit code 2 and one line naming the command.
            for wrong in (("--bogus",), ("",)):
                code, out, err = brindle_pack(command, *wrong)
                self.assertEqual((code, out), (2, ""), (command, wrong))
                self.assertRegex(err, rf"\Abrindle-pack: {command}: [^\n]*\(try --help\)\n\Z", (command, wrong))

    def test_failed_file_operations_name_their_cause(self):
        (self.tree / "big.bin").write_bytes(random.Random(5).randbytes(200_000))  # stored raw
        too_large = os.strerror(errno.EFBIG)
        package = self.folder / "p.pck"
        self.assertEqual(brindle_pack("pack", self.tree, "-o", package, file_limit=65536),
                         (1, "", f"brindle-pack: cannot write {package}: {too_large}\n"))
        self.assertEqual(list(self.folder.glob("p.pck*")), [])
        self.assertEqual(brindle_pack("pack", self.tree, "-o", package)[0], 0)
        code, _, err = brindle_pack("extract", package, "-C", self.folder / "full", file_limit=65536)
        self.assertEqual((code, err), (1, f"brindle-pack: big.bin: file could not be written: {too_large}\n"))
        # A file where the package's folder goes: the folder and what it holds are not made.
        (self.folder / "blocked").mkdir()
        (self.folder / "blocked" / "docs").write_bytes(b"a file")
        code, _, err = brindle_pack("extract", package, "-C", self.folder / "blocked")
        not_made = f"a folder on its way could not be made: {os.strerror(errno.ENOTDIR)}; not written"
        self.assertEqual((code, err.splitlines()), (1, [
            f"brindle-pack: docs\\: {not_made}",
            f"brindle-pack: docs\\deep\\: {not_made}",
            f"brindle-pack: docs\\deep\\notes.txt: {not_made}"]))
        missing = self.folder / "missing.pck"
        self.assertEqual(brindle_pack("verify", missing),
                         (1, "", f"brindle-pack: {missing}: cannot be opened: {os.strerror(errno.ENOENT)}\n"))
        code, _, err = brindle_pack("init", self.folder / "example", file_limit=1000)
        self.assertEqual(code, 1)
        self.assertRegex(err, rf"\Abrindle-pack: {self.folder}/example/\S+: cannot be written: {too_large}\n\Z")

    def test_names_windows_cannot_take_are_refused(self):
        for name in ("nul.txt", "COM\xb9.txt"):
            with self.subTest(name):
                (self.tree / name).write_bytes(b"x")
                code, _, err = brindle_pack("pack", self.tree, "-o", self.folder / "p.pck")
                self.assertEqual(code, 1)
                self.assertIn(f"{name}: name cannot be used on Windows", err)
                self.assertFalse((self.folder / "p.pck").exists())
                self.assertFalse((self.folder / "p.pck.partial").exists())
                (self.tree / name).unlink()


class HostilePackages(ScratchTree):
    """Packages someone else made, inspected by a user: whatever their names
    claim, nothing is written outside -C DIR or through a link in it, the
    work stays bounded, and no name reaches the terminal unescaped."""

    def package(self, entries):
        path = self.folder / "hostile.pck"
        path.write_bytes(raw_package(entries))
        return path

    def test_extract_never_writes_through_a_link(self):
        elsewhere, out = self.folder / "elsewhere", self.folder / "out"
        elsewhere.mkdir()
        (elsewhere / "kept.txt").write_bytes(b"theirs")
        out.mkdir()
        (out / "linkdir").symlink_to(elsewhere)
        (out / "real").mkdir()
        (out / "real" / "deeper").symlink_to(elsewhere)
        (out / "kept.txt").symlink_to(elsewhere / "kept.txt")
        package = self.package([(b"linkdir\\x.txt", b"planted"), (b"linkdir\\", None), (b"linkdir\\sub\\", None),
                                (b"real\\deeper\\y.txt", b"planted"), (b"real/deeper/z.txt", b"planted"),
                                (b"kept.txt", b"ours"), (b"real\\fine.txt", b"fine")])
        code, out_text, err = brindle_pack("extract", package, "-C", out)
        self.assertEqual((code, out_text), (1, ""))
        link = "a folder on its way is a link, which is never followed; not written"
        self.assertEqual(err.splitlines(), [f"brindle-pack: {name}: {link}" for name in
                                            ("linkdir\\x.txt", "linkdir\\", "linkdir\\sub\\", "real\\deeper\\y.txt",
                                             "real/deeper/z.txt")])
        self.assertEqual(sorted(path.name for path in elsewhere.iterdir()), ["kept.txt"])
        self.assertEqual((elsewhere / "kept.txt").read_bytes(), b"theirs")
        # A link in the place of a file is replaced, never written through.
        self.assertFalse((out / "kept.txt").is_symlink())
        self.assertEqual((out / "kept.txt").read_bytes(), b"ours")
        self.assertEqual((out / "real" / "fine.txt").read_bytes(), b"fine")

    def test_names_are_printed_escaped(self):
        hostile = [b"a\nb.txt", b"\x1b]0;owned\x07\x1b[2J.txt", b"tab\there.txt", b"less<than.txt", b"del\x7f\x81.txt"]
        shown = ["a<0A>b.txt", "<1B>]0;owned<07><1B>[2J.txt", "tab<09>here.txt", "less<3C>than.txt", "del<7F><81>.txt"]
        ordinary = "docs\\\xe9t\xe9 \u20acuro (1).txt"  # stays as stored
        package = self.package([(name, b"x") for name in hostile] + [(ordinary.encode("cp1252"), b"x")])
        out = subprocess.run([PACK, "list", package], capture_output=True, check=True).stdout
        rows = [line.split(b"\t") for line in out.split(b"\n")[:-1]]
        self.assertEqual([len(row) for row in rows], [8] * 6)
        self.assertEqual([row[6].decode("cp1252") for row in rows], shown + [ordinary])

        # A name that cannot be written is named on one line of its own.
        forged = b"..\\x\nbrindle-pack: all is well"
        package = self.package([(forged, b"x"), (b"fine.txt", b"x")])
        for args in (("verify",), ("extract", "-C", self.folder / "out")):
            code, _, err = brindle_pack(args[0], package, *args[1:])
            self.assertEqual(code, 1, args[0])
            self.assertEqual(len(err.splitlines()), 1, err)
            self.assertTrue(err.startswith("brindle-pack: ..\\x<0A>brindle-pack: all is well: unsafe name"), err)

    def test_unsafe_names_are_refused_before_any_folder_is_made(self):
        unsafe = "unsafe name (outside the destination, a device, or over 32,767 characters)"
        cases = [  # name, verify says unsafe
            (b"a\\" * 320_000, True),  # the walk along 320,000 folders used to take minutes
            (b"x" * 32_768, True),
            (b"x" * 32_767, False),  # as long as Windows allows: not refused for its length
            (b"COM\xb9", True), (b"sub\\lpt\xb2.txt", True), (b"Com\xb3.log", True), (b"COM\xb4", False),
        ]
        for name, refused in cases:
            with self.subTest(name=name[:12], length=len(name)):
                out = self.folder / "out"
                subprocess.run(["rm", "-rf", str(out)])
                package = self.package([(name, b"x")])
                code, _, err = brindle_pack("verify", package)
                self.assertEqual(unsafe in err, refused, err[:300])
                code, _, err = brindle_pack("extract", package, "-C", out)
                self.assertEqual(f"{unsafe}; not written" in err, refused, err[:300])
                if refused:
                    self.assertEqual(code, 1)
                    self.assertEqual(list(out.iterdir()), [])

    def test_entries_that_take_one_name_are_reported(self):
        package = self.package([(b"a", b"file"), (b"a\\", None), (b"b.txt", b"first"), (b"B.TXT", b"second"),
                                (b"d\\", None), (b"d", b"file"), (b"e\\", None), (b"e/", None), (b"\xe9.txt", b"x"),
                                (b"\xc9.TXT", b"y")])
        code, out, err = brindle_pack("verify", package)
        self.assertEqual((code, out), (1, ""))
        self.assertEqual(err.splitlines(), [
            "brindle-pack: a\\: same name as the earlier file a; Windows holds only one of them",
            "brindle-pack: B.TXT: same name as the earlier file b.txt; Windows holds only one of them",
            "brindle-pack: d: same name as the earlier folder d\\; Windows holds only one of them",
            "brindle-pack: e/: same name as the earlier folder e\\; Windows holds only one of them",
            "brindle-pack: \ufffd.TXT: same name as the earlier file \ufffd.txt; Windows holds only one of them"])
        code, _, err = brindle_pack("extract", package, "-C", self.folder / "out")
        self.assertEqual(code, 1)
        # What could not be made says so; what replaced an earlier entry says that.
        self.assertEqual([line for line in err.splitlines() if line.startswith(("brindle-pack: a", "brindle-pack: d"))],
                         ["brindle-pack: a\\: a folder on its way could not be made: "
                          f"{os.strerror(errno.ENOTDIR)}; not written",
                          f"brindle-pack: d: file could not be written: {os.strerror(errno.EISDIR)}"])
        self.assertIn("brindle-pack: B.TXT: same name as the earlier file b.txt", err)

    def test_extract_refuses_what_does_not_fit_the_free_space(self):
        (self.folder / "big").mkdir()
        (self.folder / "big" / "big.bin").write_bytes(bytes(2 << 20))
        (self.folder / "big" / "small.txt").write_bytes(b"small")
        self.assertEqual(brindle_pack("pack", self.folder / "big", "-o", self.folder / "big.pck")[0], 0)
        # The destination is a 1 MiB file system in a mount namespace of the test's own.
        out = self.folder / "out"
        out.mkdir()
        script = (f'mount -t tmpfs -o size=1m tmpfs "{out}" || exit 99; "{PACK}" extract "{self.folder / "big.pck"}" '
                  f'-C "{out}"; echo "exit $?"; ls -A "{out}"')
        run = subprocess.run(["unshare", "-m", "sh", "-c", script], capture_output=True, text=True)
        if run.returncode == 99 or "exit" not in run.stdout:
            self.skipTest("no mount namespace of its own: " + run.stderr.strip())
        self.assertEqual(run.stderr, "brindle-pack: big.bin: its 2097152 bytes do not fit the destination's free "
                                     "space; not written\n")
        self.assertEqual(run.stdout, "exit 1\nsmall.txt\n")


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

    def test_damaged_installers_are_refused_with_their_reason(self):
        self.assertEqual(self.sign()[0], 0)
        signed = self.installer.read_bytes()
        table_at = struct.unpack_from("<I", signed, security_directory_at(signed))[0]
        self.assertEqual(brindle_pack("pack", self.tree, "-o", self.folder / "other.pck")[0], 0)
        other = (self.folder / "other.pck").read_bytes()

        def unknown_revision(data):
            data[table_at + 5] = 0x03
        def inside_the_image(data):
            struct.pack_into("<I", data, security_directory_at(data), 0x400)
        cases = [
            ("package appended behind the table", signed + other,
             "data follow the certificate table, outside what the signature covers"),
            ("table of an unknown revision", self.changed(signed, unknown_revision),
             "the certificate table holds an entry the format does not define"),
            ("table inside the image", self.changed(signed, inside_the_image),
             "the security directory names no certificate table behind the image"),
            ("cut short", signed[:table_at - 20], "cut short, the executable image or its certificate table runs past "
                                                  "the end"),
        ]
        for name, data, reason in cases:
            self.installer.write_bytes(data)
            out_folder = self.folder / "out"
            for args in (("list",), ("verify",), ("extract", "-C", out_folder)):
                code, out, err = brindle_pack(args[0], self.installer, *args[1:])
                self.assertEqual((code, out, err), (1, "", f"brindle-pack: {self.installer}: damaged: {reason}\n"),
                                 f"{name}: {args[0]}")
            self.assertFalse(out_folder.exists(), name)

    @staticmethod
    def changed(data, change):
        data = bytearray(data)
        change(data)
        return bytes(data)

    def test_a_signed_stub_cannot_carry_a_package(self):
        self.assertEqual(self.sign()[0], 0)  # the installer, signed, as the stub
        self.assertEqual(brindle_pack("init", self.folder / "project")[0], 0)
        for command in (("pack", self.tree), ("build", self.folder / "project")):
            code, out, err = brindle_pack(*command, "-o", self.folder / "out.exe", "--stub", self.installer)
            self.assertEqual((code, out), (1, ""), command[0])
            self.assertIn("the stub is signed", err, command[0])
            self.assertFalse((self.folder / "out.exe").exists(), command[0])

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

        text = self.folder / "text"
        text.write_bytes(b"no package here" * 3)
        self.assertEqual(brindle_pack("sign", text, "--cert", self.cert, "--key", self.key)[0::2],
                         (1, f"brindle-pack: {text}: neither an installer nor another Windows program (no PE image); "
                             f"{text} left unchanged\n"))
        self.assertEqual(brindle_pack("sign", self.installer, "--cert", self.cert)[0], 2)

    def test_any_windows_program_is_signed(self):
        program = self.folder / "program.exe"
        program.write_bytes(UNINSTALLER.read_bytes())
        self.assertEqual(brindle_pack("sign", program, "--cert", self.cert, "--key", self.key), (0, "", ""))
        check = subprocess.run(["osslsigncode", "verify", "-CAfile", self.cert, "-in", program],
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)


def listing(path):
    """brindle-pack list as {name: (kind, size, stored, modified)}."""
    code, out, err = brindle_pack("list", path)
    assert code == 0, err
    return {row[6]: (int(row[0]), int(row[1]), int(row[2]), int(row[5]))
            for row in (line.split("\t") for line in out.splitlines())}


def methods(path):
    """The block method of each entry that brindle-pack list shows."""
    return {row[6]: row[7] for row in (line.split("\t") for line in brindle_pack("list", path)[1].splitlines())}


def read_terminal(fd):
    """Everything written to a terminal whose other end is closed."""
    chunks = []
    while True:
        try:
            chunk = os.read(fd, 65536)
        except OSError:  # the other end is gone
            break
        if not chunk:
            break
        chunks.append(chunk)
    os.close(fd)
    return b"".join(chunks).decode()


class InstallProjects(unittest.TestCase):
    """The example project that `init` writes, built, broken and rebuilt."""

    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="brindle-build-test-"))
        self.addCleanup(subprocess.run, ["rm", "-rf", str(self.folder)])
        self.project = self.folder / "project"
        self.assertEqual(brindle_pack("init", self.project)[0], 0)
        self.setup = self.project / "setup.ini"
        self.output = self.folder / "setup.exe"

    def build(self, *extra, env=None):
        return brindle_pack("build", self.project, "-o", self.output, "--uninstaller", UNINSTALLER, *extra, env=env)

    def edit(self, old, new):
        text = self.setup.read_bytes().decode("latin-1")
        self.assertIn(old, text)
        self.setup.write_bytes(text.replace(old, new, 1).encode("latin-1"))

    def utf8(self, old, new):
        """setup.ini as UTF-8 with a byte order mark, `old` replaced by `new`."""
        text = self.setup.read_bytes().decode("latin-1")
        self.assertIn(old, text)
        self.setup.write_bytes(b"\xef\xbb\xbf" + text.replace(old, new, 1).encode())

    def languages(self, setting, files=("english.lng", "german.lng")):
        """Settings/Language on line 10, and its language files."""
        for name in files:
            (self.project / name).write_bytes(b"[Buttons]\r\nNext = Next\r\n")
        self.edit("ProgExe", f"Language = {setting}\nProgExe")

    def add_program(self, name, machine):
        """A PE image's headers for `machine` in the application."""
        header = b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40) + b"PE\0\0" + struct.pack("<H", machine)
        (self.project / "app" / name).write_bytes(header + bytes(200))

    def add_task(self, line):
        """A third user task, on line 26."""
        self.edit("Number = 2", "Number = 3")
        self.setup.write_bytes(self.setup.read_bytes() + f"Task3 = {line}\n".encode("latin-1"))

    def inner_package(self, installer=None):
        """setup.pck of the installer, extracted; returns the folder it went to."""
        out = self.folder / "outer"
        subprocess.run(["rm", "-rf", str(out)])
        self.assertEqual(brindle_pack("extract", installer or self.output, "-C", out)[0], 0)
        return out / "setup.pck"

    def test_clean_project_builds_and_verifies(self):
        noise = random.Random(7).randbytes(5000)
        (self.project / "app" / "noise.bin").write_bytes(noise)
        self.assertEqual(self.build(), (0, "", ""))
        self.assertEqual(brindle_pack("verify", self.output)[0], 0)
        outer = listing(self.output)
        self.assertEqual(sorted(outer), ["extras\\", "extras\\notes.txt", "licence.txt", "readme.txt", "setup.ini",
                                         "setup.pck", "splash.tga"])
        self.assertLess(outer["splash.tga"][2], outer["splash.tga"][1])
        inner = listing(self.inner_package())
        self.assertEqual(list(inner), ["Uninstall.exe", "demo.txt", "docs\\", "docs\\manual.txt", "noise.bin",
                                       "uninstall.dat"])
        self.assertEqual(inner["noise.bin"][1:3], (5000, 5000))  # packing gains nothing: raw

    def test_sound_projects_build_without_a_word(self):
        variants = [
            ("copy into the documents", lambda: self.edit("%InstallDir%docs\\\n", "%MyDocuments%\n")),
            ("copy into the installation folder", lambda: self.edit("%InstallDir%docs\\\n", "%InstallDir%\n")),
            ("registry value", lambda: self.add_task("6|2147483649|Software\\Acme|Edition|Pro")),
            ("registry value in the 32-bit view", lambda: self.add_task("6|HKLM32|Software\\Acme|Edition|Pro")),
            ("two languages", lambda: self.languages("english.lng#9|german.lng#7|")),
            # Last: the programs stay in the application.
            ("32-bit program", lambda: self.add_program("tool.exe", 0x14C)),
            ("64-bit installation of a 64-bit program",
             lambda: (self.add_program("tool.exe", 0x8664), self.edit("ProgExe", "Architecture = x64\nProgExe"))),
        ]
        pristine = self.setup.read_bytes()
        for name, change in variants:
            with self.subTest(name):
                self.setup.write_bytes(pristine)
                change()
                self.assertEqual(self.build(), (0, "", ""))

    def test_utf8_texts_are_stored_as_windows_1252(self):
        title = "Brindle \u201eDemo\u201c \u20ac"
        self.utf8("Titel = Brindle Demo\nVersion = 1.0\nPrgSize = 1 MB",
                  f"Titel = {title}\nVersion = 1.0\nPrgSize = 1 \u2013 2 MB")
        self.edit("ProgExe", "Language = german.lng\nProgExe")
        german = "[Language]\r\nName = Deutsch\r\n[Buttons]\r\nNext = Weiter \u2026\r\n"
        (self.project / "german.lng").write_bytes(german.encode())  # no byte order mark
        code, out, err = self.build()
        self.assertEqual((code, out), (0, ""))
        self.assertEqual(err, f"{self.project}/german.lng:4: warning: file is UTF-8 without a byte order mark; "
                              "brindle-pack reads it as UTF-8 and stores it as Windows-1252, the installer's code page\n")
        stored_setup = self.setup.read_bytes()[3:].decode().encode("cp1252")
        self.assertIn(b"Titel = Brindle \x84Demo\x93 \x80\nVersion = 1.0\nPrgSize = 1 \x96 2 MB", stored_setup)
        outer = listing(self.output)
        self.assertEqual((outer["setup.ini"][1], outer["german.lng"][1]),
                         (len(stored_setup), len(german.encode("cp1252"))))
        out = self.folder / "outer"
        self.assertEqual(brindle_pack("extract", self.output, "-C", out)[0], 0)
        self.assertEqual((out / "setup.ini").read_bytes(), stored_setup)
        self.assertEqual((out / "german.lng").read_bytes(), german.encode("cp1252"))
        subprocess.run([PACK, "extract", out / "setup.pck", "-C", self.folder / "inner"], check=True)
        template = (self.folder / "inner" / "uninstall.dat").read_bytes()
        self.assertIn(b"ProgName = " + title.encode("cp1252") + b"\r\n", template)

    def test_signed_build_signs_the_uninstaller_and_the_installer(self):
        cert, key = throwaway_certificate(self.folder)
        self.assertEqual(self.build("--sign-cert", cert, "--sign-key", key), (0, "", ""))
        inner = self.folder / "inner"
        subprocess.run([PACK, "extract", self.inner_package(), "-C", inner], check=True)
        for program in (self.output, inner / "Uninstall.exe"):
            check = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", program],
                                   capture_output=True, text=True)
            self.assertEqual(check.returncode, 0, f"{program}: {check.stdout}{check.stderr}")
        self.assertEqual(brindle_pack("verify", self.output)[0], 0)
        self.assertEqual(sorted(path.name for path in self.folder.iterdir()), ["inner", "outer", "project",
                                                                               "setup.exe", "test-cert.pem",
                                                                               "test-key.pem"])
        # A key that does not fit: no installer, nothing left behind.
        self.output.unlink()
        other_cert, _ = throwaway_certificate(self.folder, "other")
        code, out, err = self.build("--sign-cert", other_cert, "--sign-key", key)
        self.assertEqual((code, out), (1, ""))
        self.assertIn("osslsigncode failed on ", err)
        self.assertFalse(self.output.exists())
        self.assertEqual([path for path in self.folder.iterdir() if path.name.startswith("setup.exe")], [])
        self.assertEqual(self.build("--sign-cert", cert)[0], 2)

    def test_solid_below_the_limit_else_file_by_file(self):
        self.assertEqual(self.build()[0], 0)
        content = sum(size for _, size, _, _ in listing(self.inner_package()).values())
        for extra, solid in [((), True), (("--no-solid",), False), (("--solid-limit", str(content)), True),
                             (("--solid-limit", str(content - 1)), False)]:
            with self.subTest(extra=extra):
                self.assertEqual(self.build(*extra), (0, "", ""))
                self.assertEqual(brindle_pack("verify", self.output)[0], 0)
                _, size, stored, _ = listing(self.output)["setup.pck"]
                inner = {name: row for name, row in listing(self.inner_package()).items() if row[0] == 1}
                packed_inside = [name for name, (_, length, kept, _) in inner.items() if kept < length]
                # Packed once: either setup.pck whole or the files inside it.
                self.assertEqual(stored < size, solid)
                self.assertEqual(packed_inside == [], solid, packed_inside)
        self.assertEqual(self.build("--solid-limit", "many")[0], 2)

    def test_methods_by_block(self):
        (self.project / "app" / "large.dat").write_bytes(bytes(range(256)) * (1 << 16))  # 16 MiB
        for extra, solid_block, large_file in [((), "lzma", "raw"), (("--method", "lz"), "lz", "raw"),
                                               (("--no-solid",), "raw", "lzma"),
                                               (("--no-solid", "--method", "lz"), "raw", "lz")]:
            with self.subTest(extra=extra):
                self.assertEqual(self.build(*extra), (0, "", ""))
                self.assertEqual(brindle_pack("verify", self.output)[0], 0)
                self.assertEqual(methods(self.output)["setup.pck"], solid_block)
                inner = methods(self.inner_package())
                self.assertEqual(inner["large.dat"], large_file)
                self.assertEqual(inner["Uninstall.exe"], "raw" if solid_block != "raw" else "lz")
        code, _, err = self.build("--method", "zip")
        self.assertEqual(code, 2)
        self.assertIn("--method takes lz or lzma", err)

    def test_each_fault_gets_its_one_message(self):
        p = self.project
        ini = f"{p}/setup.ini"
        cases = [
            ("misspelt group", lambda: self.edit("[StartMenue]", "[StartMenu]"),
             f"{ini}:13: error: unknown group [StartMenu]; did you mean [StartMenue]?"),
            ("key in the wrong group", lambda: self.edit("URL = https://brindle.example/", "StartMenu = 1"),
             f"{ini}:17: error: StartMenu is not read in [StartMenue]; it belongs in [Task]"),
            ("misspelt key", lambda: self.edit("Help =", "Hepl ="),
             f"{ini}:16: error: unknown key Hepl in [StartMenue]; did you mean Help?"),
            ("not a number", lambda: self.edit("StartMenu = 1", "StartMenu = 1\nDesktop = yes"),
             f'{ini}:21: error: Desktop is read as a number; "yes" reads as 0'),
            ("number too wide", lambda: self.edit("ProgExe", "IconID = 200\nProgExe"),
             f"{ini}:10: warning: IconID keeps only its low bits: 200 reads as -56"),
            ("side picture missing", lambda: self.edit("DefaultDir = Brindle Demo\n\n[Start",
                                                      "DefaultDir = Brindle Demo\nBitmap = side.tga\n\n[Start"),
             f"{ini}:12: error: Bitmap names side.tga, which the project does not carry ({p}/side.tga)"),
            ("language file missing", lambda: self.edit("ProgExe", "Language = english.lng\nProgExe"),
             f"{ini}:10: error: Language names english.lng, which the project does not carry ({p}/english.lng)"),
            ("licence misnamed", lambda: (p / "licence.txt").rename(p / "license.txt"),
             f"{p}/license.txt: warning: the installer looks for licence.txt and would not find this file; "
             "rename it?"),
            ("program missing", lambda: self.edit("ProgExe = demo.txt", "ProgExe = demo.exe"),
             f"{ini}:10: error: ProgExe names demo.exe, which the application ({p}/app) lacks"),
            ("help file missing", lambda: self.edit("docs\\manual.txt\n", "docs\\guide.txt\n"),
             f"{ini}:16: error: Help names docs\\guide.txt, which the application ({p}/app) lacks"),
            ("copy source missing", lambda: self.edit("extras\\notes.txt", "extras\\news.txt"),
             f"{ini}:25: error: Task2 field 3 (source) names extras\\news.txt, which the project does not carry "
             f"({p}/extras\\news.txt)"),
            ("unknown task type", lambda: self.edit("Task1 = 8|", "Task1 = 7|"),
             f"{ini}:24: error: Task1: unknown task type 7; the types are 0, 1, 2, 3, 4, 5, 6, 8"),
            ("task field missing", lambda: self.edit("5|notes.txt|extras\\notes.txt|%InstallDir%docs\\", "5|notes.txt"),
             f"{ini}:25: error: Task2 field 3 (source) is missing; type 5 is: "
             "5|notes.txt|extras\\notes.txt|%InstallDir%docs\\"),
            ("Number too small", lambda: self.edit("Number = 2", "Number = 1"),
             f"{ini}:25: error: Task2 is never run: [UserTask] Number is 1"),
            ("Number too large", lambda: self.edit("Number = 2", "Number = 3"),
             f"{ini}:23: error: Number is 3, but there is no Task3"),
            ("name Windows cannot hold", lambda: (p / "app" / "a:b.txt").write_text("x"),
             f"{p}/app/a:b.txt: error: name cannot be used on Windows: it holds a character that Windows does not "
             "allow in names"),
            ("name outside the code page", lambda: (p / "app" / "\u03a9mega.txt").write_text("x"),
             f"{p}/app/\u03a9mega.txt: error: name cannot be used on Windows: it holds a character that "
             "Windows-1252, the installer's code page, lacks"),
            ("names that differ in case only", lambda: (p / "app" / "DEMO.TXT").write_text("x"),
             f"{p}/app/demo.txt: error: same name as DEMO.TXT when case is ignored, as Windows compares names"),
            ("template in the application", lambda: (p / "app" / "Uninstall.dat").write_text("x"),
             f"{p}/app/Uninstall.dat: error: brindle-pack adds the uninstaller's uninstall.dat to the package "
             "itself; remove this one (or set [Task] NoUninstall = 1)"),
            ("UTF-8 without byte order mark", lambda: self.edit("Titel = Brindle Demo", "Titel = Brindle D\xc3\xa9mo"),
             f"{ini}:2: warning: file is UTF-8 without a byte order mark; brindle-pack reads it as UTF-8 and stores "
             "it as Windows-1252, the installer's code page"),
            ("character outside Windows-1252", lambda: self.utf8("Titel = Brindle Demo", "Titel = Brindle \u03a9mega"),
             f"{ini}:2:17: error: \"\u03a9\" (U+03A9) has no place in Windows-1252, the installer's code page"),
            ("Windows-1252 behind a byte order mark",
             lambda: self.setup.write_bytes(b"\xef\xbb\xbf" + self.setup.read_bytes().replace(b"Demo", b"D\xe9mo", 1)),
             f"{ini}:2:18: error: byte 0xE9 is no UTF-8; save the file as UTF-8 or as Windows-1252"),
            ("UTF-16", lambda: self.setup.write_bytes(self.setup.read_bytes().decode().encode("utf-16")),
             f"{ini}:1: error: file is UTF-16 or binary; save it as Windows-1252 or as UTF-8"),
            ("last language without its bar", lambda: self.languages("english.lng#9|german.lng#7"),
             f"{ini}:10: error: Language: german.lng#7 is never offered: each entry ends with a bar; write "
             "Language = english.lng#9|german.lng#7|"),
            ("full language code", lambda: self.languages("english.lng#9|german.lng#1031|"),
             f"{ini}:10: error: Language: german.lng#1031 is a full language code and never matches: the installer "
             "compares the primary language, german.lng#7"),
            ("language number out of range", lambda: self.languages("english.lng#9|german.lng#600|"),
             f"{ini}:10: error: Language: german.lng#600 never matches: a primary language number lies between 1 and "
             "511"),
            ("blanks around the bars", lambda: self.add_task("6|2147483649 | Software\\Acme | Edition"),
             f'{ini}:26: warning: Task3 field 3 (key) " Software\\Acme " has blanks at its ends, which the installer '
             f'keeps; write no blanks around the bars\n{ini}:26: warning: Task3 field 4 (value name) " Edition" has '
             "blanks at its ends, which the installer keeps; write no blanks around the bars"),
            ("unknown architecture", lambda: self.edit("ProgExe", "Architecture = X64\nProgExe"),
             f'{ini}:10: error: Architecture is x86 or x64 (lower case), not "X64"; the installer takes it as x86'),
            ("64-bit installation without a 64-bit program", lambda: self.edit("ProgExe", "Architecture = x64\nProgExe"),
             f"{ini}:10: warning: Architecture is x64, but the application ({p}/app) holds no 64-bit program"),
            ("64-bit program in a 32-bit installation", lambda: self.add_program("tool.exe", 0xAA64),
             f"{ini}:9: warning: tool.exe is a 64-bit program, but the installation is a 32-bit one: set [Settings] "
             "Architecture = x64 to install it into the native program files folder and registry"),
            ("registry root in other case", lambda: self.add_task("6|hklm32|Software\\Acme|Edition|Pro"),
             f'{ini}:26: error: Task3 field 2 (root) is no registry root: "hklm32"; the roots are 2147483648 '
             "HKEY_CLASSES_ROOT, 2147483649 HKEY_CURRENT_USER, 2147483650 HKEY_LOCAL_MACHINE, 2147483651 HKEY_USERS, "
             "2147483653 HKEY_CURRENT_CONFIG, or HKCR, HKCU, HKLM, HKU, HKCC, each may end in 32 or 64 for that "
             "registry view"),
            ("macro in a registry value",
             lambda: self.add_task("6|2147483649|Software\\Acme|Path|%InstallDir%demo.txt"),
             f"{ini}:26: warning: Task3 field 5 (text): %InstallDir% is written as it is: the installer replaces no "
             "macro in this value"),
            ("copy into a folder nobody makes", lambda: self.edit("%InstallDir%docs\\\n", "%InstallDir%data\\\n"),
             f"{ini}:25: warning: Task2 field 4 (target folder): the installer makes no folder for a copy, and "
             "%InstallDir%data\\ is no folder of the application; where it is missing the copy fails"),
            ("backslash after a macro", lambda: self.edit("DefaultDir = Brindle Demo\n\n[Start",
                                                          "DefaultDir = %ProgramFiles%\\Demo\n\n[Start"),
             f"{ini}:11: warning: DefaultDir: %ProgramFiles% ends in a backslash already, so %ProgramFiles%\\ "
             "gives a doubled one; write %ProgramFiles% directly before the next name"),
            ("setup.ini a folder", lambda: (self.setup.unlink(), self.setup.mkdir()),
             f"{ini}: error: cannot be read: {os.strerror(errno.EISDIR)}"),
            ("macro in other case", lambda: self.edit("|%InstallDir%docs\\manual", "|%installdir%docs\\manual"),
             f"{ini}:24: warning: Task1 field 5 (value): %installdir% stays as written; macros match case and "
             "spelling exactly: did you mean %InstallDir%?"),
        ]
        pristine = {path: path.read_bytes() for path in p.rglob("*") if path.is_file()}
        for name, fault, message in cases:
            with self.subTest(name):
                for path in {path for path in p.rglob("*") if path.is_file()} - set(pristine):
                    path.unlink()
                for path, content in pristine.items():
                    if path.is_dir():
                        path.rmdir()
                    path.write_bytes(content)
                self.output.unlink(missing_ok=True)
                fault()
                code, out, err = self.build()
                self.assertEqual((out, err), ("", message + "\n"))
                self.assertEqual(code, 1 if ": error: " in message else 0)
                self.assertEqual(self.output.exists(), code == 0)
                self.assertEqual(list(self.folder.glob("*.partial")), [])

    def test_wrong_tool_inputs(self):
        loop = self.folder / "loop.exe"
        loop.symlink_to(loop)  # no file, and asking about it fails: never a crash
        looping = f"{loop}: no installer stub there ({os.strerror(errno.ELOOP)}); name one with --stub FILE"
        cases = [
            (("--uninstaller", self.folder / "none.exe"), "name one with --uninstaller FILE"),
            (("--stub", self.folder / "none.exe"), "name one with --stub FILE"),
            (("--stub", loop), looping),
            (("--uninstaller", loop), f"{loop}: no uninstaller there ({os.strerror(errno.ELOOP)})"),
            (("--app", loop), os.strerror(errno.ELOOP)),
            (("-o", self.project / "setup.exe"), "lies inside the project"),
        ]
        for extra, message in cases:
            code, _, err = brindle_pack("build", self.project, "-o", self.output, "--uninstaller", UNINSTALLER, *extra)
            self.assertEqual(code, 1, message)
            self.assertIn(message, err)
            self.assertFalse(self.output.exists())
        self.assertEqual(self.build("-j", "0")[0], 2)

    def test_same_bytes_whatever_the_threads_and_times_clamped(self):
        sizes = random.Random(3).sample(range(1, 300_000), 24)
        for number, size in enumerate(sizes):
            (self.project / "app" / f"part{number:02}.dat").write_bytes(bytes(range(256)) * (size // 256) + b"x")
        old = self.project / "app" / "demo.txt"
        os.utime(old, (1_000_000_000, 1_000_000_000))  # 2001, before the epoch below
        for mode in ((), ("--no-solid",)):
            builds = []
            for threads in ("1", "8", "8"):
                self.assertEqual(self.build("-j", threads, *mode)[0], 0)
                builds.append(self.output.read_bytes())
            self.assertEqual(builds[0], builds[1], mode)
            self.assertEqual(builds[1], builds[2], mode)

        epoch = 1_600_000_000
        env = {**os.environ, "SOURCE_DATE_EPOCH": str(epoch)}
        self.assertEqual(self.build(env=env)[0], 0)
        clamped = UNIX_EPOCH_FILETIME + epoch * 10_000_000
        inner = listing(self.inner_package())
        times = {name: row[3] for name, row in {**listing(self.output), **inner}.items()}
        self.assertEqual(times.pop("demo.txt"), UNIX_EPOCH_FILETIME + 1_000_000_000 * 10_000_000)
        self.assertEqual(set(times.values()), {clamped})
        self.assertEqual(self.build(env={**os.environ, "SOURCE_DATE_EPOCH": "soon"})[0], 1)

    def test_uninstall_template(self):
        files = [f"file{number:04}.txt" for number in range(1000)]
        for name in files:
            (self.project / "app" / "many" / name).parent.mkdir(exist_ok=True)
            (self.project / "app" / "many" / name).write_text(name)
        self.edit("[Task]", "[Task]\nMutexString = DemoMutex")
        self.setup.write_text(self.setup.read_text() + "[Builder]\nNoDelAll = 1\n")
        self.assertEqual(self.build(), (0, "", ""))
        subprocess.run([PACK, "extract", self.inner_package(), "-C", self.folder / "inner"], check=True)
        lines = (self.folder / "inner" / "uninstall.dat").read_bytes().decode("latin-1").split("\r\n")
        self.assertEqual(lines[2:8], ["[Settings]", "ProgName = Brindle Demo", "Version = 1.0", "NoDelAll = 1",
                                      "MutexString = DemoMutex", "[Files]"])
        keys = [line.split(" = ") for line in lines[8:-1]]
        self.assertEqual([value for _, value in keys],
                         ["demo.txt", "docs\\manual.txt", *(f"many\\{name}" for name in files)])
        self.assertEqual([key for key, _ in keys[:2] + keys[-2:]], ["F001", "F002", "F1001", "F1002"])

        self.edit("[Task]", "[Task]\nNoUninstall = 1")
        self.assertEqual(brindle_pack("build", self.project, "-o", self.output)[0], 0)
        self.assertNotIn("uninstall.dat", listing(self.inner_package()))

    def test_progress_only_on_a_terminal(self):
        for extra, shown in (((), True), (("--quiet",), False)):
            parent, child = pty.openpty()
            subprocess.run([PACK, "build", self.project, "-o", self.output, "--uninstaller", UNINSTALLER, *extra],
                           stderr=child, check=True)
            os.close(child)
            output = read_terminal(parent)
            self.assertEqual("MB/s" in output and "built in" in output, shown, output)
            self.assertEqual(output == "", not shown, output)

    def test_reference_is_the_documented_one(self):
        authoring = (ROOT / "docs" / "authoring.md").read_text()
        for table in ("settings", "texts", "macros", "tasks"):
            code, out, err = brindle_pack("reference", table)
            self.assertEqual((code, err), (0, ""))
            self.assertIn(out, authoring, f"docs/authoring.md lacks `brindle-pack reference {table}` as it is now")


if __name__ == "__main__":
    unittest.main()
