#include "scene/RefTree.h"

#include <functional>
#include <memory>

#include "scene/ReferenceTarget.h"

namespace Engine::Scene {

bool CRefTree::CByObjectThenPosition::operator()(const SNode* a, const SNode* b) const {
    const CReferenceTarget* x = a->ref.get();
    const CReferenceTarget* y = b->ref.get();
    if (x != y) return std::less<const CReferenceTarget*>()(x, y);
    return Position(a) < Position(b);
}

bool CRefTree::CByObjectThenPosition::operator()(const SNode* a, const CReferenceTarget* b) const {
    return std::less<const CReferenceTarget*>()(a->ref.get(), b);
}

bool CRefTree::CByObjectThenPosition::operator()(const CReferenceTarget* a, const SNode* b) const {
    return std::less<const CReferenceTarget*>()(a, b->ref.get());
}

CRefTree::~CRefTree() {
    for (SNode* node : Detach()) delete node;
}

size_t CRefTree::Position(const SNode* node) {
    size_t position = NodeSize(node->left);
    for (; node->parent; node = node->parent)
        if (node == node->parent->right) position += NodeSize(node->parent->left) + 1;
    return position;
}

void CRefTree::Pull(SNode* node) {
    node->size = 1 + NodeSize(node->left) + NodeSize(node->right);
    if (node->left) node->left->parent = node;
    if (node->right) node->right->parent = node;
}

void CRefTree::Split(SNode* tree, size_t count, SNode*& front, SNode*& back) {
    if (!tree) {
        front = back = nullptr;
        return;
    }
    if (NodeSize(tree->left) < count) {
        Split(tree->right, count - NodeSize(tree->left) - 1, tree->right, back);
        front = tree;
    } else {
        Split(tree->left, count, front, tree->left);
        back = tree;
    }
    Pull(tree);
}

CRefTree::SNode* CRefTree::Merge(SNode* front, SNode* back) {
    if (!front) return back;
    if (!back) return front;
    if (front->priority > back->priority) {
        front->right = Merge(front->right, back);
        Pull(front);
        return front;
    }
    back->left = Merge(front, back->left);
    Pull(back);
    return back;
}

const CRefTree::Ref& CRefTree::At(size_t index) const {
    const SNode* node = m_root;
    for (;;) {
        const size_t before = NodeSize(node->left);
        if (index == before) return node->ref;
        if (index < before) {
            node = node->left;
        } else {
            index -= before + 1;
            node = node->right;
        }
    }
}

void CRefTree::Insert(size_t index, Ref object) {
    auto node = std::make_unique<SNode>();
    node->ref = std::move(object);
    node->priority = NextPriority();
    SNode* front = nullptr;
    SNode* back = nullptr;
    Split(m_root, index, front, back);
    m_root = Merge(Merge(front, node.get()), back);
    m_root->parent = nullptr;
    m_index.insert(node.release());
}

CRefTree::Index::const_iterator CRefTree::FindInIndex(const CReferenceTarget* object) const {
    auto it = m_index.lower_bound(object);
    return it != m_index.end() && (*it)->ref.get() == object ? it : m_index.end();
}

CRefTree::Ref CRefTree::RemoveFirst(const CReferenceTarget* object) {
    auto it = FindInIndex(object);
    if (it == m_index.end()) return nullptr;
    std::unique_ptr<SNode> node(*it);
    m_index.erase(it);
    Unlink(node.get());
    return std::move(node->ref);
}

void CRefTree::Unlink(SNode* node) {
    SNode* replacement = Merge(node->left, node->right);
    SNode* parent = node->parent;
    if (replacement) replacement->parent = parent;
    if (!parent)
        m_root = replacement;
    else if (parent->left == node)
        parent->left = replacement;
    else
        parent->right = replacement;
    for (; parent; parent = parent->parent) --parent->size;
}

std::vector<CRefTree::SNode*> CRefTree::Detach() {
    std::vector<SNode*> nodes;
    nodes.reserve(Size());
    std::vector<SNode*> pending;
    for (SNode* node = m_root; node || !pending.empty();) {
        if (node) {
            pending.push_back(node);
            node = node->left;
            continue;
        }
        node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        node = node->right;
    }
    m_root = nullptr;
    m_index.clear();
    return nodes;
}

CScenePoolVector<CRefTree::Ref> CRefTree::TakeAll() {
    CScenePoolVector<Ref> refs;
    const std::vector<SNode*> nodes = Detach();
    refs.reserve(nodes.size());
    for (SNode* node : nodes) {
        refs.push_back(std::move(node->ref));
        delete node;
    }
    return refs;
}

uint32_t CRefTree::NextPriority() {
    // xorshift32: any spread of priorities keeps the tree's expected depth
    // logarithmic; the list's order never depends on them.
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    return m_seed;
}

} // namespace Engine::Scene
