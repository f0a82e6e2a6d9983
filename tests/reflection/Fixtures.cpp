#include "Fixtures.h"

using namespace Engine::Reflection;

namespace ReflTest {
namespace {

template <class T>
CTypeInfo* Define(const char* name) {
    auto& registry = CTypeRegistry::Instance();
    CTypeInfo* record = registry.GetOrCreateTypeInfo(typeid(T), true);
    record->SetName(name);
    for (CTypeInfo* pointer : {TypeOf<T*>(), TypeOf<const T*>()}) {
        pointer->SetNames(record->GetShortName(), record->GetScope());
        pointer->MarkDefined();
    }
    record->SetPointerType(TypeOf<T*>());
    record->SetConstPointerType(TypeOf<const T*>());
    record->MarkDefined();
    return record;
}

// Down-casts only for a base with virtual functions.
template <class T, class B>
void Link() {
    TypeOf<T>()->AddBaseType(TypeOf<B>());
    auto& graph = CTypeRegistry::Instance().Converters();
    graph.Set(TypeOf<T*>(), TypeOf<B*>(), std::make_unique<CStaticConverter<T*, B*>>());
    graph.Set(TypeOf<const T*>(), TypeOf<const B*>(), std::make_unique<CStaticConverter<const T*, const B*>>());
    graph.Set(TypeOf<T*>(), TypeOf<const B*>(), std::make_unique<CStaticConverter<T*, const B*>>());
    if constexpr (std::is_polymorphic_v<B>) {
        graph.Set(TypeOf<B*>(), TypeOf<T*>(), std::make_unique<CDynamicConverter<B*, T*>>());
        graph.Set(TypeOf<const B*>(), TypeOf<const T*>(), std::make_unique<CDynamicConverter<const B*, const T*>>());
        graph.Set(TypeOf<B*>(), TypeOf<const T*>(), std::make_unique<CDynamicConverter<B*, const T*>>());
    }
}

template <class T>
void AddVoidConverter() {
    auto& registry = CTypeRegistry::Instance();
    registry.AddVoidPointerConverter(registry.VoidPointerType(), TypeOf<T*>(),
                                     std::make_unique<CStaticConverter<void*, T*>>());
}

} // namespace

void RegisterFixtures() {
    static const bool s_done = [] {
        CTypeInfo* node = Define<CNode>("Test::CNode");
        node->LinkRefPtrForm(TypeOf<Engine::ref_ptr<CNode>>());
        Define<IKey>("Test::IKey");
        Define<ITag>("Test::ITag");
        Define<CPlain>("CPlain");
        // Step is registered before Bez, so a naive search from IKey* tries
        // the Step down-cast first.
        Define<CStep>("Test::CStep");
        Link<CStep, IKey>();
        Link<CStep, CNode>();
        Link<CStep, ITag>();
        Define<CBez>("Test::CBez");
        Link<CBez, IKey>();
        Link<CBez, CNode>();
        Link<CBez, ITag>();
        Define<CStepChild>("Test::CStepChild");
        Link<CStepChild, CStep>();
        AddVoidConverter<CStep>();
        return true;
    }();
    (void)s_done;
}

} // namespace ReflTest
