#pragma once
// Everything a user of the reflection library needs.

#include "reflection/Builtins.h"
#include "reflection/Calculators.h"
#include "reflection/Comparators.h"
#include "reflection/Constructors.h"
#include "reflection/Converters.h"
#include "reflection/Exceptions.h"
#include "reflection/Formatters.h"
#include "reflection/Methods.h"
#include "reflection/Properties.h"
#include "reflection/Reflector.h"
#include "reflection/TypeInfo.h"
#include "reflection/TypeName.h"
#include "reflection/TypeRegistry.h"
#include "reflection/Value.h"
