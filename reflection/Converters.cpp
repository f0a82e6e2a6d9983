#include "reflection/Converters.h"

namespace Engine::Reflection {

CValue CCompositeConverter::Convert(const CValue& in) const {
    CValue current = in;
    for (const CConverter* step : m_steps) current = step->Convert(current);
    return current;
}

} // namespace Engine::Reflection
