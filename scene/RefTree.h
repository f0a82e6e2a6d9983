#pragma once
// An ordered list of counted references to scene objects kept in a treap by
// position, with an index of the entries by object: insertion and removal at
// any position, access by position and the first position of an object each
// take logarithmic time, so a target shared by many objects links and
// unlinks them without a pass over its list.

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "app/Referenced.h"
#include "scene/ScenePool.h"

namespace Engine::Scene {

class CReferenceTarget;

class CRefTree {
public:
    using Ref = Engine::ref_ptr<CReferenceTarget>;

    CRefTree() = default;
    CRefTree(const CRefTree&) = delete;
    CRefTree& operator=(const CRefTree&) = delete;
    ~CRefTree();

    size_t Size() const { return NodeSize(m_root); }
    // The entry at a position below Size().
    const Ref& At(size_t index) const;
    // Inserts before the entry at the index (Size() appends).
    void Insert(size_t index, Ref object);
    // Takes the object's first entry out of the list; null when it holds
    // none.
    Ref RemoveFirst(const CReferenceTarget* object);
    // Every entry in order; the list is left empty.
    CScenePoolVector<Ref> TakeAll();

private:
    struct SNode : CScenePooled {
        Ref ref;
        SNode* left = nullptr;
        SNode* right = nullptr;
        SNode* parent = nullptr;
        size_t size = 1;
        uint32_t priority = 0;
    };
    // Entries by object (std::less on the pointer), then by position: the
    // first entry of an object is the first at or after its pointer. The
    // relative positions of entries never change, so the order holds while
    // the list changes around them.
    struct CByObjectThenPosition {
        using is_transparent = void;
        bool operator()(const SNode* a, const SNode* b) const;
        bool operator()(const SNode* a, const CReferenceTarget* b) const;
        bool operator()(const CReferenceTarget* a, const SNode* b) const;
    };
    using Index = std::set<SNode*, CByObjectThenPosition, CScenePoolAllocator<SNode*>>;

    static size_t NodeSize(const SNode* node) { return node ? node->size : 0; }
    static size_t Position(const SNode* node);
    static void Pull(SNode* node);
    static void Split(SNode* tree, size_t count, SNode*& front, SNode*& back);
    static SNode* Merge(SNode* front, SNode* back);
    // The first entry of the object in the index, or end().
    Index::const_iterator FindInIndex(const CReferenceTarget* object) const;
    // Takes the node out of the tree; the caller owns it.
    void Unlink(SNode* node);
    // The nodes in order, detached from the tree.
    std::vector<SNode*> Detach();
    uint32_t NextPriority();

    SNode* m_root = nullptr;
    Index m_index;
    uint32_t m_seed = 0x9E3779B9u;  // fixed: the same calls build the same tree
};

} // namespace Engine::Scene
