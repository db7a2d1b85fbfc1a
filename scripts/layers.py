#!/usr/bin/env python3
"""Checks that the core's folders depend one way and that no core file includes a window.

The core's folders, lowest first: platform, meter, display, help, logging, grapher. A core
file may include files of its own folder and of the folders below it; a window file
(listed under qmxwidgets or the drawing library qmxpaint in its folder's CMakeLists.txt,
or in ui/) may include anything.
Prints each include that breaks the order and exits non-zero when there is one.
"""
import pathlib
import re
import sys

ORDER = ["platform", "meter", "display", "help", "logging", "grapher"]
root = pathlib.Path(__file__).resolve().parent.parent


def window_files():
    names = set()
    for folder in ORDER + ["ui"]:
        text = (root / folder / "CMakeLists.txt").read_text()
        for block in re.findall(r"target_sources\((?:qmxwidgets|qmxpaint) PRIVATE(.*?)\)", text, re.S):
            for name in block.split():
                names.add(f"{folder}/{name[:-len('.cpp')]}")
    return names


def main():
    windows = window_files()
    faults = []
    for folder in ORDER:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            own = str(path.relative_to(root).with_suffix(""))
            if own in windows:
                continue
            for line in path.read_text().splitlines():
                m = re.match(r'#include "([a-z0-9_]+)/(.*)\.h"', line)
                if not m:
                    continue
                target = f"{m.group(1)}/{m.group(2)}"
                low = m.group(1) in ORDER and ORDER.index(m.group(1)) <= ORDER.index(folder)
                if target in windows or m.group(1) not in ORDER or not low:
                    faults.append(f"{path.relative_to(root)}: {line}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
