#include "reflection/Builtins.h"

#include <string>

#include "app/Geometry.h"
#include "reflection/Calculators.h"
#include "reflection/Formatters.h"
#include "reflection/Reflector.h"

namespace Engine::Reflection {
namespace {

using namespace Engine::Geometry;

// A group's registration runs once until it is undone.
class CGroupState {
public:
    bool Begin() { return !std::exchange(m_registered, true); }
    bool End() { return std::exchange(m_registered, false); }

private:
    bool m_registered = false;
};

CGroupState g_geometry, g_referenced, g_primitives, g_primitiveFormatters;

// A value type: default construction gives T{} in a value box.
template <class T>
CTypeInfo* RegisterValueType(const char* name) {
    CTypeInfo* record = CReflector<T>::RegisterType(name);
    CReflector<T>::template AddDefaultConstructor<CValueInstanceCreator<T>>();
    return record;
}

template <class T>
void RegisterPrimitive(const char* name) {
    CTypeInfo* record = RegisterValueType<T>(name);
    record->SetComparator(std::make_unique<CTotalOrderComparator<T>>());
    if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
        record->SetCalculator(std::make_unique<CArithmeticCalculator<T>>());
}

// Vectors and points subtract; rectangles do not.
template <class T, class Field, size_t N, bool Calculates>
void RegisterGeometry(const char* name, const std::array<Field T::*, N>& fields) {
    CTypeInfo* record = RegisterValueType<T>(name);
    record->SetComparator(std::make_unique<CEqualityComparator<T>>());
    if constexpr (Calculates) record->SetCalculator(std::make_unique<CArithmeticCalculator<T>>());
    record->SetFormatter(MakeFieldListFormatter<T, Field, N>(fields));
}

// Calls fn with a null T* for every primitive type, in registration order.
template <class Fn>
void ForEachPrimitive(Fn fn) {
    fn(static_cast<char*>(nullptr), "char");
    fn(static_cast<signed char*>(nullptr), "signed char");
    fn(static_cast<unsigned char*>(nullptr), "unsigned char");
    fn(static_cast<short*>(nullptr), "short");
    fn(static_cast<unsigned short*>(nullptr), "unsigned short");
    fn(static_cast<int*>(nullptr), "int");
    fn(static_cast<unsigned int*>(nullptr), "unsigned int");
    fn(static_cast<long*>(nullptr), "long");
    fn(static_cast<unsigned long*>(nullptr), "unsigned long");
    fn(static_cast<long long*>(nullptr), "long long");
    fn(static_cast<unsigned long long*>(nullptr), "unsigned long long");
    fn(static_cast<float*>(nullptr), "float");
    fn(static_cast<double*>(nullptr), "double");
    fn(static_cast<long double*>(nullptr), "long double");
    fn(static_cast<bool*>(nullptr), "bool");
    fn(static_cast<std::string*>(nullptr), "std::string");
}

template <class... T>
void Release() {
    (CReflector<T>::Release(), ...);
}

} // namespace

void RegisterReflection_Geometry() {
    if (!g_geometry.Begin()) return;
    RegisterGeometry<CVector2, float, 2, true>("Engine::Geometry::CVector2", {&CVector2::x, &CVector2::y});
    RegisterGeometry<CVector3, float, 3, true>("Engine::Geometry::CVector3",
                                               {&CVector3::x, &CVector3::y, &CVector3::z});
    RegisterGeometry<CVector4, float, 4, true>("Engine::Geometry::CVector4",
                                         {&CVector4::x, &CVector4::y, &CVector4::z, &CVector4::w});
    RegisterGeometry<CPoint, int32_t, 2, true>("Engine::Geometry::CPoint", {&CPoint::x, &CPoint::y});
    RegisterGeometry<CRect, int32_t, 4, false>("Engine::Geometry::CRect",
                                        {&CRect::left, &CRect::top, &CRect::right, &CRect::bottom});
    RegisterGeometry<CRectF, float, 4, false>("Engine::Geometry::CRectF",
                                       {&CRectF::left, &CRectF::top, &CRectF::right, &CRectF::bottom});
}

void UnregisterReflection_Geometry() {
    if (g_geometry.End()) Release<CVector2, CVector3, CVector4, CPoint, CRect, CRectF>();
}

void RegisterReflection_CReferenced() {
    if (!g_referenced.Begin()) return;
    CReflector<Engine::CReferenced>::RegisterType("Engine::CReferenced", ERefPtrForm::Yes);
    CReflector<Engine::CReferenced>::RegisterVoidPointerConverter();
}

void UnregisterReflection_CReferenced() {
    if (g_referenced.End()) Release<Engine::CReferenced>();
}

void RegisterReflection_Primitives() {
    if (!g_primitives.Begin()) return;
    ForEachPrimitive([](auto* type, const char* name) { RegisterPrimitive<std::remove_pointer_t<decltype(type)>>(name); });
}

void UnregisterReflection_Primitives() {
    if (g_primitives.End())
        ForEachPrimitive([](auto* type, const char*) { Release<std::remove_pointer_t<decltype(type)>>(); });
}

void RegisterReflection_PrimitiveFormatters() {
    if (!g_primitiveFormatters.Begin()) return;
    ForEachPrimitive([](auto* type, const char*) {
        using T = std::remove_pointer_t<decltype(type)>;
        TypeOf<T>()->SetFormatter(std::make_unique<CPrimitiveFormatter<T>>());
    });
}

void UnregisterReflection_PrimitiveFormatters() {
    g_primitiveFormatters.End();
}

std::span<const CStartupHook> GetStartupHooks() {
    static constexpr CStartupHook kHooks[] = {
        {EStartupGroup::Geometry, "geometry types", &RegisterReflection_Geometry, &UnregisterReflection_Geometry},
        {EStartupGroup::Referenced, "Engine::CReferenced", &RegisterReflection_CReferenced,
         &UnregisterReflection_CReferenced},
        {EStartupGroup::Primitives, "primitive types", &RegisterReflection_Primitives,
         &UnregisterReflection_Primitives},
        {EStartupGroup::PrimitiveFormatters, "primitive text forms", &RegisterReflection_PrimitiveFormatters,
         &UnregisterReflection_PrimitiveFormatters},
    };
    return kHooks;
}

} // namespace Engine::Reflection
