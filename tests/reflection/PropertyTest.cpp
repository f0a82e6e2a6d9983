#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CVector2;

namespace {

template <class List>
std::vector<std::string> Names(const List& members) {
    std::vector<std::string> names;
    for (const auto* member : members) names.push_back(member->GetName().str());
    return names;
}

class PropertyTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFixtures(); }
    static const CPropertyInfo* Property(const char* name) {
        return TypeOf<CGadget>()->GetProperty(name, nullptr, true);
    }
};

TEST_F(PropertyTest, BasesComeFirstAndLookupsSearchThem) {
    std::vector<const CPropertyInfo*> properties;
    TypeOf<CGadget>()->GetProperties(properties);
    EXPECT_EQ(Names(properties), (std::vector<std::string>{"Strength", "Position", "Parent", "On"}));
    EXPECT_EQ(TypeOf<CGadget>()->GetProperty("Strength", nullptr, false), nullptr);
    ASSERT_NE(Property("Strength"), nullptr);
    EXPECT_EQ(Property("Strength")->GetDeclaringType(), TypeOf<CWidget>());
    EXPECT_EQ(TypeOf<CGadget>()->GetProperty("Strength", TypeOf<bool>(), true), nullptr);
    // Methods are registered Set, Get for each property in turn.
    EXPECT_EQ(Names(CReflector<CWidget>::Methods()), (std::vector<std::string>{"SetStrength", "GetStrength", "SetPosition",
                                                                              "GetPosition", "SetParent", "GetParent"}));
}

TEST_F(PropertyTest, SetThenGetThroughValues) {
    CGadget gadget;
    const CValue object(&gadget);
    const CValue value(2.5f);
    EXPECT_TRUE(Property("Strength")->SetValue(object, value));
    EXPECT_EQ(value.GetAs<float>(), 2.5f); // not consumed
    EXPECT_EQ(Property("Strength")->GetValue(object).GetAs<float>(), 2.5f);
    EXPECT_TRUE(Property("Position")->SetValue(object, CValue(CVector2{1, 2})));
    EXPECT_EQ(Property("Position")->GetValue(object).GetAs<CVector2>(), (CVector2{1, 2}));
    // A value of another pointer type converts to the property's type.
    EXPECT_TRUE(Property("Parent")->SetValue(object, CValue(&Step())));
    EXPECT_EQ(gadget.m_parent, static_cast<CNode*>(&Step()));
    EXPECT_EQ(Property("Parent")->GetValue(object).GetAs<CStep*>(), &Step());
    // The object converts to the declaring class; these values have no path.
    EXPECT_EQ(Property("Strength")->GetValue(CValue(static_cast<CNode*>(&gadget))).GetAs<float>(), 2.5f);
    EXPECT_THROW(Property("Strength")->SetValue(object, CValue(3.0)), int);
    EXPECT_THROW(Property("Strength")->SetValue(object, CValue(CVector2{})), int);
    EXPECT_EQ(gadget.m_sets, 1);
}

TEST_F(PropertyTest, MissingAccessors) {
    CWidget widget;
    const CTypeInfo* type = TypeOf<CWidget>();
    CPropertyInfo writeOnly(type->GetMethod("SetStrength", std::vector<const CTypeInfo*>{TypeOf<float>()}, false),
                            nullptr, type, TypeOf<float>(), "Strength");
    CPropertyInfo readOnly(nullptr, type->GetMethod("GetStrength", {}, false), type, TypeOf<float>(), "Strength");
    EXPECT_FALSE(writeOnly.HasGetter());
    EXPECT_TRUE(writeOnly.GetValue(CValue(&widget)).IsEmpty());
    EXPECT_FALSE(readOnly.SetValue(CValue(&widget), CValue(1.0f)));
    EXPECT_EQ(widget.m_sets, 0);
}

TEST_F(PropertyTest, DefaultInstancesAndAbstractTypesRefused) {
    const CValue made = CTypeRegistry::Instance().FindTypeByName("Test::CGadget")->CreateDefaultInstance();
    EXPECT_EQ(made.GetType(), TypeOf<CGadget*>());
    Engine::ref_ptr<CGadget> owner(made.GetAs<CGadget*>());
    EXPECT_EQ(owner->GetRefCount(), 1); // an uncounted pointer until now
    // Pointer and value types give values.
    const CValue nullWidget = TypeOf<const CWidget*>()->CreateDefaultInstance();
    EXPECT_TRUE(!nullWidget.IsEmpty() && nullWidget.IsNull());
    EXPECT_EQ(nullWidget.GetType(), TypeOf<const CWidget*>());
    EXPECT_EQ(TypeOf<float>()->CreateDefaultInstance().GetAs<float>(), 0.0f);
    const CValue flags = TypeOf<EFlags>()->CreateDefaultInstance();
    EXPECT_EQ(flags.GetType(), TypeOf<EFlags>());
    EXPECT_EQ(flags.GetAs<EFlags>(), EFlags::None);
    EXPECT_THROW(TypeOf<CAbstractWidget>()->CreateDefaultInstance(), int);
    EXPECT_THROW(TypeOf<IKey>()->CreateDefaultInstance(), int);
}

TEST_F(PropertyTest, ConstructorChosenByArguments) {
    const CTypeInfo* type = TypeOf<CWidget>();
    CNode parent;
    auto parentOf = [&](std::vector<CValue> args) {
        Engine::ref_ptr<CWidget> made(type->CreateInstance(std::move(args)).GetAs<CWidget*>());
        return made->m_parent;
    };
    EXPECT_EQ(parentOf({}), nullptr);
    EXPECT_EQ(parentOf({CValue(&parent)}), &parent);
    EXPECT_EQ(parentOf({CValue(&Step())}), static_cast<CNode*>(&Step()));
    EXPECT_THROW(type->CreateInstance({CValue(1.0f)}), int);
    EXPECT_THROW(type->CreateInstance({CValue()}), int);
    EXPECT_THROW(type->CreateInstance({CValue(&parent), CValue(&parent)}), int);
    // Called directly without its argument, it refuses before constructing.
    const CConstructorInfo* withParent = type->GetConstructor(std::vector<const CTypeInfo*>{TypeOf<CNode*>()});
    ASSERT_NE(withParent, nullptr);
    std::vector<CValue> none;
    EXPECT_THROW(withParent->Invoke(none), CEmptyValueException);
}

TEST_F(PropertyTest, RegistrationKitMakesPointerRecordsAndEnumNames) {
    const CTypeInfo* type = TypeOf<CWidget>();
    EXPECT_TRUE(type->IsDefined() && type->ArePointerFormsDefined() && type->HasRefPtrForm());
    EXPECT_EQ(type->GetPointerType(), TypeOf<CWidget*>());
    EXPECT_EQ(type->GetConstPointerType(), TypeOf<const CWidget*>());
    EXPECT_EQ(type->GetRefPtrLink()->GetRefPtrLink(), type);
    const auto& names = TypeOf<EFlags>()->GetEnumValueNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.at(0x80000000LL).str(), "High");
    CReflector<EFlags>::AddEnumValueName("Other", EFlags::High); // the first name stays
    EXPECT_EQ(names.at(0x80000000LL).str(), "High");
}

} // namespace
