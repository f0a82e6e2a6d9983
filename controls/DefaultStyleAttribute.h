#pragma once
// The default style word of a widget class, attached to its type record.

#include <cstdint>

#include "reflection/Attributes.h"

namespace Engine::Controls {

class CDefaultStyleAttribute : public Engine::Reflection::CCustomAttribute {
public:
    explicit CDefaultStyleAttribute(uint32_t style) : m_style(style) {}
    uint32_t GetStyle() const { return m_style; }

private:
    uint32_t m_style;
};

} // namespace Engine::Controls
