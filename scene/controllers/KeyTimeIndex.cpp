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
    m_outOfOrder.reset();
}

void CKeyTimeIndex::Build(const std::vector<double>& times) {
    const size_t count = times.size();
    auto arrays = std::make_unique<COutOfOrder>();
    arrays->suffixMin.resize(count);
    arrays->prefixMax.resize(count);
    for (size_t i = count; i-- > 0;)
        arrays->suffixMin[i] = i + 1 < count ? MinNanTop(times[i], arrays->suffixMin[i + 1]) : times[i];
    for (size_t i = 0; i < count; ++i)
        arrays->prefixMax[i] = i > 0 ? MaxNanBottom(arrays->prefixMax[i - 1], times[i]) : times[i];
    std::vector<uint32_t>& byTime = arrays->byTime;
    byTime.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (!std::isnan(times[i])) byTime.push_back(uint32_t(i));
    // -0.0 and 0.0 are one time here, ordered by their indices.
    std::sort(byTime.begin(), byTime.end(), [&times](uint32_t a, uint32_t b) {
        return times[a] < times[b] || (!(times[b] < times[a]) && a < b);
    });
    byTime.shrink_to_fit();
    m_outOfOrder = std::move(arrays);
}

} // namespace Engine::Scene
