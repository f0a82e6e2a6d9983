#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CVector2;

namespace {

std::vector<std::string> PropertyNames(const CTypeInfo* type) {
    std::vector<const CPropertyInfo*> properties;
    type->GetProperties(properties);
    std::vector<std::string> names;
    for (const CPropertyInfo* p : properties) names.push_back(p->GetName().str());
    return names;
}

TEST(PropertyTest, BasesComeFirstAndLookupsSearchThem) {
    RegisterFixtures();
    EXPECT_EQ(PropertyNames(TypeOf<CGadget>()), (std::vector<std::string>{"Strength", "Position", "Parent", "On"}));
    EXPECT_EQ(TypeOf<CGadget>()->GetProperty("Strength", nullptr, false), nullptr);
    const CPropertyInfo* strength = TypeOf<CGadget>()->GetProperty("Strength", nullptr, true);
    ASSERT_NE(strength, nullptr);
    EXPECT_EQ(strength->GetDeclaringType(), TypeOf<CWidget>());
    EXPECT_EQ(TypeOf<CGadget>()->GetProperty("Strength", TypeOf<bool>(), true), nullptr);
    // Methods are registered Set, Get for each property in turn.
    std::vector<std::string> methods;
    for (CMethodInfo* m : CReflector<CWidget>::Methods()) methods.push_back(m->GetName().str());
    EXPECT_EQ(methods, (std::vector<std::string>{"SetStrength", "GetStrength", "SetPosition", "GetPosition",
                                                 "SetParent", "GetParent"}));
}

TEST(PropertyTest, SetThenGetThroughValues) {
    RegisterFixtures();
    CGadget gadget;
    const CValue object(&gadget);
    const CPropertyInfo* strength = TypeOf<CGadget>()->GetProperty("Strength", nullptr, true);
    const CPropertyInfo* position = TypeOf<CGadget>()->GetProperty("Position", nullptr, true);
    const CValue value(2.5f);
    EXPECT_TRUE(strength->SetValue(object, value));
    EXPECT_EQ(value.GetAs<float>(), 2.5f); // not consumed
    EXPECT_EQ(strength->GetValue(object).GetAs<float>(), 2.5f);
    EXPECT_TRUE(position->SetValue(object, CValue(CVector2{1, 2})));
    EXPECT_EQ(position->GetValue(object).GetAs<CVector2>(), (CVector2{1, 2}));
    // A value of another pointer type converts to the property's type.
    const CPropertyInfo* parent = TypeOf<CGadget>()->GetProperty("Parent", TypeOf<CNode*>(), true);
    CStep step;
    EXPECT_TRUE(parent->SetValue(object, CValue(&step)));
    EXPECT_EQ(gadget.m_parent, static_cast<CNode*>(&step));
    EXPECT_EQ(parent->GetValue(object).GetAs<CStep*>(), &step);
    // The object converts to the declaring class; these values have no path.
    EXPECT_EQ(strength->GetValue(CValue(static_cast<CNode*>(&gadget))).GetAs<float>(), 2.5f);
    EXPECT_THROW(strength->SetValue(object, CValue(3.0)), int);
    EXPECT_THROW(strength->SetValue(object, CValue(CVector2{})), int);
    EXPECT_EQ(gadget.m_sets, 1);
}

TEST(PropertyTest, MissingAccessors) {
    RegisterFixtures();
    CWidget widget;
    CPropertyInfo writeOnly(TypeOf<CWidget>()->GetMethod("SetStrength", std::vector<const CTypeInfo*>{TypeOf<float>()},
                                                        false),
                            nullptr, TypeOf<CWidget>(), TypeOf<float>(), "Strength");
    CPropertyInfo readOnly(nullptr, TypeOf<CWidget>()->GetMethod("GetStrength", {}, false), TypeOf<CWidget>(),
                           TypeOf<float>(), "Strength");
    EXPECT_FALSE(writeOnly.HasGetter());
    EXPECT_TRUE(writeOnly.GetValue(CValue(&widget)).IsEmpty());
    EXPECT_FALSE(readOnly.SetValue(CValue(&widget), CValue(1.0f)));
    EXPECT_EQ(widget.m_sets, 0);
}

TEST(ConstructorTest, DefaultInstanceIsAnUncountedPointer) {
    RegisterFixtures();
    const CValue made = CTypeRegistry::Instance().FindTypeByName("Test::CGadget")->CreateDefaultInstance();
    EXPECT_EQ(made.GetType(), TypeOf<CGadget*>());
    EXPECT_EQ(made.GetDynamicType(), TypeOf<CGadget>());
    Engine::ref_ptr<CGadget> owner(made.GetAs<CGadget*>());
    EXPECT_EQ(owner->GetRefCount(), 1);
}

TEST(ConstructorTest, ChosenByArguments) {
    RegisterFixtures();
    const CTypeInfo* type = TypeOf<CWidget>();
    CNode parent;
    CStep stepParent;
    auto parentOf = [&](std::vector<CValue> args) {
        Engine::ref_ptr<CWidget> made(type->CreateInstance(std::move(args)).GetAs<CWidget*>());
        return made->m_parent;
    };
    EXPECT_EQ(parentOf({}), nullptr);
    EXPECT_EQ(parentOf({CValue(&parent)}), &parent);
    EXPECT_EQ(parentOf({CValue(&stepParent)}), static_cast<CNode*>(&stepParent));
    EXPECT_THROW(type->CreateInstance({CValue(1.0f)}), int);
    EXPECT_THROW(type->CreateInstance({CValue()}), int);
    EXPECT_THROW(type->CreateInstance({CValue(&parent), CValue(&parent)}), int);
}

TEST(ConstructorTest, RefusedTypes) {
    RegisterFixtures();
    EXPECT_THROW(TypeOf<CAbstractWidget>()->CreateDefaultInstance(), int);
    EXPECT_THROW(TypeOf<IKey>()->CreateDefaultInstance(), int);
}

TEST(ConstructorTest, PointerAndValueTypesGiveValues) {
    RegisterFixtures();
    const CValue nullWidget = TypeOf<const CWidget*>()->CreateDefaultInstance();
    EXPECT_FALSE(nullWidget.IsEmpty());
    EXPECT_TRUE(nullWidget.IsNull());
    EXPECT_EQ(nullWidget.GetType(), TypeOf<const CWidget*>());
    EXPECT_EQ(nullWidget.GetDynamicType(), nullptr);
    EXPECT_EQ(TypeOf<float>()->CreateDefaultInstance().GetAs<float>(), 0.0f);
    const CValue flags = TypeOf<EFlags>()->CreateDefaultInstance();
    EXPECT_EQ(flags.GetType(), TypeOf<EFlags>());
    EXPECT_EQ(flags.GetAs<EFlags>(), EFlags::None);
}

TEST(ConstructorTest, OneArgumentConstructorFailsWithoutLeaving) {
    RegisterFixtures();
    const CConstructorInfo* withParent = TypeOf<CWidget>()->GetConstructor(std::vector<const CTypeInfo*>{TypeOf<CNode*>()});
    ASSERT_NE(withParent, nullptr);
    std::vector<CValue> none;
    EXPECT_THROW(withParent->Invoke(none), CEmptyValueException);
    CCustomAttributeProvider::ProviderList inherited;
    withParent->GetInheritedProviders(inherited);
    EXPECT_TRUE(inherited.empty()); // CNode has no such constructor
}

TEST(RegistrationKitTest, PointerRecordsAndEnumNames) {
    RegisterFixtures();
    const CTypeInfo* type = TypeOf<CWidget>();
    const CTypeInfo* pointer = type->GetPointerType();
    const CTypeInfo* constPointer = type->GetConstPointerType();
    ASSERT_TRUE(pointer && constPointer);
    EXPECT_TRUE(type->IsDefined() && type->ArePointerFormsDefined() && type->HasRefPtrForm());
    EXPECT_EQ(type->GetRefPtrLink()->GetRefPtrLink(), type);
    EXPECT_EQ(pointer->GetConstructors().size(), 1u);
    EXPECT_EQ(pointer->GetComparator(), nullptr);
    EXPECT_NE(constPointer->GetComparator(), nullptr);
    EXPECT_TRUE(constPointer->IsConst());
    EXPECT_EQ(constPointer->GetPointee(), type);
    const auto& names = TypeOf<EFlags>()->GetEnumValueNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.at(0x80000000LL).str(), "High");
    CReflector<EFlags>::AddEnumValueName("Other", EFlags::High);
    EXPECT_EQ(names.at(0x80000000LL).str(), "High");
}

} // namespace
