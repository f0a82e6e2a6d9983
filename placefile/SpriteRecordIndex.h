#pragma once
// The sprite library's records by sprite ID, for linking a file's sprite
// objects: the match is the one a walk of every record keeps, the last with
// the ID (files in order, records in order). Valid while the records are.

#include <cstdint>
#include <vector>

#include "app/FirstMatchIndex.h"
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
    Engine::CFirstMatchIndex<uint32_t, CMatch> m_byId;
};

} // namespace Engine::Graphics::PlaceFile
