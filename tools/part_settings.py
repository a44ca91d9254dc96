#!/usr/bin/env python3
"""The parts' settings as the build declares them, one file a part
(SETTINGS_FOLDER/DLL.json): each setting's name, control, caption, items,
default, the values the part keeps as read, and whether it is the delay
flag. For the tools that work on every part's settings (tools/help-facts,
tools/keep-settings).

    tools/part_settings.py choices SETTINGS_FOLDER
        prints, for every part of the part list, one DLL=V,V... a line for
        each combination of values a user can choose in its dialog
"""
import itertools
import json
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ among the tools
import component_lines  # noqa: E402

CONTROLS = ("check", "combo", "radio")


class Refusal(Exception):
    pass


def declaration(folder, dll):
    """The settings of DLL, in the order of the lines of its block."""
    path = os.path.join(folder, dll + ".json")
    try:
        with open(path, encoding="utf-8") as f:
            declared = json.load(f)
    except OSError as error:
        raise Refusal(f"no settings of {dll}: {path}: {error.strerror}") from None
    except ValueError as error:
        raise Refusal(f"{path} is no JSON: {error}") from None
    if declared.get("part") != dll:
        raise Refusal(f"{path} declares the settings of {declared.get('part')!r}, not of {dll}")
    for setting in declared["settings"]:
        if setting["control"] not in CONTROLS:
            raise Refusal(f"{path}: setting {setting['name']} has the control {setting['control']!r}, "
                          f"none of {', '.join(CONTROLS)}")
    return declared["settings"]


def choosable(setting):
    """The values a user can choose for the setting in the dialog."""
    if setting["control"] == "check":
        return [0, 1]
    return [item["value"] for item in setting["items"]]


def choices(settings):
    """Every combination of choosable values, the last setting changing
    fastest, as the text after DLL= (one value per line of the block)."""
    return [",".join(map(str, values)) for values in itertools.product(*map(choosable, settings))]


def part_requests(folder, parts):
    """DLL=V,V... for every part and every combination of its values."""
    return [f"{part.name}.dll={values}" for part in parts for values in choices(declaration(folder, part.name))]


def main(argv):
    if len(argv) != 2 or argv[0] != "choices":
        sys.exit(__doc__)
    try:
        print("\n".join(part_requests(argv[1], component_lines.parts())))
    except Refusal as refusal:
        sys.exit(f"part_settings: {refusal}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
