#pragma once
// The registry's converter tables and the search for a conversion path.
//
// Path search (deterministic): the out-edges of a type are tried in the
// order their slots were first written (overwriting a slot keeps its place);
// the out-edges of void* are the void-pointer table's. At each type the
// converter straight to the target is tried first, and a type already
// visited is never entered again. The search runs in two phases:
//  1. It carries the value along and applies each step as it goes. A step
//     that turns a non-null pointer into a null one (a down-cast to a class
//     the object does not have) is a dead end; the first path that reaches
//     the target without one wins. So a value is never lost to a sibling
//     cast when another path keeps the object.
//  2. Only when every path met a dead end: the plain search on types alone,
//     whose path is applied and whose null result is a success (a down-cast
//     to another class yields a null pointer, not a failure).

#include <memory>
#include <unordered_map>
#include <vector>

namespace Engine::Reflection {

class CConverter;
class CTypeInfo;
class CValue;

class CConverterGraph {
public:
    struct CEdge {
        const CTypeInfo* target;
        const CConverter* converter;
    };
    using EdgeList = std::vector<CEdge>;

    CConverterGraph();
    ~CConverterGraph();
    CConverterGraph(const CConverterGraph&) = delete;
    CConverterGraph& operator=(const CConverterGraph&) = delete;

    // Stores under [from][to], replacing the slot's converter. Every
    // converter ever stored stays alive as long as the graph.
    void Set(const CTypeInfo* from, const CTypeInfo* to, std::unique_ptr<CConverter> converter);
    // The void*-to-T* table: the same shape, kept apart.
    void SetVoidPointer(const CTypeInfo* from, const CTypeInfo* to, std::unique_ptr<CConverter> converter);

    // The converter stored under [from][to] in either table, else null.
    const CConverter* Find(const CTypeInfo* from, const CTypeInfo* to) const;
    const EdgeList& GetEdges(const CTypeInfo* from) const;
    const EdgeList& GetVoidPointerEdges(const CTypeInfo* from) const;

    // Converts along a found path; the empty value when there is none.
    CValue Convert(const CValue& source, const CTypeInfo* target) const;
    // Whether a path exists between the two types, ignoring values.
    bool HasPath(const CTypeInfo* from, const CTypeInfo* to) const;

private:
    using Table = std::unordered_map<const CTypeInfo*, EdgeList>;
    static void Store(Table& table, const CTypeInfo* from, const CTypeInfo* to, const CConverter* converter);
    const CConverter* Keep(std::unique_ptr<CConverter> converter);

    class CSearch;

    Table m_graph;
    Table m_voidPointer;
    std::vector<std::unique_ptr<CConverter>> m_pool;
};

} // namespace Engine::Reflection
