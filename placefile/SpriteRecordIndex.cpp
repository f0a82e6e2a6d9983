#include "placefile/SpriteRecordIndex.h"

namespace Engine::Graphics::PlaceFile {

CSpriteRecordIndex::CSpriteRecordIndex(const std::vector<CPlaceFile::CSpriteFileEntry>& files) {
    // Walked backwards, so that the first match found is the walk's last.
    for (auto file = files.rbegin(); file != files.rend(); ++file)
        for (auto record = file->records.rbegin(); record != file->records.rend(); ++record)
            m_byId.Add(record->id, CMatch{&*record, &*file});
    m_byId.Build();
}

CSpriteRecordIndex::CMatch CSpriteRecordIndex::Find(uint32_t id) const { return m_byId.FindOr(id, CMatch{}); }

} // namespace Engine::Graphics::PlaceFile
