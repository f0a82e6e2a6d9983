#pragma once
// What a type record owns besides its names and links. Kept out of
// TypeInfo.h so that the record does not depend on the member descriptions.

#include "reflection/TypeInfo.h"

namespace Engine::Reflection {

struct CTypeInfo::CMembers {
    // Only filled in a record retired by a redefinition.
    CCustomAttributeProvider::AttributeList retiredAttributes;
};

} // namespace Engine::Reflection
