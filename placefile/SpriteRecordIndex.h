#pragma once
// The sprite library's records by sprite ID, for linking a file's sprite
// objects: the match is the one a walk of every record keeps, the last with
// the ID (files in order, records in order). Valid while the records are.

#include <cstdint>
#include <vector>

#include "placefile/PlaceFile.h"

namespace Engine::Graphics::PlaceFile {

class CSpriteRecordIndex {
public:
    struct CMatch {
        const CPlaceFile::CSpriteRecord* record = nullptr;  // null when no record has the ID
        const CPlaceFile::CSpriteFileEntry* file = nullptr;
    };

    explicit CSpriteRecordIndex(const std::vector<CPlaceFile::CSpriteFileEntry>& files);
    CMatch Find(uint32_t id) const;

private:
    struct CEntry {
        uint32_t id;
        CMatch match;
    };
    std::vector<CEntry> m_entries;  // by ID, the last of each ID in walk order
};

} // namespace Engine::Graphics::PlaceFile
