#!/usr/bin/env python3
"""docs/interface.md's table of the entry points against the table the
printer makes from interface/entry_point_list.h, with the words of its
terms (tools/entry-point-doc): the document as committed agrees, and the
check finds a changed cell, a row left out, a changed word's meaning and a
table without its markers, while writing the table
leaves the rest of the document alone.

Usage: entry_point_doc_test.py SOURCE_DIR PRINTER
"""
import os
import subprocess
import sys
import tempfile
import unittest

SOURCE, PRINTER = sys.argv[1:3]
TOOL = os.path.join(SOURCE, "tools", "entry-point-doc")
DOC = os.path.join(SOURCE, "docs", "interface.md")


def run_tool(*arguments):
    return subprocess.run([sys.executable, TOOL, "--program", PRINTER, *arguments], capture_output=True, text=True)


class EntryPointDoc(unittest.TestCase):
    def setUp(self):
        with open(DOC, encoding="utf-8") as f:
            self.committed = f.read()
        self.folder = tempfile.TemporaryDirectory()
        self.doc = os.path.join(self.folder.name, "interface.md")

    def tearDown(self):
        self.folder.cleanup()

    def check(self, text):
        with open(self.doc, "w", encoding="utf-8") as f:
            f.write(text)
        return run_tool("--check", "--doc", self.doc)

    def test_the_committed_document_agrees_with_the_list(self):
        run = run_tool("--check")
        self.assertEqual(0, run.returncode, run.stdout + run.stderr)

    def test_a_changed_cell_or_a_missing_row_is_out_of_date(self):
        for changed in (self.committed.replace("| `HasDelayDLL` | delay flag |", "| `HasDelayDLL` | 1 |"),
                        self.committed.replace("| `DialogOK` | nothing | required | none | nothing | word |\n", ""),
                        self.committed.replace("- *word*, a number as wide as an address", "- *word*, a number")):
            self.assertNotEqual(changed, self.committed)
            run = self.check(changed)
            self.assertEqual(1, run.returncode, run.stdout)
            self.assertIn("is out of date", run.stdout)

    def test_a_table_without_its_markers_is_refused(self):
        start = self.committed.index("<!-- end of the entry points' table -->")
        run = self.check(self.committed[:start])
        self.assertEqual(2, run.returncode)
        self.assertIn("no single table", run.stderr)

    def test_writing_replaces_the_table_only(self):
        begin = "<!-- the entry points' table: tools/entry-point-doc writes it from interface/entry_point_list.h -->\n"
        end = "<!-- end of the entry points' table -->\n"
        with open(self.doc, "w", encoding="utf-8") as f:
            f.write("# before\n" + begin + "| stale |\n" + end + "after\n")
        run = run_tool("--doc", self.doc)
        self.assertEqual(0, run.returncode, run.stderr)
        with open(self.doc, encoding="utf-8") as f:
            written = f.read()
        table = subprocess.run([PRINTER], capture_output=True, text=True, check=True).stdout
        self.assertTrue(written.startswith("# before\n" + begin + table + "\n**Result**"), written)
        self.assertTrue(written.endswith("- *file*, the project file's handle, in the low 16 bits\n" + end + "after\n"),
                        written)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
