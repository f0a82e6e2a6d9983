#pragma once
// Place files of many small objects: bg6 (the other background scenes left
// empty) with `count` copies of its lantern object added behind its own
// objects under fresh IDs, either still 1 x 1 px sprites, or each animated
// by its own entry of the scene archive. bg6's generated class drives its
// own objects only; the copies' entries are read and bound all the same.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PakWriter.h"

namespace Tools {

enum class ELanternAnimation {
    Still,     // 1 x 1 px, no scene entry
    Zoomed,    // lantern-sized, zoom keys from 1e3 to 1e6 (percent) over the scene's loop
    Constant,  // 1 x 1 px, one constant zoom key
};

struct CLanternCopies {
    const char* name;
    ELanternAnimation animation;
    int count;
};

inline constexpr CLanternCopies kLanternCopies[] = {
    {"TinySprites100k", ELanternAnimation::Still, 100'000},
    {"TinySprites300k", ELanternAnimation::Still, 300'000},
    {"ZoomedLanterns30k", ELanternAnimation::Zoomed, 30'000},
    {"ZoomedLanterns60k", ELanternAnimation::Zoomed, 60'000},
    {"ZoomedLanterns300k", ELanternAnimation::Zoomed, 300'000},
    {"ConstantLanterns30k", ELanternAnimation::Constant, 30'000},
    {"ConstantLanterns600k", ELanternAnimation::Constant, 600'000},
};

// The first ID of the copies; bg6's own objects use smaller ones.
inline constexpr uint32_t kFirstLanternCopyId = 1000;

const char* LanternCopiesName(CLanternCopies copies);
// The case named so, or false.
bool FindLanternCopies(const std::string& name, CLanternCopies& copies);
// "place/bg6.place" with the copies, and its scene archive.
std::vector<uint8_t> WriteLanternCopies(ELanternAnimation animation, int count);
// That place file as bg6, bg1 to bg5 empty, with the scenes' pictures and effects.
void AddLanternCopies(CPakWriter& pack, ELanternAnimation animation, int count);

} // namespace Tools
