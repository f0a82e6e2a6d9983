#include "reflection/Calculators.h"
#include "reflection/Comparators.h"
#include "reflection/TypeInfo.h"

namespace Engine::Reflection {
namespace {

// The two operands as the operation's carrier type wants them: the operand
// of the other type is converted, the other one is used in place.
class COperands {
public:
    COperands(const CValue& left, const CValue& right) : m_left(&left), m_right(&right) {}
    COperands(const COperands&) = delete;
    COperands& operator=(const COperands&) = delete;

    // Finds the operation on the left type, else on the right one; null
    // when neither has it.
    template <class Op>
    const Op* Prepare(const Op* (CTypeInfo::*get)() const) {
        const CTypeInfo* leftType = m_left->GetType();
        const CTypeInfo* rightType = m_right->GetType();
        const Op* leftOp = (leftType->*get)();
        const Op* rightOp = (rightType->*get)();
        if (!leftOp && !rightOp) return nullptr;
        if (leftOp == rightOp) return leftOp;
        if (leftOp) {
            m_converted = m_right->ConvertTo(leftType);
            m_right = &m_converted;
            return leftOp;
        }
        m_converted = m_left->ConvertTo(rightType);
        m_left = &m_converted;
        return rightOp;
    }
    const CValue& Left() const { return *m_left; }
    const CValue& Right() const { return *m_right; }

private:
    const CValue* m_left;
    const CValue* m_right;
    CValue m_converted;
};

// Runs use(op, left, right) with the operation found for the operands;
// Missing is thrown when neither type has one.
template <class Missing, class Op, class Use>
auto Operate(const CValue& a, const CValue& b, const Op* (CTypeInfo::*get)() const, Use use) {
    if (a.IsEmpty() || b.IsEmpty()) throw CEmptyValueException();
    COperands operands(a, b);
    const Op* op = operands.Prepare(get);
    if (!op) throw Missing();
    return use(*op, operands.Left(), operands.Right());
}

} // namespace

bool CValue::Equals(const CValue& other) const {
    if (IsEmpty() || other.IsEmpty()) return IsEmpty() && other.IsEmpty();
    return Operate<CComparisonNotPermittedException>(
        *this, other, &CTypeInfo::GetComparator,
        [](const CComparator& c, const CValue& a, const CValue& b) { return c.Equal(a, b); });
}

bool CValue::LessOrEqual(const CValue& other) const {
    return Operate<CComparisonNotPermittedException>(
        *this, other, &CTypeInfo::GetComparator,
        [](const CComparator& c, const CValue& a, const CValue& b) { return c.LessOrEqual(a, b); });
}

CValue CValue::Subtract(const CValue& other) const {
    return Operate<CCalculationNotPermittedException>(
        *this, other, &CTypeInfo::GetCalculator,
        [](const CCalculator& c, const CValue& a, const CValue& b) { return c.Subtract(a, b); });
}

} // namespace Engine::Reflection
