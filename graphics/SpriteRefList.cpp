#include "graphics/SpriteRefList.h"

#include <utility>

#include "graphics/SpriteRef.h"

namespace Engine::Graphics::SprFile {

namespace {
// Below this many slots the gaps are left for Clear.
constexpr size_t kMinSlotsToClose = 64;
} // namespace

void CSpriteRefList::Add(CSpriteRef* ref) {
    ref->m_listSlot = m_slots.size();
    m_slots.push_back(ref);
    ++m_count;
}

void CSpriteRefList::Remove(CSpriteRef* ref) {
    const size_t slot = ref->m_listSlot;
    if (slot >= m_slots.size() || m_slots[slot] != ref) return;
    m_slots[slot] = nullptr;
    --m_count;
    if (m_slots.size() >= kMinSlotsToClose && m_count < m_slots.size() / 2) CloseGaps();
}

std::vector<CSpriteRef*> CSpriteRefList::TakeAll() {
    CloseGaps();
    m_count = 0;
    return std::exchange(m_slots, {});
}

void CSpriteRefList::CloseGaps() {
    size_t kept = 0;
    for (CSpriteRef* ref : m_slots) {
        if (!ref) continue;
        ref->m_listSlot = kept;
        m_slots[kept++] = ref;
    }
    m_slots.resize(kept);
}

} // namespace Engine::Graphics::SprFile
