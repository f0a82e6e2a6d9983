#pragma once
// The scene archive's objects by ID, as the class directory holds them. An
// archive's objects mostly come with rising IDs, so they are kept in a
// vector in ID order, which reads and lets go of them in one pass over
// memory; an ID below the last one goes into a map beside it, so that IDs
// in any order cost O(log n) each. The objects are let go of highest ID
// first, as a map ordered by ID lets go of its entries.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "scene/Animatable.h"
#include "scene/ScenePool.h"

namespace Engine::Scene {

class CObjectsById {
public:
    CObjectsById() = default;
    CObjectsById(const CObjectsById&) = delete;
    CObjectsById& operator=(const CObjectsById&) = delete;
    // Lets go of the objects, highest ID first.
    ~CObjectsById();

    // The object held under the ID; null when there is none.
    const CAnimatable::Ref* Find(uint32_t id) const;
    bool Contains(uint32_t id) const { return Find(id) != nullptr; }
    // The ID must not be held yet.
    void Insert(uint32_t id, CAnimatable::Ref object);
    size_t Size() const { return m_rising.size() + m_others.size(); }
    void Swap(CObjectsById& other) noexcept;
    // Every object, lowest ID first.
    void ForEachAscending(const std::function<void(const CAnimatable::Ref&)>& visit) const;

private:
    struct CEntry {
        uint32_t id;
        CAnimatable::Ref object;
    };
    using OtherMap = std::map<uint32_t, CAnimatable::Ref, std::less<uint32_t>,
                              CScenePoolAllocator<std::pair<const uint32_t, CAnimatable::Ref>>>;

    std::vector<CEntry> m_rising;  // IDs rising, each above every earlier one
    OtherMap m_others;
};

} // namespace Engine::Scene
