#!/usr/bin/env python3
"""Checks that no counted engine class declares a non-throwing destructor.

Usage: check-destructors.py [project root]   (default: the folder above tools/)

Destroying a counted object that is still referenced throws the integer 1
from the counted base's destructor. A destructor declared `noexcept` (or
`noexcept(true)`) turns that throw into std::terminate, so in the engine
folders every destructor written with `noexcept` must say `noexcept(false)`.
Classes that are not counted may stay non-throwing; they are listed below.

Prints one line per fault (file:line: ...) and exits 1 when there is any.
"""

import os
import re
import sys

ENGINE_FOLDERS = ("app", "reflection", "graphics", "sound", "particles", "scene", "placefile", "scenes",
                  "controls", "gameui", "shell")

# Not counted: the graphics drivers, the particle system, and the counted
# reference holder of reflected values.
NOT_COUNTED = {"CGraphics_D3D8", "CGraphics_OGL", "CGraphics_D3D7", "CGraphics_SFTW", "CParticleSystem", "CInstance"}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp")
# A destructor's declaration or definition marked noexcept, other than noexcept(false).
NON_THROWING = re.compile(r"~\s*(\w+)\s*\(\s*(?:void\s*)?\)\s*(?:const\s*)?noexcept\b(?!\s*\(\s*false\s*\))")


def faults_in(path, shown):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = NON_THROWING.search(line)
            if match and match.group(1) not in NOT_COUNTED:
                yield (f"{shown}:{number}: ~{match.group(1)} is declared noexcept; a counted class's destructor "
                       f"must be noexcept(false) so that destroying a referenced object throws")


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = []
    for top in ENGINE_FOLDERS:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    path = os.path.join(folder, name)
                    faults.extend(faults_in(path, os.path.relpath(path, root)))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
