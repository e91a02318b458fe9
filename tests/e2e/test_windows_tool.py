"""brindle-pack.exe, the Windows build of the tool (x86-64), under Wine: from
the same project it builds the same installer as the Linux tool, byte for
byte, it refuses a file name that the installer's code page cannot hold,
naming the file, and it extracts nothing through a link."""

import os
import shutil
import subprocess

import wine_harness as wine

WINDOWS_TOOL = wine.BIN / "brindle-pack.exe"
LINUX_TOOL = wine.BIN / "brindle-pack"
FILETIME_AT_1970 = 116444736000000000
NOW = 1_700_000_000_123_456_789  # nanoseconds since 1970, with a fraction of a second
BEFORE_1970 = -1_234_567_891

# Names whose UTF-8 order (é before €) differs from their Windows-1252 order (€ 0x80, é 0xE9).
ACCENTED = {"app/€uro.txt": NOW, "app/Zebra.txt": NOW, "app/été.txt": BEFORE_1970, "app/docs/ñandú.txt": NOW}


def project(name, added):
    """A copy of the example project (times kept) with files added: {path: nanoseconds since 1970}."""
    root = wine.fresh_work(f"windows-tool-{name}") / "project"
    shutil.copytree(wine.ROOT / "examples", root)
    for path, nanoseconds in added.items():
        file = root / path
        file.parent.mkdir(parents=True, exist_ok=True)
        file.write_bytes(path.encode())
        os.utime(file, ns=(nanoseconds, nanoseconds))
    return root


def environment(base, epoch):
    env = {key: value for key, value in base.items() if key != "SOURCE_DATE_EPOCH"}
    if epoch is not None:
        env["SOURCE_DATE_EPOCH"] = str(epoch)
    return env


def build_with_both(root, epoch=None):
    """{tool: (exit code, stderr as UTF-8, installer path)} for one build of `root` by each tool."""
    shipped = {"--stub": wine.BIN / "brindle-setup.exe", "--uninstaller": wine.BIN / "brindle-uninstall.exe"}
    linux_out, windows_out = root.parent / "linux.exe", root.parent / "windows.exe"
    linux = subprocess.run([LINUX_TOOL, "build", root, "-o", linux_out, *sum(map(list, shipped.items()), [])],
                           env=environment(os.environ, epoch), capture_output=True)
    code, _, error = wine.run_windows(
        [WINDOWS_TOOL, "build", wine.windows_path(root), "-o", wine.windows_path(windows_out),
         *[item for option, path in shipped.items() for item in (option, wine.windows_path(path))]],
        env=environment(wine.ENV, epoch))
    return {"linux": (linux.returncode, linux.stderr.decode(), linux_out),
            "windows": (code, error.encode("latin-1").decode(), windows_out)}


def application_entries(installer):
    """{name as stored (Windows-1252): last-write FILETIME} of setup.pck's entries, in package order."""
    outer = installer.parent / "outer"
    subprocess.run([LINUX_TOOL, "extract", installer, "-C", outer], check=True)
    listing = subprocess.run([LINUX_TOOL, "list", outer / "setup.pck"], check=True, capture_output=True).stdout
    fields = [line.split(b"\t") for line in listing.splitlines()]
    return {name.decode("cp1252"): int(modified) for *_, modified, name, _method in fields}


def filetime(nanoseconds, epoch=None):
    ticks = FILETIME_AT_1970 + nanoseconds // 100
    return ticks if epoch is None else min(ticks, FILETIME_AT_1970 + epoch * 10_000_000)


class WindowsTool(wine.WineTest):
    def test_same_installer_as_the_linux_tool(self):
        for name, added, epoch in [("example", {}, None),
                                   ("accented", ACCENTED, None),
                                   ("epoch", ACCENTED, 1_600_000_000)]:
            with self.subTest(name):
                built = build_with_both(project(name, added), epoch)
                for tool, (code, error, _) in built.items():
                    self.assertEqual((tool, code, error), (tool, 0, ""))
                installer = built["linux"][2]
                self.assertEqual(installer.read_bytes(), built["windows"][2].read_bytes())
                entries = application_entries(installer)
                for path, nanoseconds in added.items():
                    self.assertEqual(entries[path[4:].replace("/", "\\")], filetime(nanoseconds, epoch), path)
                if added:
                    top = [entry for entry in entries if entry in ("€uro.txt", "Zebra.txt", "été.txt")]
                    self.assertEqual(top, ["Zebra.txt", "€uro.txt", "été.txt"])

    def test_name_outside_the_code_page_is_refused(self):
        for name, path in [("greek", "app/Ωmega.txt"), ("cjk folder", "app/漢字/readme.txt")]:
            with self.subTest(name):
                root = project(name.replace(" ", "-"), {path: NOW})
                refused = path.split("/")[1]
                for tool, (code, error, installer) in build_with_both(root).items():
                    self.assertEqual(code, 1, (tool, error))
                    line = next((line for line in error.splitlines() if refused in line), "")
                    self.assertIn("error: name cannot be used on Windows", line, (tool, error))
                    self.assertIn("Windows-1252", line, tool)
                    self.assertFalse(installer.exists(), tool)

    def test_extract_never_writes_through_a_link(self):
        # Wine follows the host's symbolic links, even for a program that asks
        # for the link itself: the tool tells them by where they resolve to.
        work = wine.fresh_work("windows-tool-link")
        wine.write_tree(work / "tree", {"linkdir/x.txt": "planted", "fine.txt": "fine"})
        subprocess.run([LINUX_TOOL, "pack", work / "tree", "-o", work / "p.pck"], check=True)
        (work / "elsewhere").mkdir()
        (work / "out").mkdir()
        (work / "out" / "linkdir").symlink_to(work / "elsewhere")
        code, _, error = wine.run_windows([WINDOWS_TOOL, "extract", wine.windows_path(work / "p.pck"),
                                           "-C", wine.windows_path(work / "out")])
        self.assertEqual(code, 1, error)
        link = "a folder on its way is a link, which is never followed; not written"
        self.assertEqual(error.splitlines(), [f"brindle-pack: linkdir\\: {link}",
                                              f"brindle-pack: linkdir\\x.txt: {link}"])
        self.assertEqual(list((work / "elsewhere").iterdir()), [])
        self.assertEqual((work / "out" / "fine.txt").read_bytes(), b"fine")
