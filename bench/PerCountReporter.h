#pragma once
// Benchmarks whose cost should grow with a count n as n does: the time per
// element shown beside each run, and after the table, per family, the time
// per element at each count and the largest count's over the smallest's
// against a ratio. The count is the run's first argument.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace BenchCounts {

inline constexpr char kPerElement[] = "per_object";

// Seconds per element, printed in the table's time unit.
inline void CountPerElement(benchmark::State& state, int64_t count) {
    state.counters[kPerElement] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

class CPerCountReporter : public benchmark::ConsoleReporter {
public:
    // element names the counted thing in the summary ("object", "file").
    explicit CPerCountReporter(std::string element = "object", double maxRatio = 2.0)
        : m_element(std::move(element)), m_maxRatio(maxRatio) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type == Run::RT_Aggregate) continue;
            const auto counter = run.counters.find(kPerElement);
            if (counter == run.counters.end()) continue;
            const int64_t count = std::stoll(run.run_name.args);
            double& best = m_perElement[run.run_name.function_name][count];
            best = best == 0.0 ? counter->second.value : std::min(best, counter->second.value);
        }
    }
    void PrintSummary() const {
        for (const auto& [family, byCount] : m_perElement) {
            for (const auto& [count, seconds] : byCount)
                std::printf("%s/%lld: %.3f us per %s\n", family.c_str(), static_cast<long long>(count), seconds * 1e6,
                            m_element.c_str());
            const double ratio = byCount.rbegin()->second / byCount.begin()->second;
            std::printf("%s: %lld over %lld %ss = %.2f (target at most %.1f: %s)\n", family.c_str(),
                        static_cast<long long>(byCount.rbegin()->first), static_cast<long long>(byCount.begin()->first),
                        m_element.c_str(), ratio, m_maxRatio, ratio <= m_maxRatio ? "met" : "NOT met");
        }
    }

private:
    std::string m_element;
    double m_maxRatio;
    std::map<std::string, std::map<int64_t, double>> m_perElement;
};

} // namespace BenchCounts
