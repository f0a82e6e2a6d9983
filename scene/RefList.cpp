#include "scene/RefList.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "scene/RefTree.h"
#include "scene/ReferenceTarget.h"

namespace Engine::Scene {

CRefList::CRefList() = default;

CRefList::~CRefList() {
    ReleaseInOrder(m_entries);
}

size_t CRefList::LargerSize() const {
    if (const auto* some = std::get_if<RefVector>(&m_entries)) return some->size();
    return std::get<Tree>(m_entries)->Size();
}

const CRefList::Ref& CRefList::LargerAt(size_t index) const {
    if (index >= Size()) throw std::out_of_range("CRefList::At");
    if (const auto* some = std::get_if<RefVector>(&m_entries)) return (*some)[index];
    return std::get<Tree>(m_entries)->At(index);
}

void CRefList::GrowIfFull() {
    if (auto* few = std::get_if<CInlineRefs>(&m_entries)) {
        if (few->count < INLINE_LIMIT) return;
        RefVector some;
        some.reserve(2 * INLINE_LIMIT);
        for (size_t i = 0; i < few->count; ++i) some.push_back(std::move(few->refs[i]));
        m_entries = std::move(some);
        return;
    }
    auto* some = std::get_if<RefVector>(&m_entries);
    if (!some || some->size() < SMALL_LIMIT) return;
    auto tree = std::make_unique<CRefTree>();
    for (Ref& entry : *some) tree->Insert(tree->Size(), std::move(entry));
    m_entries = std::move(tree);
}

void CRefList::Insert(size_t index, Ref object) {
    GrowIfFull();
    if (auto* few = std::get_if<CInlineRefs>(&m_entries)) {
        for (size_t i = few->count; i > index; --i) few->refs[i] = std::move(few->refs[i - 1]);
        few->refs[index] = std::move(object);
        ++few->count;
    } else if (auto* some = std::get_if<RefVector>(&m_entries)) {
        some->insert(some->begin() + std::ptrdiff_t(index), std::move(object));
    } else {
        std::get<Tree>(m_entries)->Insert(index, std::move(object));
    }
}

CRefList::Ref CRefList::RemoveFirst(const CReferenceTarget* object) {
    if (auto* few = std::get_if<CInlineRefs>(&m_entries)) {
        const auto end = few->refs.begin() + few->count;
        const auto it = std::find_if(few->refs.begin(), end, [object](const Ref& r) { return r.get() == object; });
        if (it == end) return nullptr;
        Ref removed = std::move(*it);
        std::move(it + 1, end, it);
        --few->count;
        return removed;
    }
    Ref removed;
    if (auto* some = std::get_if<RefVector>(&m_entries)) {
        auto it = std::find_if(some->begin(), some->end(), [object](const Ref& r) { return r.get() == object; });
        if (it == some->end()) return nullptr;
        removed = std::move(*it);
        some->erase(it);
    } else {
        removed = std::get<Tree>(m_entries)->RemoveFirst(object);
    }
    // An emptied list gives its block back; nothing in it is released.
    if (Size() == 0) m_entries.emplace<CInlineRefs>();
    return removed;
}

void CRefList::Clear() {
    Entries entries = std::exchange(m_entries, Entries());
    ReleaseInOrder(entries);
}

void CRefList::ReleaseInOrder(Entries& entries) {
    if (auto* few = std::get_if<CInlineRefs>(&entries)) {
        for (size_t i = 0; i < few->count; ++i) {
            const Ref released = std::move(few->refs[i]);
        }
        few->count = 0;
        return;
    }
    RefVector some;
    if (auto* vector = std::get_if<RefVector>(&entries))
        some.swap(*vector);
    else if (Tree& tree = std::get<Tree>(entries))
        some = tree->TakeAll();
    // A vector releases its entries from the first to the last.
    some.clear();
}

} // namespace Engine::Scene
