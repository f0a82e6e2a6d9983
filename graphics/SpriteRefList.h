#pragma once
// The sprite references a sprite file handed out, in the order they were
// made. Each reference knows its slot, so that adding and removing one take
// constant time (amortised) however many a file holds; removed slots are
// closed up, in order, once they outnumber the living ones.

#include <cstddef>
#include <vector>

namespace Engine::Graphics::SprFile {

class CSpriteRef;

class CSpriteRefList {
public:
    void Add(CSpriteRef* ref);
    // Does nothing for a reference the list does not hold.
    void Remove(CSpriteRef* ref);
    // The living references in the order they were added; the list is empty
    // afterwards.
    std::vector<CSpriteRef*> TakeAll();
    size_t GetCount() const { return m_count; }

private:
    void CloseGaps();

    std::vector<CSpriteRef*> m_slots;  // null where a reference was removed
    size_t m_count = 0;
};

} // namespace Engine::Graphics::SprFile
