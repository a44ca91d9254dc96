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
import struct
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


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def trace_bytes(written):
    """A region's BYTES as the trace writes them, {XX*COUNT} runs spelt out."""
    return bytes.fromhex(re.sub(r"\{(..)\*(\d+)\}", lambda run: run.group(1) * int(run.group(2)), written))


def replay_text(text, dll):
    """A trace changed by a test, replayed against `dll`."""
    with tempfile.TemporaryDirectory(dir=BUILD) as folder:
        changed = os.path.join(folder, "changed.txt")
        with open(changed, "wb") as f:
            f.write(text.encode("latin-1"))
        return replay(changed, dll)


def recorder_calls(order, dll):
    """tests/recorder/recorder_calls.cpp, run with the DLL of recorded/."""
    run = subprocess.run([WINE_RUN, os.path.join(BUILD, "tests", "recorder_calls.exe"), order,
                          windows_path(os.path.join(RECORDED, dll))], capture_output=True, timeout=600)
    return run.returncode, run.stdout.decode("utf-8", "replace").replace("\r\n", "\n")


class Transparency(unittest.TestCase):
    def test_check_finds_the_same_through_the_recorders(self):
        for dll in [p + ".dll" for p in PARTS]:
            with self.subTest(dll=dll):
                plain = hostsim(BIN, "check", dll)
                self.assertEqual((0, plain[1]), hostsim(RECORDED, "check", dll)[:2])
        # The all-faults plug-in beside the tests, found in the current folder.
        plain = hostsim(BIN, "check", "all_faults_plugin.dll", cwd=os.path.join(BUILD, "tests"))
        recorded = hostsim(RECORDED, "check", "all_faults_plugin.dll")
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

    def test_they_hold_every_entry_point_and_each_parts_logic_labels_and_settings(self):
        with open(os.path.join(SOURCE, "interface", "entry_point_list.h")) as f:
            entry_points = set(re.findall(r"^\s*X\((\w+),", f.read(), re.M))
        called = {part: set() for part in PARTS}
        for trace in self.kept():
            with open(trace, "rb") as f:
                text = f.read().decode("latin-1")
            with self.subTest(trace=os.path.basename(trace)):
                head = text[:text.index("\r\n> ")]
                part = re.search(r"^part C:\\Programme\\Simulator\\(\w+)\\\1\.dll\r$", head, re.M).group(1)
                self.assertNotIn("Z:", head, "no folder of the machine that recorded it")
                called[part] |= set(re.findall(r"^> \d+ \d+ (\w+) ", text, re.M))
        self.assertEqual(entry_points, set().union(*called.values()))
        for part in PARTS:
            self.assertLessEqual({"SimulateDLL3", "SetInputChar2", "SetOutputChar2", "WriteToFile", "ReadFromFile",
                                  "GetNumberOfInputsOutputs2"}, called[part], part)

    def test_show_tells_a_run_in_words(self):
        status, out, err = hostsim(BIN, "show", os.path.join(KEPT, "quenvik_run.txt"))
        self.assertEqual(0, status, out + err)
        self.assertRegex(out, r"\n\d\d:\d\d:\d\d\.\d{3}  Quenvik #1 SimulateDLL3 \(call \d+\): in Summand A=5 V, "
                              r"Summand B=5 V, Übertrag=0 V; out Summe S=0 V, Übertrag=5 V; result 0\n")
        self.assertIn("in Summand A=2.5 V (low), Summand B=2.6 V (high), Übertrag=0 V;", out)
        status, out, err = hostsim(BIN, "show", os.path.join(SOURCE, "README.md"))
        self.assertEqual(2, status)
        self.assertIn("README.md is no call trace", err)

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


class CallOrders(unittest.TestCase):
    """Calls a host may make that hostsim's commands do not, through the
    recorders of recorded/."""

    def recorded(self, order, part):
        fresh_traces()
        status, out = recorder_calls(order, part + ".dll")
        self.assertEqual(0, status, out)
        traces = traces_of(part)
        self.assertEqual(1, len(traces))
        return out, traces[0], read_text(traces[0])

    def test_evaluations_before_any_pin_query_keep_their_signals_and_replay(self):
        _, trace, text = self.recorded("early-simulation", "Quenvik")
        self.assertNotIn("GetNumberOfInputsOutputs2", text)
        self.assertEqual(16, len(re.findall(r"^[<>] \d+ \d+ SimulateDLL3 ", text, re.M)))
        for record in re.finditer(r"^([<>]) \d+ \d+ SimulateDLL3 .*$", text, re.M):
            regions = dict(re.findall(r" (in|out)=(\S+)", record.group(0)))
            # As many signals as a part may have: 50 of 10 bytes.
            self.assertEqual({"in", "out"} if record.group(1) == ">" else {"out"}, set(regions))
            for region in regions.values():
                self.assertEqual(500, len(trace_bytes(region)), record.group(0))
        status, out, err = replay(trace, "Quenvik.dll")
        self.assertEqual(0, status, out + err)
        self.assertTrue(out.endswith("replayed 11 calls, 0 differing\n"), out)
        # The sum output of the fourth evaluation (1 + 1 + 0: 0.0) made 5.0.
        exit_line = re.findall(r"^< \d+ \d+ SimulateDLL3 .*$", text, re.M)[3]
        regions = re.search(r" out=(\S+)", exit_line)
        outputs = trace_bytes(regions.group(1))
        self.assertEqual(bytes(10), outputs[:10])
        planted = exit_line.replace(regions.group(0), " out=" + (bytes.fromhex("00000000000000a00140")
                                                                  + outputs[10:]).hex())
        status, out, err = replay_text(text.replace(exit_line, planted), "Quenvik.dll")
        self.assertEqual(1, status, out + err)
        self.assertIn(" SimulateDLL3: out bytes 0 to 9 of ", out)
        self.assertTrue(out.endswith(", 1 differing\n"), out)

    def test_an_export_the_interface_does_not_know_is_recorded_and_not_replayed(self):
        _, _, text = self.recorded("unknown-export", "all_faults_plugin")
        calls = re.search(r"\r\n(> 2 \d+ HasDelayDLL@4 .*\r\n< 2 \d+ HasDelayDLL@4 .*\r\n)", text).group(1)
        self.assertRegex(calls, r"^> 2 \d+ HasDelayDLL@4 depth=0 align=\d+ cw=\S+ sw=\S+ (mxcsr=\S+ )?slots=\?\r\n"
                                r"< 2 \d+ HasDelayDLL@4 depth=0 eax=\S+ edx=\S+ pop=4 ")
        # Replayed among a part's calls: replay takes no DLL that lacks an
        # entry point, as the all-faults plug-in does.
        _, _, quenvik = self.recorded("early-simulation", "Quenvik")
        after = quenvik.index("\r\n", quenvik.rindex("\r\n< ") + 2) + 2
        status, out, err = replay_text(quenvik[:after] + calls.replace(" 2 ", " 12 ") + quenvik[after:], "Quenvik.dll")
        self.assertEqual(0, status, out + err)
        self.assertIn("call 12 HasDelayDLL@4: not replayed: an export the interface does not describe", out)
        self.assertTrue(out.endswith("replayed 11 calls, 0 differing\n"), out)

    def test_calls_that_never_returned_are_marked_at_the_next_call_and_at_unload(self):
        out, _, text = self.recorded("crash", "all_faults_plugin")
        self.assertEqual("DisposeUserDLL faulted\n" * 2, out)
        records = re.findall(r"^[<>~] .*?\r$", text, re.M)
        self.assertRegex(records[0], r"^> 1 \d+ DisposeUserDLL ")
        self.assertRegex(records[1], r"^~ 1 \d+ DisposeUserDLL why=next-call\r$")
        self.assertRegex(records[2], r"^> 2 \d+ GetDLLName ")
        self.assertRegex(records[3], r"^< 2 \d+ GetDLLName ")
        self.assertRegex(records[4], r"^> 3 \d+ DisposeUserDLL ")
        self.assertRegex(records[5], r"^~ 3 \d+ DisposeUserDLL why=unload\r$")
        self.assertEqual(6, len(records))


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
        # The notes a user is told to look for, as the recorder writes them.
        for step in ("%TEMP%", "Windows XP", "Ausführen", "zurückstellen", "-recorder.txt", "limit-mb", "first-mb",
                     "last-mb", "\u201e! the part's file is missing\u201c", "\u201e! the part cannot be loaded\u201c"):
            self.assertIn(step, text)


def constructor_lists(image):
    """Each (constructors, destructors) pair of lists in a DLL's bytes."""
    header = struct.unpack_from("<I", image, 0x3C)[0] + 24
    base, size = struct.unpack_from("<I", image, header + 28)[0], struct.unpack_from("<I", image, header + 56)[0]

    def addresses(at):
        found = []
        while base <= struct.unpack_from("<I", image, at)[0] < base + size:
            found.append(struct.unpack_from("<I", image, at)[0])
            at += 4
        return found, at

    pairs = []
    at = image.find(b"\xff" * 4)
    while at >= 0:
        constructors, end = addresses(at + 4)
        if image[end:end + 8] == b"\0" * 4 + b"\xff" * 4:
            destructors, end = addresses(end + 8)
            if image[end:end + 4] == b"\0" * 4:
                pairs.append((constructors, destructors))
        at = image.find(b"\xff" * 4, at + 1)
    return pairs


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

    def test_no_constructor_to_run(self):
        # Nothing runs the list of constructors in a DLL without a C
        # runtime. The linker writes it as -1, the constructors' addresses
        # and 0, followed by the destructors' list alike.
        for part in PARTS:
            with open(os.path.join(BIN, "recorders", part + ".dll"), "rb") as f:
                self.assertEqual([([], [])], constructor_lists(f.read()), part)



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
    def test_without_its_part_it_does_not_load_and_the_trace_says_why(self):
        self.settings()
        status, out, err = hostsim(self.folder, "info", "Quenvik.dll")
        self.assertNotEqual(0, status, out + err)
        self.assertNotIn("inputs", out)
        text = self.trace()
        self.assertIn("\r\npart " + windows_path(os.path.join(self.folder, "Quenvik", "Quenvik.dll")) + "\r\n", text)
        self.assertTrue(text.endswith("\r\n! the part's file is missing: the recorder refuses to load\r\n"), text)

    def test_a_part_that_refuses_to_load_is_named_in_the_trace(self):
        self.settings()
        os.mkdir(os.path.join(self.folder, "Quenvik"))
        shutil.copy(os.path.join(BUILD, "tests", "one_fault_refuse.dll"), os.path.join(self.folder, "Quenvik", "Quenvik.dll"))
        status, out, err = hostsim(self.folder, "info", "Quenvik.dll")
        self.assertEqual(0, status, out + err)
        self.assertIn("inputs (0)", out)
        text = self.trace()
        self.assertIn("\r\n! the part cannot be loaded (error 1114, ERROR_DLL_INIT_FAILED: the part's DllMain refused "
                      "to load): every call returns 0 without it\r\n", text)
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
    """A test plug-in (tests/host/one_fault_plugin) through its recorder."""

    def recorder_file(self):
        return os.path.join(BUILD, "tests", "recorder", "one_fault_recorders", self.PART + ".dll")

    def part_file(self):
        return os.path.join(BUILD, "tests", self.PART + ".dll")

    def replay(self, trace):
        return hostsim(BIN, "replay", trace, self.PART + ".dll", cwd=os.path.join(BUILD, "tests"))


def decoded(text):
    """The bytes of a trace's BYTES."""
    return bytes.fromhex(re.sub(r"\{(..)\*(\d+)\}", lambda run: run.group(1) * int(run.group(2)), text))


class LargeBlock(OddPart):
    PART = "one_fault_big_block"

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
        texts = {}
        for trace in traces:
            with open(trace, "rb") as f:
                texts[trace] = f.read().decode("latin-1")
        # Told apart by their calls, not by their names: two processes
        # started within one second are named in the order of their ids.
        loads = [trace for trace, text in texts.items() if re.search(r"^> \d+ \d+ ReadFromFile ", text, re.M)]
        saves = [trace for trace in traces if trace not in loads]
        self.assertEqual((1, 1), (len(saves), len(loads)), traces)
        for trace, call in ((saves[0], "WriteToFile"), (loads[0], "ReadFromFile")):
            with self.subTest(call=call):
                exit_record = re.search(rf"^< \d+ \d+ {call} .* file=(\d+)\+(\S+)\r$", texts[trace], re.M)
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
    PART = "one_fault_late_crash"

    def test_a_crash_after_a_long_run(self):
        status, out, data = self.run_to_the_end()
        self.assertEqual(1, status, out)
        self.assertIn("SimulateDLL3 crashed", out)
        newest = self.check_both_ends(data)
        # Closed normally: the gap said again at the end.
        gap = re.search(r"\r\n(! left-out [^\r]*\r\n)", newest).group(1)
        self.assertTrue(newest.endswith("\r\n! the process ends\r\n" + gap), newest[-400:])



class LateDeath(CappedRun):
    PART = "one_fault_late_death"

    def test_a_host_that_dies_keeps_every_record_before(self):
        status, out, data = self.run_to_the_end()
        self.assertEqual(9, status, out)
        newest = self.check_both_ends(data)
        self.assertRegex(newest[-1000:], r"\r\n> \d+ \d+ SimulateDLL3 [^\r]*\r\n$", "the call the host died in, last")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
