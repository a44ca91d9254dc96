#!/usr/bin/env python3
"""The recorders in a host: what the host sees through a recorder is what
it sees of the part itself, the traces say what happened, and a trace
replays against the part with no difference, while a changed result is
named. Runs hostsim from the build's recorded/ folder (tests/recorder/
CMakeLists.txt), where the recorders stand in the parts' places.

Usage: recorder_test.py SOURCE_DIR BUILD_DIR OBJDUMP
"""
import glob
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE, BUILD, OBJDUMP = sys.argv[1:4]
WINE_RUN = os.path.join(SOURCE, "tools", "wine-run")
BIN = os.path.join(BUILD, "bin")
RECORDED = os.path.join(BUILD, "recorded")
TRACES = os.path.join(RECORDED, "traces")
KEPT = os.path.join(SOURCE, "tests", "recorder", "traces")
PARTS = ["Tamberlo", "Quenvik", "Morrel"]


def hostsim(folder, *arguments, cwd=None):
    """hostsim.exe of `folder` run in it (or in `cwd`), where it finds the
    DLLs by name. hostsim names the full path of each DLL it loads, so the
    folder the DLLs came from is written as <folder> in its output."""
    run = subprocess.run([WINE_RUN, os.path.join(folder, "hostsim.exe"), *arguments], cwd=cwd or folder,
                         capture_output=True, timeout=600)
    out = run.stdout.decode("utf-8", "replace")
    for place in {folder, cwd or folder}:
        out = out.replace(windows_path(place), "<folder>")
    return run.returncode, out, run.stderr.decode("utf-8", "replace")


def windows_path(path):
    """A path of this machine as Wine shows it to a Windows program."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def fresh_traces():
    for trace in glob.glob(os.path.join(TRACES, "*.txt")):
        os.remove(trace)


def traces_of(part):
    return sorted(glob.glob(os.path.join(TRACES, part + "-*.txt")))


def replay(trace, dll):
    return hostsim(BIN, "replay", trace, dll)


class Transparency(unittest.TestCase):
    def test_check_finds_the_same_through_the_recorders(self):
        for dll in [p + ".dll" for p in PARTS]:
            with self.subTest(dll=dll):
                plain = hostsim(BIN, "check", dll)
                self.assertEqual((0, plain[1]), hostsim(RECORDED, "check", dll)[:2])
        # The broken plug-in beside the tests, found in the current folder.
        plain = hostsim(BIN, "check", "broken_plugin.dll", cwd=os.path.join(BUILD, "tests"))
        recorded = hostsim(RECORDED, "check", "broken_plugin.dll")
        self.assertEqual((1, plain[1]), recorded[:2])
        self.assertIn("FINDING stack: CanSimulateDLL2 takes 0 bytes off the stack", recorded[1],
                      "the part's wrong stack cleanup shows through its recorder")

    def test_the_demo_is_the_same_through_the_recorders_and_its_traces_replay(self):
        fresh_traces()
        plain = hostsim(BIN, "demo")
        recorded = hostsim(RECORDED, "demo")
        self.assertEqual((0, plain[1]), recorded[:2])
        for part in PARTS:
            traces = traces_of(part)
            self.assertTrue(traces, part)
            with open(os.path.join(RECORDED, part, part + ".dll"), "rb") as f:
                sha = hashlib.sha256(f.read()).hexdigest()
            for trace in traces:
                with self.subTest(trace=os.path.basename(trace)):
                    with open(trace, "rb") as f:
                        text = f.read().decode("latin-1")
                    self.assertTrue(text.startswith("korvelant call trace 2\r\n"))
                    self.assertIn(f"\r\npart-sha256 {sha}\r\n", text)
                    self.assertIn(f"\r\npart Z:{RECORDED}/{part}/{part}.dll\r\n".replace("/", "\\"), text)
                    entries = re.findall(r"^> (\d+) ", text, re.M)
                    exits = re.findall(r"^< (\d+) ", text, re.M)
                    self.assertEqual(sorted(entries), sorted(exits), "every call returned")
                    self.assertEqual([str(n) for n in range(1, len(entries) + 1)], entries, "numbered in order")
                    self.assertTrue(text.endswith("! the recorder is unloaded: the part is freed\r\n"))
                    status, out, err = replay(trace, part + ".dll")
                    self.assertEqual(0, status, out + err)
                    self.assertTrue(out.endswith(f"replayed {len(entries)} call{'s' if len(entries) != 1 else ''}, "
                                                 "0 differing\n"), out)


class KeptTraces(unittest.TestCase):
    """Recorded through the recorders with hostsim as the host: a run, a
    project saved and loaded, a dialog opened and cancelled."""

    def kept(self):
        traces = sorted(glob.glob(os.path.join(KEPT, "*.txt")))
        self.assertGreaterEqual(len(traces), 4)
        return traces

    @staticmethod
    def dll_of(trace):
        with open(trace, "rb") as f:
            head = f.read(4096).decode("latin-1")
        return re.search(r"^part .*\\([^\\]+\.dll)\r$", head, re.M).group(1)

    def test_each_replays_against_its_part_with_no_difference(self):
        for trace in self.kept():
            with self.subTest(trace=os.path.basename(trace)):
                status, out, err = replay(trace, self.dll_of(trace))
                self.assertEqual(0, status, out + err)
                self.assertRegex(out, r"\nreplayed [1-9]\d* calls?, 0 differing\n$")

    def test_a_changed_output_is_named_with_its_call_and_bytes(self):
        trace = os.path.join(KEPT, "quenvik_run.txt")
        with open(trace, "rb") as f:
            text = f.read().decode("latin-1")
        exit_line = re.search(r"^< (\d+) \d+ SimulateDLL3 .* out=(\S+)", text, re.M)
        # Output 0 recorded as ff 00 ..., which no part writes for 5.0 or 0.0.
        changed = text.replace(exit_line.group(0), exit_line.group(0)[:-len(exit_line.group(2))] + "ff{00*19}", 1)
        with tempfile.TemporaryDirectory(dir=BUILD) as folder:
            planted = os.path.join(folder, "planted.txt")
            with open(planted, "wb") as f:
                f.write(changed.encode("latin-1"))
            status, out, err = replay(planted, "Quenvik.dll")
        self.assertEqual(1, status, out + err)
        self.assertIn(f"\nfirst difference: call {exit_line.group(1)} SimulateDLL3: out bytes 0 to 9 of ", out)
        self.assertIn(": recorded ff ", out)
        self.assertTrue(out.endswith(", 1 differing\n"), out)

    def test_a_trace_that_is_none_is_bad_input(self):
        status, out, err = replay(os.path.join(SOURCE, "README.md"), "Quenvik.dll")
        self.assertEqual(2, status)
        self.assertIn("README.md is no call trace", err)


class Package(unittest.TestCase):
    def test_the_recorders_and_a_german_readme_for_notepad(self):
        import zipfile
        zips = glob.glob(os.path.join(BUILD, "package", "korvelant-recorder-*-win32.zip"))
        self.assertEqual(1, len(zips))
        with zipfile.ZipFile(zips[0]) as archive:
            self.assertEqual(["LIESMICH.txt"] + [p + ".dll" for p in sorted(PARTS)], archive.namelist())
            for part in PARTS:
                with open(os.path.join(BIN, "recorders", part + ".dll"), "rb") as f:
                    self.assertEqual(f.read(), archive.read(part + ".dll"), part)
            readme = archive.read("LIESMICH.txt")
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "every line ends in CR LF")
        text = readme.decode("cp1252")
        self.assertIn("Aufzeichnung", text)
        for part in PARTS:
            self.assertIn(part + ".dll", text)
        for step in ("%TEMP%", "Windows XP", "Ausführen", "zurückstellen", "-recorder.txt", "limit-mb", "first-mb",
                     "last-mb"):
            self.assertIn(step, text)


class RecorderCode(unittest.TestCase):
    def test_no_floating_point_but_reading_the_state(self):
        allowed = {"fnstcw", "fnstsw", "stmxcsr"}
        for part in PARTS:
            code = subprocess.run([OBJDUMP, "-d", os.path.join(BIN, "recorders", part + ".dll")],
                                  capture_output=True, text=True, check=True).stdout
            mnemonics = set(re.findall(r"^\s*[0-9a-f]+:\s+(?:[0-9a-f]{2} )+\s*(\S+)", code, re.M))
            floating = {m for m in mnemonics if m.startswith("f") or "mm" in m or m.endswith(("ss", "sd", "ps", "pd"))
                        or "mxcsr" in m}
            self.assertEqual(allowed, floating, part)



class OwnFolder(unittest.TestCase):
    """A recorder of PART set up in a scratch folder of its own, with its
    own settings file."""
    PART = "Quenvik"

    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=BUILD)
        self.traces = os.path.join(self.folder, "traces")
        os.mkdir(self.traces)
        shutil.copy(os.path.join(RECORDED, "hostsim.exe"), self.folder)
        shutil.copy(self.recorder_file(), self.folder)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def recorder_file(self):
        return os.path.join(BIN, "recorders", self.PART + ".dll")

    def part_file(self):
        return os.path.join(BIN, self.PART + ".dll")

    def settings(self, *lines):
        wine_traces = "Z:" + self.traces.replace("/", "\\")
        with open(os.path.join(self.folder, self.PART + "-recorder.txt"), "w", newline="\r\n") as f:
            f.write("\n".join([f"folder = {wine_traces}  # the tests' own", *lines]) + "\n")

    def trace_files(self):
        return sorted(glob.glob(os.path.join(self.traces, self.PART + "-*.txt")))

    def trace(self):
        traces = self.trace_files()
        self.assertEqual(1, len(traces))
        with open(traces[0], "rb") as f:
            return f.read().decode("latin-1")

    def place_part(self):
        os.mkdir(os.path.join(self.folder, self.PART))
        shutil.copy(self.part_file(), os.path.join(self.folder, self.PART))


class RecorderOnItsOwn(OwnFolder):
    def test_without_its_part_every_call_returns_and_the_trace_says_why(self):
        self.settings()
        status, out, err = hostsim(self.folder, "info", "Quenvik.dll")
        self.assertEqual(0, status, out + err)
        self.assertIn("inputs (0)", out)
        text = self.trace()
        self.assertIn("\r\n! the part cannot be loaded (error 126): every call returns 0 without it\r\n", text)
        self.assertRegex(text, r"\r\n< 1 \d+ GetNumberOfInputsOutputs2 depth=0 eax=00000000 \S+ pop=16 ")

    def test_the_cap_is_split_as_the_settings_say(self):
        self.place_part()
        megabyte = 1 << 20
        # limit-mb the whole, first-mb and last-mb its parts, the one not
        # given the rest, a quarter for the beginning by default; at least
        # 1 MB and a ring whose halves hold the longest record.
        for lines, cap in [((), (16, 48)), (("limit-mb = 40", "first-mb = 4"), (4, 36)), (("last-mb = 8",), (56, 8)),
                           (("first-mb = 3", "last-mb = 7", "limit-mb = 2"), (3, 7)), (("limit-mb = 1",), (1, 5))]:
            with self.subTest(settings=lines):
                for trace in self.trace_files():
                    os.remove(trace)
                self.settings(*lines)
                status, out, err = hostsim(self.folder, "info", "Quenvik.dll")
                self.assertEqual(0, status, out + err)
                text = self.trace()
                self.assertIn(f"\r\ncap {cap[0] * megabyte} {cap[1] * megabyte}\r\n", text)
                self.assertNotIn("\0", text, "a trace closed normally ends with its text")

    def test_make_recorder_refuses_a_file_that_is_no_dll(self):
        run = subprocess.run([os.path.join(SOURCE, "tools", "make-recorder"), os.path.join(SOURCE, "README.md"),
                              self.folder], capture_output=True, text=True)
        self.assertEqual(2, run.returncode)
        self.assertIn("README.md is not a Windows DLL", run.stderr)


class OddPart(OwnFolder):
    """A test plug-in (tests/host/odd_plugin) through its recorder."""

    def recorder_file(self):
        return os.path.join(BUILD, "tests", "recorder", "odd_recorders", self.PART + ".dll")

    def part_file(self):
        return os.path.join(BUILD, "tests", self.PART + ".dll")

    def replay(self, trace):
        return hostsim(BIN, "replay", trace, self.PART + ".dll", cwd=os.path.join(BUILD, "tests"))


def decoded(text):
    """The bytes of a trace's BYTES."""
    return bytes.fromhex(re.sub(r"\{(..)\*(\d+)\}", lambda run: run.group(1) * int(run.group(2)), text))


class LargeBlock(OddPart):
    PART = "odd_big_block"

    def test_a_block_of_100_kb_is_recorded_whole_and_replays_with_no_difference(self):
        self.settings()
        self.place_part()
        for command in (["project", "save", "big.hsp", self.PART + ".dll"], ["project", "load", "big.hsp"]):
            status, out, err = hostsim(self.folder, *command)
            self.assertEqual(0, status, out + err)
        block = (b"0" + bytes(ord("a") + k % 23 for k in range(1, 100 * 1024 - 2)) + b"\r\n"
                 + b"ENDE_MARKE_DER_USER_DLL\r\n")
        traces = self.trace_files()
        self.assertEqual(2, len(traces))
        for trace, call in zip(traces, ("WriteToFile", "ReadFromFile")):
            with self.subTest(call=call):
                with open(trace, "rb") as f:
                    text = f.read().decode("latin-1")
                exit_record = re.search(rf"^< \d+ \d+ {call} .* file=(\d+)\+(\S+)\r$", text, re.M)
                self.assertEqual(block, decoded(exit_record.group(2)))
                status, out, err = self.replay(trace)
                self.assertEqual(0, status, out + err)
                self.assertTrue(out.endswith(", 0 differing\n"), out)


def capped_sections(data):
    """A capped trace's first part and its ring's halves in the order of
    their part numbers, each up to its first NUL byte."""
    cap = re.search(rb"\r\ncap (\d+) (\d+)\r\n", data)
    first, half = int(cap.group(1)), int(cap.group(2)) // 2

    def text(start, end):
        return data[start:end].split(b"\0", 1)[0].decode("latin-1")

    halves = [text(first + k * half, first + (k + 1) * half) for k in range(2)]
    return text(0, first), sorted(halves, key=lambda half: int(re.match(r"! ring part=(\d+)\r\n", half).group(1)))


def calls_in(text):
    return [int(n) for n in re.findall(r"^[<>~] (\d+) ", text, re.M)]


class CappedRun(OddPart):
    """A run long enough to go round the ring (1 MB for the beginning, 5 MB
    of ring) that ends when the part ends it at its 25,000th evaluation."""

    def run_to_the_end(self):
        self.settings("first-mb = 1", "last-mb = 5")
        self.place_part()
        with open(os.path.join(self.folder, "long.stim"), "w") as f:
            f.write("1\n0\n" * 15000)
        status, out, err = hostsim(self.folder, "run", self.PART + ".dll", "long.stim")
        traces = self.trace_files()
        self.assertEqual(1, len(traces))
        with open(traces[0], "rb") as f:
            return status, out + err, f.read()

    def check_both_ends(self, data):
        """The head, the first part from call 1, both halves of the ring with
        the gap between said at the newest half's start, no call missing
        within the halves, and the last call's entry: the newest half."""
        first, halves = capped_sections(data)
        self.assertTrue(first.startswith("korvelant call trace 2\r\n"))
        for text in [first, *halves]:
            self.assertTrue(text.endswith("\r\n"), "every record whole: " + text[-200:])
        parts = [int(re.match(r"! ring part=(\d+)", half).group(1)) for half in halves]
        self.assertGreaterEqual(parts[0], 2, "the ring went round")
        self.assertEqual(parts[0] + 1, parts[1])
        left_out = re.match(r"! ring part=\d+\r\n! left-out first=(\d+) last=(\d+) records=(\d+)\r\n", halves[1])
        self.assertTrue(left_out, halves[1][:200])
        gap_first, gap_last, records = map(int, left_out.groups())
        head_calls, older, newer = calls_in(first), calls_in(halves[0]), calls_in(halves[1])
        self.assertEqual(list(range(1, max(head_calls) + 1)), sorted(set(head_calls)))
        self.assertIn(gap_first, (max(head_calls), max(head_calls) + 1))
        self.assertIn(gap_last, (min(older) - 1, min(older)))
        self.assertGreaterEqual(records, 2 * (gap_last - gap_first))
        self.assertEqual(list(range(min(older), max(newer) + 1)), sorted(set(older + newer)))
        last_entry = re.findall(r"^> (\d+) \d+ (\S+) ", halves[1], re.M)[-1]
        self.assertEqual((str(max(newer)), "SimulateDLL3"), last_entry)
        self.assertEqual(-1, halves[1].find(f"\r\n< {last_entry[0]} "), "the last call never returned")
        return halves[1]



class LateCrash(CappedRun):
    PART = "odd_late_crash"

    def test_a_crash_after_a_long_run(self):
        status, out, data = self.run_to_the_end()
        self.assertEqual(1, status, out)
        self.assertIn("SimulateDLL3 crashed", out)
        newest = self.check_both_ends(data)
        # Closed normally: the gap said again at the end.
        gap = re.search(r"\r\n(! left-out [^\r]*\r\n)", newest).group(1)
        self.assertTrue(newest.endswith("\r\n! the process ends\r\n" + gap), newest[-400:])



class LateDeath(CappedRun):
    PART = "odd_late_death"

    def test_a_host_that_dies_keeps_every_record_before(self):
        status, out, data = self.run_to_the_end()
        self.assertEqual(9, status, out)
        newest = self.check_both_ends(data)
        self.assertRegex(newest[-1000:], r"\r\n> \d+ \d+ SimulateDLL3 [^\r]*\r\n$", "the call the host died in, last")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
