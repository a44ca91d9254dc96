#!/usr/bin/env python3
"""The help's tables and pictures against what the parts give.

    help_facts_test.py FACTS_FOLDER HELP_SOURCE_FOLDER

FACTS_FOLDER is what tools/help-facts made from the DLLs in this build
(facts.json and the files it names). Each table of the pages, between its
`<!-- facts NAME -->` comments, must read as the DLLs give it, row for row,
and each picture and the timing diagram's source must be the same bytes.
A difference names the page, the table and its row, or the picture and what
it shows; `tools/help-facts ... --write` takes a change of a part into the
help on purpose.
"""

import json
import os
import re
import sys
import unittest


def first_cell(line):
    cell = re.search(r"<t[dh][^>]*>(.*?)</t[dh]>", line)
    return re.sub(r"<[^>]+>", " ", cell.group(1)).strip() if cell else line


class HelpFacts(unittest.TestCase):
    facts_folder = help_folder = None

    @classmethod
    def setUpClass(cls):
        with open(os.path.join(cls.facts_folder, "facts.json"), encoding="utf-8") as f:
            cls.facts = json.load(f)

    def table_in_page(self, page, name):
        with open(os.path.join(self.help_folder, page), encoding="cp1252") as f:
            text = f.read()
        match = re.search(r"<!-- facts " + re.escape(name) + r" -->\n(.*?)<!-- /facts " + re.escape(name) + " -->",
                          text, re.S)
        self.assertIsNotNone(match, f"{page} has no table {name}")
        return match.group(1).splitlines()

    def test_every_table_reads_as_the_parts_give_it(self):
        for name, table in self.facts["tables"].items():
            with self.subTest(table=name):
                held, given = self.table_in_page(table["page"], name), table["lines"]
                for held_line, given_line in zip(held, given):
                    self.assertEqual(given_line, held_line,
                                     f"{table['page']}, table {name}, row \"{first_cell(given_line)}\": "
                                     "the page differs from the DLL")
                self.assertEqual(len(given), len(held), f"{table['page']}, table {name}: number of lines")

    def test_every_picture_is_what_the_parts_give(self):
        for name, meaning in self.facts["files"].items():
            with self.subTest(file=name):
                with open(os.path.join(self.facts_folder, name), "rb") as f:
                    given = f.read()
                path = os.path.join(self.help_folder, name)
                self.assertTrue(os.path.isfile(path), f"docs/help/{name} ({meaning}) is missing")
                with open(path, "rb") as f:
                    self.assertTrue(f.read() == given, f"docs/help/{name}, {meaning}, differs from what the DLL gives")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: help_facts_test.py FACTS_FOLDER HELP_SOURCE_FOLDER")
    HelpFacts.facts_folder, HelpFacts.help_folder = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1], verbosity=2)
