#pragma once
// Many damaged numbered files after the demo's own: place files that are no
// place file, or ambient tracks that are no Ogg Vorbis stream, numbered on
// from the pack's last good one so that the screensaver's scan reaches every
// one. A run on them should log a few of each and their count, not a line
// per file. mkdemo writes the whole demo with them.

#include <string>

#include "tools/PakWriter.h"

namespace Tools {

enum class EDamagedFiles {
    Places,  // "place/bg<n>.place"
    Tracks,  // "ogg/tracks/ambient<n>.ogg"
};

struct CDamagedFiles {
    const char* name;
    EDamagedFiles kind;
    int count;
};

inline constexpr CDamagedFiles kDamagedFiles[] = {
    {"DamagedPlaces100k", EDamagedFiles::Places, 100'000},
    {"DamagedTracks100k", EDamagedFiles::Tracks, 100'000},
};

const char* DamagedFilesName(CDamagedFiles files);
// The case named so, or false.
bool FindDamagedFiles(const std::string& name, CDamagedFiles& files);
// Adds `count` damaged files of the kind, numbered from the first number
// the pack does not hold.
void AddDamagedFiles(CPakWriter& pack, EDamagedFiles kind, int count);

} // namespace Tools
