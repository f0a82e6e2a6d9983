// mkdemo <font.ttf> <folder> [heavy effect]: writes the demo data for running
// the screensaver from the folder: <folder>/demo.pak, and under
// <folder>/config/Talvorn/Mosark a windowed "Settings.xml" and the
// "StartupPath" that points back at the folder. Run the screensaver with
// XDG_CONFIG_HOME=<folder>/config. Named after a damaged effect
// (tools/HeavyEffects.h), the pack holds bg6 alone with that effect, for
// trying how the program copes with it.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavyEffects.h"

namespace fs = std::filesystem;

namespace {

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    Tools::EHeavyEffect heavy{};
    if ((argc != 3 && argc != 4) || (argc == 4 && !Tools::FindHeavyEffect(argv[3], heavy))) {
        std::string effects;
        for (Tools::EHeavyEffect effect : Tools::kHeavyEffects)
            effects += std::string(effects.empty() ? "" : "|") + Tools::HeavyEffectName(effect);
        std::fprintf(stderr, "usage: %s <font.ttf> <folder> [%s]\n", argv[0], effects.c_str());
        return 2;
    }
    try {
        const fs::path folder = fs::absolute(argv[2]);
        const fs::path settings = folder / "config" / "Talvorn" / "Mosark";
        fs::create_directories(settings);
        Tools::CPakWriter pack = Tools::MakeDemoPack(argv[1], argc == 3);
        if (argc == 4) Tools::AddDemoScene(pack, 6, Tools::WriteHeavyEffect(heavy));
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
