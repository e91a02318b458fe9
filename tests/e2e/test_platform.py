"""The runtime's platform lookups on a real (Wine) system: every system folder
code gives a folder ending in a backslash or nothing, and registry strings
written by the runtime read back whole, with the 255-byte limit."""

import subprocess
import unittest

import wine_harness as wine


class PlatformLookups(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        wine.ensure_display()  # a warm server: the probe's pipes are then its own
        output = subprocess.run(["wine", str(wine.BIN / "brindle-platform-probe.exe")], env=wine.ENV,
                                capture_output=True, timeout=300, check=True).stdout.decode("latin-1")
        wine.wait_for_wineserver()
        cls.folders, cls.registry = {}, {}
        for line in output.splitlines():
            kind, _, rest = line.rstrip("\r").partition(" ")
            name, _, value = rest.partition(" ")
            if kind == "folder":
                cls.folders[int(name)] = value
            elif kind == "registry":
                cls.registry[name] = value
            elif kind == "expand":
                cls.expanded = rest
            elif kind == "private-folder":
                cls.private_folder_access = rest

    def test_every_folder_ends_in_a_backslash_or_is_empty(self):
        self.assertEqual(len(self.folders), 13)
        for code, folder in self.folders.items():
            self.assertTrue(folder == "" or folder.endswith("\\"), f"{code}: {folder!r}")

    def test_known_folders_of_a_fresh_prefix(self):
        user = f"C:\\users\\{wine.user_folder().name}\\"
        self.assertIn(self.folders[-6], ("C:\\Program Files\\", "C:\\Program Files (x86)\\"))
        self.assertEqual(self.folders[-3].lower(), "c:\\windows\\")
        self.assertEqual(self.folders[-2].lower(), "c:\\windows\\system32\\")
        self.assertEqual(self.folders[0].lower(), (user + "Desktop\\").lower())
        self.assertTrue(self.folders[2].endswith("\\Start Menu\\Programs\\"))
        self.assertTrue(self.folders[23].endswith("\\Start Menu\\Programs\\"))
        self.assertNotEqual(self.folders[2], self.folders[23])
        self.assertEqual(self.folders[-5], self.folders[26] + "Microsoft\\Internet Explorer\\Quick Launch\\")
        self.assertEqual(self.folders[-7], "")  # the development environment is not registered
        self.assertEqual(self.expanded, self.folders[-6] + "App")

    def test_registry_strings_round_trip(self):
        self.assertEqual(self.registry["Plain"], "C:\\Program Files\\Tool\\")
        self.assertEqual(self.registry["Empty"], "")
        self.assertEqual(self.registry["Fits"], "x" * 254)
        self.assertEqual(self.registry["TooLong"], "")  # 256 bytes with its NUL: does not fit
        self.assertEqual(self.registry["Missing"], "")
        self.assertEqual(self.registry["Number"], "")  # bytes that would read as "ABC"
        self.assertEqual(self.registry["Binary"], "")
        self.assertEqual(self.registry["Nested"], "created with its parents")
        self.assertEqual(self.registry["MissingKey"], "")

    def test_private_folders_of_an_elevated_run_admit_only_administrators_and_system(self):
        # Wine runs every program elevated, and keeps no access lists on
        # files: what is read back is the descriptor the runtime builds.
        self.assertEqual(self.private_folder_access, "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)")


if __name__ == "__main__":
    unittest.main()
