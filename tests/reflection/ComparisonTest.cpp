#include <gtest/gtest.h>

#include <cstdint>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using namespace Engine::Geometry;

namespace {

class ComparisonTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFixtures(); }
};

TEST_F(ComparisonTest, EmptyValues) {
    EXPECT_TRUE(CValue().Equals(CValue()));
    EXPECT_FALSE(CValue().Equals(CValue(1.0f)));
    EXPECT_FALSE(CValue(1.0f).Equals(CValue()));
    EXPECT_THROW(CValue().LessOrEqual(CValue(1.0f)), CEmptyValueException);
}

TEST_F(ComparisonTest, PointersNeedAConstOperandAndCompareByFullAddress) {
    CStep& a = Step();
    CStep b;
    const CValue constA(static_cast<const CStep*>(&a)), constB(static_cast<const CStep*>(&b));
    EXPECT_THROW(CValue(&a).Equals(CValue(&a)), CComparisonNotPermittedException);
    EXPECT_TRUE(constA.Equals(CValue(&a)));
    EXPECT_TRUE(CValue(&a).Equals(constA));
    EXPECT_FALSE(constA.Equals(CValue(&b)));
    // Another class converts to the comparator's type first.
    EXPECT_TRUE(CValue(static_cast<const CNode*>(&a)).Equals(CValue(&a)));
    // A class without bases has no converters: adding const is a cast.
    CPlain plain;
    EXPECT_TRUE(CValue(static_cast<const CPlain*>(&plain)).Equals(CValue(&plain)));
    EXPECT_TRUE(CValue(&plain).LessOrEqual(CValue(static_cast<const CPlain*>(&plain))));
    EXPECT_EQ(CValue(&plain).GetAs<const CPlain*>(), &plain);
    EXPECT_TRUE(constA.LessOrEqual(constA));
    EXPECT_NE(constA.LessOrEqual(constB), constB.LessOrEqual(constA));
    EXPECT_TRUE(CValue(static_cast<const CStep*>(nullptr)).LessOrEqual(constA));
    // Addresses that agree in their low 32 bits must not compare equal.
    const auto* low = reinterpret_cast<const CPlain*>(std::uintptr_t{0x1});
    const auto* high = reinterpret_cast<const CPlain*>(std::uintptr_t{0x100000000});
    EXPECT_TRUE(CValue(low).LessOrEqual(CValue(high)));
    EXPECT_FALSE(CValue(high).LessOrEqual(CValue(low)));
    EXPECT_FALSE(CValue(high).Equals(CValue(reinterpret_cast<const CPlain*>(std::uintptr_t{0x200000000}))));
}

TEST_F(ComparisonTest, EnumerationsCompareAsSignedNumbers) {
    EXPECT_TRUE(CValue(EFlags::High).LessOrEqual(CValue(EFlags::None)));
    EXPECT_FALSE(CValue(EFlags::None).LessOrEqual(CValue(EFlags::High)));
    EXPECT_TRUE(CValue(EFlags::None).LessOrEqual(CValue(EFlags::None)));
    EXPECT_FALSE(CValue(EFlags::Low).Equals(CValue(EFlags::None)));
}

TEST_F(ComparisonTest, ValueTypes) {
    EXPECT_TRUE(CValue(1.5f).Equals(CValue(1.5f)));
    EXPECT_TRUE(CValue(1.0f).LessOrEqual(CValue(1.5f)));
    EXPECT_TRUE(CValue(true).Equals(CValue(true)));
    EXPECT_TRUE(CValue(CVector2{1, 2}).Equals(CValue(CVector2{1, 2})));
    EXPECT_FALSE(CValue(CVector4{1, 2, 3, 4}).Equals(CValue(CVector4{1, 2, 3, 5})));
    EXPECT_THROW(CValue(CVector2{}).LessOrEqual(CValue(CVector2{})), CComparisonOperatorNotSupportedException);
    // No conversion between primitives: double cannot become float.
    EXPECT_THROW(CValue(1.0f).Equals(CValue(1.0)), int);
    EXPECT_THROW(CValue(CPlain{}).Equals(CValue(CPlain{})), CComparisonNotPermittedException);
}

TEST_F(ComparisonTest, SubtractsNumbersAndVectors) {
    EXPECT_EQ(CValue(5.0f).Subtract(CValue(1.5f)).GetAs<float>(), 3.5f);
    EXPECT_EQ(CValue(CVector2{3, 4}).Subtract(CValue(CVector2{1, 1})).GetAs<CVector2>(), (CVector2{2, 3}));
    EXPECT_EQ(CValue(CVector4{1, 1, 1, 1}).Subtract(CValue(CVector4{0, 1, 2, 3})).GetAs<CVector4>(),
              (CVector4{1, 0, -1, -2}));
    // Integers wrap rather than overflow.
    EXPECT_EQ(CValue(CPoint{INT32_MIN, 0}).Subtract(CValue(CPoint{1, 0})).GetAs<CPoint>(), (CPoint{INT32_MAX, 0}));
    EXPECT_THROW(CValue(true).Subtract(CValue(false)), CCalculationNotPermittedException);
    EXPECT_THROW(CValue(CRect{}).Subtract(CValue(CRect{})), CCalculationNotPermittedException);
    EXPECT_THROW(CValue(1.0f).Subtract(CValue(true)), int);
    EXPECT_THROW(CValue().Subtract(CValue(1.0f)), CEmptyValueException);
}

} // namespace
