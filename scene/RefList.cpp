#include "scene/RefList.h"

#include <algorithm>
#include <stdexcept>

#include "scene/RefTree.h"
#include "scene/ReferenceTarget.h"

namespace Engine::Scene {

CRefList::CRefList() = default;

CRefList::~CRefList() = default;

size_t CRefList::Size() const {
    return m_large ? m_large->Size() : m_small.size();
}

const CRefList::Ref& CRefList::At(size_t index) const {
    if (!m_large) return m_small.at(index);
    if (index >= m_large->Size()) throw std::out_of_range("CRefList::At");
    return m_large->At(index);
}

void CRefList::Insert(size_t index, Ref object) {
    if (!m_large && m_small.size() >= SMALL_LIMIT) {
        auto tree = std::make_unique<CRefTree>();
        for (Ref& entry : m_small) tree->Insert(tree->Size(), std::move(entry));
        m_small.clear();
        m_small.shrink_to_fit();
        m_large = std::move(tree);
    }
    if (m_large)
        m_large->Insert(index, std::move(object));
    else
        m_small.insert(m_small.begin() + std::ptrdiff_t(index), std::move(object));
}

CRefList::Ref CRefList::RemoveFirst(const CReferenceTarget* object) {
    if (m_large) {
        Ref removed = m_large->RemoveFirst(object);
        if (m_large->Size() == 0) m_large.reset();
        return removed;
    }
    auto it = std::find_if(m_small.begin(), m_small.end(), [object](const Ref& r) { return r.get() == object; });
    if (it == m_small.end()) return nullptr;
    Ref removed = std::move(*it);
    m_small.erase(it);
    return removed;
}

void CRefList::Clear() {
    RefVector entries;
    entries.swap(m_small);
    const std::unique_ptr<CRefTree> tree = std::move(m_large);
    if (tree) entries = tree->TakeAll();
}

} // namespace Engine::Scene
