#include "gameui/MosarkBaseControl.h"

#include "app/Math.h"

uint32_t CMosarkBaseControl::GetAlpha(float factor) const {
    return ScaledToByte(m_fOpacity * 255.0f * factor);
}
