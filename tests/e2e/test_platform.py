"""The runtime's platform lookups on a real (Wine) system, as the platform
probe reports them: every system folder code gives a folder ending in a
backslash or nothing, registry strings written by the runtime read back
whole, with the 255-byte limit, private folders admit only the
administrators and the system, and new installation folders the users to
read and run what they hold as well."""

import wine_harness as wine


class PlatformLookups(wine.WineTest):
    def test_folders_of_a_fresh_prefix(self):
        folders = wine.system_folders()
        self.assertEqual(len(folders), 13)
        for code, folder in folders.items():
            self.assertTrue(folder == "" or folder.endswith("\\"), f"{code}: {folder!r}")
        self.assertIn(folders[-6], ("C:\\Program Files\\", "C:\\Program Files (x86)\\"))
        self.assertEqual(folders[-3].lower(), "c:\\windows\\")
        self.assertEqual(folders[-2].lower(), "c:\\windows\\system32\\")
        self.assertEqual(folders[0].lower(), f"C:\\users\\{wine.USER.name}\\Desktop\\".lower())
        self.assertTrue(folders[2].endswith("\\Start Menu\\Programs\\"))
        self.assertTrue(folders[23].endswith("\\Start Menu\\Programs\\"))
        self.assertNotEqual(folders[2], folders[23])
        self.assertEqual(folders[-5], folders[26] + "Microsoft\\Internet Explorer\\Quick Launch\\")
        self.assertEqual(folders[-7], "")  # the development environment is not registered
        self.assertEqual(wine.FACTS["expand"], [folders[-6] + "App"])

    def test_registry_strings_round_trip(self):
        self.assertEqual(dict(line.partition(" ")[::2] for line in wine.FACTS["registry"]), {
            "Plain": "C:\\Program Files\\Tool\\", "Empty": "", "Fits": "x" * 254,
            "TooLong": "",  # 256 bytes with its NUL: does not fit
            "Missing": "", "Number": "", "Binary": "",  # Number: bytes that would read as "ABC"
            "Nested": "created with its parents", "MissingKey": ""})

    def test_folders_of_an_elevated_run_admit_only_administrators_and_system_to_change_them(self):
        # Wine runs every program elevated, and keeps no access lists on
        # files: what is read back is the descriptor the runtime builds. (Its
        # folders all grant the user full control, so every new installation
        # folder gets the protected one there.)
        self.assertEqual(wine.FACTS["private-folder"], ["D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"])
        self.assertEqual(wine.FACTS["protected-folder"],
                         ["O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"])

