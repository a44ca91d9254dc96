#!/usr/bin/env python3
"""The parts as their lines in cmake/Components.cmake give them, for the
tools that work on every part (tools/make-images, tools/screenshot-dialogs,
tools/new-part); the build reads the same lines itself.

    tools/component_lines.py    prints each part's DLL name and folder, a part a line
"""
import collections
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMPONENTS = os.path.join(ROOT, "cmake", "Components.cmake")

Part = collections.namedtuple("Part", "name folder image_base native_test released")

LINE = re.compile(r"korvelant_component\((?P<name>\S+)\s+(?P<folder>\S+)\s+(?P<base>0x[0-9a-fA-F]+)\s+"
                  r"(?P<test>\S+)(?P<words>[^)]*)\)")


def parts(components=COMPONENTS):
    """The parts in the order of their lines."""
    with open(components, encoding="utf-8") as f:
        lines = f.read().splitlines()
    found = []
    for line in lines:
        match = LINE.fullmatch(line.strip())
        if match:
            found.append(Part(match["name"], match["folder"], int(match["base"], 16), match["test"],
                              "RELEASED" in match["words"].split()))
    return found


def main():
    for part in parts():
        print(part.name, part.folder)


if __name__ == "__main__":
    sys.exit(main())
