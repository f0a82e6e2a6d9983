#include <gtest/gtest.h>

#include <tuple>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CVector2;

namespace {

struct CCounter {
    int Get() { return 1; }
    int ConstGet() const { return 2; }
};

enum EForm { ConstPointer, Pointer, ValueInvoke, ValueInvokeConst };
enum EBinding { ConstOnly, NonConstOnly, Neither };
enum EResult { ConstMember, NonConstMember, ConstIsConst, InvalidFunction };

// What a call gives, by object form (rows) and bound member (columns).
constexpr EResult kInvokeRules[4][3] = {{ConstMember, ConstIsConst, InvalidFunction},
                                        {ConstMember, NonConstMember, InvalidFunction},
                                        {ConstMember, NonConstMember, InvalidFunction},
                                        {ConstMember, ConstIsConst, InvalidFunction}};

class InvokeRulesTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(InvokeRulesTest, ObjectFormAndBindingPickTheMember) {
    const int form = std::get<0>(GetParam()), binding = std::get<1>(GetParam());
    CCounter counter;
    CMethodInfo0<CCounter, int> method("Get", binding == NonConstOnly ? &CCounter::Get : nullptr,
                                       binding == ConstOnly ? &CCounter::ConstGet : nullptr);
    const CValue object = form == ConstPointer ? CValue(static_cast<const CCounter*>(&counter))
                          : form == Pointer    ? CValue(&counter)
                                               : CValue(counter);
    std::vector<CValue> args;
    auto call = [&] { return form == ValueInvokeConst ? method.InvokeConst(object, args) : method.Invoke(object, args); };
    switch (kInvokeRules[form][binding]) {
    case ConstMember: EXPECT_EQ(call().GetAs<int>(), 2); break;
    case NonConstMember: EXPECT_EQ(call().GetAs<int>(), 1); break;
    case ConstIsConst: EXPECT_THROW(call(), CConstIsConstException); break;
    case InvalidFunction: EXPECT_THROW(call(), CInvalidFunctionPointerException); break;
    }
    EXPECT_EQ(method.IsConst(), binding == ConstOnly);
}

INSTANTIATE_TEST_SUITE_P(Table, InvokeRulesTest, ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 3)));

class MemberTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFixtures();
        m_setter = TypeOf<CWidget>()->GetMethod("SetStrength", std::vector<const CTypeInfo*>{TypeOf<float>()}, false);
        ASSERT_NE(m_setter, nullptr);
    }
    const CMethodInfo* m_setter = nullptr;
    // Held by pointer: CReferenced's destructor may throw, gtest's may not.
    std::unique_ptr<CWidget> m_owner = std::make_unique<CWidget>();
    CWidget& m_widget = *m_owner;
};

TEST_F(MemberTest, ExchangesAWellTypedArgumentAndConvertsTheObject) {
    std::vector<CValue> args{CValue(90.0f), CValue(9.0f)};
    const CValue result = m_setter->Invoke(CValue(static_cast<CNode*>(&m_widget)), args);
    EXPECT_EQ(m_widget.m_strength, 90.0f);
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_TRUE(args[0].IsEmpty());
    EXPECT_EQ(args[1].GetAs<float>(), 9.0f); // ignored, untouched
}

// The object may be the very value passed as the argument: it must still
// hold the object when the member runs.
TEST_F(MemberTest, ObjectPassedAsItsOwnArgumentStillReachesTheMember) {
    const CMethodInfo* setParent =
        TypeOf<CWidget>()->GetMethod("SetParent", std::vector<const CTypeInfo*>{TypeOf<CNode*>()}, false);
    ASSERT_NE(setParent, nullptr);
    std::vector<CValue> args{CValue(static_cast<CNode*>(&m_widget))};
    setParent->Invoke(args[0], args);
    EXPECT_EQ(m_widget.m_parent, &m_widget);
}

TEST_F(MemberTest, ArgumentIsCoercedBeforeTheConstCheck) {
    const CValue constObject(static_cast<const CWidget*>(&m_widget));
    std::vector<CValue> doubleArgs{CValue(1.0)};
    EXPECT_THROW(m_setter->Invoke(constObject, doubleArgs), int);
    EXPECT_EQ(doubleArgs[0].GetAs<double>(), 1.0);
    std::vector<CValue> floatArgs{CValue(2.0f)};
    EXPECT_THROW(m_setter->Invoke(constObject, floatArgs), CConstIsConstException);
    // The argument was exchanged out of the caller's list before the call
    // failed.
    EXPECT_TRUE(floatArgs[0].IsEmpty());
    EXPECT_EQ(m_widget.m_sets, 0);
}

TEST_F(MemberTest, MissingArgumentsAndObjectsNeverReachTheMember) {
    std::vector<CValue> none, emptyArg(1);
    EXPECT_THROW(m_setter->Invoke(CValue(&m_widget), none), CEmptyValueException);
    EXPECT_THROW(m_setter->Invoke(CValue(&m_widget), emptyArg), CEmptyValueException);
    // A down-cast to a class the object does not have gives a null object.
    for (const CValue& object : {CValue(), CValue(static_cast<CWidget*>(nullptr)), CValue(static_cast<CNode*>(&Step()))}) {
        std::vector<CValue> args{CValue(1.0f)};
        EXPECT_THROW(m_setter->Invoke(object, args), CEmptyValueException);
        // Exchanged out of the caller's list before the call failed.
        EXPECT_TRUE(args[0].IsEmpty());
    }
    EXPECT_EQ(m_widget.m_sets, 0);
}

TEST_F(MemberTest, GettersIgnoreTheirArgumentsAndHonourConst) {
    m_widget.m_strength = 4.0f;
    const CMethodInfo* getStrength = TypeOf<CWidget>()->GetMethod("GetStrength", {}, false);
    const CMethodInfo* getPosition = TypeOf<CWidget>()->GetMethod("GetPosition", {}, false);
    ASSERT_TRUE(getStrength && getPosition);
    std::vector<CValue> args{CValue(1.0)};
    const CValue constObject(static_cast<const CWidget*>(&m_widget));
    EXPECT_EQ(getStrength->Invoke(constObject, args).GetAs<float>(), 4.0f);
    EXPECT_EQ(args[0].GetAs<double>(), 1.0);
    EXPECT_THROW(getPosition->Invoke(constObject, args), CConstIsConstException);
    EXPECT_EQ(getPosition->GetResultType(), TypeOf<CVector2>());
    EXPECT_FALSE(getStrength->QueryReserved());
    EXPECT_THROW(getStrength->InvokeReserved(args), CInvokeNotImplementedException);
    // Inherited methods are found through the bases only when asked.
    EXPECT_EQ(TypeOf<CGadget>()->GetMethod("GetStrength", {}, false), nullptr);
    EXPECT_EQ(TypeOf<CGadget>()->GetMethod("GetStrength", {}, true), getStrength);
}

TEST_F(MemberTest, AddMethodKeepsTheFirstOfASignature) {
    using R = CReflector<CGadget>;
    const size_t before = TypeOf<CGadget>()->GetMethods().size();
    CMethodInfo* again = R::AddMethod(MakeMethodInfo<CGadget>("GetOn", {}, &CGadget::GetOn));
    EXPECT_EQ(again, R::Methods()[1]);
    EXPECT_EQ(TypeOf<CGadget>()->GetMethods().size(), before);
    // Same member under another name is another method.
    EXPECT_FALSE(again->HasSameSignature(*MakeMethodInfo<CGadget>("GetOff", {}, &CGadget::GetOn)));
    EXPECT_FALSE(again->HasSameSignature(*MakeMethodInfo<CGadget>("GetOn", {}, &CGadget::GetStrength)));
}

} // namespace
