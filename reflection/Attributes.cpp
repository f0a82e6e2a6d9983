#include "reflection/Attributes.h"

namespace Engine::Reflection {

CCustomAttributeProvider::~CCustomAttributeProvider() = default;

void CCustomAttributeProvider::AddAttribute(std::unique_ptr<CCustomAttribute> attribute) {
    if (attribute) m_attributes.push_back(std::move(attribute));
}

void CCustomAttributeProvider::GetInheritedProviders(ProviderList&) const {}

} // namespace Engine::Reflection
