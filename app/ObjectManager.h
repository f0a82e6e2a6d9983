#pragma once
// Resources read from files are loaded once per process and shared by name.
// A global manager counts the uses of each name; every owner records what it
// took in a local manager of its own and hands each use back when released.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Referenced.h"
#include "app/String.h"
#include "app/DelayedLoader.h"

namespace Engine {

// T derives from CReferenced and CManagedObject (its name is its key).
template <class T>
class CObjectManager {
public:
    // Not noexcept, so that a referenced manager may let CReferenced's
    // integer 1 through.
    virtual ~CObjectManager() noexcept(false) = default;

    // The object loaded under the name (backslashes read as slashes), or
    // null. Counts no use and leaves no entry behind for unknown names.
    ref_ptr<T> LookupObject(const CString& name) const {
        const auto found = m_table.find(NormalizePath(name).str());
        return found == m_table.end() ? nullptr : found->second.object;
    }

    // Counts one use of the object under its own name.
    void RegisterObject(const ref_ptr<T>& object) {
        CEntry& entry = m_table[object->GetName().str()];
        ++entry.uses;
        entry.object = object;
    }

    // Hands one use back under the object's name; the entry (and the
    // table's reference) goes with the last use. The uses are counted by
    // name, so an object that a later load of the name replaced still hands
    // its use back. Unknown names and null are ignored.
    void ReleaseObject(ref_ptr<T> object) {
        if (!object) return;
        const auto found = m_table.find(object->GetName().str());
        if (found == m_table.end()) return;
        if (--found->second.uses <= 0) m_table.erase(found);
    }

    int32_t GetUseCount(const CString& name) const {
        const auto found = m_table.find(NormalizePath(name).str());
        return found == m_table.end() ? 0 : found->second.uses;
    }

    // The loaded objects in name order (byte-wise, case-sensitive).
    std::vector<ref_ptr<T>> GetObjects() const {
        std::vector<ref_ptr<T>> objects;
        objects.reserve(m_table.size());
        for (const auto& [name, entry] : m_table) objects.push_back(entry.object);
        return objects;
    }
    size_t GetObjectCount() const { return m_table.size(); }

protected:
    // Empties the table, dropping its references.
    void RemoveAllObjects() { m_table.clear(); }

private:
    struct CEntry {
        int32_t uses = 0;
        ref_ptr<T> object;
    };
    std::map<std::string, CEntry> m_table;
};

template <class T>
class CDelayedLoadingObjectManager : public CObjectManager<T> {
public:
    virtual ref_ptr<IDelayedLoader> CreateDelayedLoader() = 0;
};

// One owner's uses: every use in order of recording, and each distinct
// object once (an object is in one list exactly when it is in the other).
// The uses per object are counted beside the lists, so that asking for an
// object and adding a use stay logarithmic however many uses an owner holds.
template <class T>
class CLocalObjectManager {
public:
    CLocalObjectManager() = default;
    CLocalObjectManager(const CLocalObjectManager&) = delete;
    CLocalObjectManager& operator=(const CLocalObjectManager&) = delete;

    void AddObject(ref_ptr<T> object) {
        if (m_useCounts[object.get()]++ == 0) m_objects.push_back(object);
        m_uses.push_back(std::move(object));
    }

    bool HasObject(const T* object) const { return m_useCounts.contains(object); }

    // Forgets one use of the object, and the object itself with its last use.
    void RemoveObject(const T* object) {
        const auto use = std::find_if(m_uses.begin(), m_uses.end(), [object](const ref_ptr<T>& u) { return u.get() == object; });
        if (use == m_uses.end()) return;
        m_uses.erase(use);
        const auto count = m_useCounts.find(object);
        if (--count->second > 0) return;
        m_useCounts.erase(count);
        const auto distinct = std::find_if(m_objects.begin(), m_objects.end(), [object](const ref_ptr<T>& o) { return o.get() == object; });
        if (distinct != m_objects.end()) m_objects.erase(distinct);
    }

    // Hands every use to release, first to last, each use dropped after its
    // call and each object with its last use: what removing the first use
    // after each call does, in one pass. On a throw the use whose call threw
    // and those after it are kept.
    template <class Release>
    void ReleaseEach(Release release) {
        // Where each object is in m_objects: one sorted array rather than a
        // node per object, so that letting go of many allocates little.
        std::vector<std::pair<const T*, size_t>> objectAt;
        objectAt.reserve(m_objects.size());
        for (size_t i = 0; i < m_objects.size(); ++i) objectAt.emplace_back(m_objects[i].get(), i);
        std::sort(objectAt.begin(), objectAt.end());
        std::vector<bool> dropped(m_objects.size(), false);
        size_t done = 0;
        try {
            for (; done < m_uses.size(); ++done) {
                const ref_ptr<T> held = m_uses[done];  // lives until both lists let go
                release(held);
                m_uses[done] = nullptr;
                const auto count = m_useCounts.find(held.get());
                if (--count->second > 0) continue;
                m_useCounts.erase(count);
                const size_t at = std::lower_bound(objectAt.begin(), objectAt.end(), std::pair<const T*, size_t>(held.get(), 0))->second;
                m_objects[at] = nullptr;
                dropped[at] = true;
            }
        } catch (...) {
            m_uses.erase(m_uses.begin(), m_uses.begin() + std::ptrdiff_t(done));
            size_t kept = 0;
            for (size_t i = 0; i < m_objects.size(); ++i)
                if (!dropped[i]) m_objects[kept++] = std::move(m_objects[i]);
            m_objects.resize(kept);
            throw;
        }
        Clear();
    }

    void Clear() {
        m_uses.clear();
        m_objects.clear();
        m_useCounts.clear();
    }

    // Drops both lists and their storage.
    void FreeLists() {
        std::vector<ref_ptr<T>>().swap(m_objects);
        std::vector<ref_ptr<T>>().swap(m_uses);
        m_useCounts.clear();
    }

    const std::vector<ref_ptr<T>>& GetUses() const { return m_uses; }
    const std::vector<ref_ptr<T>>& GetObjects() const { return m_objects; }

private:
    std::vector<ref_ptr<T>> m_uses;
    std::vector<ref_ptr<T>> m_objects;
    std::map<const T*, size_t> m_useCounts;  // looked up only, never walked
};

} // namespace Engine
