#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Fixtures.h"

using namespace Engine::Reflection;
using namespace Engine::Geometry;

namespace {

struct CTextCase {
    const char* text;               // canonical text of the value
    std::function<CValue()> value;  // the value it stands for
    const char* alternative;        // another spelling of the same value
};

struct CBadText {
    const char* text;
    CTypeInfo* (*type)();
};

template <class Param>
class TextTest : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override {
        ReflTest::RegisterFixtures();
        RegisterReflection_PrimitiveFormatters();
    }
};
using TextFormTest = TextTest<CTextCase>;
using BadTextTest = TextTest<CBadText>;

TEST_P(TextFormTest, RoundTrips) {
    const CTextCase& c = GetParam();
    const CValue value = c.value();
    EXPECT_EQ(FormatValue(value), c.text);
    EXPECT_TRUE(ParseValue(c.text, value.GetType()).Equals(value));
    EXPECT_TRUE(ParseValue(c.alternative, value.GetType()).Equals(value));
    EXPECT_EQ(FormatValue(ParseValue(c.text, value.GetType())), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextFormTest,
    ::testing::Values(
        CTextCase{"1.000000, 2.500000", [] { return CValue(CVector2{1, 2.5f}); }, "1,2.5"},
        CTextCase{"-0.500000, 0.250000, 3.000000", [] { return CValue(CVector3{-0.5f, 0.25f, 3}); }, " -.5 ,0.25, 3 "},
        CTextCase{"0.100000, 0.200000, 0.300000, 0.400000", [] { return CValue(CVector4{0.1f, 0.2f, 0.3f, 0.4f}); },
                  "0.1,0.2,0.3,0.4"},
        CTextCase{"-1, 2, 3, -4", [] { return CValue(CRect{-1, 2, 3, -4}); }, "-1,2,3,-4"},
        CTextCase{"0.000000, 1.000000, 2.000000, 3.000000", [] { return CValue(CRectF{0, 1, 2, 3}); }, "0,1,2,3"},
        CTextCase{"-2147483648, 2147483647", [] { return CValue(CPoint{INT32_MIN, INT32_MAX}); },
                  "-2147483648 , 2147483647"},
        CTextCase{"0.1", [] { return CValue(0.1f); }, " 1e-1"},
        CTextCase{"0.30000000000000004", [] { return CValue(0.1 + 0.2); }, "0.30000000000000004"},
        CTextCase{"true", [] { return CValue(true); }, "1"},
        CTextCase{"65", [] { return CValue('A'); }, "65"},
        CTextCase{"255", [] { return CValue(static_cast<unsigned char>(255)); }, " 255"},
        CTextCase{"-9223372036854775808", [] { return CValue(INT64_MIN); }, "-9223372036854775808"},
        CTextCase{"a, b", [] { return CValue(std::string("a, b")); }, "a, b"}));

TEST_P(BadTextTest, IsRefusedWithAMessage) {
    try {
        ParseValue(GetParam().text, GetParam().type());
        FAIL() << "accepted";
    } catch (const CReflectionException& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().type()->GetFullName().c_str()), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadTextTest,
    ::testing::Values(CBadText{"1", TypeOf<CVector2>}, CBadText{"1, 2, 3", TypeOf<CVector2>},
                      CBadText{"1, 2,", TypeOf<CVector2>}, CBadText{"1,,2", TypeOf<CVector2>},
                      CBadText{"", TypeOf<CVector2>}, CBadText{"a, b", TypeOf<CVector2>},
                      CBadText{"1, 2x", TypeOf<CVector2>}, CBadText{"1 2, 3", TypeOf<CVector2>},
                      CBadText{"2147483648, 0", TypeOf<CPoint>}, CBadText{"1.5, 2", TypeOf<CPoint>},
                      CBadText{"0, 0, 0", TypeOf<CRect>}, CBadText{"yes", TypeOf<bool>},
                      CBadText{"256", TypeOf<unsigned char>}, CBadText{"-1", TypeOf<unsigned int>},
                      CBadText{"1.5.", TypeOf<float>}, CBadText{"", TypeOf<int>}));

TEST_F(TextFormTest, TypesWithoutTextForm) {
    EXPECT_THROW(FormatValue(CValue(ReflTest::CPlain{})), CReflectionException);
    EXPECT_THROW(FormatValue(CValue()), CEmptyValueException);
    EXPECT_THROW(ParseValue("1", TypeOf<ReflTest::CPlain>()), CReflectionException);
}

} // namespace
