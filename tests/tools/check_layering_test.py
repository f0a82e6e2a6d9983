#!/usr/bin/env python3
"""The layering check on scratch trees: each case adds files to a clean tree
and names the faults the check must print (none: it must pass)."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check-layering.py")

CLEAN_TREE = {
    "platform/CMakeLists.txt": "mosark_library(platform DEPS Threads::Threads)\n",
    "platform/Window.h": "#pragma once\n",
    "platform/Window.cpp": '#include "platform/Window.h"\n',
    "app/CMakeLists.txt": "# core\nmosark_library(app DEPS platform\n  PkgConfig::EXPAT)\n",
    "app/Log.h": '#pragma once\n#include <string>\n#include "platform/Window.h"\n',
    "app/Log.cpp": '#include "app/Log.h"\n#include "Log.h"\n',
    "graphics/CMakeLists.txt": "mosark_library(graphics DIRS . images DEPS app)\n",
    "graphics/Graphics.h": '#include "app/Log.h"\n',
    "graphics/images/Png.cpp": '#include "graphics/Graphics.h"\n',
    "graphics/drivers/CMakeLists.txt": "mosark_library(graphics_drivers DEPS graphics)\n",
    "graphics/drivers/Ogl.cpp": '#include "graphics/Graphics.h"\n',
    "scene/Scene.h": "#pragma once\n",
    "scenes/Scenes.h": '#include "scene/Scene.h"\n',
    "sound/CMakeLists.txt": "mosark_library(sound DEPS app platform)\n",
    "shell/CMakeLists.txt": "mosark_library(shell DEPS graphics_drivers)\n"
                            "add_executable(mosark mosark/main.cpp)\n"
                            "target_link_libraries(mosark PRIVATE shell)\n",
    "shell/Shell.cpp": '#include "graphics/drivers/Ogl.h"\n',
    "graphics/drivers/Ogl.h": "#pragma once\n",
    "shell/mosark/main.cpp": '#include "shell/Shell.h"\n#include "scenes/Scenes.h"\n',
    "shell/Shell.h": "#pragma once\n",
    "tools/CMakeLists.txt": "mosark_library(tools DEPS graphics)\n",
    "tools/Writer.cpp": '#include "graphics/Graphics.h"\n#include "tools/Writer.h"\n',
    "tools/Writer.h": "#pragma once\n",
    "tests/app/LogTest.cpp": '#include "shell/Shell.h"\n#include "tools/Writer.h"\n',
    "fuzz/fuzz_log.cpp": '#include "graphics/drivers/Ogl.h"\n',
}

# (name, files added to the clean tree, faults expected in the output)
CASES = [
    ("CleanTreePasses", {}, []),
    ("UpwardIncludeFailsWithFileAndLine", {"app/Xml.cpp": '#include "app/Log.h"\n\n#include "graphics/Graphics.h"\n'},
     ["app/Xml.cpp:3: ", "app may not use graphics"]),
    ("AngleBracketsCountToo", {"platform/Time.cpp": "#include <app/Log.h>\n"}, ["platform/Time.cpp:1: "]),
    ("AppCoreMayNotIncludeTheShell", {"app/Run.cpp": '#include "shell/Shell.h"\n'},
     ["app/Run.cpp:1: ", "app may not use shell"]),
    ("SceneIsBelowScenes", {"scene/Scene.cpp": '#include "scenes/Scenes.h"\n'}, ["scene/Scene.cpp:1: "]),
    ("GraphicsCoreIsBelowItsDrivers", {"graphics/Text.cpp": '#include "graphics/drivers/Ogl.h"\n'},
     ["graphics/Text.cpp:1: "]),
    ("ShellIsBelowTheProgram", {"shell/Run.cpp": '#include "shell/mosark/Main.h"\n',
                                "shell/mosark/Main.h": ""}, ["shell/Run.cpp:1: "]),
    ("LibraryMayNotIncludeTests", {"app/Debug.cpp": '#include "tests/app/LogTest.cpp"\n'},
     ["app/Debug.cpp:1: ", "may not use tests/"]),
    ("LibraryMayNotIncludeTools", {"graphics/Font.cpp": '#include "tools/Writer.h"\n'},
     ["graphics/Font.cpp:1: ", "may not use tools/"]),
    ("ToolsMayNotIncludeDrivers", {"tools/Dump.cpp": '#include "graphics/drivers/Ogl.h"\n'},
     ["tools/Dump.cpp:1: ", "tools may use only"]),
    ("TheCaptureProgramMayUseTheShell", {"tools/capture/main.cpp": '#include "shell/Shell.h"\n#include "tools/Writer.h"\n'},
     []),
    ("NoLibraryIncludesTheCaptureProgram", {"shell/Run.cpp": '#include "tools/capture/Capture.h"\n',
                                            "tools/capture/Capture.h": ""},
     ["shell/Run.cpp:1: ", "may not use tools/capture"]),
    ("UpwardLinkFails", {"platform/CMakeLists.txt": "mosark_library(platform\n  DEPS app)\n"},
     ["platform/CMakeLists.txt:1: platform links app: platform may not use app"]),
    ("LinkNoIncludeUsesFails", {"graphics/drivers/CMakeLists.txt": "mosark_library(graphics_drivers DEPS graphics app)\n"},
     ["graphics/drivers/CMakeLists.txt:1: graphics_drivers links app, but none of its files includes it"]),
    ("ExtraLinkLineCounts", {"app/CMakeLists.txt": "mosark_library(app DEPS platform)\n"
                                                   "target_link_libraries(app PUBLIC tools)\n"},
     ["app/CMakeLists.txt:1: app links tools"]),
]


def make_tree(root, files):
    for path, text in {**CLEAN_TREE, **files}.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)


class LayeringCheckTest(unittest.TestCase):
    def test_cases(self):
        for name, files, faults in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                make_tree(root, files)
                run = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
                for fault in faults:
                    self.assertIn(fault, run.stdout)
                self.assertEqual(run.returncode, 1 if faults else 0, run.stdout + run.stderr)
                if faults:
                    self.assertEqual(len(run.stdout.splitlines()), 1, run.stdout)


if __name__ == "__main__":
    unittest.main()
