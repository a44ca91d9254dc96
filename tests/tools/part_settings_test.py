#!/usr/bin/env python3
"""tools/part_settings.py: the values a user can choose in each part's
dialog, from its settings declaration, and the refusal of a declaration
that cannot be one.

Usage: part_settings_test.py SOURCE_DIR
"""
import json
import os
import re
import sys
import tempfile
import unittest

SOURCE = sys.argv[1]
sys.path.insert(0, os.path.join(SOURCE, "tools"))
sys.dont_write_bytecode = True
import component_lines  # noqa: E402
import part_settings  # noqa: E402

FIXTURES = os.path.join(SOURCE, "tests", "settings")
KEPT = os.path.join(SOURCE, "tests", "kept", "1.0.0.0", "project.hsp")


def kept_requests():
    """DLL=V,V... of each part of the kept project, in its order."""
    with open(KEPT, encoding="ascii") as f:
        text = f.read()
    return [f"{dll}={','.join(block.split())}"
            for dll, block in re.findall(r"^PART \d+ (\S+)\n(.*?)ENDE_MARKE_DER_USER_DLL\n", text, re.M | re.S)]


def write(folder, dll, settings, part=None):
    with open(os.path.join(folder, dll + ".json"), "w", encoding="utf-8") as f:
        json.dump({"part": part or dll, "settings": settings}, f)


def setting(control, items=(), name="s"):
    return {"name": name, "control": control, "caption": "&X:", "default": 0, "accepts": None, "delay": False,
            "items": [{"text": str(value), "value": value} for value in items]}


class Choices(unittest.TestCase):
    def test_todays_parts_choose_what_the_kept_project_holds(self):
        self.assertEqual(kept_requests(), part_settings.part_requests(FIXTURES, component_lines.parts()))

    def test_every_control_offers_its_values_the_last_setting_fastest(self):
        settings = [setting("radio", [2, 0, 1], "a"), setting("combo", [10, 20], "b"), setting("check", [], "c")]
        self.assertEqual(["2,10,0", "2,10,1", "2,20,0", "2,20,1", "0,10,0", "0,10,1", "0,20,0", "0,20,1",
                          "1,10,0", "1,10,1", "1,20,0", "1,20,1"], part_settings.choices(settings))


class Refusals(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="korvelant-settings-")
        self.addCleanup(scratch.cleanup)
        self.folder = scratch.name

    def refusal(self, dll):
        with self.assertRaises(part_settings.Refusal) as refused:
            part_settings.declaration(self.folder, dll)
        return str(refused.exception)

    def test_a_declaration_that_is_missing_or_not_the_parts_is_refused(self):
        self.assertIn("no settings of Gone", self.refusal("Gone"))
        write(self.folder, "Other", [], part="Someone")
        self.assertIn("'Someone', not of Other", self.refusal("Other"))
        with open(os.path.join(self.folder, "Broken.json"), "w", encoding="utf-8") as f:
            f.write("{")
        self.assertIn("is no JSON", self.refusal("Broken"))

    def test_an_unknown_control_is_refused_by_name(self):
        write(self.folder, "Slider", [setting("slider", name="speed")])
        self.assertIn("speed has the control 'slider'", self.refusal("Slider"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
