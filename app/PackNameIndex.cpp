#include "app/PackNameIndex.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace Engine {

void CPackNameIndex::Reset(size_t count) {
    // At most two thirds full, so that a probe meets a free slot within a
    // few steps; never full, so that every probe ends.
    const size_t slots = std::bit_ceil(std::max<size_t>(count + count / 2 + 1, 8));
    m_slots = std::vector<CSlot>(slots);
    m_count = 0;
    m_room = count;
}

void CPackNameIndex::CheckRoom() const {
    if (m_count >= m_room) throw std::length_error("CPackNameIndex: more keys than Reset made room for");
}

} // namespace Engine
