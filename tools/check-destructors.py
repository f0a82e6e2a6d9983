#!/usr/bin/env python3
"""Checks that no counted engine class declares a non-throwing destructor.

Usage: check-destructors.py [project root]   (default: the folder above tools/)

Destroying a counted object that is still referenced throws the integer 1
from the counted base's destructor. A destructor declared `noexcept` (or
`noexcept(true)`, or the older `throw()`) turns that throw into
std::terminate, so in the engine folders every destructor written with
`noexcept` must say `noexcept(false)`.
Classes that are not counted may stay non-throwing; they are listed below
with the file pair that holds them.

The engine folders are found from the tree: every top-level folder of C++
sources except those of OUTSIDE_ENGINE, hidden folders and build trees (a
folder holding CMakeCache.txt), which are skipped at any depth. A declaration
is read whole and without its comments, however it is split over lines. A
`noexcept` written through a macro is not expanded and stays unseen.

Prints one line per fault (file:line: ...) and exits 1 when there is any.
"""

import os
import re
import sys

OUTSIDE_ENGINE = {"bench", "fuzz", "platform", "tests", "tools"}

# Not counted, as (file pair without its suffix, class): the graphics
# drivers, the particle system, and the counted reference holder of
# reflected values.
NOT_COUNTED = {
    ("graphics/drivers/GraphicsD3D8", "CGraphics_D3D8"),
    ("graphics/drivers/GraphicsOGL", "CGraphics_OGL"),
    ("graphics/drivers/GraphicsD3D7", "CGraphics_D3D7"),
    ("graphics/drivers/GraphicsSFTW", "CGraphics_SFTW"),
    ("particles/engine/ParticleSystem", "CParticleSystem"),
    ("reflection/Value", "CInstance"),
}

# Every suffix g++ compiles or includes as C++ (suffixes are case-sensitive).
SOURCE_SUFFIXES = (".h", ".hh", ".hp", ".hpp", ".HPP", ".hxx", ".h++", ".H", ".tcc", ".inl", ".ipp", ".tpp",
                   ".txx", ".cc", ".cp", ".cpp", ".CPP", ".cxx", ".c++", ".C", ".cppm", ".ixx")
# A destructor's declaration or definition marked noexcept, other than
# noexcept(false), or throw(); \s also spans the line breaks of a split
# declaration.
NON_THROWING = re.compile(r"~\s*(\w+)\s*\(\s*(?:void\s*)?\)\s*(?:const\s*)?"
                          r"(?:noexcept\b(?!\s*\(\s*false\s*\))|throw\s*\(\s*\))")
# What opens a comment or a literal: a comment's text is blanked, a
# literal's is kept but skipped so that "spr/*.spr" opens no comment. A
# quote after a word that is no encoding prefix separates digits (1'000).
OPENER = re.compile(r'//|/\*|(\w*)(["\'])')
CHARACTER_PREFIXES = {"", "u8", "u", "U", "L"}
RAW_PREFIXES = {"R", "u8R", "uR", "UR", "LR"}
LITERAL_END = {'"': re.compile(r'(?:[^"\\\n]|\\.)*("|$)', re.M | re.S),
               "'": re.compile(r"(?:[^'\\\n]|\\.)*('|$)", re.M | re.S)}
RAW_DELIMITER = re.compile(r'([^()\\\s]{0,16})\(')
# A backslash at a line's end carries a line comment on.
LINE_COMMENT = re.compile(r"(?:\\\r?\n|[^\n])*")


def blank(text):
    """Spaces for every character but line breaks, which keep line numbers."""
    return re.sub(r"[^\n]", " ", text)


def without_comments(text):
    """The text with every comment blanked, its lines where they were."""
    kept = []
    at = 0
    while opener := OPENER.search(text, at):
        kept.append(text[at:opener.start()])
        at = comment_end(text, opener)
        if at is not None:
            kept.append(blank(text[opener.start():at]))
        else:
            at = literal_end(text, opener)
            kept.append(text[opener.start():at])
    kept.append(text[at:])
    return "".join(kept)


def comment_end(text, opener):
    """Where the comment opened by `opener` ends; None for a literal."""
    if opener.group(0) == "//":
        return LINE_COMMENT.match(text, opener.start()).end()
    if opener.group(0) == "/*":
        close = text.find("*/", opener.end())
        return len(text) if close < 0 else close + 2
    return None


def literal_end(text, opener):
    """Where the literal opened by `opener` ends (past a digit separator for
    a quote that opens none)."""
    prefix, quote = opener.groups()
    if quote == '"' and prefix in RAW_PREFIXES:
        delimiter = RAW_DELIMITER.match(text, opener.end())
        if delimiter:
            close = text.find(")" + delimiter.group(1) + '"', delimiter.end())
            return len(text) if close < 0 else close + len(delimiter.group(1)) + 2
    if quote == "'" and prefix not in CHARACTER_PREFIXES:
        return opener.end()
    return LITERAL_END[quote].match(text, opener.end()).end()


def skipped(folder, name):
    return name.startswith(".") or os.path.isfile(os.path.join(folder, name, "CMakeCache.txt"))


def sources(root):
    """Relative paths of the engine's C++ sources, in a stable order."""
    for top in sorted(os.listdir(root)):
        if top in OUTSIDE_ENGINE or skipped(root, top) or not os.path.isdir(os.path.join(root, top)):
            continue
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(name for name in dirs if not skipped(folder, name))
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def faults_in(root, shown):
    with open(os.path.join(root, shown), encoding="utf-8", errors="replace") as f:
        text = without_comments(f.read())
    pair = os.path.splitext(shown)[0]
    for match in NON_THROWING.finditer(text):
        if (pair, match.group(1)) not in NOT_COUNTED:
            number = text.count("\n", 0, match.start()) + 1
            yield (f"{shown}:{number}: ~{match.group(1)} is declared noexcept; a counted class's destructor "
                   f"must be noexcept(false) so that destroying a referenced object throws")


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = [fault for shown in sources(root) for fault in faults_in(root, shown)]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
