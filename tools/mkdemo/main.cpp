// mkdemo <font.ttf> <folder>: writes the demo data for running the
// screensaver from the folder: <folder>/demo.pak, and under
// <folder>/config/Talvorn/Mosark a windowed "Settings.xml" and the
// "StartupPath" that points back at the folder. Run the screensaver with
// XDG_CONFIG_HOME=<folder>/config.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "tools/DemoData.h"

namespace fs = std::filesystem;

namespace {

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <font.ttf> <folder>\n", argv[0]);
        return 2;
    }
    try {
        const fs::path folder = fs::absolute(argv[2]);
        const fs::path settings = folder / "config" / "Talvorn" / "Mosark";
        fs::create_directories(settings);
        const Tools::CPakWriter pack = Tools::MakeDemoPack(argv[1]);
        if (!pack.Save((folder / "demo.pak").string()) || !WriteText(settings / "Settings.xml", Tools::DemoSettingsXml()) ||
            !WriteText(settings / "StartupPath", folder.string() + "\n")) {
            std::fprintf(stderr, "mkdemo: cannot write into '%s'\n", folder.c_str());
            return 1;
        }
        std::printf("%s: %zu files\n", (folder / "demo.pak").c_str(), pack.GetCount());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdemo: %s\n", e.what());
        return 1;
    }
}
