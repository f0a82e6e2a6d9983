#include "scene/controllers/KeyTimeIndex.h"

#include <algorithm>

namespace Engine::Scene {

namespace {

// NaN is the top of a minimum and the bottom of a maximum: it never
// answers a comparison, so it must not hide a time that does.
double MinNanTop(double a, double b) {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return b < a ? b : a;
}

double MaxNanBottom(double a, double b) {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return b > a ? b : a;
}

} // namespace

void CKeyTimeIndex::SetInOrder() {
    m_inOrder = true;
    // Released, not kept: a table in order costs nothing beyond its keys.
    std::vector<double>().swap(m_suffixMin);
    std::vector<double>().swap(m_prefixMax);
    std::vector<uint32_t>().swap(m_byTime);
}

void CKeyTimeIndex::Build(const std::vector<double>& times) {
    const size_t count = times.size();
    m_inOrder = false;
    m_suffixMin.assign(count, 0.0);
    m_prefixMax.assign(count, 0.0);
    for (size_t i = count; i-- > 0;)
        m_suffixMin[i] = i + 1 < count ? MinNanTop(times[i], m_suffixMin[i + 1]) : times[i];
    for (size_t i = 0; i < count; ++i) m_prefixMax[i] = i > 0 ? MaxNanBottom(m_prefixMax[i - 1], times[i]) : times[i];
    m_byTime.clear();
    m_byTime.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (!std::isnan(times[i])) m_byTime.push_back(uint32_t(i));
    // -0.0 and 0.0 are one time here, ordered by their indices.
    std::sort(m_byTime.begin(), m_byTime.end(), [&times](uint32_t a, uint32_t b) {
        return times[a] < times[b] || (!(times[b] < times[a]) && a < b);
    });
    m_byTime.shrink_to_fit();
}

} // namespace Engine::Scene
