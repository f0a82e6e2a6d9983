#include "placefile/SpriteRecordIndex.h"

#include <algorithm>

namespace Engine::Graphics::PlaceFile {

CSpriteRecordIndex::CSpriteRecordIndex(const std::vector<CPlaceFile::CSpriteFileEntry>& files) {
    std::vector<CEntry> walked;
    for (const CPlaceFile::CSpriteFileEntry& file : files)
        for (const CPlaceFile::CSpriteRecord& record : file.records) walked.push_back({record.id, {&record, &file}});
    // Stable: equal IDs stay in walk order, and the last of them is kept.
    std::stable_sort(walked.begin(), walked.end(), [](const CEntry& a, const CEntry& b) { return a.id < b.id; });
    for (const CEntry& entry : walked) {
        if (!m_entries.empty() && m_entries.back().id == entry.id)
            m_entries.back() = entry;
        else
            m_entries.push_back(entry);
    }
}

CSpriteRecordIndex::CMatch CSpriteRecordIndex::Find(uint32_t id) const {
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                        [](const CEntry& entry, uint32_t key) { return entry.id < key; });
    return found != m_entries.end() && found->id == id ? found->match : CMatch{};
}

} // namespace Engine::Graphics::PlaceFile
