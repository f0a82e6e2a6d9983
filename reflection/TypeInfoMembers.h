#pragma once
// What a type record owns besides its names and links. Kept out of
// TypeInfo.h so that the record does not depend on the member descriptions.

#include "reflection/Calculators.h"
#include "reflection/Comparators.h"
#include "reflection/Constructors.h"
#include "reflection/Formatters.h"
#include "reflection/Methods.h"
#include "reflection/Properties.h"
#include "reflection/TypeInfo.h"

namespace Engine::Reflection {

struct CTypeInfo::CMembers {
    std::vector<std::unique_ptr<CConstructorInfo>> constructors;
    std::vector<std::unique_ptr<CMethodInfo>> methods;
    std::vector<std::unique_ptr<CPropertyInfo>> properties;
    std::unique_ptr<CComparator> comparator;
    std::unique_ptr<CCalculator> calculator;
    std::unique_ptr<CTypeFormatter> formatter;
    std::map<std::int64_t, CString> enumValueNames;
    // Only filled in a record retired by a redefinition.
    CCustomAttributeProvider::AttributeList retiredAttributes;
};

} // namespace Engine::Reflection
