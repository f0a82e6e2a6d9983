// pakbuild [-s] <folder> <out.pak>: packs every file below a folder into a
// data pack; -s scrambles the index and the entries.

#include <cstdio>
#include <cstring>
#include <exception>

#include "tools/PakWriter.h"

int main(int argc, char** argv) {
    bool scrambled = false;
    int arg = 1;
    if (arg < argc && std::strcmp(argv[arg], "-s") == 0) {
        scrambled = true;
        ++arg;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: %s [-s] <folder> <out.pak>\n", argv[0]);
        return 2;
    }
    try {
        const Tools::CPakWriter writer = Tools::PackFolder(argv[arg], scrambled);
        if (!writer.Save(argv[arg + 1])) {
            std::fprintf(stderr, "pakbuild: cannot write '%s'\n", argv[arg + 1]);
            return 1;
        }
        std::printf("%s: %zu files%s\n", argv[arg + 1], writer.GetCount(), scrambled ? ", scrambled" : "");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pakbuild: %s\n", e.what());
        return 1;
    }
}
