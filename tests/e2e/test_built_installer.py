"""An installer made from the example project by the `brindle-pack build` of
the Debian package, under Wine: it installs the application with the
uninstaller, and uninstall.dat holds the builder's template followed by what
the installer adds; its title, typed in UTF-8, shows as typed. The package
itself: its control data and contents, and the authors' robot script of
docs/authoring.md, run as written against the package's files."""

import os
import re
import shutil
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


def unpacked_package(into):
    """The Debian package's files below `into`; the package must be as new as the build."""
    package = debian_package()
    assert package.stat().st_mtime >= (wine.BIN / "brindle-pack").stat().st_mtime, \
        f"{package} is older than the build: run scripts/build.sh"
    subprocess.run(["dpkg-deb", "-x", package, into], check=True)
    return into


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
                                 "./usr/share/brindle/brindle-uninstall.exe",
                                 "./usr/share/brindle/brindle-robot.exe",
                                 "./usr/lib/python3/dist-packages/brindle_robot.py",
                                 "./usr/share/doc/brindle/README.md",
                                 "./usr/share/doc/brindle/authoring.md", "./usr/share/doc/brindle/architecture.md",
                                 "./usr/share/doc/brindle/measurements.md",
                                 "./usr/share/doc/brindle/uninstaller.md", "./usr/share/man/man1/brindle-pack.1.gz"})

    def test_example_installs_with_uninstaller_and_template(self):
        self.scrub(wine.TESTS, wine.host_path(wine.system_folders()[PROGRAMS] + "Brindle Demo"))
        self.scrub_keys("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID,
                        "HKCU\\SOFTWARE\\Brindle\\" + GUID)
        scratch = wine.fresh_work("built-installer")
        installer = scratch / "setup.exe"
        # The package's brindle-pack finds the stub in ../share/brindle/.
        pack = unpacked_package(scratch / "root") / "usr" / "bin" / "brindle-pack"
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
                          "Ready", "Kept", "Changed"]),
            ("StartMenu", ["Program", "AddExe", "Help", "Homepage", "Uninstall"]),
            ("UserTask", ["Number", "Task1"]),
            # The INI task's value, and the folder made above the installation.
            ("Written", ["Ini1", "Above"]),
        ])
        self.assertIn(f"Task1 = {TARGET}\\docs\\notes.txt\r\n", data)  # the copy task's record


    def test_title_typed_in_utf8_shows_as_typed(self):
        scratch = wine.fresh_work("utf8-title")
        project = scratch / "project"
        shutil.copytree(wine.ROOT / "examples", project)
        setup = project / "setup.ini"
        text = setup.read_text("latin-1").replace("Titel = Brindle Demo", "Titel = Brindle \u201eDemo\u201c \u20ac")
        setup.write_bytes(b"\xef\xbb\xbf" + text.encode())
        subprocess.run([wine.BIN / "brindle-pack", "build", project, "-o", scratch / "setup.exe", "--uninstaller",
                        UNINSTALLER], check=True)
        run = self.start(scratch / "setup.exe")
        # The robot reads the caption in the ANSI code page, Windows-1252.
        caption = run.wizard.caption().encode("latin-1").decode("cp1252")
        self.assertEqual(caption, " Brindle \u201eDemo\u201c \u20ac 1.0")
        run.cancel()

    def test_authors_robot_script_runs_as_written(self):
        authoring = (wine.ROOT / "docs" / "authoring.md").read_text()
        testing = authoring[authoring.index("## Testing an installer under Wine"):]
        script = re.search(r"```python\n(.*?)```", testing, re.S).group(1)
        folder = re.search(r'FOLDER_FIELD, "(.*?)"\)', script).group(1).replace("\\\\", "\\")
        self.scrub(wine.host_path(folder), wine.host_path(wine.system_folders()[PROGRAMS] + "Brindle Demo"))
        self.scrub_keys("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GUID,
                        "HKCU\\SOFTWARE\\Brindle\\" + GUID)
        scratch = wine.fresh_work("authors-script")
        root = unpacked_package(scratch / "root")
        (scratch / "test_myapp.py").write_text(script)
        env = {**wine.ENV, "PATH": f"{root / 'usr' / 'bin'}:{os.environ['PATH']}",
               "PYTHONPATH": str(root / "usr" / "lib" / "python3" / "dist-packages"), "TMPDIR": str(scratch)}
        result = subprocess.run(["python3", "test_myapp.py"], cwd=scratch, env=env, capture_output=True, text=True,
                                timeout=1500)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertTrue(result.stdout.endswith("installed, checked and uninstalled\n"), result.stdout)
