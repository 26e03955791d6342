#!/usr/bin/env python3
"""Fails when a source folder includes a header from a folder above it.

Each folder may include its own headers and those of the folders below it:
  platform < raster < plug < dsp < au, lv2 < gui < tools
(au and lv2 are siblings: neither includes the other).  A quoted include is
resolved to the folder that holds the header: the including file's own folder
first, else the lowest folder that has it.  The one allowed exception: the
effect class chooses its wrapper base, PluginWrapper.h, from the wrapper it is
built with.  Prints one line per folder and every violation; exit 1 on any.
"""
import os
import re
import sys

RANK = {"platform": 0, "raster": 1, "plug": 2, "dsp": 3, "au": 4, "lv2": 4, "gui": 5, "tools": 6}
ALLOWED = {("dsp/Vantrose.h", "PluginWrapper.h")}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def sources(root):
    for folder in RANK:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for f in sorted(files):
                if f.endswith((".h", ".cpp")):
                    yield folder, os.path.relpath(os.path.join(base, f), root)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    files = list(sources(root))
    where = {}
    for folder, path in files:
        where.setdefault(os.path.basename(path), set()).add(folder)
    counts = {f: 0 for f in RANK}
    bad = []
    for folder, path in files:
        with open(os.path.join(root, path), encoding="utf-8") as text:
            for line_no, line in enumerate(text, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                name = m.group(1)
                homes = where.get(os.path.basename(name))
                if not homes:
                    continue  # a system or generated header
                counts[folder] += 1
                home = folder if folder in homes else min(homes, key=lambda h: RANK[h])
                if home == folder or RANK[home] < RANK[folder]:
                    continue
                if (path, name) in ALLOWED:
                    print(f"{path}:{line_no}: allowed: includes {name} from the wrapper it is built with")
                    continue
                bad.append(f"{path}:{line_no}: {folder}/ includes {home}/{os.path.basename(name)}")
    for folder in RANK:
        print(f"{folder:9} {counts[folder]:4} project includes checked")
    for b in bad:
        print(b)
    print("layering: FAIL" if bad else "layering: OK")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
