#pragma once
// Everything a user of the reflection library needs.

#include "reflection/Converters.h"
#include "reflection/Exceptions.h"
#include "reflection/TypeInfo.h"
#include "reflection/TypeName.h"
#include "reflection/TypeRegistry.h"
#include "reflection/Value.h"
