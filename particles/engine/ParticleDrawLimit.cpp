#include "particles/engine/ParticleDrawLimit.h"

#include <algorithm>
#include <cstring>

#include "graphics/QuadBounds.h"

namespace Engine::Particles {

namespace {

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

} // namespace

void CParticleDrawLimit::StartFrame(int64_t quads, double screens, int32_t width, int32_t height, int64_t types) {
    m_width = float(std::max(width, 0));
    m_height = float(std::max(height, 0));
    m_quadLimit = std::max<int64_t>(quads, 1);
    m_typeLimit = std::max<int64_t>(types, 1);
    m_typesKept = 0;
    m_typeDrawn = false;
    m_areaLimit = screens * double(m_width) * double(m_height);
    m_limited = true;
    m_lastOffers.swap(m_offers);
    m_offers.clear();
    PlanShares();
    ++m_frame;
    m_quadsKept = 0;
    m_areaKept = 0.0;
}

void CParticleDrawLimit::StartType() {
    if (!m_limited) return;
    m_offers.emplace_back();
    m_typeDrawn = false;
}

bool CParticleDrawLimit::TakeTypeDraw() {
    if (m_typeDrawn) return true;
    if (m_typesKept >= m_typeLimit) return false;
    ++m_typesKept;
    m_typeDrawn = true;
    return true;
}

bool CParticleDrawLimit::Fits(int64_t stride) const {
    int64_t quads = 0;
    double area = 0.0;
    for (size_t i = 0; i < m_lastOffers.size(); ++i) {
        const CCost& offer = m_lastOffers[i];
        if (offer.quads == 0 || m_shares[i].stride == 0) continue;
        const int64_t share = CeilDiv(offer.quads, stride);
        quads += share;
        area += share == offer.quads ? offer.area : double(share) * (offer.area / double(offer.quads));
    }
    return quads <= m_quadLimit && area <= m_areaLimit;
}

void CParticleDrawLimit::PlanShares() {
    m_shares.assign(m_lastOffers.size(), CShare{});
    m_stride = 1;
    const bool allDrawn = ChooseDrawnTypes();
    if (Fits(1)) {
        if (allDrawn) return;
        ShareByStride(1);
        HoldBackForLaterTypes();
        return;
    }
    int64_t most = 0;
    for (size_t i = 0; i < m_lastOffers.size(); ++i)
        if (m_shares[i].stride != 0) most = std::max(most, m_lastOffers[i].quads);
    if (Fits(most)) {
        // The smallest stride that fits: fewer types' shares grow as it does.
        int64_t low = 1, high = most;
        while (high - low > 1) {
            const int64_t middle = low + (high - low) / 2;
            (Fits(middle) ? high : low) = middle;
        }
        ShareByStride(high);
    } else {
        ShareByTurns();
    }
    HoldBackForLaterTypes();
}

bool CParticleDrawLimit::ChooseDrawnTypes() {
    int64_t offering = 0;
    for (const CCost& offer : m_lastOffers) offering += offer.quads > 0;
    if (offering <= m_typeLimit) return true;
    // Past the type draws: as many types as they allow, spread evenly over
    // the types that offer quads (a run of neighbours would be one effect's
    // types alone, and the picture would show one effect at a time). The
    // pattern moves on by one place a frame, so that each type is drawn
    // within ceil(offering / type draws) frames; the others keep nothing.
    const auto drawn = [&](int64_t place) {
        const int64_t at = (place + int64_t(m_frame % uint64_t(offering))) % offering;
        return (at + 1) * m_typeLimit / offering != at * m_typeLimit / offering;
    };
    int64_t place = 0;
    for (size_t i = 0; i < m_lastOffers.size(); ++i) {
        const bool offers = m_lastOffers[i].quads > 0;
        m_shares[i].stride = offers && drawn(place) ? 1 : 0;
        place += offers;
    }
    return false;
}

void CParticleDrawLimit::ShareByStride(int64_t stride) {
    m_stride = stride;
    for (size_t i = 0; i < m_lastOffers.size(); ++i) {
        const CCost& offer = m_lastOffers[i];
        if (offer.quads == 0 || m_shares[i].stride == 0) continue;
        CShare& share = m_shares[i];
        const int64_t kept = CeilDiv(offer.quads, stride);
        share.stride = CeilDiv(offer.quads, kept);
        share.phase = int64_t(m_frame % uint64_t(share.stride));
        share.owed = {kept, double(kept) * (offer.area / double(offer.quads))};
    }
}

void CParticleDrawLimit::ShareByTurns() {
    m_stride = 0;
    const uint64_t types = m_lastOffers.size();
    for (size_t i = 0; i < types; ++i)
        if (m_lastOffers[i].quads > 0) m_shares[i].stride = 0;
    CCost given;
    uint64_t turn = m_turns;
    for (; turn < m_turns + types; ++turn) {
        const CCost& offer = m_lastOffers[turn % types];
        if (offer.quads == 0) continue;
        const double area = offer.area / double(offer.quads);
        if (given.quads >= m_quadLimit || given.area + area > m_areaLimit || given.quads >= m_typeLimit) break;
        given.quads += 1;
        given.area += area;
        // A type's n-th turn shows its n-th quad.
        m_shares[turn % types] = {offer.quads, int64_t((turn / types) % uint64_t(offer.quads)), {1, area}, {}};
    }
    // A type that alone costs more than the limits loses its turn.
    m_turns = std::max(turn, m_turns + 1);
}

void CParticleDrawLimit::HoldBackForLaterTypes() {
    CCost later;
    for (auto share = m_shares.rbegin(); share != m_shares.rend(); ++share) {
        share->later = later;
        later.quads += share->owed.quads;
        later.area += share->owed.area;
    }
}

int32_t CParticleDrawLimit::Keep(Graphics::SpriteVertex* vertices, int32_t quads) {
    if (!m_limited) return quads;
    if (m_offers.empty()) StartType();
    const size_t type = m_offers.size() - 1;
    // A type the last frame did not have keeps what the others leave.
    const CShare share = type < m_shares.size() ? m_shares[type] : CShare{};
    CCost& offered = m_offers.back();
    int32_t kept = 0;
    for (int32_t i = 0; i < quads; ++i) {
        Graphics::SpriteVertex* quad = vertices + 4 * i;
        const double area = Graphics::CoveredQuadArea(quad, m_width, m_height);
        const int64_t index = offered.quads++;
        offered.area += area;
        if (share.stride == 0 || index % share.stride != share.phase) continue;
        if (m_quadsKept + share.later.quads >= m_quadLimit || m_areaKept + area + share.later.area > m_areaLimit ||
            !TakeTypeDraw())
            continue;
        if (kept != i) std::memmove(vertices + 4 * kept, quad, 4 * sizeof(Graphics::SpriteVertex));
        ++kept;
        ++m_quadsKept;
        m_areaKept += area;
    }
    return kept;
}

} // namespace Engine::Particles
