#!/usr/bin/env python3
"""The help's tables and pictures against what the parts give.

    help_facts_test.py FACTS_FOLDER HELP_SOURCE_FOLDER

FACTS_FOLDER is what tools/help-facts made from the DLLs in this build
(facts.json and the files it names). Each table of the pages, between its
`<!-- facts NAME -->` comments, must read as the DLLs give it, row for row,
and each picture and the timing diagram's source must be the same bytes.
A difference names what differs: a table's row by the cells that name it
(a truth table's inputs, as its heading names them), its column and both
values; a digit's segment that the page's picture shows lit or dark
otherwise than the DLL gives it; the timing diagram's signal and step, with
both levels. A picture that differs in some other way is named as a whole.
`tools/help-facts ... --write` takes a change of a part into the help on
purpose.
"""

import html
import json
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
sys.dont_write_bytecode = True
import png_pixels  # noqa: E402
import wavedrom_png  # noqa: E402

MOST_NAMED = 12  # differences of one table or picture named one by one
INPUTS_HEADING = "Eingänge"  # a column that holds a row's inputs as one cell


# --- tables -----------------------------------------------------------------

def raw_cells(line):
    return re.findall(r"<t[dh][^>]*>.*?</t[dh]>", line)


def text_of(cell):
    """A cell as the reader sees it: a picture by its alternative text."""
    text = re.sub(r'<img[^>]*\balt="([^"]*)"[^>]*>', r"\1", cell)
    text = re.sub(r"<[^>]+>", " ", text.replace("<br>", " "))
    return " ".join(html.unescape(text).split())


def is_row(line):
    return line.startswith("<tr><td")


def naming_columns(heading, rows):
    """The columns that name a row: the fewest leading ones that tell the
    rows apart (a truth table's inputs), and a column that holds the inputs
    as one cell."""
    count = next((n for n in range(1, len(heading) + 1) if len({tuple(row[:n]) for row in rows}) == len(rows)),
                 len(heading))
    return list(range(count)) + [i for i in range(count, len(heading)) if heading[i].startswith(INPUTS_HEADING)]


def row_name(heading, columns, texts):
    pairs = [(heading[i], texts[i] if i < len(texts) else "") for i in columns]
    equals = " = " if any(" " in title + value for title, value in pairs) else "="
    return ", ".join(title + equals + value for title, value in pairs)


def cell_differences(heading, name, given, held):
    given_cells, held_cells = raw_cells(given), raw_cells(held)
    if len(given_cells) != len(held_cells) or re.sub(r"<t[dh].*</t[dh]>", "", given) != re.sub(
            r"<t[dh].*</t[dh]>", "", held):
        return [f"row \u201e{name}\u201c: the page has {held} where the DLL gives {given}"]
    found = []
    for column, (given_cell, held_cell) in enumerate(zip(given_cells, held_cells)):
        if given_cell != held_cell:
            shown, wanted = text_of(held_cell), text_of(given_cell)
            if shown == wanted:
                shown, wanted = held_cell, given_cell
            title = heading[column] if column < len(heading) else f"{column + 1}"
            found.append(f"row \u201e{name}\u201c, column \u201e{title}\u201c: the page has \u201e{shown}\u201c, "
                         f"the DLL gives \u201e{wanted}\u201c")
    return found


def table_differences(given, held):
    """What differs between the lines the DLL gives and the page's: rows
    found by the cells that name them, the other lines in their order."""
    heading = next((text_of_cells(line) for line in given if "<th" in line), [])
    rows = [line for line in given if is_row(line)]
    columns = naming_columns(heading, [text_of_cells(line) for line in rows])

    def name_of(line):
        return row_name(heading, columns, text_of_cells(line))
    held_rows = {name_of(line): line for line in held if is_row(line)}
    found = []
    for line in rows:
        name = name_of(line)
        if name not in held_rows:
            found.append(f"row \u201e{name}\u201c is not on the page")
        elif held_rows[name] != line:
            found += cell_differences(heading, name, line, held_rows[name])
    given_names = {name_of(line) for line in rows}
    found += [f"row \u201e{name}\u201c is on the page, the DLL gives no such row"
              for name in held_rows if name not in given_names]
    others = ([line for line in given if not is_row(line)], [line for line in held if not is_row(line)])
    found += [f"the page has {shown!r} where the DLL gives {wanted!r}"
              for wanted, shown in zip(*others) if wanted != shown]
    return found


def text_of_cells(line):
    return [text_of(cell) for cell in raw_cells(line)]


# --- pictures and the timing diagram's source ----------------------------------

def pixel_differences(reading, data):
    """The values a picture shows otherwise than the DLL gives them, read at
    the places the DLL's picture shows them; nothing where the picture
    cannot be read so (another size, another form)."""
    try:
        picture = png_pixels.read(data)
    except ValueError:
        return []
    if [picture.width, picture.height] != reading["size"]:
        return []
    found = []
    for value in reading["pixels"]:
        seen = [picture.colour(x, y) for x, y in value["at"]]
        shown = [choice for choice, looks in value["looks"].items() if looks == seen]
        if len(shown) == 1 and shown[0] != value["given"]:
            found.append(f"{value['what']} is {shown[0]} in the page's picture, the DLL gives {value['given']}")
    return found


def wave_differences(waves, data):
    """The levels a timing diagram's source holds otherwise than the DLL
    gives them, signal by signal and step by step."""
    try:
        held = {signal["name"]: wavedrom_png.levels(signal["wave"]) for signal in json.loads(data)["signal"]}
    except (ValueError, KeyError, TypeError):
        return []
    found = []
    for signal, levels in waves:
        shown = held.pop(signal, None)
        if shown is None:
            found.append(f"{signal} is not on the page")
            continue
        found += [f"{signal} at step {step} is {seen} on the page, the DLL gives {level}"
                  for step, (level, seen) in enumerate(zip(levels, shown)) if level != seen]
        if len(shown) != len(levels):
            found.append(f"{signal} has {len(shown)} steps on the page, the DLL gives {len(levels)}")
    return found + [f"{signal} is on the page, the DLL gives no such signal" for signal in held]


def listed(found):
    more = len(found) - MOST_NAMED
    return "; ".join(found[:MOST_NAMED]) + (f"; and {more} more" if more > 0 else "")


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
                where = f"{table['page']}, table {name}"
                found = table_differences(given, held)
                if found:
                    self.fail(f"{where}: {listed(found)}: the page differs from the DLL")
                self.assertEqual(given, held, f"{where}: the order or number of its lines")

    def test_every_picture_is_what_the_parts_give(self):
        for name, file in self.facts["files"].items():
            with self.subTest(file=name):
                with open(os.path.join(self.facts_folder, name), "rb") as f:
                    given = f.read()
                path = os.path.join(self.help_folder, name)
                what = f"docs/help/{name}, {file['meaning']}"
                self.assertTrue(os.path.isfile(path), f"docs/help/{name} ({file['meaning']}) is missing")
                with open(path, "rb") as f:
                    held = f.read()
                found = (pixel_differences(file, held) if "pixels" in file else []) + (
                    wave_differences(file["waves"], held) if "waves" in file else [])
                row = f", {file['row']}" if "row" in file else ""
                if found:
                    self.fail(f"{what}{row}: {listed(found)}")
                self.assertTrue(held == given, f"{what}, differs from what the DLL gives")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: help_facts_test.py FACTS_FOLDER HELP_SOURCE_FOLDER")
    HelpFacts.facts_folder, HelpFacts.help_folder = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1], verbosity=2)
