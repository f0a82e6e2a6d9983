#!/usr/bin/env python3
"""Checks that includes and link dependencies point down the layer order.

Usage: check-layering.py [project root]   (default: the folder above tools/)

Libraries are layered platform < app < reflection < graphics < sound <
particles < scene < placefile < scenes < controls < gameui < shell. A
file may include headers of its own layer or of one below; within a layer,
graphics/drivers sits above graphics (and its images), and the program in
shell/mosark above the shell. tests/, bench/ and fuzz/ may include
anything; tools/ may include the libraries whose formats it writes, and
tools/capture, a program that runs the screensaver, anything but tests/,
bench/ and fuzz/. No library includes tools/, tests/, bench/ or fuzz/.

The same rule holds for the project targets a CMakeLists.txt links, and a
library may not link a project library none of its files include.

Prints one line per fault (file:line: ...) and exits 1 when there is any.
"""

import os
import re
import sys

# (folder, rank): a file may include from folders of equal or lower rank.
LAYERS = [
    ("platform", 0),
    ("app", 1),
    ("reflection", 2),
    ("graphics", 3),
    ("graphics/images", 3),
    ("graphics/drivers", 3.5),
    ("sound", 4),
    ("particles", 5),
    ("scene", 6),
    ("placefile", 7),
    ("scenes", 8),
    ("controls", 9),
    ("gameui", 10),
    ("shell", 11),
    ("shell/mosark", 11.5),
]
ORDER_TEXT = "platform < app < reflection < graphics < sound < particles < scene < placefile < scenes < controls < gameui < shell"
# Above everything: may include any folder, included by none.
TOP = ("tests", "bench", "fuzz")
TOOLS = "tools"
# A program among the tools that runs the whole application.
TOOLS_PROGRAM = "tools/capture"
# The libraries whose formats tools/ writes (graphics for sprites and
# images, particles, scene, placefile and scenes for their files).
TOOLS_MAY_INCLUDE = {"platform", "app", "reflection", "graphics", "graphics/images", "sound", "particles",
                     "scene", "placefile", "scenes"}

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')
CMAKE_CALL = re.compile(r"\b(\w+)\s*\(([^()]*)\)", re.S)


def layer_folder(folder):
    """The layer a folder belongs to: the longest layer folder that is it or holds it."""
    parts = folder.split("/")
    for length in range(len(parts), 0, -1):
        candidate = "/".join(parts[:length])
        if any(candidate == name for name, _ in LAYERS):
            return candidate
    return None


def rank(layer):
    return dict(LAYERS)[layer]


def area(folder):
    """'top', 'tools', a layer folder, or None for folders outside the order."""
    top = folder.split("/")[0]
    if top in TOP:
        return "top"
    if folder == TOOLS_PROGRAM or folder.startswith(TOOLS_PROGRAM + "/"):
        return "program"
    if top == TOOLS:
        return "tools"
    return layer_folder(folder)


def refusal(source_folder, target_folder):
    """Why source_folder may not use target_folder; None when it may."""
    source, target = area(source_folder), area(target_folder)
    if source == "top" or target is None:
        return None
    if target == "top":
        return "%s may not use %s/ (only tests, benchmarks and fuzz targets live there)" % (
            source, target_folder.split("/")[0])
    if source == "program":
        return None
    if target == "program":
        return "%s may not use %s (a program)" % (source, TOOLS_PROGRAM)
    if source == "tools":
        if target == "tools" or target in TOOLS_MAY_INCLUDE:
            return None
        return "tools may use only the libraries whose formats it writes, not %s" % target
    if source is None:
        return None
    if target == "tools":
        return "%s may not use tools/ (no library depends on the tools)" % source
    if rank(target) > rank(source):
        return "%s may not use %s, which sits above it (%s)" % (source, target, ORDER_TEXT)
    return None


def project_files(root):
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root).replace(os.sep, "/")
        top = rel.split("/")[0]
        if rel != "." and (top.startswith(".") or top.startswith("build") or area(rel) is None and top != TOOLS):
            dirs[:] = []
            continue
        dirs.sort()
        for name in sorted(files):
            yield rel, name


def resolve(root, folder, header):
    """The folder of the project header an include names, or None."""
    for base in ("", folder):
        path = os.path.normpath(os.path.join(base, header)).replace(os.sep, "/")
        if not path.startswith("..") and os.path.isfile(os.path.join(root, path)):
            return os.path.dirname(path) or "."
    return None


def check_includes(root, faults):
    """Checks every include; returns {folder: set of folders it includes}."""
    used = {}
    for folder, name in project_files(root):
        if not name.endswith(SOURCE_SUFFIXES):
            continue
        path = os.path.join(root, folder, name)
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                target = match and resolve(root, folder, match.group(1))
                if not target:
                    continue
                used.setdefault(folder, set()).add(target)
                why = refusal(folder, target)
                if why:
                    faults.append('%s/%s:%d: includes "%s": %s' % (folder, name, number, match.group(1), why))
    return used


def cmake_targets(root):
    """{target: (CMakeLists path, line, folders, project-or-not deps, is library)}."""
    targets = {}
    for folder, name in project_files(root):
        if name != "CMakeLists.txt" or area(folder) in (None, "top") or folder == ".":
            continue
        path = os.path.join(root, folder, name)
        with open(path, encoding="utf-8") as lists:
            text = re.sub(r"#[^\n]*", "", lists.read())
        for call in CMAKE_CALL.finditer(text):
            command, args = call.group(1), call.group(2).split()
            line = text.count("\n", 0, call.start()) + 1
            where = "%s/%s" % (folder, name)
            if command == "mosark_library" and args:
                dirs, deps, key = [], [], None
                for arg in args[1:]:
                    if arg in ("DIRS", "DEPS"):
                        key = arg
                    elif key == "DIRS":
                        dirs.append(arg)
                    elif key == "DEPS":
                        deps.append(arg)
                folders = [os.path.normpath(os.path.join(folder, d)).replace(os.sep, "/") for d in dirs or ["."]]
                targets[args[0]] = [where, line, folders, deps, True]
            elif command == "add_executable" and len(args) > 1:
                source = os.path.normpath(os.path.join(folder, args[1])).replace(os.sep, "/")
                targets[args[0]] = [where, line, [os.path.dirname(source)], [], False]
            elif command == "target_link_libraries" and args and args[0] in targets:
                targets[args[0]][3] += [a for a in args[1:] if a not in ("PUBLIC", "PRIVATE", "INTERFACE")]
    return targets


def has_sources(root, folders):
    return any(name.endswith((".c", ".cpp"))
               for folder in folders if os.path.isdir(os.path.join(root, folder))
               for name in os.listdir(os.path.join(root, folder)))


def check_links(root, used, faults):
    targets = cmake_targets(root)
    for name, (where, line, folders, deps, is_library) in sorted(targets.items()):
        included = set().union(*(used.get(folder, set()) for folder in folders))
        for dep in deps:
            if dep not in targets or dep == name:
                continue
            dep_folders = targets[dep][2]
            why = refusal(folders[0], dep_folders[0])
            if why:
                faults.append("%s:%d: %s links %s: %s" % (where, line, name, dep, why))
            # A library without sources yet only names what it will need.
            elif is_library and has_sources(root, folders) and not included & set(dep_folders):
                faults.append("%s:%d: %s links %s, but none of its files includes it" % (where, line, name, dep))


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = []
    used = check_includes(root, faults)
    check_links(root, used, faults)
    for fault in faults:
        print(fault)
    if faults:
        print("Layering check: %d fault(s)" % len(faults), file=sys.stderr)
        return 1
    print("Layering check: includes and links point down (%s)" % ORDER_TEXT)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
