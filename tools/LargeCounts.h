#pragma once
// Data that holds a large count of one thing a file sets: bg6 (the other
// background scenes left empty) with many custom property values, many
// sprite files or many keys, or beside many pack entries that no load asks
// for. For trying how loading and letting go grow with each count.

#include <cstdint>
#include <string>

#include "tools/PakWriter.h"

namespace Tools {

struct CGeneratedScene;

enum class ELargeCount {
    PropertyValues,  // bg6's sky object with `count` integer values of `count` descriptions
    PackEntries,     // `count` entries of 16 bytes beside bg6
    SpriteFiles,     // `count` sprite objects, each drawn from a one-image sprite file of its own
    Keys,            // one animated copy of bg6's lantern, its two zoom curves of `count` keys each
};

struct CLargeCount {
    const char* name;
    ELargeCount kind;
    int count;
};

inline constexpr CLargeCount kLargeCounts[] = {
    {"PropertyValues100k", ELargeCount::PropertyValues, 100'000},
    {"PackEntries100k", ELargeCount::PackEntries, 100'000},
    {"SpriteFiles10k", ELargeCount::SpriteFiles, 10'000},
    {"KeyedLantern", ELargeCount::Keys, 1'000'000},
};

// The first ID of the added descriptions, sprite objects and their sprites,
// and of the keyed lantern; bg6's own use smaller ones.
inline constexpr uint32_t kFirstLargeCountId = 1000;

const char* LargeCountName(CLargeCount large);
// The case named so, or false.
bool FindLargeCount(const std::string& name, CLargeCount& large);
// bg6 with that count, bg1 to bg5 empty, with the scenes' pictures and effects.
void AddLargeCount(CPakWriter& pack, ELargeCount kind, int count);
// A copy of the scene's lantern (ID kFirstLargeCountId), zoomed from 100 %
// to 200 % over the scene's span by two linear curves of `count` keys each.
void AddKeyedLantern(CGeneratedScene& scene, int count);

} // namespace Tools
