#!/usr/bin/env python3
"""The release package as a user receives it: made by CPack into a folder
outside the build tree, unpacked into a fresh folder, its checksums and its
LIESMICH.txt checked, and the unpacked DLLs judged by `hostsim check` and
their "Hilfe" buttons followed to the unpacked help file.

Usage: package_test.py BUILD_DIR VERSION WINE_RUN HOSTSIM_EXE HELP_TEST_EXE RELEASED_PART...
(the released parts by their DLLs' names, as their lines in
cmake/Components.cmake say)
"""
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
from wine_path import windows_path  # noqa: E402

BUILD, VERSION, WINE_RUN, HOSTSIM, HELP_TEST = sys.argv[1:6]
RELEASED_DLLS = [name + ".dll" for name in sys.argv[6:]]
# By name, capitals first, as tools/normalize-zip orders them.
SHIPPED = sorted(["LIESMICH.txt", "SHA256SUMS", "korvelant.chm"] + RELEASED_DLLS)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class ReleasePackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="korvelant-package-")
        packages = os.path.join(cls.scratch.name, "package")
        subprocess.run(["cpack", "-B", packages], cwd=BUILD, check=True, stdout=subprocess.DEVNULL)
        cls.zip = os.path.join(packages, f"korvelant-{VERSION}-win32.zip")
        cls.unpacked = os.path.join(cls.scratch.name, "Bauteile")
        with zipfile.ZipFile(cls.zip) as archive:
            cls.entries = archive.infolist()
            archive.extractall(cls.unpacked)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_holds_exactly_the_shipped_files_in_a_fixed_order(self):
        self.assertEqual(SHIPPED, [entry.filename for entry in self.entries])
        for entry in self.entries:
            self.assertEqual(b"", entry.extra, entry.filename + ": no owner ids or further stamps")
        self.assertEqual(1, len({entry.date_time for entry in self.entries}), "one time for every file")

    def test_checksums_match_and_the_dlls_are_the_built_ones(self):
        with open(os.path.join(self.unpacked, "SHA256SUMS"), "rb") as f:
            raw = f.read()
        self.assertNotIn(b"\n", raw.replace(b"\r\n", b""), "every line ends in CR LF, for old Notepads")
        sums = dict(reversed(line.split("  ")) for line in raw.decode("ascii").splitlines())
        self.assertEqual(sorted(set(SHIPPED) - {"SHA256SUMS"}), sorted(sums))
        for name, expected in sums.items():
            self.assertEqual(expected, sha256(os.path.join(self.unpacked, name)), name)
        for dll in RELEASED_DLLS:
            self.assertEqual(sha256(os.path.join(BUILD, "bin", dll)), sums[dll], dll)

    def test_liesmich_is_windows_text_that_names_version_systems_and_the_unblocking(self):
        with open(os.path.join(self.unpacked, "LIESMICH.txt"), "rb") as f:
            raw = f.read()
        self.assertNotIn(b"\n", raw.replace(b"\r\n", b""), "every line ends in CR LF")
        self.assertNotIn(b"\r", raw.replace(b"\r\n", b""))
        text = raw.decode("cp1252")
        self.assertNotIn("@", text, "every placeholder filled in")
        for wanted in [f"Version {VERSION}", "Windows XP mit Service Pack 3", "Windows 11", "Pentium Pro",
                       "Zulassen", "korvelant.chm", "Entfernen", "\u00dcbertrag"] + RELEASED_DLLS:
            self.assertIn(wanted, text)

    def test_hostsim_check_passes_the_unpacked_dlls(self):
        dlls = [windows_path(os.path.join(self.unpacked, dll)) for dll in RELEASED_DLLS]
        run = subprocess.run([WINE_RUN, HOSTSIM, "check"] + dlls, capture_output=True, text=True, timeout=600)
        self.assertEqual(0, run.returncode, run.stdout + run.stderr)
        self.assertIn(f"checked {len(dlls)} plug-ins: no findings", run.stdout)

    # The help test's two cases for each part of tests/wine/plugin_facts.h,
    # which lists the released parts.
    def test_each_help_button_opens_the_unpacked_help_file(self):
        environment = dict(os.environ, KORVELANT_PLUGIN_DIR=windows_path(self.unpacked))
        run = subprocess.run([WINE_RUN, HELP_TEST, "--gtest_filter=*HelpThroughTheRegistry*"], env=environment,
                             capture_output=True, text=True, timeout=600)
        self.assertEqual(0, run.returncode, run.stdout + run.stderr)
        self.assertIn(f"[  PASSED  ] {2 * len(RELEASED_DLLS)} tests", run.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
