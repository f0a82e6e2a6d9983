#pragma once
// Answers what a walk over records in their order, stopping at the first
// record with a key, would find, in logarithmic time: the records are added
// in walk order, then the index is built once they are all there. A reader
// that looks up each record it reads among the records read before it
// would otherwise walk them all every time.

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace Engine {

template <class Key, class Value, class Less = std::less<Key>>
class CFirstMatchIndex {
public:
    // In walk order; Build before the next Find.
    void Add(Key key, Value value) { m_entries.emplace_back(std::move(key), std::move(value)); }

    void Build() {
        const Less less;
        // Stable: records of one key stay in walk order, and unique keeps the first.
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [&](const Entry& a, const Entry& b) { return less(a.first, b.first); });
        const auto last = std::unique(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
            return !less(a.first, b.first) && !less(b.first, a.first);
        });
        m_entries.erase(last, m_entries.end());
        m_entries.shrink_to_fit();
    }

    // The first record's value with the key; null when no record has it.
    const Value* Find(const Key& key) const {
        const Less less;
        const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                            [&](const Entry& entry, const Key& wanted) { return less(entry.first, wanted); });
        return found != m_entries.end() && !less(key, found->first) ? &found->second : nullptr;
    }

    // The value found, or otherwise.
    Value FindOr(const Key& key, Value otherwise) const {
        const Value* found = Find(key);
        return found ? *found : otherwise;
    }

    void Clear() { m_entries.clear(); }
    size_t GetCount() const { return m_entries.size(); }

private:
    using Entry = std::pair<Key, Value>;
    std::vector<Entry> m_entries;
};

} // namespace Engine
