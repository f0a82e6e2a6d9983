#include "gameui/MosarkBaseControl.h"

#include <algorithm>

uint32_t CMosarkBaseControl::GetAlpha(float factor) const {
    // Clamped first: converting a float outside the integer's range is
    // undefined, and a NaN fails both comparisons and reads as 0.
    const float value = m_fOpacity * 255.0f * factor;
    if (!(value > 0.0f)) return 0;
    return uint32_t(std::min(value, 255.0f));
}
