#pragma once
// One of a reference target's two lists: counted references in order, the
// same object possibly more than once. Most objects hold a few entries, kept
// in a plain vector; a list that grows past a handful moves into a tree
// indexed by position and by object, so that inserting anywhere, taking out
// an object's first entry and reading by position stay logarithmic however
// many objects share one target.

#include <cstddef>
#include <memory>
#include <vector>

#include "app/Referenced.h"
#include "scene/ScenePool.h"

namespace Engine::Scene {

class CReferenceTarget;
class CRefTree;

class CRefList {
public:
    using Ref = Engine::ref_ptr<CReferenceTarget>;
    using RefVector = CScenePoolVector<Ref>;

    CRefList();
    CRefList(const CRefList&) = delete;
    CRefList& operator=(const CRefList&) = delete;
    ~CRefList();

    size_t Size() const;
    bool Empty() const { return Size() == 0; }
    // Throws std::out_of_range past the end.
    const Ref& At(size_t index) const;
    const Ref& Front() const { return At(0); }
    // Inserts before the entry at the index, at most Size().
    void Insert(size_t index, Ref object);
    // Takes the object's first entry out; null when the list holds none.
    Ref RemoveFirst(const CReferenceTarget* object);
    // Empties the list before any entry is released, since a release may
    // reach the list again.
    void Clear();

private:
    // Larger lists move into the tree; it is kept until the list empties.
    static constexpr size_t SMALL_LIMIT = 16;

    RefVector m_small;
    std::unique_ptr<CRefTree> m_large;
};

} // namespace Engine::Scene
