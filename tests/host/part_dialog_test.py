#!/usr/bin/env python3
"""A part's dialog cases (PART/test/NAME.dialog) through `hostsim dialog`:
each case is a line of the command's options, then "=> V,V..." with the
settings the part holds once the dialog is closed. A case passes when the
command succeeds and its "dialog closed" line shows those settings.

Usage: part_dialog_test.py CASES COMMAND... (the command that runs hostsim,
its DLL operand included; each case's options are added to it)
"""
import re
import shlex
import subprocess
import sys

CLOSED = re.compile(r"^dialog closed.*: delay flag -?\d+, settings (.*)$", re.MULTILINE)


class CasesFault(Exception):
    pass


def cases(text):
    """(line number, options, expected settings) of each case."""
    found, options = [], None
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("=>"):
            if options is None:
                raise CasesFault(f"line {number}: settings expected with no options before them")
            found.append((number - 1, options, line[2:].strip()))
            options = None
        elif options is not None:
            raise CasesFault(f"line {number}: options follow options with no \"=>\" line between them")
        else:
            options = shlex.split(line)
    if options is not None:
        raise CasesFault("the last options have no \"=>\" line")
    if not found:
        raise CasesFault("no case")
    return found


def verdict(expected, run):
    """None when the run shows `expected`, else what went wrong."""
    if run.returncode != 0:
        return f"exit status {run.returncode}"
    closed = CLOSED.findall(run.stdout)
    if len(closed) != 1:
        return "no one \"dialog closed\" line"
    if closed[0].strip() != expected:
        return f"settings {closed[0].strip()}, expected {expected}"
    return None


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    path, command = argv[0], argv[1:]
    with open(path, encoding="utf-8") as f:
        try:
            read = cases(f.read())
        except CasesFault as fault:
            print(f"{path}: {fault}", file=sys.stderr)
            return 2
    failed = 0
    for number, options, expected in read:
        run = subprocess.run(command + options, capture_output=True, text=True, encoding="utf-8",
                             errors="replace")
        print(run.stdout, end="")
        wrong = verdict(expected, run)
        if wrong:
            failed += 1
            print(f"{path}:{number}: FAILED: {wrong}\n{run.stderr}", file=sys.stderr)
    print(f"{len(read) - failed} of {len(read)} dialog cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
