#include <gtest/gtest.h>

#include "Fixtures.h"
#include "app/Geometry.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CVector4;

namespace {

static_assert(std::is_same_v<Detail::ExtractResult<const CNode* const&>, const CNode*>);
static_assert(std::is_same_v<Detail::ExtractResult<float&>, float&>);

TEST(ValueTest, ValueBoxCopiesShareNothing) {
    const CValue original(2.5f);
    EXPECT_EQ(original.GetType(), TypeOf<float>());
    EXPECT_FALSE(original.IsNull());
    EXPECT_EQ(original.GetDynamicType(), nullptr);
    EXPECT_EQ(original.GetAs<float>(), 2.5f);

    CValue copy = original;
    copy.GetAs<float&>() = 7.0f; // through view 2 of the copy
    EXPECT_EQ(copy.GetAs<float>(), 7.0f);
    EXPECT_EQ(original.GetAs<float>(), 2.5f);
    EXPECT_EQ(copy.GetAs<const float&>(), 7.0f);
}

TEST(ValueTest, ViewsComeInFixedOrder) {
    const CValue value(CVector4{0.1f, 0.2f, 0.3f, 0.4f});
    const auto* box = value.GetBox();
    EXPECT_NE(dynamic_cast<const CValue::CInstance<CVector4>*>(box->GetView(0)), nullptr);
    EXPECT_NE(dynamic_cast<const CValue::CInstance<CVector4&>*>(box->GetView(1)), nullptr);
    EXPECT_NE(dynamic_cast<const CValue::CInstance<const CVector4&>*>(box->GetView(2)), nullptr);
    EXPECT_EQ(&value.GetAs<const CVector4&>(), &value.GetAs<CVector4&>());
    EXPECT_EQ(box->GetRawPointer(), nullptr);
    EXPECT_EQ(box->GetObjectPtr(), nullptr);
}

TEST(ValueTest, NullPointerValueIsNotEmpty) {
    RegisterFixtures();
    const CValue value(static_cast<CStep*>(nullptr));
    EXPECT_FALSE(value.IsEmpty());
    EXPECT_TRUE(value.IsNull());
    EXPECT_EQ(value.GetType(), TypeOf<CStep*>());
    EXPECT_EQ(value.GetDynamicType(), nullptr);
    EXPECT_EQ(value.GetAs<CStep*>(), nullptr);
    const CValue copy = value;
    EXPECT_EQ(copy.GetType(), TypeOf<CStep*>());
    EXPECT_TRUE(copy.IsNull());
}

TEST(ValueTest, DynamicTypeIsTheRunTimeClassOrThePlainClass) {
    RegisterFixtures();
    CBez bez;
    CPlain plain;
    EXPECT_EQ(CValue(static_cast<CNode*>(&bez)).GetDynamicType(), TypeOf<CBez>());
    EXPECT_EQ(CValue(static_cast<IKey*>(&bez)).GetDynamicType(), TypeOf<CBez>());
    EXPECT_EQ(CValue(&plain).GetDynamicType(), TypeOf<CPlain>());
}

TEST(ValueTest, ClonedPointerBoxOutlivesItsSource) {
    CStep step;
    auto copy = std::make_unique<CValue>();
    {
        const CValue source(&step);
        *copy = source;
    }
    EXPECT_EQ(copy->GetAs<CStep* const&>(), &step);
    EXPECT_EQ(copy->GetAs<CStep*&>(), &step);
}

TEST(ValueTest, EmptyValueThrowsBeforeAnyRead) {
    const CValue empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_THROW(empty.GetAs<float>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<float&>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<CStep*>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<const CNode* const&>(), CEmptyValueException);
    EXPECT_THROW(empty.ConvertTo(TypeOf<float>()), CEmptyValueException);
    EXPECT_FALSE(empty.Holds<float>());
}

TEST(ValueTest, DirectHitNeedsNoConversion) {
    RegisterFixtures();
    CStep step;
    const CValue value(&step);
    const auto before = CValue::GetMadeCount();
    EXPECT_EQ(value.GetAs<CStep*>(), &step);
    EXPECT_EQ(CValue::GetMadeCount(), before);
    EXPECT_EQ(value.GetAs<const CNode*>(), static_cast<const CNode*>(&step));
    EXPECT_GT(CValue::GetMadeCount(), before);
}

TEST(ValueTest, PointerReferenceFromConversionStaysValid) {
    RegisterFixtures();
    CStep step;
    const CValue value(&step);
    // The converted temporary is gone when the result is used: the pointer
    // comes back by value, so it cannot dangle.
    const CNode* node = value.GetAs<const CNode* const&>();
    EXPECT_EQ(node, static_cast<const CNode*>(&step));
}

TEST(ValueTest, ObjectReferenceNeverConverts) {
    RegisterFixtures();
    CStep step;
    const CValue value(&step);
    EXPECT_THROW(value.GetAs<CStep&>(), int);
    EXPECT_THROW(value.GetAs<const CNode&>(), int);
    EXPECT_THROW(CValue(2.5f).GetAs<const double&>(), int);
}

TEST(ValueTest, CountedValueHoldsOneReference) {
    RegisterFixtures();
    int deaths = 0;
    auto* node = new CNode(&deaths);
    Engine::ref_ptr<CNode> keep(node);
    const CValue pointer(node);
    {
        const CValue counted = pointer.GetCountedValue();
        ASSERT_FALSE(counted.IsEmpty());
        EXPECT_EQ(counted.GetType(), TypeOf<Engine::ref_ptr<CNode>>());
        EXPECT_EQ(counted.GetBox()->GetRawPointer(), node);
        EXPECT_EQ(counted.GetDynamicType(), nullptr);
        EXPECT_EQ(node->GetRefCount(), 2);
        const CValue second = counted;
        EXPECT_EQ(node->GetRefCount(), 3);
    }
    EXPECT_EQ(node->GetRefCount(), 1);
    keep = nullptr;
    EXPECT_EQ(deaths, 1);
}

TEST(ValueTest, CountedFormOnlyForNonConstCountedClasses) {
    RegisterFixtures();
    CStep step; // CStep has no counted form of its own
    CNode node;
    EXPECT_TRUE(CValue(&step).GetCountedValue().IsEmpty());
    EXPECT_TRUE(CValue(static_cast<const CNode*>(&node)).GetCountedValue().IsEmpty());
    // A null pointer still gives a counted box, which reports "not null".
    const CValue counted = CValue(static_cast<CNode*>(nullptr)).GetCountedValue();
    ASSERT_FALSE(counted.IsEmpty());
    EXPECT_FALSE(counted.IsNull());
    EXPECT_EQ(counted.GetBox()->GetRawPointer(), nullptr);
}

} // namespace
