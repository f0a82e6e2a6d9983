#include "graphics/DrawContext.h"

namespace Engine::Graphics {

CDrawContext::~CDrawContext() { CSpriteQueue::FlushIfPending(m_params); }

void CDrawContext::SetSecondValue(float value) {
    if (m_values.empty()) m_values.push_back(-1.0f);
    if (m_values.size() < 2)
        m_values.push_back(value);
    else
        m_values[1] = value;
}

} // namespace Engine::Graphics
