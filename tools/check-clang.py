#!/usr/bin/env python3
"""Checks that every source of every target, tests, benchmarks and fuzz
replays included, compiles with clang: a syntax-only pass over the compile
commands of clang configurations of the project.

Usage: check-clang.py [source dir] [build dir]

The build dir (default: build-clang beside the sources) is configured with
clang, tests and benchmarks on; a second one beside it (<build dir>-sanitize)
with the sanitizers on adds the sources only that build has. Only the
generated program resources are built for real, since a source includes them.
The benchmarks' optional peer library is not looked for: its own headers need
not compile with clang, and a source of ours is what is being checked. Exits 1
and prints clang's errors when any source fails.
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


# Each configuration adds the sources the ones before it lack.
CONFIGURATIONS = [
    ("", ["-DMOSARK_BUILD_TESTS=ON", "-DMOSARK_BUILD_BENCH=ON", "-DCMAKE_DISABLE_FIND_PACKAGE_rttr=ON"]),
    ("-sanitize", ["-DMOSARK_BUILD_TESTS=ON", "-DMOSARK_SANITIZE=ON"]),
]


def configure(source, build, cc, cxx, options):
    run(["cmake", "-S", source, "-B", build, "-G", "Ninja",
         "-DCMAKE_C_COMPILER=" + cc, "-DCMAKE_CXX_COMPILER=" + cxx,
         "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"] + options)
    run(["cmake", "--build", build, "--target", GENERATED])
    with open(os.path.join(build, "compile_commands.json")) as f:
        return json.load(f)


def source_key(entry, source, build):
    """The source's path below the build dir for generated sources, so that
    one generated in each configuration counts once; else below the sources."""
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    for root in (build, source):
        if path.startswith(root + os.sep):
            return os.path.relpath(path, root)
    return path


def sources_to_check(source, build, cc, cxx):
    """Every compile command of the first configuration, then those of each
    later one whose source none before it compiles."""
    entries = []
    seen = set()
    for suffix, options in CONFIGURATIONS:
        added = [entry for entry in configure(source, build + suffix, cc, cxx, options)
                 if source_key(entry, source, build + suffix) not in seen]
        seen |= {source_key(entry, source, build + suffix) for entry in added}
        entries += added
    return entries


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
    entries = sources_to_check(source, build, cc, cxx)
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
