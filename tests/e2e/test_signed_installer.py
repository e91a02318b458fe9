"""A signed installer under Wine: signing appends a certificate table behind
the package, and the runtime still finds the package in front of it and
installs its files."""

import shutil
import subprocess
import unittest

import wine_harness as wine
import wizard_steps as wizard
from installer_builder import build_installer
from test_install import app_package, settings

TARGET = "C:\\Brindle Tests\\Tool"


def setUpModule():
    wine.ensure_display()


def sign(installer, scratch):
    """Signs the installer with brindle-pack and a throw-away certificate."""
    cert, key = scratch / "cert.pem", scratch / "key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "1", "-subj", "/CN=Test"], check=True, capture_output=True)
    subprocess.run([wine.BIN / "brindle-pack", "sign", installer, "--cert", cert, "--key", key], check=True)
    verified = subprocess.run([wine.BIN / "brindle-pack", "verify", installer], capture_output=True, text=True)
    assert verified.stdout.startswith("signature: present"), verified.stdout


class SignedInstaller(unittest.TestCase):
    def test_signed_installer_installs_its_files(self):
        target = wine.host_path(TARGET)
        shutil.rmtree(target.parent, ignore_errors=True)
        self.addCleanup(shutil.rmtree, target.parent, True)
        scratch = wine.fresh_work("signed-app")
        installer = build_installer({"setup.ini": settings(), "setup.pck": app_package(scratch)})
        sign(installer, scratch)

        run, robot = wizard.start(installer)
        self.addCleanup(run.kill)
        wizard.install(robot, TARGET)
        self.assertEqual(robot.items(34)[0][3], "Copy Program Files   -->   *** Completed ***")
        self.assertEqual((target / "tool.exe").read_bytes(), b"MZ" + bytes(3000))
        self.assertEqual((target / "docs" / "manual.txt").read_bytes(), b"How to use the tool.\r\n" * 30)
        robot.click(wizard.FINISH)
        self.assertEqual(run.wait(), 0)


if __name__ == "__main__":
    unittest.main()
