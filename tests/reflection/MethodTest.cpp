#include <gtest/gtest.h>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace ReflTest;
using Engine::Geometry::CVector2;

namespace {

struct CCounter {
    int Get() { return 1; }
    int ConstGet() const { return 2; }
};

enum class EBinding { ConstOnly, NonConstOnly, Neither };
enum class EForm { ConstPointer, Pointer, ValueInvoke, ValueInvokeConst };
enum class EResult { ConstMember, NonConstMember, ConstIsConst, InvalidFunction };

struct CInvokeCase {
    EForm form;
    EBinding binding;
    EResult expected;
    friend void PrintTo(const CInvokeCase& c, std::ostream* os) {
        *os << "form " << int(c.form) << ", binding " << int(c.binding);
    }
};

class InvokeRulesTest : public ::testing::TestWithParam<CInvokeCase> {};

TEST_P(InvokeRulesTest, ObjectFormAndBindingPickTheMember) {
    const CInvokeCase& c = GetParam();
    CCounter counter;
    CMethodInfo0<CCounter, int> method(
        "Get", c.binding == EBinding::NonConstOnly ? &CCounter::Get : nullptr,
        c.binding == EBinding::ConstOnly ? &CCounter::ConstGet : nullptr);
    const CValue object = c.form == EForm::ConstPointer ? CValue(static_cast<const CCounter*>(&counter))
                          : c.form == EForm::Pointer    ? CValue(&counter)
                                                        : CValue(counter);
    std::vector<CValue> args;
    auto call = [&] {
        return c.form == EForm::ValueInvokeConst ? method.InvokeConst(object, args) : method.Invoke(object, args);
    };
    switch (c.expected) {
    case EResult::ConstMember: EXPECT_EQ(call().GetAs<int>(), 2); break;
    case EResult::NonConstMember: EXPECT_EQ(call().GetAs<int>(), 1); break;
    case EResult::ConstIsConst: EXPECT_THROW(call(), CConstIsConstException); break;
    case EResult::InvalidFunction: EXPECT_THROW(call(), CInvalidFunctionPointerException); break;
    }
    EXPECT_EQ(method.IsConst(), c.binding == EBinding::ConstOnly);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InvokeRulesTest,
    ::testing::Values(CInvokeCase{EForm::ConstPointer, EBinding::ConstOnly, EResult::ConstMember},
                      CInvokeCase{EForm::ConstPointer, EBinding::NonConstOnly, EResult::ConstIsConst},
                      CInvokeCase{EForm::ConstPointer, EBinding::Neither, EResult::InvalidFunction},
                      CInvokeCase{EForm::Pointer, EBinding::ConstOnly, EResult::ConstMember},
                      CInvokeCase{EForm::Pointer, EBinding::NonConstOnly, EResult::NonConstMember},
                      CInvokeCase{EForm::Pointer, EBinding::Neither, EResult::InvalidFunction},
                      CInvokeCase{EForm::ValueInvoke, EBinding::ConstOnly, EResult::ConstMember},
                      CInvokeCase{EForm::ValueInvoke, EBinding::NonConstOnly, EResult::NonConstMember},
                      CInvokeCase{EForm::ValueInvoke, EBinding::Neither, EResult::InvalidFunction},
                      CInvokeCase{EForm::ValueInvokeConst, EBinding::ConstOnly, EResult::ConstMember},
                      CInvokeCase{EForm::ValueInvokeConst, EBinding::NonConstOnly, EResult::ConstIsConst},
                      CInvokeCase{EForm::ValueInvokeConst, EBinding::Neither, EResult::InvalidFunction}));

class SetterTest : public ::testing::Test {
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

TEST_F(SetterTest, ExchangesAWellTypedArgument) {
    std::vector<CValue> args{CValue(90.0f)};
    const CValue result = m_setter->Invoke(CValue(&m_widget), args);
    EXPECT_EQ(m_widget.m_strength, 90.0f);
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_TRUE(args[0].IsEmpty());
}

TEST_F(SetterTest, ArgumentIsCoercedBeforeTheConstCheck) {
    const CValue constObject(static_cast<const CWidget*>(&m_widget));
    std::vector<CValue> doubleArgs{CValue(1.0)};
    EXPECT_THROW(m_setter->Invoke(constObject, doubleArgs), int);
    EXPECT_EQ(doubleArgs[0].GetAs<double>(), 1.0);

    std::vector<CValue> floatArgs{CValue(2.0f)};
    EXPECT_THROW(m_setter->Invoke(constObject, floatArgs), CConstIsConstException);
    // The failed call gives the exchanged argument back.
    EXPECT_EQ(floatArgs[0].GetAs<float>(), 2.0f);
    EXPECT_EQ(m_widget.m_sets, 0);
}

TEST_F(SetterTest, MissingArgumentsAndObjectsNeverReachTheMember) {
    std::vector<CValue> none;
    EXPECT_THROW(m_setter->Invoke(CValue(&m_widget), none), CEmptyValueException);
    std::vector<CValue> emptyArg(1);
    EXPECT_THROW(m_setter->Invoke(CValue(&m_widget), emptyArg), CEmptyValueException);
    std::vector<CValue> args{CValue(1.0f)};
    EXPECT_THROW(m_setter->Invoke(CValue(), args), CEmptyValueException);
    EXPECT_THROW(m_setter->Invoke(CValue(static_cast<CWidget*>(nullptr)), args), CEmptyValueException);
    // A down-cast to a class the object does not have gives a null object.
    CStep step;
    EXPECT_THROW(m_setter->Invoke(CValue(static_cast<CNode*>(&step)), args), CEmptyValueException);
    EXPECT_EQ(args[0].GetAs<float>(), 1.0f);
    EXPECT_EQ(m_widget.m_sets, 0);
}

TEST_F(SetterTest, ObjectIsConvertedToTheDeclaringClass) {
    std::vector<CValue> args{CValue(3.0f), CValue(9.0f)};
    m_setter->Invoke(CValue(static_cast<CNode*>(&m_widget)), args);
    EXPECT_EQ(m_widget.m_strength, 3.0f);
    EXPECT_EQ(args[1].GetAs<float>(), 9.0f); // ignored, untouched
}

TEST(MethodTest, GettersIgnoreTheirArgumentsAndHonourConst) {
    RegisterFixtures();
    CWidget widget;
    widget.m_strength = 4.0f;
    const CTypeInfo* type = TypeOf<CWidget>();
    const CMethodInfo* getStrength = type->GetMethod("GetStrength", {}, false);
    const CMethodInfo* getPosition = type->GetMethod("GetPosition", {}, false);
    ASSERT_TRUE(getStrength && getPosition);
    std::vector<CValue> args{CValue(1.0)};
    const CValue constObject(static_cast<const CWidget*>(&widget));
    EXPECT_EQ(getStrength->Invoke(constObject, args).GetAs<float>(), 4.0f);
    EXPECT_EQ(args[0].GetAs<double>(), 1.0);
    EXPECT_THROW(getPosition->Invoke(constObject, args), CConstIsConstException);
    EXPECT_EQ(getPosition->GetResultType(), TypeOf<CVector2>());
    EXPECT_TRUE(getStrength->IsConst());
    EXPECT_FALSE(getPosition->IsConst());
    EXPECT_FALSE(getStrength->IsStatic());
    EXPECT_THROW(getStrength->InvokeStatic(args), CInvokeNotImplementedException);
}

TEST(MethodTest, AddMethodKeepsTheFirstOfASignature) {
    RegisterFixtures();
    using R = CReflector<CGadget>;
    const size_t before = TypeOf<CGadget>()->GetMethods().size();
    CMethodInfo* again = R::AddMethod(MakeMethodInfo<CGadget>("GetOn", {}, &CGadget::GetOn));
    EXPECT_EQ(again, R::Methods()[1]);
    EXPECT_EQ(TypeOf<CGadget>()->GetMethods().size(), before);
    // Same member under another name is another method.
    EXPECT_FALSE(again->HasSameSignature(*MakeMethodInfo<CGadget>("GetOff", {}, &CGadget::GetOn)));
    EXPECT_FALSE(again->HasSameSignature(*MakeMethodInfo<CGadget>("GetOn", {}, &CGadget::GetStrength)));
}

TEST(MethodTest, InheritedProvidersAreTheBasesNamesakes) {
    RegisterFixtures();
    const CMethodInfo* onGetter = TypeOf<CGadget>()->GetMethod("GetOn", {}, false);
    CCustomAttributeProvider::ProviderList inherited;
    onGetter->GetInheritedProviders(inherited);
    EXPECT_TRUE(inherited.empty());
    // Found through the bases only when asked.
    EXPECT_EQ(TypeOf<CGadget>()->GetMethod("GetStrength", {}, false), nullptr);
    EXPECT_NE(TypeOf<CGadget>()->GetMethod("GetStrength", {}, true), nullptr);
}

} // namespace
