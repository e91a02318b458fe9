"""An installer made from the example project by the `brindle-pack build` of
the Debian package, under Wine: it installs the application with the
uninstaller, and uninstall.dat holds the builder's template followed by what
the installer adds. The package itself: its control data and contents."""

import subprocess

import wine_harness as wine
from wine_harness import FOLDER_FIELD, INSTALL, NEXT

ACCEPT, LICENCE_PAGE, SETTINGS_PAGE, README_PAGE = 14, 12, 16, 10
TARGET = "C:\\Brindle Tests\\Demo"
GUID = "{6B1D4C2E-0DE5-4B7A-9C11-B21D1E000001}"  # the example's
UNINSTALLER = wine.BIN / "brindle-uninstall.exe"
PROGRAMS = 2


def debian_package():
    packages = sorted((wine.ROOT / "build" / "package").glob("brindle_*.deb"))
    assert len(packages) == 1, packages
    return packages[0]


def sections(text):
    """[(group, [keys])] of an INI text, in file order."""
    groups = []
    for line in text.split("\r\n"):
        if line.startswith("["):
            groups.append((line[1:-1], []))
        elif " = " in line:
            groups[-1][1].append(line.split(" = ")[0])
    return groups


class BuiltInstaller(wine.WineTest):
    def test_debian_package_holds_the_tool_the_programs_and_the_documents(self):
        info = subprocess.run(["dpkg-deb", "--info", debian_package()], check=True, capture_output=True, text=True)
        control = dict(line.strip().split(": ", 1) for line in info.stdout.splitlines()
                       if line.startswith(" ") and ": " in line)
        version = subprocess.run([wine.BIN / "brindle-pack", "--version"], check=True, capture_output=True, text=True)
        self.assertEqual(f"brindle-pack {control['Version']}\n", version.stdout)
        self.assertEqual((control["Package"], control["Architecture"], control["Section"]), ("brindle", "amd64", "devel"))
        self.assertIn("libc6", control["Depends"])
        listing = subprocess.run(["dpkg-deb", "--contents", debian_package()], check=True, capture_output=True, text=True)
        files = {line.split()[-1] for line in listing.stdout.splitlines() if line.startswith("-")}
        self.assertEqual(files, {"./usr/bin/brindle-pack", "./usr/share/brindle/brindle-setup.exe",
                                 "./usr/share/brindle/brindle-uninstall.exe", "./usr/share/doc/brindle/README.md",
                                 "./usr/share/doc/brindle/authoring.md", "./usr/share/doc/brindle/architecture.md",
                                 "./usr/share/doc/brindle/measurements.md", "./usr/share/man/man1/brindle-pack.1.gz"})

    def test_example_installs_with_uninstaller_and_template(self):
        self.scrub(wine.TESTS, wine.host_path(wine.system_folders()[PROGRAMS] + "Brindle Demo"))
        self.scrub_keys("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID,
                        "HKCU\\SOFTWARE\\Brindle\\" + GUID)
        scratch = wine.fresh_work("built-installer")
        installer = scratch / "setup.exe"
        subprocess.run(["dpkg-deb", "-x", debian_package(), scratch / "root"], check=True)
        pack = scratch / "root" / "usr" / "bin" / "brindle-pack"  # finds the stub in ../share/brindle/
        subprocess.run([pack, "build", wine.ROOT / "examples", "-o", installer], check=True)
        subprocess.run([pack, "extract", installer, "-C", scratch / "outer"], check=True)
        subprocess.run([pack, "extract", scratch / "outer" / "setup.pck", "-C", scratch / "inner"], check=True)
        template = (scratch / "inner" / "uninstall.dat").read_bytes().decode("latin-1")

        run = self.start(installer)
        robot = run.wizard
        def go(control, shows):
            robot.click(control)
            self.assertTrue(robot.wait_for(lambda r: r.visible(shows)), shows)

        go(NEXT, LICENCE_PAGE)
        robot.click(ACCEPT)
        self.assertTrue(robot.wait_for(lambda r: r.state(NEXT)["enabled"]))
        go(NEXT, SETTINGS_PAGE)
        robot.do("settext", FOLDER_FIELD, TARGET)
        go(NEXT, README_PAGE)
        go(NEXT, INSTALL)
        robot.click(INSTALL)
        self.assertTrue(robot.wait_for(lambda r: r.visible(wine.FINISH), timeout=120))
        run.finish()

        folder = wine.TESTS / "Demo"
        self.assertEqual(sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file()),
                         ["Uninstall.exe", "demo.ini", "demo.txt", "docs/manual.txt", "docs/notes.txt",
                          "uninstall.dat"])
        self.assertEqual((folder / "Uninstall.exe").read_bytes(), UNINSTALLER.read_bytes())
        data = (folder / "uninstall.dat").read_bytes().decode("latin-1")
        # The template's lines first; the installer's keys join its Settings
        # group, and its own groups follow the template's Files.
        settings_end = template.index("[Files]")
        self.assertTrue(data.startswith(template[:settings_end]), data)
        self.assertIn(template[settings_end:] + "[Language]\r\n", data)
        self.assertEqual(sections(data), [
            ("Settings", ["ProgName", "Version", "NoDelAll", "MutexString",
                          "ProgDir", "ProgExe", "GUID", "ProgLink", "StartMenu", "DesktopIcon"]),
            ("Files", ["F001", "F002"]),
            ("Language", ["Titel", "Msg", "UninstInfo", "DelAll", "Error", "Mutex", "Status", "OK", "Cancel",
                          "Ready"]),
            ("StartMenu", ["Program", "AddExe", "Help", "Homepage", "Uninstall"]),
            ("UserTask", ["Number", "Task1"]),
        ])
        self.assertIn(f"Task1 = {TARGET}\\docs\\notes.txt\r\n", data)  # the copy task's record

