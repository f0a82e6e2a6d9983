#include <gtest/gtest.h>

#include <functional>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;

namespace {

CKeyOnly& KeyOnly() {
    static CKeyOnly keyOnly;
    return keyOnly;
}

enum class EOutcome { Pointer, Null, ThrowsOne };

struct CConversionCase {
    const char* name;
    std::function<CValue()> source;
    const CTypeInfo* (*target)();
    EOutcome outcome;
    std::function<const void*()> expected; // the object seen as the target's class
};

// The object, held as From, converted to To.
template <class From, class To, class Object>
CConversionCase Case(const char* name, Object& (*object)(), EOutcome outcome) {
    return {name, [object] { return CValue(static_cast<From>(&object())); }, [] { return (const CTypeInfo*)TypeOf<To>(); },
            outcome, [object]() -> const void* {
                if constexpr (std::is_convertible_v<Object*, To>) return static_cast<To>(&object());
                return nullptr;
            }};
}

class ConversionTest : public ::testing::TestWithParam<CConversionCase> {
protected:
    void SetUp() override { RegisterFixtures(); }
};

TEST_P(ConversionTest, FollowsTheConverterGraph) {
    const CConversionCase& c = GetParam();
    const CValue source = c.source();
    // Whether a path exists never depends on the value.
    EXPECT_EQ(CTypeRegistry::Instance().Converters().HasPath(source.GetType(), c.target()),
              c.outcome != EOutcome::ThrowsOne);
    if (c.outcome == EOutcome::ThrowsOne) {
        EXPECT_THROW(source.ConvertTo(c.target()), int);
        EXPECT_TRUE(source.TryConvertTo(c.target()).IsEmpty());
        return;
    }
    const CValue result = source.ConvertTo(c.target());
    EXPECT_EQ(result.GetType(), c.target());
    EXPECT_FALSE(result.IsEmpty());
    if (c.outcome == EOutcome::Null) EXPECT_TRUE(result.IsNull());
    else EXPECT_EQ(result.GetBox()->GetRawPointer(), c.expected());
}

using enum EOutcome;
INSTANTIATE_TEST_SUITE_P(
    Paths, ConversionTest,
    ::testing::Values(Case<CStep*, CNode*>("UpCast", Step, Pointer),
                      Case<CStep*, ITag*>("UpCastToTagMovesThePointer", Step, Pointer),
                      Case<CStep*, const CNode*>("UpCastAddsConst", Step, Pointer),
                      Case<CNode*, CStep*>("DownCast", Step, Pointer),
                      Case<const CNode*, const CStep*>("ConstDownCast", Step, Pointer),
                      Case<CNode*, CBez*>("SiblingDownCastIsNull", Step, Null),
                      // A search that tries the sibling CStep first would wrongly give null.
                      Case<IKey*, CNode*>("TwoStepsKeepTheObject", Bez, Pointer),
                      Case<IKey*, const ITag*>("ThreeStepsDownThenUp", Bez, Pointer),
                      Case<IKey*, CNode*>("ForeignObjectGivesNull", KeyOnly, Null),
                      Case<void*, CStep*>("FromVoidPointer", Step, Pointer),
                      Case<const CStep*, CNode*>("ConstIsNeverRemoved", Step, ThrowsOne),
                      Case<const CStep*, CStep*>("ConstToSameClassNonConst", Step, ThrowsOne),
                      Case<ITag*, CStep*>("NoWayOutOfATag", Step, ThrowsOne),
                      Case<CStep*, CStep>("NoPathToAClass", Step, ThrowsOne),
                      CConversionCase{"NullStaysNull", [] { return CValue(static_cast<CStep*>(nullptr)); },
                                      [] { return (const CTypeInfo*)TypeOf<ITag*>(); }, Null, nullptr},
                      CConversionCase{"NoPrimitiveConversions", [] { return CValue(2.0); },
                                      [] { return (const CTypeInfo*)TypeOf<float>(); }, ThrowsOne, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionTest, SameTypeGivesAnIndependentCopy) {
    const CValue value(3.0f);
    CValue copy = value.ConvertTo(TypeOf<float>());
    copy.GetAs<float&>() = 4.0f;
    EXPECT_EQ(value.GetAs<float>(), 3.0f);
}

} // namespace
