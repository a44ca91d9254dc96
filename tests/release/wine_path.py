"""Where a Windows program under Wine finds a file of this machine: its
absolute path on drive Z:, which Wine maps to the root."""

import os


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")
