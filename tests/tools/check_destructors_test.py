#!/usr/bin/env python3
"""The destructor check on scratch trees: each case writes one file and names
the fault lines the check must print (none: it must pass)."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check-destructors.py")

# (name, path, text, fault prefixes expected in the output)
CASES = [
    ("ThrowingDeclarationPasses", "graphics/SprFile.h", "    ~CSprFile() noexcept(false) override;\n", []),
    ("UnspecifiedDestructorPasses", "controls/Button.h", "    ~CButton() override;\n", []),
    ("NoexceptDeclarationFails", "controls/List.h", "class CList {\n    ~CList() noexcept override;\n};\n",
     ["controls/List.h:2: ~CList"]),
    ("NoexceptTrueFails", "scene/Scene.h", "    ~CScene() noexcept (true);\n", ["scene/Scene.h:1: ~CScene"]),
    ("OutOfLineDefinitionFails", "placefile/PlaceFile.cpp", "CPlaceFile::~CPlaceFile() noexcept = default;\n",
     ["placefile/PlaceFile.cpp:1: ~CPlaceFile"]),
    ("ClassesThatAreNotCountedPass", "graphics/drivers/GraphicsOGL.cpp",
     "CGraphics_OGL::~CGraphics_OGL() noexcept {}\n", []),
    ("FoldersOutsideTheEngineAreNotRead", "platform/Window.h", "    ~CWindow() noexcept;\n", []),
]


class DestructorCheckTest(unittest.TestCase):
    def test_cases(self):
        for name, path, text, faults in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full))
                with open(full, "w", encoding="utf-8") as out:
                    out.write(text)
                run = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
                self.assertEqual(run.returncode, 1 if faults else 0, run.stdout + run.stderr)
                self.assertEqual([line.split(" is ")[0] for line in run.stdout.splitlines()], faults)


if __name__ == "__main__":
    unittest.main()
