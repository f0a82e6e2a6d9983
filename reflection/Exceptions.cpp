#include "reflection/Exceptions.h"

namespace Engine::Reflection {

void ThrowNoConversion() {
    throw 1;
}

} // namespace Engine::Reflection
