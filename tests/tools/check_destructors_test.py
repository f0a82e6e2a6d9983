#!/usr/bin/env python3
"""The destructor check on scratch trees: each case writes its files and names
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
    ("SplitDeclarationFails", "controls/List.h", "class CList {\n    ~CList()\n        noexcept override;\n};\n",
     ["controls/List.h:2: ~CList"]),
    ("SplitNoexceptFalsePasses", "controls/List.h", "    ~CList() noexcept(\n        false) override;\n", []),
    ("InlineFileFails", "scene/Scene.inl", "inline CScene::~CScene() noexcept {}\n", ["scene/Scene.inl:1: ~CScene"]),
    ("CcFileFails", "sound/Voice.cc", "CVoice::~CVoice() noexcept = default;\n", ["sound/Voice.cc:1: ~CVoice"]),
    ("HhFileFails", "sound/Voice.hh", "    ~CVoice() noexcept;\n", ["sound/Voice.hh:1: ~CVoice"]),
    ("NewTopLevelLibraryIsRead", "network/Socket.h", "    ~CSocket() noexcept;\n", ["network/Socket.h:1: ~CSocket"]),
    ("AllowedNameInAnotherFileFails", "scene/Instance.h", "    ~CInstance() noexcept override;\n",
     ["scene/Instance.h:1: ~CInstance"]),
    ("AllowedNameInItsHeaderPasses", "reflection/Value.h", "    ~CInstance() noexcept override {}\n", []),
    ("ToolsAreNotRead", "tools/PakWriter.h", "    ~CPakWriter() noexcept;\n", []),
    ("BenchAndFuzzAreNotRead", "bench/pack_read.cpp", "    ~CBench() noexcept;\n", []),
    ("HiddenFoldersAreNotRead", ".cache/Scene.h", "    ~CScene() noexcept;\n", []),
    ("EmptyThrowFails", "controls/List.h", "    ~CList() throw() override;\n", ["controls/List.h:1: ~CList"]),
    ("BlockCommentBeforeNoexceptFails", "controls/List.h", "    ~CList() /* never throws */ noexcept;\n",
     ["controls/List.h:1: ~CList"]),
    ("BlockCommentOverLinesFails", "controls/List.h",
     "class CList {\n    ~CList() /* never\n   throws */ noexcept;\n};\n", ["controls/List.h:2: ~CList"]),
    ("LineCommentBeforeNoexceptFails", "controls/List.h", "    ~CList()  // never throws\n        noexcept;\n",
     ["controls/List.h:1: ~CList"]),
    ("CommentInsideNoexceptFalsePasses", "controls/List.h", "    ~CList() noexcept(/* throws */ false);\n", []),
    # Literals open no comment: each would otherwise hide the destructor below it.
    ("StringHoldingACommentOpenerHidesNothing", "graphics/SprFile.cpp",
     'const char* kPattern = "\\"spr/*.spr\\"";\nCSprFile::~CSprFile() noexcept {}\n',
     ["graphics/SprFile.cpp:2: ~CSprFile"]),
    ("QuoteCharacterHidesNothing", "graphics/SprFile.cpp",
     "char kQuote = '\"'; const char* kPattern = \"spr/*.spr\";\nCSprFile::~CSprFile() noexcept {}\n",
     ["graphics/SprFile.cpp:2: ~CSprFile"]),
    ("RawStringHidesNothing", "graphics/SprFile.cpp",
     'const char* kPattern = R"x(")/*)x";\nCSprFile::~CSprFile() noexcept {}\n',
     ["graphics/SprFile.cpp:2: ~CSprFile"]),
    ("DigitSeparatorHidesNothing", "graphics/SprFile.cpp",
     "int kLimit = 1'000; const char* kQuote = \"'/*\";\nCSprFile::~CSprFile() noexcept {}\n",
     ["graphics/SprFile.cpp:2: ~CSprFile"]),
] + [(f"{suffix}FileFails", f"sound/Voice{suffix}", "    ~CVoice() noexcept;\n", [f"sound/Voice{suffix}:1: ~CVoice"])
     for suffix in (".tcc", ".hp", ".HPP", ".cp", ".CPP")]

# A build tree holds copies and generated sources; it is known by its cache.
BUILD_TREE = {"CMakeCache.txt": "CMAKE_BUILD_TYPE:STRING=\n"}
TREES = [
    ("BuildTreesAreNotRead", {**BUILD_TREE, "gen/Scene.h": "    ~CScene() noexcept;\n"}, "build-asan", []),
    ("BuildTreeInsideALibraryIsNotRead", {**BUILD_TREE, "Scene.h": "    ~CScene() noexcept;\n"}, "scene/out", []),
]


class DestructorCheckTest(unittest.TestCase):
    def check(self, files, faults):
        with tempfile.TemporaryDirectory() as root:
            for path, text in files.items():
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="utf-8") as out:
                    out.write(text)
            run = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
            self.assertEqual(run.returncode, 1 if faults else 0, run.stdout + run.stderr)
            self.assertEqual([line.split(" is ")[0] for line in run.stdout.splitlines()], faults)

    def test_cases(self):
        for name, path, text, faults in CASES:
            with self.subTest(name):
                self.check({path: text}, faults)

    def test_trees(self):
        for name, files, folder, faults in TREES:
            with self.subTest(name):
                self.check({os.path.join(folder, path): text for path, text in files.items()}, faults)


if __name__ == "__main__":
    unittest.main()
