#include "scene/ObjectsById.h"

#include <algorithm>
#include <iterator>

namespace Engine::Scene {

CObjectsById::~CObjectsById() {
    while (!m_rising.empty() || !m_others.empty()) {
        if (m_rising.empty() || (!m_others.empty() && std::prev(m_others.end())->first > m_rising.back().id))
            m_others.erase(std::prev(m_others.end()));
        else
            m_rising.pop_back();
    }
}

const CAnimatable::Ref* CObjectsById::Find(uint32_t id) const {
    const auto it = std::lower_bound(m_rising.begin(), m_rising.end(), id,
                                     [](const CEntry& entry, uint32_t wanted) { return entry.id < wanted; });
    if (it != m_rising.end() && it->id == id) return &it->object;
    const auto other = m_others.find(id);
    return other == m_others.end() ? nullptr : &other->second;
}

void CObjectsById::Insert(uint32_t id, CAnimatable::Ref object) {
    if (m_rising.empty() || id > m_rising.back().id)
        m_rising.push_back(CEntry{id, std::move(object)});
    else
        m_others.emplace(id, std::move(object));
}

void CObjectsById::Swap(CObjectsById& other) noexcept {
    m_rising.swap(other.m_rising);
    m_others.swap(other.m_others);
}

void CObjectsById::ForEachAscending(const std::function<void(const CAnimatable::Ref&)>& visit) const {
    auto rising = m_rising.begin();
    auto other = m_others.begin();
    while (rising != m_rising.end() || other != m_others.end()) {
        if (other == m_others.end() || (rising != m_rising.end() && rising->id < other->first))
            visit((rising++)->object);
        else
            visit((other++)->second);
    }
}

} // namespace Engine::Scene
