#pragma once
// The sprite references a sprite file handed out, in the order they were
// made. Each reference knows its slot, so that adding and removing one take
// constant time (amortised) however many a file holds.

#include <cstddef>
#include <vector>

#include "graphics/SlotList.h"
#include "graphics/SpriteRef.h"

namespace Engine::Graphics::SprFile {

class CSpriteRefList {
public:
    void Add(CSpriteRef* ref) { m_refs.Add(ref); }
    // Does nothing for a reference the list does not hold.
    void Remove(CSpriteRef* ref) { m_refs.Take(ref); }
    // The living references in the order they were added; the list is empty
    // afterwards.
    std::vector<CSpriteRef*> TakeAll() { return m_refs.TakeAll(); }
    size_t GetCount() const { return m_refs.GetCount(); }

private:
    CSlotList<CSpriteRef*, &PlainPointee<CSpriteRef>, &CSpriteRef::m_listSlot> m_refs;
};

} // namespace Engine::Graphics::SprFile
