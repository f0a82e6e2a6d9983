#!/usr/bin/env python3
"""Checks that every source of every target, tests, benchmarks and fuzz
replays included, compiles with clang: a syntax-only pass over the compile
commands of a clang configuration of the project.

Usage: check-clang.py [source dir] [build dir]

The build dir (default: build-clang beside the sources) is configured with
clang; only the generated program resources are built for real, since a
source includes them. Exits 1 and prints clang's errors when any source fails.
"""

import concurrent.futures
import json
import os
import shlex
import shutil
import subprocess
import sys

GENERATED = "shell/ProgramResources.cpp"


def find_compiler(names):
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    sys.exit("check-clang: no clang found (tried %s)" % ", ".join(names))


def run(args):
    completed = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if completed.returncode != 0:
        sys.stdout.write(completed.stdout)
        sys.exit("check-clang: '%s' failed" % " ".join(args))


def configure(source, build, cc, cxx):
    run(["cmake", "-S", source, "-B", build, "-G", "Ninja",
         "-DCMAKE_C_COMPILER=" + cc, "-DCMAKE_CXX_COMPILER=" + cxx,
         "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
         "-DMOSARK_BUILD_TESTS=ON", "-DMOSARK_BUILD_BENCH=ON"])
    run(["cmake", "--build", build, "--target", GENERATED])


def syntax_only(entry):
    """The entry's command without its object output, checking syntax only."""
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    kept = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg == "-o":
            skip = True
            continue
        if arg.startswith("-MF") or arg in ("-MD", "-MMD"):
            skip = arg == "-MF"
            continue
        kept.append(arg)
    return kept + ["-fsyntax-only"]


def check(entry):
    completed = subprocess.run(syntax_only(entry), cwd=entry["directory"],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return entry["file"], completed.returncode, completed.stdout


def main():
    source = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    build = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(source, "build-clang"))
    cc = find_compiler(["clang-14", "clang"])
    cxx = find_compiler(["clang++-14", "clang++"])
    configure(source, build, cc, cxx)
    with open(os.path.join(build, "compile_commands.json")) as f:
        entries = json.load(f)
    failed = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for path, code, output in pool.map(check, entries):
            if code != 0:
                failed.append(path)
                sys.stdout.write(output)
    version = subprocess.run([cxx, "--version"], stdout=subprocess.PIPE, text=True).stdout.splitlines()[0]
    print("clang check (%s): %d sources, %d failed" % (version, len(entries), len(failed)))
    for path in failed:
        print("  failed: %s" % os.path.relpath(path, source))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
