#pragma once
// One of a reference target's two lists: counted references in order, the
// same object possibly more than once. Most objects hold one to three
// entries, kept inside the list itself; a few more go into a vector, and a
// list that grows past a handful moves into a tree indexed by position and
// by object, so that inserting anywhere, taking out an object's first entry
// and reading by position stay logarithmic however many objects share one
// target.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <variant>

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

    // Inline: every link, unlink and notification asks for both.
    size_t Size() const {
        if (const auto* few = std::get_if<CInlineRefs>(&m_entries)) return few->count;
        return LargerSize();
    }
    bool Empty() const { return Size() == 0; }
    // Throws std::out_of_range past the end.
    const Ref& At(size_t index) const {
        const auto* few = std::get_if<CInlineRefs>(&m_entries);
        if (few && index < few->count) return few->refs[index];
        return LargerAt(index);
    }
    const Ref& Front() const { return At(0); }
    // Calls f with each entry of a list held in place; a larger list calls
    // nothing (its entries lie apart from it).
    template <class F>
    void ForEachHeldInPlace(F f) const {
        if (const auto* few = std::get_if<CInlineRefs>(&m_entries))
            for (size_t i = 0; i < few->count; ++i) f(*few->refs[i]);
    }
    // Inserts before the entry at the index, at most Size().
    void Insert(size_t index, Ref object);
    // Takes the object's first entry out; null when the list holds none.
    Ref RemoveFirst(const CReferenceTarget* object);
    // Empties the list before any entry is released, since a release may
    // reach the list again; entries are released in order.
    void Clear();

private:
    // Held in place: no block of its own to allocate, free or miss in the
    // cache, which is most of what linking and unlinking an object costs.
    static constexpr size_t INLINE_LIMIT = 3;
    // Larger lists move into the tree; it is kept until the list empties.
    static constexpr size_t SMALL_LIMIT = 16;

    struct CInlineRefs {
        CInlineRefs() noexcept : count(0) {}
        std::array<Ref, INLINE_LIMIT> refs;
        uint8_t count;
    };
    using Tree = std::unique_ptr<CRefTree>;
    using Entries = std::variant<CInlineRefs, RefVector, Tree>;

    size_t LargerSize() const;
    const Ref& LargerAt(size_t index) const;
    // Moves a full inline list into a vector, or a full vector into a tree.
    void GrowIfFull();
    static void ReleaseInOrder(Entries& entries);

    Entries m_entries;
};

} // namespace Engine::Scene
