#!/usr/bin/env python3
"""The parts as their lines in cmake/Components.cmake give them, for the
tools that work on every part (tools/make-images, tools/screenshot-dialogs,
tools/new-part); the build reads the same lines itself.

    tools/component_lines.py    prints each part's DLL name and folder, a part a line
"""
import collections
import importlib.util
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMPONENTS = os.path.join(ROOT, "cmake", "Components.cmake")

Part = collections.namedtuple("Part", "name folder image_base released")

LINE = re.compile(r"^korvelant_component\(([^)]*)\)", re.MULTILINE)


def parts(components=COMPONENTS):
    """The parts in the order of their lines."""
    with open(components, encoding="utf-8") as f:
        calls = LINE.findall(f.read())
    found = []
    for arguments in calls:
        name, folder, image_base, *words = arguments.split()
        found.append(Part(name, folder, int(image_base, 16), "RELEASED" in words))
    return found


def folder_module(folder, file_name):
    """The Python file FILE_NAME of a part's folder (its recipe of pictures,
    its help facts), loaded; None when the folder has none."""
    path = os.path.join(folder, file_name)
    if not os.path.isfile(path):
        return None
    spec = importlib.util.spec_from_file_location(os.path.splitext(file_name)[0], path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def main():
    for part in parts():
        print(part.name, part.folder)


if __name__ == "__main__":
    sys.exit(main())
