#include "reflection/Value.h"

#include "app/Log.h"

namespace Engine::Reflection {

void Detail::ReportFailedRelease() noexcept {
    GetLog().PrintLine("Reflection: a counted value released its object below zero");
}

CValue::CValue(std::unique_ptr<CInstanceBoxBase> box) {
    if (box) Adopt(std::move(box));
}

void CValue::Adopt(std::unique_ptr<CInstanceBoxBase> box) {
    m_type = box->GetStaticType();
    m_dynamicType = box->GetDynamicType();
    m_box = box.release();
    CountMade();
}

CValue::CValue(const CValue& other) : m_type(other.m_type), m_dynamicType(other.m_dynamicType) {
    if (other.m_box) other.m_box->CloneInto(*this);
}

CValue& CValue::operator=(const CValue& other) {
    if (this != &other) *this = CValue(other);
    return *this;
}

void CValue::swap(CValue& other) noexcept {
    if (!IsInline() && !other.IsInline()) {
        std::swap(m_box, other.m_box);
        std::swap(m_type, other.m_type);
        std::swap(m_dynamicType, other.m_dynamicType);
        return;
    }
    // An inline box moves; an empty value or a heap box costs nothing.
    CValue held;
    held.TakeFrom(*this);
    TakeFrom(other);
    other.TakeFrom(held);
}

bool CValue::IsNull() const {
    return !m_box || m_box->IsNull();
}

CValue CValue::TryConvertTo(const CTypeInfo* target) const {
    if (!m_box) throw CEmptyValueException();
    const CTypeInfo* source = GetType();
    if (source == target || source->GetType() == target->GetType()) return *this;
    // No converter removes const.
    if (source->IsConstPointer() && target->IsPointer() && !target->IsConst()) return CValue();
    // Adding const to a pointer is a plain cast, for every class alike (a
    // class without bases has no converter that could do it).
    if (target->IsConstPointer() && source->IsPointer() && !source->IsConst() &&
        source->GetPointee() == target->GetPointee())
        return m_box->GetConstPointer();
    return CTypeRegistry::Instance().Converters().Convert(*this, target);
}

CValue CValue::ConvertTo(const CTypeInfo* target) const {
    CValue converted = TryConvertTo(target);
    if (converted.IsEmpty()) ThrowNoConversion();
    return converted;
}

CValue CValue::GetCountedValue() const {
    return m_box ? CValue(m_box->GetObjectPtr()) : CValue();
}

} // namespace Engine::Reflection
