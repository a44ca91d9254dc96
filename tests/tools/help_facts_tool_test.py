#!/usr/bin/env python3
"""tools/help-facts on parts of its own making, without Wine: a part it
has never heard of gets its pin, settings and truth tables and its pin
picture from its folder, its settings declaration and what hostsim says;
the settings table reads as the declaration says; a folder that does not
say what every pin means, and a hostsim that fails, are refused. The
register's timing diagram marks the edges at which a register of the
test's own shifted, whatever it took; the drawing's letter O is no zero.

Usage: help_facts_tool_test.py SOURCE_DIR
"""
import contextlib
import importlib.machinery
import importlib.util
import io
import json
import os
import re
import sys
import tempfile
import textwrap
import unittest

SOURCE = sys.argv[1]
sys.path.insert(0, os.path.join(SOURCE, "tools"))
sys.dont_write_bytecode = True
import component_lines  # noqa: E402
import help_drawing as draw  # noqa: E402
import png_pixels  # noqa: E402
import wavedrom_png  # noqa: E402


def load(name, *path):
    loader = importlib.machinery.SourceFileLoader(name, os.path.join(SOURCE, *path))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    sys.modules[loader.name] = module  # the kit help-facts hands a part's folder is itself
    loader.exec_module(module)
    return module


tool = load("help_facts_tool", "tools", "help-facts")
help_test = load("help_facts_test", "tests", "release", "help_facts_test.py")  # how the help's test reads what it records



def info_json(name, inputs, outputs):
    """What `hostsim info --json` says of a part: its pins as (labels,
    names) per side."""
    return json.dumps({"dll": f"C:\\parts\\{name}.dll", "name": name,
                       "inputs": {"labels": inputs[0], "names": inputs[1]},
                       "outputs": {"labels": outputs[0], "names": outputs[1]}, "delayFlag": 0,
                       "entryPoints": {"exported": 21, "of": 21, "missing": []}, "otherExports": []})


def truth_json(rows):
    """What `hostsim truth --json` says of a part with these rows (inputs,
    outputs as the table shows them), or of one with a history (None)."""
    if rows is None:
        return json.dumps({"name": "Gatter", "combinational": False,
                           "history": {"inputs": [0, 1], "first": ["0"], "later": ["1"]}})
    return json.dumps({"name": "Gatter", "combinational": True,
                       "rows": [{"inputs": list(inputs), "outputs": list(outputs)} for inputs, outputs in rows]})


# A two-input part that passes its first input on and gives the AND of
# both, labelled alike on both sides.
INFO = info_json("Gatter", ("AB", ["Eingang A", "Eingang B"]), ("AU", ["Ausgang A", "Und"]))
TRUTH = truth_json([((1, 1), ("1", "1")), ((0, 0), ("0", "0")), ((1, 0), ("1", "0")), ((0, 1), ("0", "0"))])

# A stand-in for hostsim: prints what it is told for each command and ends
# with the exit status given for it; asked for anything but JSON, it fails.
FAKE_HOSTSIM = """\
import json, os, sys
if "--json" not in sys.argv:
    sys.exit("this stand-in speaks only JSON")
answers = json.load(open(os.environ["HELP_FACTS_TEST_ANSWERS"]))
text, status = answers[sys.argv[1]]
sys.stdout.write(text)
sys.exit(status)
"""


class Scratch(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="korvelant-help-facts-")
        self.addCleanup(scratch.cleanup)
        self.root = scratch.name
        self.settings = os.path.join(self.root, "settings")
        os.makedirs(os.path.join(self.root, "gatter"))
        os.makedirs(self.settings)
        os.makedirs(os.path.join(self.root, "docs", "help"))
        with open(os.path.join(self.root, "docs", "help", "gatter.htm"), "w", encoding="cp1252") as f:
            f.write("<html></html>\n")
        self.addCleanup(setattr, tool, "ROOT", tool.ROOT)
        tool.ROOT = self.root
        self.line = component_lines.Part("Gatter", "gatter", 0x63a00000, False)
        self.declare([{"name": "delay", "control": "check", "caption": "&Laufzeit nachbilden", "items": [],
                       "default": 0, "accepts": None, "delay": True}])
        self.folder_says('MEANINGS = {"i": ["erstes", "zweites"], "o": ["das erste", "beide"]}\n')

    def declare(self, settings):
        with open(os.path.join(self.settings, "Gatter.json"), "w", encoding="utf-8") as f:
            json.dump({"part": "Gatter", "settings": settings}, f)

    def folder_says(self, text):
        with open(os.path.join(self.root, "gatter", "help_facts.py"), "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))

    def hostsim(self, truth_status=0, info_status=0, truth=TRUTH, info=INFO):
        answers = os.path.join(self.root, "answers.json")
        with open(answers, "w", encoding="utf-8") as f:
            json.dump({"info": [info, info_status], "truth": [truth, truth_status]}, f)
        os.environ["HELP_FACTS_TEST_ANSWERS"] = answers
        script = os.path.join(self.root, "hostsim.py")
        with open(script, "w", encoding="utf-8") as f:
            f.write(FAKE_HOSTSIM)
        # help-facts runs WINE_RUN HOSTSIM_EXE ARGUMENTS: here python and the stand-in.
        return tool.Hostsim(sys.executable, script)

    def facts(self, hostsim):
        return tool.facts(hostsim, self.settings, [self.line])


class ANewPart(Scratch):
    def test_gets_its_tables_and_picture_from_its_folder_and_declaration(self):
        tables, files = self.facts(self.hostsim())
        self.assertEqual({"gatter-anschluesse", "gatter-einstellungen", "gatter-wahrheitstabelle"}, set(tables))
        self.assertEqual({"gatter.htm"}, {page for page, _ in tables.values()})
        self.assertEqual(["bilder/gatter.png"], list(files))
        self.assertTrue(files["bilder/gatter.png"][1].startswith(b"\x89PNG"))
        pins = tables["gatter-anschluesse"][1]
        self.assertIn("<tr><td>Ausgang 2</td><td>Und</td><td class=\"n\">U</td><td>beide</td></tr>", pins)

    def test_its_truth_table_names_a_label_of_both_sides_and_sorts_its_rows(self):
        tables, _ = self.facts(self.hostsim())
        table = tables["gatter-wahrheitstabelle"][1]
        self.assertEqual('<tr><th class="n">A (Eingang)</th><th class="n">B</th><th class="n">A (Ausgang)</th>'
                         '<th class="n">U</th></tr>', table[1])
        self.assertEqual(["0 0 0 0", "0 1 0 0", "1 0 1 0", "1 1 1 1"],
                         [" ".join(re.findall(r">([01])<", line)) for line in table[2:-1]])

    def test_a_part_with_a_history_gets_no_truth_table_and_its_own_extras(self):
        self.folder_says('''\
            MEANINGS = {"i": ["erstes", "zweites"], "o": ["das erste", "beide"]}
            def extras(kit, part):
                return {"lauf": [kit.cell(part.name)]}, {"bilder/lauf.png": ("a run", b"png")}
            ''')
        tables, files = self.facts(self.hostsim(truth_status=tool.NOT_COMBINATIONAL, truth=truth_json(None)))
        self.assertEqual({"gatter-anschluesse", "gatter-einstellungen", "gatter-lauf"}, set(tables))
        self.assertEqual(['<td class="n">Gatter</td>'], tables["gatter-lauf"][1])
        self.assertEqual({"bilder/gatter.png", "bilder/lauf.png"}, set(files))


    def test_a_part_without_its_page_gets_nothing_and_is_named(self):
        os.remove(os.path.join(self.root, "docs", "help", "gatter.htm"))
        said = io.StringIO()
        with contextlib.redirect_stderr(said):
            self.assertEqual(({}, {}), self.facts(self.hostsim()))
        self.assertIn("Gatter has no page docs/help/gatter.htm", said.getvalue())


class Settings(Scratch):
    def test_each_control_reads_as_declared(self):
        self.declare([
            {"name": "richtung", "control": "radio", "caption": "&Z\u00e4hlrichtung:", "default": 1,
             "items": [{"text": "aufw\u00e4rts", "value": 0}, {"text": "abw\u00e4rts", "value": 1}],
             "accepts": {"min": 0, "max": 1}, "delay": False},
            {"name": "breite", "control": "combo", "caption": "Breite", "default": 8,
             "items": [{"text": "4", "value": 4}, {"text": "8", "value": 8}], "accepts": "items", "delay": False},
            {"name": "delay", "control": "check", "caption": "&Laufzeit nachbilden", "items": [], "default": 1,
             "accepts": None, "delay": True}])
        tables, _ = self.facts(self.hostsim())
        self.assertEqual([
            '<tr><td>Z&auml;hlrichtung</td><td>Optionsfelder: aufw&auml;rts (0), abw&auml;rts (1)</td>'
            '<td class="n">abw&auml;rts (1)</td><td class="n">1</td><td class="n">0 bis 1</td></tr>',
            '<tr><td>Breite</td><td>Liste: 4, 8</td><td class="n">8</td><td class="n">2</td>'
            '<td class="n">die Werte der Auswahl</td></tr>',
            '<tr><td>Laufzeit nachbilden</td><td>K&auml;stchen: 1 angekreuzt, 0 leer</td>'
            '<td class="n">1 (angekreuzt)</td><td class="n">3</td><td class="n">jeder Wert</td></tr>'],
            tables["gatter-einstellungen"][1][2:-1])


class Refusals(Scratch):
    def test_a_folder_that_does_not_say_what_every_pin_means(self):
        self.folder_says('MEANINGS = {"i": ["erstes"], "o": ["das erste", "beide"]}\n')
        with self.assertRaisesRegex(tool.Refusal, r"gatter/help_facts.py: MEANINGS\['i'\] has 1 meanings for the 2 "
                                                  r"inputs of Gatter"):
            self.facts(self.hostsim())
        os.remove(os.path.join(self.root, "gatter", "help_facts.py"))
        with self.assertRaisesRegex(tool.Refusal, "gatter/help_facts.py does not say"):
            self.facts(self.hostsim())

    def test_a_hostsim_that_fails(self):
        with self.assertRaisesRegex(tool.Refusal, "hostsim .*truth --json Gatter.dll failed"):
            self.facts(self.hostsim(truth_status=2))
        with self.assertRaisesRegex(tool.Refusal, "hostsim .*info --json Gatter.dll failed"):
            self.facts(self.hostsim(info_status=1))

    def test_an_answer_that_is_no_json_or_a_truth_table_of_no_levels(self):
        with self.assertRaisesRegex(tool.Refusal, "hostsim info --json gave no JSON"):
            self.facts(self.hostsim(info="Gatter.dll: Gatter\n"))
        with self.assertRaisesRegex(tool.Refusal, r"inputs \[0, 1\] give the outputs \['2.5V', '0'\]"):
            self.facts(self.hostsim(truth=truth_json([((0, 0), ("0", "0")), ((0, 1), ("2.5V", "0"))])))


# A stand-in for hostsim with a shift register of its own: `run` takes the
# stimulus line by line (clear, clock, enable, data) at the width of
# --settings and writes the dump; it shifts at the clock's rising edges, or
# its falling ones where HELP_FACTS_TEST_EDGE says "falling".
FAKE_REGISTER = r"""
import os, sys
arguments = sys.argv[1:]
if arguments[:2] == ["info", "--json"]:
    sys.stdout.write('{"name": "R", "inputs": {"labels": "CTFD", "names": ["Loeschen", "Takteingang", "Funktion", '
                     '"Serieller Eingang"]}, "outputs": {"labels": "O", "names": ["Serieller Ausgang"]}}')
    sys.exit(0)
if arguments[:2] == ["truth", "--json"]:
    sys.stdout.write('{"name": "R", "combinational": false}')
    sys.exit(1)
def local(path):
    return path[2:].replace("\\", "/")
stimulus = [line.split("#")[0].split() for line in open(local(arguments[2]), encoding="utf-8")]
stimulus = [[int(value) for value in line] for line in stimulus if line]
width = int(arguments[arguments.index("--settings") + 1].split(",")[0])
falling = os.environ.get("HELP_FACTS_TEST_EDGE") == "falling"
bits, clock, dump = [0] * width, 0, ["$var wire 1 %s p%d $end" % (chr(97 + pin), pin) for pin in range(5)]
for step, line in enumerate([stimulus[0]] + stimulus):
    clear, level, enable, data = line
    edge = (level < clock) if falling else (level > clock)
    if clear or step == 0:
        bits = [0] * width
    elif edge and enable:
        bits = [data] + bits[:-1]
    clock = level
    dump.append("#%d" % step)
    dump += ["%d%s" % (value, chr(97 + pin)) for pin, value in enumerate(line + [bits[-1]])]
open(local(arguments[arguments.index("--vcd") + 1]), "w").write("\n".join(dump) + "\n")
"""

# Edges at steps 2, 4, 6 (shift disabled), 8 (while clear) and 10, the data
# always 1, so that the output alone would not tell every shift.
REGISTER_RUN = """\
0 0 1 1
0 1 1 1
0 0 1 1
0 1 1 1
0 0 0 1
0 1 0 1
0 0 1 1
1 1 1 1
0 0 1 1
0 1 1 1
"""


class RegisterTiming(Scratch):
    def setUp(self):
        super().setUp()
        os.makedirs(os.path.join(self.root, "shiftreg"))
        with open(os.path.join(self.root, "shiftreg", "demo.stim"), "w", encoding="utf-8") as f:
            f.write(REGISTER_RUN)
        script = os.path.join(self.root, "register.py")
        with open(script, "w", encoding="utf-8") as f:
            f.write(FAKE_REGISTER)
        os.environ.pop("HELP_FACTS_TEST_EDGE", None)
        self.addCleanup(os.environ.pop, "HELP_FACTS_TEST_EDGE", None)
        line = component_lines.Part("R", "shiftreg", 0x63a00000, False)
        self.part = tool.Part(line, tool.Hostsim(sys.executable, script))
        self.register = component_lines.folder_module(os.path.join(SOURCE, "shiftreg"), "help_facts.py")

    def diagram(self):
        _, files = self.register.extras(tool, self.part)
        return json.loads(files["zeitdiagramm.json"][1]), files["bilder/zeitdiagramm.png"][1]

    def test_marks_the_edges_at_which_the_register_shifted_and_draws_them(self):
        timing, png = self.diagram()
        waves = {signal["name"]: signal["wave"] for signal in timing["signal"]}
        self.assertEqual("0.H0H01010H", waves["Takteingang"])
        self.assertEqual([2, 4, 10], arrow_periods(png, len(waves["Takteingang"])))

    def test_a_register_that_shifts_where_its_clock_falls_is_refused(self):
        os.environ["HELP_FACTS_TEST_EDGE"] = "falling"
        with self.assertRaisesRegex(tool.Refusal, "shifted at step 3 of .*demo.stim, where its clock did not rise"):
            self.diagram()


def arrow_periods(png, periods):
    """The periods of a timing diagram at whose start the arrows' colour
    is drawn, read from its pixels (a PNG as help_drawing writes it)."""
    picture = png_pixels.read(png)
    red = {x for row in picture.rows for x in range(picture.width) if row[x] == draw.RED}
    left = picture.width - 10 - periods * wavedrom_png.PERIOD
    return sorted({round((x - left) / wavedrom_png.PERIOD) for x in red})


class Font(unittest.TestCase):
    def test_the_letter_o_is_told_from_the_digit_0(self):
        inked = {c: [x for x in range(draw.font().glyphs[c][0]) if any(row[x] for row in draw.font().glyphs[c][1])]
                 for c in "O0"}
        self.assertGreaterEqual(len(inked["O"]) - len(inked["0"]), 2, "the letter is clearly wider than the digit")


# A part whose folder draws each truth row's outputs as a digit of two
# bars with a mark between them where they differ (as an edge between two
# steps), and a timing diagram of two signals; as a half adder, two of its
# rows show one picture.
HALF_ADDER = truth_json([((0, 0), ("0", "0")), ((0, 1), ("1", "0")), ((1, 0), ("1", "0")), ((1, 1), ("0", "1"))])
DRAWING_FOLDER = """\
MEANINGS = {"i": ["erstes", "zweites"], "o": ["das erste", "beide"]}
TIMING = {"signal": [{"name": "Takt", "wave": "0101"}, {"name": "Und", "wave": "0.1."}], "head": {"tick": 0}}

def digit_picture(kit, outputs):
    canvas = kit.draw.Canvas(24, 8)
    for place, lit in enumerate(outputs):
        canvas.fill(1 + 19 * place, 2, 3 + 19 * place, 5, kit.draw.RED if lit else kit.draw.DIM_RED)
    if outputs[0] != outputs[1]:
        canvas.fill(5, 2, 18, 5, kit.draw.GREEN)
    return canvas.png()

def extras(kit, part):
    files = {f"bilder/ziffer-{a}{b}.png": ("a digit", digit_picture(kit, outputs)) for (a, b), outputs in part.rows}
    files["lauf.json"] = ("a run", json.dumps(TIMING).encode())
    files["bilder/lauf.png"] = ("its picture", kit.timing_picture(TIMING))
    return {}, files
"""


class Readings(Scratch):
    """What facts.json records of a picture, read by the help's test in a
    picture of the page that shows a value otherwise."""

    def setUp(self):
        super().setUp()
        self.folder_says("import json\n" + DRAWING_FOLDER)
        _, self.files = self.facts(self.hostsim(truth=HALF_ADDER))
        self.folder = component_lines.folder_module(os.path.join(self.root, "gatter"), "help_facts.py")

    def test_a_digit_names_its_row_and_each_output_lit_or_dark(self):
        _, given, reading = self.files["bilder/ziffer-11.png"]
        self.assertEqual("inputs A B = 1 1", reading["row"])
        self.assertEqual([], help_test.pixel_differences(reading, given))
        page = self.folder.digit_picture(tool, [1, 1])
        self.assertEqual(["output 1 \u201eA\u201c (das erste) is lit in the page's picture, the DLL gives dark"],
                         help_test.pixel_differences(reading, page))
        # The mark between the bars tells neither output.
        self.assertEqual(["output 1 \u201eA\u201c (das erste) is lit in the page's picture, the DLL gives dark"],
                         help_test.pixel_differences(self.files["bilder/ziffer-00.png"][2],
                                                     self.folder.digit_picture(tool, [1, 0])))
        for shared in ("bilder/ziffer-01.png", "bilder/ziffer-10.png"):
            self.assertEqual({}, self.files[shared][2], "a picture two rows share names neither")

    def test_a_timing_diagram_names_the_signal_and_step_in_its_source_and_picture(self):
        source, picture = self.files["lauf.json"][2], self.files["bilder/lauf.png"][2]
        self.assertEqual([["Takt", "0101"], ["Und", "0011"]], source["waves"])
        shown = {"signal": [{"name": "Takt", "wave": "0101"}, {"name": "Und", "wave": "01.."}], "head": {"tick": 0}}
        self.assertEqual(["Und at step 1 is 1 on the page, the DLL gives 0"],
                         help_test.wave_differences(source["waves"], json.dumps(shown).encode()))
        self.assertEqual(["Und at step 1 is 1 in the page's picture, the DLL gives 0"],
                         help_test.pixel_differences(picture, tool.timing_picture(shown)))

    def test_a_picture_it_cannot_read_so_is_left_to_its_bytes(self):
        reading = self.files["bilder/ziffer-11.png"][2]
        for page in (self.files["bilder/lauf.png"][1], b"no picture"):
            self.assertEqual([], help_test.pixel_differences(reading, page))
        # A place where two choices look alike tells neither.
        alike = dict(reading, pixels=[dict(value, looks={**value["looks"], "half": value["looks"]["lit"]})
                                      for value in reading["pixels"]])
        self.assertEqual([], help_test.pixel_differences(alike, self.folder.digit_picture(tool, [1, 1])))


class TableMessages(unittest.TestCase):
    """The help's test names a row of a table by the cells that tell it
    from the others, and a column by its heading."""

    TRUTH = ['<tr><th class="n">A</th><th class="n">B</th><th class="n">S</th></tr>',
             '<tr><td class="n">0</td><td class="n">0</td><td class="n">0</td></tr>',
             '<tr><td class="n">0</td><td class="n">1</td><td class="n">1</td></tr>',
             '<tr><td class="n">1</td><td class="n">0</td><td class="n">1</td></tr>']

    def test_a_truth_table_row_by_its_inputs(self):
        page = self.TRUTH[:2] + ['<tr><td class="n">0</td><td class="n">1</td><td class="n">0</td></tr>']
        self.assertEqual(["row \u201eA=0, B=1\u201c, column \u201eS\u201c: the page has \u201e0\u201c, "
                          "the DLL gives \u201e1\u201c", "row \u201eA=1, B=0\u201c is not on the page"],
                         help_test.table_differences(self.TRUTH, page))

    def test_a_row_with_its_inputs_in_one_cell_and_a_row_the_page_has_alone(self):
        given = ["<tr><th>Code</th><th>Eing&auml;nge<br>2 1</th><th>1<br>a</th></tr>",
                 "<tr><td>1</td><td>0 1</td><td>0</td></tr>", "<tr><td>2</td><td>1 0</td><td>1</td></tr>"]
        page = given[:2] + ["<tr><td>2</td><td>1 0</td><td>0</td></tr>", "<tr><td>3</td><td>1 1</td><td>1</td></tr>"]
        self.assertEqual(["row \u201eCode = 2, Eing\u00e4nge 2 1 = 1 0\u201c, column \u201e1 a\u201c: the page has "
                          "\u201e0\u201c, the DLL gives \u201e1\u201c",
                          "row \u201eCode = 3, Eing\u00e4nge 2 1 = 1 1\u201c is on the page, "
                          "the DLL gives no such row"],
                         help_test.table_differences(given, page))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
