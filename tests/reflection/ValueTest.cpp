#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <type_traits>

#include "Fixtures.h"
#include "app/Geometry.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CRect;
using Engine::Geometry::CVector4;

namespace {

static_assert(std::is_same_v<Detail::ExtractResult<const CNode* const&>, const CNode*>);
static_assert(std::is_same_v<Detail::ExtractResult<float&>, float&>);

class ValueTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFixtures(); }
    CStep& step = Step();
    CBez& bez = Bez();
};

// Values of each storage kind: inline (built-in, geometry, pointer) and on
// the heap (too large), copied, moved and swapped with each other.
struct CLarge {
    std::array<double, 16> data{};
    friend bool operator==(const CLarge&, const CLarge&) = default;
};

template <class T>
T Sample(int n) {
    if constexpr (std::is_same_v<T, std::string>) return std::string(40, char('a' + n));
    else if constexpr (std::is_same_v<T, CVector4>) return CVector4{float(n), 0.5f, 0.25f, 1.0f};
    else if constexpr (std::is_same_v<T, CRect>) return CRect{n, 2, 3, 4};
    else if constexpr (std::is_same_v<T, CStep*>) return n == 1 ? &Step() : nullptr;
    else if constexpr (std::is_same_v<T, CLarge>) return CLarge{{double(n)}};
    else return T(n);
}

// The value holds the expected content, and its reference views refer to
// its own copy: inside the value when the box is inline.
template <class T>
void ExpectHolds(const CValue& value, const T& expected) {
    ASSERT_FALSE(value.IsEmpty());
    EXPECT_EQ(value.GetType(), TypeOf<T>());
    EXPECT_EQ(value.GetAs<T>(), expected);
    if constexpr (!std::is_pointer_v<T>) {
        const void* referred = &value.GetAs<const T&>();
        EXPECT_EQ(referred, &value.GetAs<T&>());
        const auto* begin = reinterpret_cast<const char*>(&value);
        const bool inside = referred >= begin && referred < begin + sizeof(CValue);
        EXPECT_EQ(inside, value.IsInline());
    }
}

template <class T>
class ValueStorageTest : public ValueTest {};
using StorageKinds = ::testing::Types<float, long double, std::string, CVector4, CRect, CStep*, CLarge>;
TYPED_TEST_SUITE(ValueStorageTest, StorageKinds);

TYPED_TEST(ValueStorageTest, CopiesMovesAndSwapsKeepEachValueItsOwn) {
    using T = TypeParam;
    const T a = Sample<T>(1), b = Sample<T>(2);
    CValue value(a);
    EXPECT_EQ(value.IsInline(), (!std::is_same_v<T, CLarge>));
    const auto made = CValue::GetMadeCount();

    CValue copy = value;
    ExpectHolds(copy, a);
    if constexpr (!std::is_pointer_v<T>) {
        copy.GetAs<T&>() = b;
        ExpectHolds(value, a);
    }
    CValue moved = std::move(value);
    EXPECT_TRUE(value.IsEmpty());
    ExpectHolds(moved, a);

    // Swaps between an inline box, a heap box and no box.
    CValue large(CLarge{{9.0}});
    moved.swap(large);
    ExpectHolds(moved, CLarge{{9.0}});
    ExpectHolds(large, a);
    moved.swap(value);
    EXPECT_TRUE(moved.IsEmpty());
    ExpectHolds(value, CLarge{{9.0}});

    value = std::move(large);
    ExpectHolds(value, a);
    value = value;
    ExpectHolds(value, a);
    EXPECT_EQ(CValue::GetMadeCount(), made + 1);
}

TEST_F(ValueTest, PointerBoxes) {
    const CValue null(static_cast<CStep*>(nullptr));
    EXPECT_FALSE(null.IsEmpty());
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(null.GetDynamicType(), nullptr);
    const CValue nullCopy = null;
    EXPECT_EQ(nullCopy.GetType(), TypeOf<CStep*>());
    EXPECT_TRUE(nullCopy.IsNull());
    // The dynamic type is the run-time class, or the plain class itself;
    // value types have neither a dynamic type nor a raw pointer.
    EXPECT_EQ(CValue(CVector4{}).GetDynamicType(), nullptr);
    EXPECT_EQ(CValue(CVector4{}).GetBox()->GetRawPointer(), nullptr);
    CPlain plain;
    EXPECT_EQ(CValue(static_cast<CNode*>(&bez)).GetDynamicType(), TypeOf<CBez>());
    EXPECT_EQ(CValue(static_cast<IKey*>(&bez)).GetDynamicType(), TypeOf<CBez>());
    EXPECT_EQ(CValue(&plain).GetDynamicType(), TypeOf<CPlain>());
    // A cloned box outlives its source.
    auto copy = std::make_unique<CValue>();
    *copy = CValue(&step);
    EXPECT_EQ(copy->GetAs<CStep* const&>(), &step);
    EXPECT_EQ(copy->GetAs<CStep*&>(), &step);
}

TEST_F(ValueTest, EmptyValueThrowsBeforeAnyRead) {
    const CValue empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_THROW(empty.GetAs<float>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<float&>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<CStep*>(), CEmptyValueException);
    EXPECT_THROW(empty.GetAs<const CNode* const&>(), CEmptyValueException);
    EXPECT_THROW(empty.ConvertTo(TypeOf<float>()), CEmptyValueException);
    EXPECT_FALSE(empty.Holds<float>());
}

// The count is the process's: values made on another thread are seen here.
TEST_F(ValueTest, MadeCountIsSharedByEveryThread) {
    const auto before = CValue::GetMadeCount();
    std::thread([] {
        for (int i = 0; i < 10; ++i) CValue(float(i));
    }).join();
    EXPECT_EQ(CValue::GetMadeCount(), before + 10);
}

TEST_F(ValueTest, ExtractionConvertsOnlyWhenNoViewFits) {
    const CValue value(&step);
    const auto before = CValue::GetMadeCount();
    EXPECT_EQ(value.GetAs<CStep*>(), &step);
    EXPECT_EQ(CValue::GetMadeCount(), before);
    EXPECT_EQ(value.GetAs<const CNode*>(), static_cast<const CNode*>(&step));
    EXPECT_GT(CValue::GetMadeCount(), before);
}

TEST_F(ValueTest, ReferenceFormsNeverPointIntoATemporary) {
    const CValue value(&step);
    // The converted temporary is gone when the result is used: the pointer
    // comes back by value, so it cannot dangle.
    const CNode* node = value.GetAs<const CNode* const&>();
    EXPECT_EQ(node, static_cast<const CNode*>(&step));
    // Object references would have to point into the temporary: refused.
    EXPECT_THROW(value.GetAs<CStep&>(), int);
    EXPECT_THROW(value.GetAs<const CNode&>(), int);
    EXPECT_THROW(CValue(2.5f).GetAs<const double&>(), int);
}

TEST_F(ValueTest, CountedValueHoldsOneReference) {
    int deaths = 0;
    auto* node = new CNode(&deaths);
    Engine::ref_ptr<CNode> keep(node);
    const CValue pointer(node);
    {
        const CValue counted = pointer.GetCountedValue();
        ASSERT_FALSE(counted.IsEmpty());
        EXPECT_EQ(counted.GetType(), TypeOf<Engine::ref_ptr<CNode>>());
        EXPECT_EQ(counted.GetBox()->GetRawPointer(), node);
        EXPECT_EQ(node->GetRefCount(), 2);
        CValue second = counted;
        const CValue moved = std::move(second);
        EXPECT_EQ(node->GetRefCount(), 3);
        EXPECT_EQ(moved.GetBox()->GetRawPointer(), node);
    }
    EXPECT_EQ(node->GetRefCount(), 1);
    keep = nullptr;
    EXPECT_EQ(deaths, 1);
    // Only non-const pointers to classes with a counted form of their own.
    EXPECT_TRUE(CValue(&step).GetCountedValue().IsEmpty());
    EXPECT_TRUE(CValue(static_cast<const CNode*>(&step)).GetCountedValue().IsEmpty());
    // A null pointer still gives a counted box, which reports "not null".
    const CValue counted = CValue(static_cast<CNode*>(nullptr)).GetCountedValue();
    ASSERT_FALSE(counted.IsEmpty());
    EXPECT_FALSE(counted.IsNull());
}

} // namespace
