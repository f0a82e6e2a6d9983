#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Fixtures.h"
#include "app/Geometry.h"

using namespace Engine::Reflection;
using namespace ReflTest;
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

TEST_F(ValueTest, ValueBoxCopiesShareNothing) {
    const CValue original(CVector4{0.1f, 0.2f, 0.3f, 0.4f});
    EXPECT_EQ(original.GetType(), TypeOf<CVector4>());
    EXPECT_FALSE(original.IsNull());
    EXPECT_EQ(original.GetDynamicType(), nullptr);
    EXPECT_EQ(original.GetBox()->GetRawPointer(), nullptr);
    CValue copy = original;
    copy.GetAs<CVector4&>().x = 7.0f;
    EXPECT_EQ(&copy.GetAs<const CVector4&>(), &copy.GetAs<CVector4&>());
    EXPECT_EQ(copy.GetAs<CVector4>().x, 7.0f);
    EXPECT_EQ(original.GetAs<CVector4>().x, 0.1f);
}

// Boxes reuse freed memory per thread; a box may end on another thread than
// the one that made it, and after that thread is gone.
TEST_F(ValueTest, BoxesOutliveAndCrossTheirThreads) {
    const auto make = [] {
        std::vector<CValue> values;
        for (int i = 0; i < 100; ++i) {
            values.emplace_back(float(i));
            values.emplace_back(CVector4{float(i), 0.0f, 0.0f, 1.0f});
            values.emplace_back(CString(std::string(size_t(i), 'x').c_str()));
        }
        return values;
    };
    std::vector<CValue> fromWorker;
    std::thread([&] { fromWorker = make(); }).join();
    std::vector<CValue> fromMain = make();
    std::thread([&] { fromMain.clear(); }).join();
    fromWorker.resize(150);
    const std::vector<CValue> reused = make();
    EXPECT_EQ(fromWorker[100].GetAs<CVector4>().x, 33.0f);
    EXPECT_EQ(reused[299].GetAs<CString>().GetLength(), 99);
}

TEST_F(ValueTest, PointerBoxes) {
    const CValue null(static_cast<CStep*>(nullptr));
    EXPECT_FALSE(null.IsEmpty());
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(null.GetDynamicType(), nullptr);
    const CValue nullCopy = null;
    EXPECT_EQ(nullCopy.GetType(), TypeOf<CStep*>());
    EXPECT_TRUE(nullCopy.IsNull());
    // The dynamic type is the run-time class, or the plain class itself.
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
        const CValue second = counted;
        EXPECT_EQ(node->GetRefCount(), 3);
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
