#include <gtest/gtest.h>

#include <functional>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;

namespace {

struct CObjects {
    CStep step;
    CBez bez;
    CKeyOnly keyOnly;
};

CObjects& Objects() {
    static CObjects objects;
    return objects;
}

enum class EOutcome { Pointer, Null, ThrowsOne };

struct CConversionCase {
    const char* name;
    std::function<CValue()> source;
    std::function<const CTypeInfo*()> target;
    EOutcome outcome;
    std::function<const void*()> expected = [] { return nullptr; };
    friend void PrintTo(const CConversionCase& c, std::ostream* os) { *os << c.name; }
};

class ConversionTest : public ::testing::TestWithParam<CConversionCase> {
protected:
    void SetUp() override { RegisterFixtures(); }
};

TEST_P(ConversionTest, FollowsTheConverterGraph) {
    const CConversionCase& c = GetParam();
    const CValue source = c.source();
    if (c.outcome == EOutcome::ThrowsOne) {
        EXPECT_THROW(source.ConvertTo(c.target()), int);
        EXPECT_TRUE(source.TryConvertTo(c.target()).IsEmpty());
        return;
    }
    const CValue result = source.ConvertTo(c.target());
    EXPECT_EQ(result.GetType(), c.target());
    EXPECT_FALSE(result.IsEmpty());
    if (c.outcome == EOutcome::Null) {
        EXPECT_TRUE(result.IsNull());
    } else {
        EXPECT_EQ(result.GetBox()->GetRawPointer(), c.expected());
    }
}

template <class P>
std::function<const CTypeInfo*()> To() {
    return [] { return TypeOf<P>(); };
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ConversionTest,
    ::testing::Values(
        CConversionCase{"UpCast", [] { return CValue(&Objects().step); }, To<CNode*>(), EOutcome::Pointer,
                        [] { return static_cast<const void*>(static_cast<CNode*>(&Objects().step)); }},
        CConversionCase{"UpCastToTagMovesThePointer", [] { return CValue(&Objects().step); }, To<ITag*>(),
                        EOutcome::Pointer,
                        [] { return static_cast<const void*>(static_cast<ITag*>(&Objects().step)); }},
        CConversionCase{"UpCastAddsConst", [] { return CValue(&Objects().step); }, To<const CNode*>(),
                        EOutcome::Pointer, [] { return static_cast<const void*>(static_cast<CNode*>(&Objects().step)); }},
        CConversionCase{"DownCast", [] { return CValue(static_cast<CNode*>(&Objects().step)); }, To<CStep*>(),
                        EOutcome::Pointer, [] { return static_cast<const void*>(&Objects().step); }},
        CConversionCase{"ConstDownCast", [] { return CValue(static_cast<const CNode*>(&Objects().step)); },
                        To<const CStep*>(), EOutcome::Pointer, [] { return static_cast<const void*>(&Objects().step); }},
        CConversionCase{"SiblingDownCastIsNull", [] { return CValue(static_cast<CNode*>(&Objects().step)); },
                        To<CBez*>(), EOutcome::Null},
        CConversionCase{"TwoStepsKeepTheObject", [] { return CValue(static_cast<IKey*>(&Objects().bez)); },
                        To<CNode*>(), EOutcome::Pointer,
                        [] { return static_cast<const void*>(static_cast<CNode*>(&Objects().bez)); }},
        CConversionCase{"ThreeStepsDownThenUp", [] { return CValue(static_cast<IKey*>(&Objects().bez)); },
                        To<const ITag*>(), EOutcome::Pointer,
                        [] { return static_cast<const void*>(static_cast<ITag*>(&Objects().bez)); }},
        CConversionCase{"ForeignObjectGivesNull", [] { return CValue(static_cast<IKey*>(&Objects().keyOnly)); },
                        To<CNode*>(), EOutcome::Null},
        CConversionCase{"NullStaysNull", [] { return CValue(static_cast<CStep*>(nullptr)); }, To<ITag*>(),
                        EOutcome::Null},
        CConversionCase{"FromVoidPointer", [] { return CValue(static_cast<void*>(&Objects().step)); },
                        To<CStep*>(), EOutcome::Pointer, [] { return static_cast<const void*>(&Objects().step); }},
        CConversionCase{"ConstIsNeverRemoved", [] { return CValue(static_cast<const CStep*>(&Objects().step)); },
                        To<CNode*>(), EOutcome::ThrowsOne},
        CConversionCase{"ConstToSameClassNonConst",
                        [] { return CValue(static_cast<const CStep*>(&Objects().step)); }, To<CStep*>(),
                        EOutcome::ThrowsOne},
        CConversionCase{"NoWayOutOfATag", [] { return CValue(static_cast<ITag*>(&Objects().step)); },
                        To<CStep*>(), EOutcome::ThrowsOne},
        CConversionCase{"NoPathToAClass", [] { return CValue(&Objects().step); }, To<CStep>(), EOutcome::ThrowsOne},
        CConversionCase{"NoPrimitiveConversions", [] { return CValue(2.0); }, To<float>(), EOutcome::ThrowsOne}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionTest, SameTypeGivesAnIndependentCopy) {
    const CValue value(3.0f);
    CValue copy = value.ConvertTo(TypeOf<float>());
    copy.GetAs<float&>() = 4.0f;
    EXPECT_EQ(value.GetAs<float>(), 3.0f);
}

TEST(ConversionTest, ExtractionConvertsOnce) {
    RegisterFixtures();
    const CValue value(static_cast<IKey*>(&Objects().bez));
    EXPECT_EQ(value.GetAs<CBez*>(), &Objects().bez);
    EXPECT_EQ(value.GetAs<CStep*>(), nullptr);
    EXPECT_EQ(value.GetAs<const CNode*>(), static_cast<const CNode*>(&Objects().bez));
}

TEST(ConversionTest, PathExistenceIgnoresValues) {
    RegisterFixtures();
    const auto& graph = CTypeRegistry::Instance().Converters();
    EXPECT_TRUE(graph.HasPath(TypeOf<IKey*>(), TypeOf<const ITag*>()));
    EXPECT_FALSE(graph.HasPath(TypeOf<ITag*>(), TypeOf<CNode*>()));
}

} // namespace
