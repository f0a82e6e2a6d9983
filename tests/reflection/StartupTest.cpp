#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/Geometry.h"
#include "app/Registration.h"
#include "reflection/Reflection.h"

using namespace Engine;
using namespace Engine::Reflection;

namespace {

std::vector<std::string> g_log;

template <int N>
void RunHook() {
    g_log.push_back("run " + std::to_string(N));
}
template <int N>
void UndoHook() {
    g_log.push_back("undo " + std::to_string(N));
}
void Fail() {
    throw std::runtime_error("registration failed");
}

TEST(StartupRegistrationTest, RunsByGroupAndUndoesInReverse) {
    g_log.clear();
    static constexpr CStartupHook kLate[] = {{EStartupGroup::SceneTypes, "scene", &RunHook<4>, &UndoHook<4>},
                                             {EStartupGroup::Referenced, "referenced", &RunHook<3>, nullptr}};
    static constexpr CStartupHook kEarly[] = {{EStartupGroup::GeneratedScenes, "generated", &RunHook<1>, &UndoHook<1>},
                                              {EStartupGroup::Geometry, "geometry", &RunHook<2>, &UndoHook<2>}};
    {
        CStartupRegistration registration{kLate, kEarly};
        EXPECT_EQ(g_log, (std::vector<std::string>{"run 1", "run 2", "run 3", "run 4"}));
        EXPECT_EQ(registration.GetRunOrder().front()->name, std::string("generated"));
    }
    EXPECT_EQ(g_log, (std::vector<std::string>{"run 1", "run 2", "run 3", "run 4", "undo 4", "undo 2", "undo 1"}));
}

TEST(StartupRegistrationTest, FailureUndoesWhatRan) {
    g_log.clear();
    static constexpr CStartupHook kHooks[] = {{EStartupGroup::Geometry, "geometry", &RunHook<1>, &UndoHook<1>},
                                              {EStartupGroup::Widgets, "widgets", &Fail, &UndoHook<2>},
                                              {EStartupGroup::SceneTypes, "scene", &RunHook<3>, &UndoHook<3>}};
    EXPECT_THROW(CStartupRegistration({kHooks}), std::runtime_error);
    EXPECT_EQ(g_log, (std::vector<std::string>{"run 1", "undo 1"}));
}

TEST(StartupRegistrationTest, BuiltinTypesAfterStartUp) {
    {
        CStartupRegistration registration{GetStartupHooks()};
        auto& registry = CTypeRegistry::Instance();
        for (const char* name : {"char", "signed char", "unsigned char", "short", "unsigned short", "int",
                                 "unsigned int", "long", "unsigned long", "long long", "unsigned long long", "float",
                                 "double", "long double", "bool", "std::string", "Engine::CReferenced",
                                 "Engine::Geometry::CVector2", "Engine::Geometry::CVector3",
                                 "Engine::Geometry::CVector4", "Engine::Geometry::CPoint", "Engine::Geometry::CRect",
                                 "Engine::Geometry::CRectF", "const float *"}) {
            const CTypeInfo* type = registry.FindTypeByName(name);
            ASSERT_NE(type, nullptr) << name;
            EXPECT_TRUE(type->IsDefined()) << name;
        }
        EXPECT_EQ(FormatValue(TypeOf<Geometry::CVector4>()->CreateDefaultInstance()),
                  "0.000000, 0.000000, 0.000000, 0.000000");
        EXPECT_TRUE(TypeOf<CReferenced>()->HasRefPtrForm());
        EXPECT_THROW(TypeOf<CReferenced>()->CreateDefaultInstance(), int);
        // A group runs once until it is undone.
        const size_t constructors = TypeOf<float>()->GetConstructors().size();
        RegisterReflection_Primitives();
        EXPECT_EQ(TypeOf<float>()->GetConstructors().size(), constructors);
    }
    // Undone and run again: the records are completed in place.
    const CTypeInfo* before = TypeOf<float>();
    RegisterReflection_Primitives();
    EXPECT_EQ(CTypeRegistry::Instance().FindTypeByName("float"), before);
    EXPECT_EQ(before->GetConstructors().size(), 1u);
}

} // namespace
