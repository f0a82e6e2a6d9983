// mkdemo <font.ttf> <folder> [heavy case]: writes the demo data for running
// the screensaver from the folder: <folder>/demo.pak, and under
// <folder>/config/Talvorn/Mosark a windowed "Settings.xml" and the
// "StartupPath" that points back at the folder. Run the screensaver with
// XDG_CONFIG_HOME=<folder>/config. Named after a damaged effect
// (tools/HeavyEffects.h), the pack holds bg6 alone with that effect; named
// after a damaged sprite layer (tools/HeavySprites.h), that place file alone;
// named after a case of many lanterns (tools/LanternCopies.h) or of a large
// count (tools/LargeCounts.h), bg6 alone with them; named after a case of
// tools/FrameCounts.h, that case's scene alone; named after a long notice
// (tools/LongNotices.h), bg6 alone with that locale; named after a locale of
// tools/LocaleCounts.h, the whole demo with that locale or those global
// values; named after a noisy locale (tools/NoisyLocale.h), the whole demo
// with its locale made so; named after a glow picture (tools/GlowPictures.h),
// bg6 alone with that picture in its effect; named after a case of damaged
// files (tools/DamagedFiles.h), the whole demo with them after its own: for
// trying how the program copes with them.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tools/DamagedFiles.h"
#include "tools/DemoData.h"
#include "tools/FrameCounts.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/GlowPictures.h"
#include "tools/HeavyEffects.h"
#include "tools/HeavySprites.h"
#include "tools/LanternCopies.h"
#include "tools/LargeCounts.h"
#include "tools/LongNotices.h"
#include "tools/LocaleCounts.h"
#include "tools/NoisyLocale.h"

namespace fs = std::filesystem;

namespace {

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

// What the heavy case named so adds to the pack; empty for an unknown name.
std::function<void(Tools::CPakWriter&)> HeavyCase(const std::string& name) {
    Tools::EHeavyEffect effect{};
    Tools::EHeavySprites sprites{};
    Tools::CLanternCopies lanterns{};
    Tools::CLargeCount large{};
    Tools::CFrameCount frame{};
    Tools::EGlowPicture glow{};
    if (Tools::FindHeavyEffect(name, effect))
        return [effect](Tools::CPakWriter& pack) { Tools::AddDemoScene(pack, 6, Tools::WriteHeavyEffect(effect)); };
    if (Tools::FindHeavySprites(name, sprites))
        return [sprites](Tools::CPakWriter& pack) { Tools::AddSceneAlone(pack, Tools::WriteHeavySprites(sprites)); };
    if (Tools::FindLanternCopies(name, lanterns))
        return [lanterns](Tools::CPakWriter& pack) {
            Tools::AddLanternCopies(pack, lanterns.animation, lanterns.count);
        };
    if (Tools::FindLargeCount(name, large))
        return [large](Tools::CPakWriter& pack) { Tools::AddLargeCount(pack, large.kind, large.count); };
    if (Tools::FindFrameCount(name, frame))
        return [frame](Tools::CPakWriter& pack) { Tools::AddFrameCount(pack, frame.kind, frame.count); };
    if (Tools::FindGlowPicture(name, glow))
        return [glow](Tools::CPakWriter& pack) {
            Tools::AddDemoScene(pack, Tools::kGlowPictureScene, Tools::WriteGlowPictureEffects(glow));
        };
    return {};
}

std::string HeavyCaseNames() {
    std::string names;
    const auto add = [&names](const char* name) { names += std::string(names.empty() ? "" : "|") + name; };
    for (Tools::EHeavyEffect effect : Tools::kHeavyEffects) add(Tools::HeavyEffectName(effect));
    for (Tools::EHeavySprites sprites : Tools::kHeavySprites) add(Tools::HeavySpritesName(sprites));
    for (Tools::CLanternCopies lanterns : Tools::kLanternCopies) add(Tools::LanternCopiesName(lanterns));
    for (Tools::CLargeCount large : Tools::kLargeCounts) add(Tools::LargeCountName(large));
    for (Tools::CFrameCount frame : Tools::kFrameCounts) add(Tools::FrameCountName(frame));
    for (Tools::EGlowPicture glow : Tools::kGlowPictures) add(Tools::GlowPictureName(glow));
    for (Tools::CLongNotice notice : Tools::kLongNotices) add(Tools::LongNoticeName(notice));
    for (Tools::CLocaleCount locale : Tools::kLocaleCounts) add(Tools::LocaleCountName(locale));
    for (Tools::CNoisyLocale locale : Tools::kNoisyLocales) add(Tools::NoisyLocaleName(locale));
    for (Tools::CDamagedFiles files : Tools::kDamagedFiles) add(Tools::DamagedFilesName(files));
    return names;
}

} // namespace

int main(int argc, char** argv) {
    Tools::CLocaleCount locale;
    const bool localeCase = argc == 4 && Tools::FindLocaleCount(argv[3], locale);
    Tools::CLongNotice notice{nullptr, 0};
    const bool longNotice = argc == 4 && !localeCase && Tools::FindLongNotice(argv[3], notice);
    Tools::CNoisyLocale noisy{nullptr, 0};
    const bool noisyLocale = argc == 4 && Tools::FindNoisyLocale(argv[3], noisy);
    Tools::CDamagedFiles damaged{nullptr, {}, 0};
    const bool damagedFiles = argc == 4 && Tools::FindDamagedFiles(argv[3], damaged);
    const std::function<void(Tools::CPakWriter&)> heavy =
        argc == 4 && !localeCase && !longNotice && !noisyLocale && !damagedFiles ? HeavyCase(argv[3]) : nullptr;
    if ((argc != 3 && argc != 4) ||
        (argc == 4 && !heavy && !localeCase && !longNotice && !noisyLocale && !damagedFiles)) {
        std::fprintf(stderr, "usage: %s <font.ttf> <folder> [%s]\n", argv[0], HeavyCaseNames().c_str());
        return 2;
    }
    try {
        const fs::path folder = fs::absolute(argv[2]);
        const fs::path settings = folder / "config" / "Talvorn" / "Mosark";
        fs::create_directories(settings);
        const bool wholeDemo = argc == 3 || localeCase || noisyLocale || damagedFiles;
        Tools::CPakWriter pack =
            Tools::MakeDemoPack(argv[1], wholeDemo, locale.hints, notice.length, locale.longTokens);
        if (noisyLocale) Tools::AddLocaleNoise(pack, noisy.count);
        if (damagedFiles) Tools::AddDamagedFiles(pack, damaged.kind, damaged.count);
        if (heavy) heavy(pack);
        if (longNotice) Tools::AddDemoScene(pack, Tools::kLongNoticeScene);
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
