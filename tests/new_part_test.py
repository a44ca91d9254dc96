#!/usr/bin/env python3
"""tools/new-part, run in a copy of the source tree: a bad name is refused
with nothing written, and a new part's files are in the house style, its
component meets the frame's contract and its line stands among the others.
(That it builds into a DLL that `hostsim check` passes is shown by hand, as
docs/new-component.md says.)

Usage: new_part_test.py SOURCE_DIR CXX
"""
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


class NewPart(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="korvelant-new-part-")
        cls.tree = copy_of_the_tree(cls.scratch.name)
        cls.made = run(cls.tree, "tools/new-part", "Wendel")

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_refuses_a_bad_name_and_writes_nothing(self):
        before = components_of(self.tree), sorted(os.listdir(self.tree))
        for name, said in [("9x", "no part's name"), ("nova", "no part's name"), ("No-va", "no part's name"),
                           ("Quenvik", "part Quenvik"), ("Adder", "adder/ exists"),
                           ("Plugin", "the frame declares it"), ("Con", "device")]:
            refused = run(self.tree, "tools/new-part", name)
            self.assertEqual(2, refused.returncode, name)
            self.assertIn(said, refused.stderr, name)
        self.assertEqual(before, (components_of(self.tree), sorted(os.listdir(self.tree))))

    def test_writes_its_folder_in_the_house_style(self):
        self.assertEqual(0, self.made.returncode, self.made.stderr)
        folder = os.path.join(self.tree, "wendel")
        written = [os.path.relpath(os.path.join(at, name), self.tree) for at, _, names in os.walk(folder)
                   for name in names]
        self.assertIn("wendel/Wendel.ico", written, "the icon drawn from its artwork.py")
        lint = run(self.tree, "tools/lint", "cmake/Components.cmake", *written)
        self.assertEqual(0, lint.returncode, lint.stdout)
        images = run(self.tree, "tools/make-images", "--check")
        self.assertEqual(0, images.returncode, images.stdout)

    def test_its_component_meets_the_contract(self):
        check = subprocess.run([CXX, "-std=c++17", "-fsyntax-only", "-Iframe", "-Iwendel", "-include", "component.h",
                                "-include", "plugin.h",
                                "-x", "c++", "-"], cwd=self.tree, input="static_assert(frame::MeetsTheContract<Plugin>());\n",
                               capture_output=True, text=True)
        self.assertEqual(0, check.returncode, check.stderr)

    def test_its_line_has_the_next_image_base_and_no_release(self):
        self.assertRegex(components_of(self.tree),
                         r"\nkorvelant_component\(Morrel .*\)\n"
                         r"korvelant_component\(Wendel +wendel +0x63a00000 +wendel/test/wendel_test\.cpp\)\n")
        with open(os.path.join(self.tree, "wendel", "ids.h"), encoding="utf-8") as f:
            topic = re.search(r"#define PLUGIN_HELP_TOPIC (\d+)", f.read())
        self.assertEqual("400", topic[1], "a help topic above every other part's")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
