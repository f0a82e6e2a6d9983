#include "tools/DamagedFiles.h"

#include "tools/NamedCase.h"

namespace Tools {

namespace {

std::string Numbered(EDamagedFiles kind, int number) {
    return kind == EDamagedFiles::Places ? "place/bg" + std::to_string(number) + ".place"
                                         : "ogg/tracks/ambient" + std::to_string(number) + ".ogg";
}

// Too short for a place file's header; an Ogg page's capture pattern and
// nothing after it.
std::vector<uint8_t> DamagedBytes(EDamagedFiles kind) {
    if (kind == EDamagedFiles::Places) return {'p', 'l', 'c', 'a', 0x10};
    return {'O', 'g', 'g', 'S', 1, 2, 3};
}

} // namespace

const char* DamagedFilesName(CDamagedFiles files) { return files.name; }

bool FindDamagedFiles(const std::string& name, CDamagedFiles& files) {
    return FindNamedCase(name, kDamagedFiles, &DamagedFilesName, files);
}

void AddDamagedFiles(CPakWriter& pack, EDamagedFiles kind, int count) {
    int first = 1;
    while (pack.Find(Numbered(kind, first).c_str())) ++first;
    const std::vector<uint8_t> bytes = DamagedBytes(kind);
    for (int i = 0; i < count; ++i) pack.Add(Numbered(kind, first + i).c_str(), bytes);
}

} // namespace Tools
