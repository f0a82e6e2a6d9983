#include "Fixtures.h"

using namespace Engine::Reflection;

namespace ReflTest {
namespace {

// A class with its void-pointer converter and its bases in this order.
template <class T, class... Bases>
void Class(const char* name, ERefPtrForm refPtr = ERefPtrForm::No) {
    CReflector<T>::RegisterType(name, refPtr);
    CReflector<T>::RegisterVoidPointerConverter();
    (CReflector<T>::template AddBase<Bases>(), ...);
}

} // namespace

CStep& Step() {
    static CStep step;
    return step;
}

CBez& Bez() {
    static CBez bez;
    return bez;
}

void RegisterFixtures() {
    static const bool s_done = [] {
        RegisterReflection_Primitives();
        RegisterReflection_Geometry();
        Class<CNode>("Test::CNode", ERefPtrForm::Yes);
        Class<IKey>("Test::IKey");
        Class<ITag>("Test::ITag");
        Class<CPlain>("CPlain");
        // Step is registered before Bez, so a naive search from IKey* tries
        // the Step down-cast first.
        Class<CStep, IKey, CNode, ITag>("Test::CStep");
        Class<CBez, IKey, CNode, ITag>("Test::CBez");
        Class<CStepChild, CStep>("Test::CStepChild");

        using W = CReflector<CWidget>;
        Class<CWidget>("Test::CWidget", ERefPtrForm::Yes);
        W::AddDefaultConstructor();
        W::AddConstructor<CNode*>("parent");
        W::AddBase<CNode>();
        W::AddProperty("Strength", &CWidget::SetStrength, &CWidget::GetStrength);
        W::AddProperty("Position", &CWidget::SetPosition, &CWidget::GetPosition);
        W::AddProperty("Parent", &CWidget::SetParent, &CWidget::GetParent);

        Class<CGadget>("Test::CGadget", ERefPtrForm::Yes);
        CReflector<CGadget>::AddDefaultConstructor();
        CReflector<CGadget>::AddBase<CWidget>();
        CReflector<CGadget>::AddProperty("On", &CGadget::SetOn, &CGadget::GetOn);

        CReflector<CAbstractWidget>::RegisterType("Test::CAbstractWidget", ERefPtrForm::No, true);
        CReflector<CAbstractWidget>::AddDefaultConstructor();

        CReflector<EFlags>::RegisterEnumType("Test::EFlags");
        CReflector<EFlags>::AddEnumValueName("Test::EFlags::High", EFlags::High);
        CReflector<EFlags>::AddEnumValueName("Test::EFlags::None", EFlags::None);
        return true;
    }();
    (void)s_done;
}

} // namespace ReflTest
