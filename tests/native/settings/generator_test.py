#!/usr/bin/env python3
"""The build's settings generator (frame/settings_resources.cpp) and text
check (tools/check-text) on parts of the test's own: the standard layout of a
radio group, a list and a check box with the ids, styles and items the frame
exchanges with; the lists' items with their lengths counted; and refusals
that name what is wrong, among them a character the host cannot show.

Usage: generator_test.py SOURCE_DIR CXX
"""
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

SOURCE, CXX = sys.argv[1:3]

COMPONENT = """
#pragma once
#include <cstdint>
struct Plugin;
class Counter {
 public:
  std::int32_t direction = 1, step = 4, delayFlag = 0;
};
"""

PLUGIN = """
#pragma once
#include "counter.h"
#include "settings.h"
struct Plugin {
  using Component = Counter;
  static constexpr frame::Item kDirections[] = {{"aufwärts", 1}, {DOWN, -1}};
  static constexpr frame::Item kSteps[] = {{"1", 1}, {"4", 4}, {"10", 10}};
  static constexpr frame::Setting<Component> kSettings[] = {
      frame::RadioButtons("direction", "Zählrichtung", &Component::direction, kDirections),
      frame::List(STEP_NAME, "Schritt:", &Component::step, kSteps),
      frame::DelayFlag(&Component::delayFlag),
  };
  static constexpr frame::Dialog kDialog{3000, "Zähler", 500};
};
"""


class Generator(unittest.TestCase):
    def generate(self, down='"abwärts"', step_name='"step"'):
        """(exit status, messages, rc text, items bytes, description) of the
        generator for the part above."""
        folder = tempfile.mkdtemp()
        with open(os.path.join(folder, "counter.h"), "w", encoding="utf-8") as f:
            f.write(COMPONENT)
        with open(os.path.join(folder, "plugin.h"), "w", encoding="utf-8") as f:
            f.write(PLUGIN.replace("DOWN", down).replace("STEP_NAME", step_name))
        program = os.path.join(folder, "generator")
        built = subprocess.run([CXX, "-std=c++17", "-I" + folder, "-I" + os.path.join(SOURCE, "frame"),
                                os.path.join(SOURCE, "frame", "settings_resources.cpp"), "-o", program],
                               capture_output=True, text=True)
        self.assertEqual(0, built.returncode, built.stderr)
        out = [os.path.join(folder, name) for name in ("dialog.rc", "items.bin", "settings.json")]
        run = subprocess.run([program, "Counter", *out], capture_output=True)
        if run.returncode != 0:
            return run.returncode, run.stderr.decode("utf-8"), None, None, None
        with open(out[0], "rb") as rc, open(out[1], "rb") as items, open(out[2], encoding="utf-8") as described:
            return 0, "", rc.read().decode("cp1252"), items.read(), json.load(described)

    def test_standard_layout_holds_every_control_the_frame_exchanges_with(self):
        status, _, rc, items, described = self.generate()
        self.assertEqual(0, status)
        controls = [line.strip() for line in rc.splitlines() if line.strip().startswith("CONTROL")]
        # The radio group: a group box with the caption, its buttons from the
        # setting's first id on, the first starting a group; then the list
        # with its label, the check box, and the three buttons.
        self.assertIn('CONTROL "Zählrichtung", -1, 0x80, BS_GROUPBOX', controls[0])
        self.assertIn('"aufwärts", 1000, 0x80, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP', controls[1])
        self.assertIn('"abwärts", 1001, 0x80, BS_AUTORADIOBUTTON | WS_CHILD', controls[2])
        self.assertIn('"Schritt:", -1, 0x82', controls[3])
        self.assertIn('"", 1016, 0x85, CBS_DROPDOWNLIST', controls[4])
        self.assertIn('"Laufzeit nachbilden", 1032, 0x80, BS_AUTOCHECKBOX', controls[5])
        self.assertEqual(['"OK", 1,', '"Abbrechen", 2,', '"Hilfe", 9,'],
                         [" ".join(c.split()[1:3]) for c in controls[6:]])
        self.assertIn("WS_GROUP", controls[6])
        self.assertIn('3000 DIALOG', rc)
        self.assertIn('CAPTION "Zähler"', rc)
        # Items: control, add-string message, length with the NUL, text.
        entries, at = [], 0
        while struct.unpack_from("<H", items, at)[0]:
            control, message, length = struct.unpack_from("<HHI", items, at)
            entries.append((control, message, items[at + 8:at + 8 + length]))
            at += 8 + length
        self.assertEqual([(1016, 0x403, b"1\0"), (1016, 0x403, b"4\0"), (1016, 0x403, b"10\0")], entries)
        self.assertEqual(at + 2, len(items))
        self.assertEqual(["direction", "step", "delay"], [s["name"] for s in described["settings"]])
        self.assertEqual([1, 4, 0], [s["default"] for s in described["settings"]])

    def test_refusals_name_the_setting_and_the_fault(self):
        status, said, *_ = self.generate(down='"ab\u0142\u00e4rts"')
        self.assertEqual(1, status)
        self.assertIn('"\u0142" (U+0142) has no Windows-1252 form', said)
        self.assertIn('setting "direction"', said)
        status, said, *_ = self.generate(step_name='"direction"')
        self.assertEqual(1, status)
        self.assertIn('setting "direction" is declared twice', said)


class TextCheck(unittest.TestCase):
    def test_names_the_character_with_its_place_and_leaves_comments_alone(self):
        with tempfile.NamedTemporaryFile("w", suffix=".h", encoding="utf-8", delete=False) as f:
            f.write('// Zähler → ł\nconst char* a = "Zähler";\nconst char* b = "Za\u0142";\n')
        run = subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "check-text"), f.name],
                             capture_output=True, text=True)
        self.assertEqual(1, run.returncode)
        self.assertEqual([f'{f.name}:3:20: "\u0142" (U+0142 LATIN SMALL LETTER L WITH STROKE) has no Windows-1252 '
                          'form, which is all the host shows'], run.stderr.splitlines())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
