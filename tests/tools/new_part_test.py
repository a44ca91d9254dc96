#!/usr/bin/env python3
"""tools/new-part, run in a copy of the source tree: a bad name is refused
with nothing written, and a new part's files are in the house style, its
component meets the frame's contract, its settings make a dialog with a
list of two items, its native test passes and its line stands among the
others. (That it builds into a DLL that passes `hostsim check`, `test`,
`fuzz` and its dialog cases is shown by hand, as docs/new-component.md
does.)

Usage: new_part_test.py SOURCE_DIR CXX
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE, CXX = sys.argv[1:3]


def copy_of_the_tree(into):
    tree = os.path.join(into, "tree")
    shutil.copytree(SOURCE, tree, ignore=lambda folder, names: {"build", ".git"} & set(names))
    return tree


def run(tree, *command):
    return subprocess.run(command, cwd=tree, capture_output=True, text=True)


def components_of(tree):
    with open(os.path.join(tree, "cmake", "Components.cmake"), encoding="utf-8") as f:
        return f.read()


def lines_of(tree):
    """(name, folder, image base) of each part's line, in their order."""
    return [(name, folder, int(base, 16)) for name, folder, base in
            re.findall(r"^korvelant_component\((\S+)\s+(\S+)\s+([^\s)]+)", components_of(tree), re.MULTILINE)]


def help_topic(tree, folder):
    with open(os.path.join(tree, folder, "ids.h"), encoding="utf-8") as f:
        return int(re.search(r"#define PLUGIN_HELP_TOPIC (\d+)", f.read())[1])


def unused_name(tree):
    """A name no part and no folder of the tree has yet."""
    taken = {name.lower() for name, _, _ in lines_of(tree)}
    number = 1
    while f"probe{number}" in taken or os.path.exists(os.path.join(tree, f"probe{number}")):
        number += 1
    return f"Probe{number}"


class NewPart(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="korvelant-new-part-")
        cls.tree = copy_of_the_tree(cls.scratch.name)
        cls.lines_before = lines_of(cls.tree)
        cls.name = unused_name(cls.tree)
        cls.folder = cls.name.lower()
        cls.made = run(cls.tree, "tools/new-part", cls.name)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_refuses_a_bad_name_and_writes_nothing(self):
        before = components_of(self.tree), sorted(os.listdir(self.tree))
        for name, said in [("9x", "no part's name"), ("probe", "no part's name"), ("Pro-be", "no part's name"),
                           (self.name, f"part {self.name}"), ("Adder", "adder/ exists"),
                           ("Plugin", "the frame declares it"), ("Con", "device")]:
            refused = run(self.tree, "tools/new-part", name)
            self.assertEqual(2, refused.returncode, name)
            self.assertIn(said, refused.stderr, name)
        self.assertEqual(before, (components_of(self.tree), sorted(os.listdir(self.tree))))

    def test_writes_its_folder_in_the_house_style(self):
        self.assertEqual(0, self.made.returncode, self.made.stderr)
        folder = os.path.join(self.tree, self.folder)
        written = [os.path.relpath(os.path.join(at, name), self.tree) for at, _, names in os.walk(folder)
                   for name in names]
        self.assertIn(f"{self.folder}/{self.name}.ico", written, "the icon drawn from its artwork.py")
        facts = {}
        with open(os.path.join(folder, "help_facts.py"), encoding="utf-8") as f:
            exec(f.read(), facts)
        self.assertEqual((1, 1), (len(facts["MEANINGS"]["i"]), len(facts["MEANINGS"]["o"])), "a meaning for each pin")
        lint = run(self.tree, "tools/lint", "cmake/Components.cmake", *written)
        self.assertEqual(0, lint.returncode, lint.stdout)
        images = run(self.tree, "tools/make-images", "--check")
        self.assertEqual(0, images.returncode, images.stdout)

    def test_its_component_meets_the_contract(self):
        check = subprocess.run([CXX, "-std=c++17", "-fsyntax-only", "-Iframe", f"-I{self.folder}", "-include", "component.h",
                                "-include", "plugin.h",
                                "-x", "c++", "-"], cwd=self.tree, input="static_assert(frame::MeetsTheContract<Plugin>());\n",
                               capture_output=True, text=True)
        self.assertEqual(0, check.returncode, check.stderr)

    def test_its_settings_make_a_dialog_with_its_list(self):
        out = os.path.join(self.scratch.name, "generated")
        os.makedirs(out, exist_ok=True)
        generator = os.path.join(out, "settings_resources")
        built = run(self.tree, CXX, "-std=c++17", "-Iframe", f"-I{self.folder}", "frame/settings_resources.cpp",
                    f"{self.folder}/{self.folder}.cpp", "frame/signal_value.cpp", "-o", generator)
        self.assertEqual(0, built.returncode, built.stderr)
        files = [os.path.join(out, name) for name in ("settings_dialog.rc", "list_items.bin", "settings.json")]
        made = run(self.tree, generator, self.name, *files)
        self.assertEqual(0, made.returncode, made.stderr)
        with open(files[2], encoding="utf-8") as f:
            settings = json.load(f)["settings"]
        self.assertEqual([("output", "combo", 0, False), ("delay", "check", 0, True)],
                         [(s["name"], s["control"], s["default"], s["delay"]) for s in settings])
        self.assertEqual(["unverändert", "invertiert"], [item["text"] for item in settings[0]["items"]])
        with open(files[1], "rb") as f:
            self.assertIn("unverändert".encode("cp1252") + b"\0", f.read(), "the item held in Windows-1252")
        self.assertFalse(os.path.exists(os.path.join(self.tree, self.folder, "dialog.rc")))

    def test_its_native_test_passes(self):
        binary = os.path.join(self.scratch.name, "native_test")
        built = run(self.tree, CXX, "-std=c++17", "-Iframe", f"-I{self.folder}", f"{self.folder}/{self.folder}.cpp",
                    "frame/signal_value.cpp", "frame/persistence.cpp", f"{self.folder}/test/{self.folder}_test.cpp",
                    "-lgtest", "-lgtest_main", "-pthread", "-o", binary)
        self.assertEqual(0, built.returncode, built.stderr)
        passed = run(self.tree, binary)
        self.assertEqual(0, passed.returncode, passed.stdout)
        self.assertIn("[  PASSED  ] 3 tests", passed.stdout)

    def test_its_line_comes_last_with_the_next_image_base_its_test_and_no_release(self):
        highest = max(base for _, _, base in self.lines_before)
        self.assertEqual(self.lines_before + [(self.name, self.folder, highest + 0x200000)], lines_of(self.tree))
        line = components_of(self.tree).split(f"korvelant_component({self.name} ")[1].split(")")[0]
        self.assertEqual(2, len(line.split()), "its folder and image base: no RELEASED, no WITHOUT")
        self.assertTrue(os.path.isfile(os.path.join(self.tree, self.folder, "test", f"{self.folder}_test.cpp")),
                        "its native test where the build looks for it")

    def test_its_help_topic_is_its_own(self):
        others = [help_topic(self.tree, folder) for _, folder, _ in self.lines_before]
        self.assertGreater(help_topic(self.tree, self.folder), max(others))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
