#!/usr/bin/env python3
"""part_dialog_test.py's reading of a part's dialog cases and its verdict on
a run of `hostsim dialog`, without a display: a case file it misreads, or a
run it passes that shows other settings or failed, would let a dialog fault
through."""
import os
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import part_dialog_test  # noqa: E402

BEFORE = "Blinker.dll: delay flag 0, settings 0,0; opening its properties dialog\nblock before: \"...\"\n"


def ran(returncode, settings):
    stdout = BEFORE + f"dialog closed with OK: delay flag 1, settings {settings}\nblock after: \"...\"\n"
    return subprocess.CompletedProcess([], returncode, stdout, "")


class Cases(unittest.TestCase):
    def test_reads_each_case_with_its_line_options_and_settings(self):
        text = ('# a comment\n\n--settings 0,0 --set "Ausgang=unverändert" --ok\n=> 1,1\n'
                "--cancel\n  =>  0,0  \n")
        self.assertEqual([(3, ["--settings", "0,0", "--set", "Ausgang=unverändert", "--ok"], "1,1"),
                          (5, ["--cancel"], "0,0")], part_dialog_test.cases(text))

    def test_refuses_a_file_it_cannot_pair(self):
        for text, said in [("=> 1,1\n", "no options before"), ("--ok\n--cancel\n=> 0\n", "options follow options"),
                           ("--ok\n=> 0\n--cancel\n", "the last options"), ("# none\n", "no case")]:
            with self.assertRaises(part_dialog_test.CasesFault, msg=text) as refused:
                part_dialog_test.cases(text)
            self.assertIn(said, str(refused.exception))


class Verdict(unittest.TestCase):
    def test_passes_only_the_expected_settings_of_a_run_that_succeeded(self):
        self.assertIsNone(part_dialog_test.verdict("1,1", ran(0, "1,1")))
        self.assertEqual("settings 1,0, expected 1,1", part_dialog_test.verdict("1,1", ran(0, "1,0")))
        self.assertEqual("exit status 1", part_dialog_test.verdict("1,1", ran(1, "1,1")))

    def test_fails_a_run_without_one_closed_line(self):
        self.assertIn("no one", part_dialog_test.verdict("0,0", subprocess.CompletedProcess([], 0, BEFORE, "")))
        twice = ran(0, "0,0")
        twice.stdout += twice.stdout
        self.assertIn("no one", part_dialog_test.verdict("0,0", twice))


if __name__ == "__main__":
    unittest.main(verbosity=2)
