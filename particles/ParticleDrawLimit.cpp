#include "particles/ParticleDrawLimit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/QuadBounds.h"

namespace Engine::Particles {

void CParticleDrawLimit::StartFrame(int64_t quads, double screens, int32_t width, int32_t height) {
    m_width = float(std::max(width, 0));
    m_height = float(std::max(height, 0));
    m_quadLimit = std::max<int64_t>(quads, 1);
    m_areaLimit = screens * double(m_width) * double(m_height);
    m_limited = true;
    // The last frame's demand sets the share of this one.
    const double ratio = std::max(double(m_offered) / double(m_quadLimit),
                                  m_areaLimit > 0.0 ? m_areaOffered / m_areaLimit : 0.0);
    m_stride = ratio > 1.0 ? int64_t(std::ceil(ratio)) : 1;
    m_phase = int64_t(m_frame++ % uint64_t(m_stride));
    m_offered = 0;
    m_quadsKept = 0;
    m_areaKept = 0.0;
    m_areaOffered = 0.0;
}

double CParticleDrawLimit::CoveredArea(const Graphics::SpriteVertex* quad) const {
    return Graphics::CoveredQuadArea(quad, m_width, m_height);
}

int32_t CParticleDrawLimit::Keep(Graphics::SpriteVertex* vertices, int32_t quads) {
    if (!m_limited) return quads;
    int32_t kept = 0;
    for (int32_t i = 0; i < quads; ++i) {
        Graphics::SpriteVertex* quad = vertices + 4 * i;
        const double area = CoveredArea(quad);
        const bool chosen = m_offered++ % m_stride == m_phase;
        m_areaOffered += area;
        if (!chosen || m_quadsKept >= m_quadLimit || m_areaKept + area > m_areaLimit) continue;
        if (kept != i) std::memmove(vertices + 4 * kept, quad, 4 * sizeof(Graphics::SpriteVertex));
        ++kept;
        ++m_quadsKept;
        m_areaKept += area;
    }
    return kept;
}

} // namespace Engine::Particles
