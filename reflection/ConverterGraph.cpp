#include "reflection/ConverterGraph.h"

#include <unordered_set>

#include "reflection/Converters.h"

namespace Engine::Reflection {

// One search from one source type towards one target (see the header).
class CConverterGraph::CSearch {
public:
    CSearch(const CConverterGraph& graph, const CTypeInfo* target) : m_graph(graph), m_target(target) {}

    // Phase 1: carries the value; a non-null to null step is a dead end.
    bool FindWithValue(const CTypeInfo* node, const CValue& value, CValue& result) {
        m_visited.insert(node);
        const bool nonNull = !value.IsNull();
        if (const CConverter* direct = m_graph.Find(node, m_target)) {
            CValue converted = direct->Convert(value);
            if (!(nonNull && converted.IsNull())) {
                result = std::move(converted);
                return true;
            }
            m_deadEnd = true;
        }
        return AnyEdge(node, [&](const CEdge& edge) {
            CValue next = edge.converter->Convert(value);
            if (nonNull && next.IsNull()) {
                m_deadEnd = true;
                return false;
            }
            return FindWithValue(edge.target, next, result);
        });
    }

    // Phase 2: types only.
    bool FindPath(const CTypeInfo* node, std::vector<const CConverter*>& path) {
        m_visited.insert(node);
        if (const CConverter* direct = m_graph.Find(node, m_target)) {
            path.push_back(direct);
            return true;
        }
        return AnyEdge(node, [&](const CEdge& edge) {
            path.push_back(edge.converter);
            if (FindPath(edge.target, path)) return true;
            path.pop_back();
            return false;
        });
    }

    bool HitDeadEnd() const { return m_deadEnd; }

private:
    // Runs step on each unvisited neighbour other than the target (tried
    // directly before), graph edges first, until one returns true.
    template <class Step>
    bool AnyEdge(const CTypeInfo* node, Step step) {
        for (const EdgeList* edges : {&m_graph.GetEdges(node), &m_graph.GetVoidPointerEdges(node)}) {
            for (const CEdge& edge : *edges) {
                if (edge.target == m_target || m_visited.count(edge.target)) continue;
                if (step(edge)) return true;
            }
        }
        return false;
    }

    const CConverterGraph& m_graph;
    const CTypeInfo* m_target;
    std::unordered_set<const CTypeInfo*> m_visited;
    bool m_deadEnd = false;
};

CConverterGraph::CConverterGraph() = default;
CConverterGraph::~CConverterGraph() = default;

void CConverterGraph::Set(const CTypeInfo* from, const CTypeInfo* to, std::unique_ptr<CConverter> converter) {
    Store(m_graph, from, to, Keep(std::move(converter)));
}

void CConverterGraph::SetVoidPointer(const CTypeInfo* from, const CTypeInfo* to,
                                     std::unique_ptr<CConverter> converter) {
    Store(m_voidPointer, from, to, Keep(std::move(converter)));
}

const CConverter* CConverterGraph::Keep(std::unique_ptr<CConverter> converter) {
    m_pool.push_back(std::move(converter));
    return m_pool.back().get();
}

void CConverterGraph::Store(Table& table, const CTypeInfo* from, const CTypeInfo* to, const CConverter* converter) {
    EdgeList& edges = table[from];
    for (CEdge& edge : edges) {
        if (edge.target == to) {
            edge.converter = converter;
            return;
        }
    }
    edges.push_back({to, converter});
}

const CConverterGraph::EdgeList& CConverterGraph::GetEdges(const CTypeInfo* from) const {
    static const EdgeList kNone;
    auto it = m_graph.find(from);
    return it == m_graph.end() ? kNone : it->second;
}

const CConverterGraph::EdgeList& CConverterGraph::GetVoidPointerEdges(const CTypeInfo* from) const {
    static const EdgeList kNone;
    auto it = m_voidPointer.find(from);
    return it == m_voidPointer.end() ? kNone : it->second;
}

const CConverter* CConverterGraph::Find(const CTypeInfo* from, const CTypeInfo* to) const {
    for (const EdgeList* edges : {&GetEdges(from), &GetVoidPointerEdges(from)})
        for (const CEdge& edge : *edges)
            if (edge.target == to) return edge.converter;
    return nullptr;
}

CValue CConverterGraph::Convert(const CValue& source, const CTypeInfo* target) const {
    CSearch withValue(*this, target);
    CValue result;
    if (withValue.FindWithValue(source.GetType(), source, result)) return result;
    if (!withValue.HitDeadEnd()) return CValue();
    std::vector<const CConverter*> path;
    if (!CSearch(*this, target).FindPath(source.GetType(), path)) return CValue();
    return CCompositeConverter(std::move(path)).Convert(source);
}

bool CConverterGraph::HasPath(const CTypeInfo* from, const CTypeInfo* to) const {
    std::vector<const CConverter*> path;
    return CSearch(*this, to).FindPath(from, path);
}

} // namespace Engine::Reflection
