#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"
#include "reflection/TypeName.h"

using namespace Engine::Reflection;
using namespace ReflTest;

namespace {

struct CSplitCase {
    const char *name, *scope, *shortName;
};

class SplitQualifiedTypeNameTest : public ::testing::TestWithParam<CSplitCase> {};

TEST_P(SplitQualifiedTypeNameTest, SplitsAtLastScopeOutsideAngleBrackets) {
    std::string shortName = "stale", scope = "stale";
    SplitQualifiedTypeName(GetParam().name, shortName, scope);
    EXPECT_EQ(scope, GetParam().scope);
    EXPECT_EQ(shortName, GetParam().shortName);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SplitQualifiedTypeNameTest,
    ::testing::Values(CSplitCase{"Engine::Scene::CController", "Engine::Scene", "CController"},
                      CSplitCase{"CAniPlaceObject", "", "CAniPlaceObject"}, CSplitCase{"A::B<C::D, E>", "A", "B<C::D, E>"},
                      CSplitCase{"A<B::C>", "", "A<B::C>"}, CSplitCase{"", "", ""},
                      CSplitCase{"std::map<int, std::pair<a::b, c>>::iterator", "std::map<int, std::pair<a::b, c>>",
                                 "iterator"}));

TEST(TypeNameTest, ExpandsEveryCommaWord) {
    EXPECT_EQ(ExpandTypeNameCommas("A<B COMMA C COMMA D>"), "A<B, C, D>");
    EXPECT_EQ(ExpandTypeNameCommas("COMMA"), "COMMA");
    EXPECT_EQ(ExpandTypeNameCommas("Plain"), "Plain");
}

struct CFullNameCase {
    CTypeInfo* (*record)();
    const char* expected;
};

class FullNameTest : public ::testing::TestWithParam<CFullNameCase> {
protected:
    void SetUp() override { RegisterFixtures(); }
};

TEST_P(FullNameTest, NamesConstScopeAndPointerAndFindsByThatNameOnly) {
    const CTypeInfo* record = GetParam().record();
    EXPECT_EQ(record->GetFullName().str(), GetParam().expected);
    // Unnamed records must not match the empty name.
    EXPECT_EQ(CTypeRegistry::Instance().FindTypeByName(GetParam().expected), *GetParam().expected ? record : nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FullNameTest,
    ::testing::Values(CFullNameCase{TypeOf<CNode>, "Test::CNode"}, CFullNameCase{TypeOf<CNode*>, "Test::CNode *"},
                      CFullNameCase{TypeOf<const CNode*>, "const Test::CNode *"}, CFullNameCase{TypeOf<CPlain>, "CPlain"},
                      CFullNameCase{TypeOf<void>, "void"}, CFullNameCase{TypeOf<void*>, "void *"},
                      CFullNameCase{TypeOf<CKeyOnly>, ""}));

TEST(TypeRegistryTest, FindsByFullNameOnly) {
    RegisterFixtures();
    EXPECT_EQ(CTypeRegistry::Instance().FindTypeByName("CNode"), nullptr);
    EXPECT_EQ(CTypeRegistry::Instance().Find(typeid(CStep)), TypeOf<CStep>());
}

TEST(TypeRegistryTest, TypeNamedBeforeRegistrationKeepsItsRecord) {
    struct CLate : CNode {};
    auto& registry = CTypeRegistry::Instance();
    // Pointer records know their shape before anything is registered.
    const CTypeInfo* pointer = TypeOf<const CLate*>();
    EXPECT_TRUE(pointer->IsConstPointer());
    EXPECT_FALSE(pointer->IsDefined());
    CTypeInfo* mentioned = registry.GetTypeInfo(typeid(CLate));
    EXPECT_EQ(pointer->GetPointee(), mentioned);
    EXPECT_FALSE(mentioned->IsDefined());
    EXPECT_FALSE(mentioned->HasName());
    TypeOf<CStepChild>(); // other records come and go in between
    CTypeInfo* registered = registry.GetOrCreateTypeInfo(typeid(CLate), true);
    ASSERT_EQ(registered, mentioned);
    registered->SetName("Test::CLate");
    registered->MarkDefined();
    EXPECT_EQ(registry.FindTypeByName("Test::CLate"), mentioned);
    EXPECT_EQ(registry.AddPlaceholderType(typeid(CLate)), mentioned);
}

struct CMarker : CCustomAttribute {
    explicit CMarker(int v) : value(v) {}
    int value;
};

TEST(TypeRegistryTest, RedefinitionCompletesTheRecordInPlace) {
    struct CRedefined {};
    auto& registry = CTypeRegistry::Instance();
    CTypeInfo* first = registry.GetOrCreateTypeInfo(typeid(CRedefined), true);
    first->SetName("Test::CRedefined");
    first->AddAttribute(std::make_unique<CMarker>(41));
    first->AddBaseType(TypeOf<CPlain>());
    first->SetAbstract(true);
    first->MarkDefined();
    const CMarker* oldAttribute = first->GetCustomAttribute<CMarker>(false);

    CTypeInfo* second = registry.GetOrCreateTypeInfo(typeid(CRedefined), true);
    ASSERT_EQ(second, first);
    EXPECT_FALSE(second->IsDefined());
    EXPECT_FALSE(second->IsAbstract());
    EXPECT_TRUE(second->GetBaseTypes().empty());
    EXPECT_TRUE(second->GetAttributes().empty());
    EXPECT_EQ(second->GetFullName().str(), "Test::CRedefined");
    // What the old definition owned stays alive for those that point to it.
    EXPECT_EQ(oldAttribute->value, 41);
    second->AddAlias("Test::CRedefinedAlias");
    EXPECT_EQ(registry.FindTypeByName("Test::CRedefinedAlias"), first);

    // The void records are never redefined.
    CTypeInfo* voidPointer = registry.GetOrCreateTypeInfo(typeid(void*), true);
    EXPECT_EQ(voidPointer, registry.VoidPointerType());
    EXPECT_TRUE(voidPointer->IsDefined());
    EXPECT_EQ(voidPointer->GetPointee(), registry.VoidType());
    EXPECT_EQ(CValue().GetType(), registry.VoidType());
}

TEST(TypeInfoTest, SubclassSearchIsTransitiveAndExcludesSelf) {
    RegisterFixtures();
    EXPECT_TRUE(TypeOf<CStepChild>()->IsSubclassOf(TypeOf<CStep>()));
    EXPECT_TRUE(TypeOf<CStepChild>()->IsSubclassOf(TypeOf<IKey>()));
    EXPECT_FALSE(TypeOf<CStep>()->IsSubclassOf(TypeOf<CStep>()));
    EXPECT_FALSE(TypeOf<CStep>()->IsSubclassOf(TypeOf<CBez>()));
    EXPECT_FALSE(TypeOf<CNode>()->IsSubclassOf(TypeOf<CStep>()));
}

TEST(TypeInfoTest, CyclicBaseIsRefused) {
    struct CA {};
    struct CB {};
    CTypeInfo* a = TypeOf<CA>();
    CTypeInfo* b = TypeOf<CB>();
    a->AddBaseType(b);
    EXPECT_THROW(b->AddBaseType(a), CReflectionException);
    EXPECT_THROW(a->AddBaseType(a), CReflectionException);
    EXPECT_TRUE(b->GetBaseTypes().empty());
}

TEST(TypeInfoTest, AttributesAreInheritedThroughBasesOwnFirst) {
    struct CBaseOfMarked {};
    struct CMarked {};
    CTypeInfo* derived = TypeOf<CMarked>();
    derived->AddBaseType(TypeOf<CBaseOfMarked>());
    TypeOf<CBaseOfMarked>()->AddAttribute(std::make_unique<CMarker>(1));
    EXPECT_EQ(derived->GetCustomAttribute<CMarker>(false), nullptr);
    ASSERT_NE(derived->GetCustomAttribute<CMarker>(true), nullptr);
    EXPECT_EQ(derived->GetCustomAttribute<CMarker>(true)->value, 1);
    derived->AddAttribute(std::make_unique<CMarker>(2));
    EXPECT_EQ(derived->GetCustomAttribute<CMarker>(true)->value, 2);
}

} // namespace
