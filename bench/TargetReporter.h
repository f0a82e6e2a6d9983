#pragma once
// Prints, after the benchmarks ran, each listed figure against its target
// (DESIGN.md, "Performance targets"): the median when the runs were
// repeated, else the one run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace BenchTargets {

struct CTarget {
    std::string run;      // as the benchmark names it, e.g. "BM_Simulate/100000"
    std::string counter;  // a counter, or empty for the CPU time per iteration
    double scale;         // the printed figure is the value times this
    std::string unit;
    double target;
    bool atMost;  // the figure must stay at or below the target, else reach it
    std::string label;
};

class CTargetReporter : public benchmark::ConsoleReporter {
public:
    explicit CTargetReporter(std::vector<CTarget> targets) : m_targets(std::move(targets)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            for (const CTarget& target : m_targets) {
                if (run.run_name.str() != target.run) continue;
                double value = run.GetAdjustedCPUTime();
                if (!target.counter.empty()) {
                    const auto counter = run.counters.find(target.counter);
                    if (counter == run.counters.end()) continue;
                    value = counter->second.value;
                }
                m_figures[target.run] = value * target.scale;
            }
        }
    }

    void PrintSummary() const {
        for (const CTarget& target : m_targets) {
            const auto figure = m_figures.find(target.run);
            if (figure == m_figures.end()) continue;
            const bool met = target.atMost ? figure->second <= target.target : figure->second >= target.target;
            std::printf("%s: %.2f %s (target %s %.2f %s: %s)\n", target.label.c_str(), figure->second,
                        target.unit.c_str(), target.atMost ? "at most" : "at least", target.target,
                        target.unit.c_str(), met ? "met" : "NOT met");
        }
    }

private:
    std::vector<CTarget> m_targets;
    std::map<std::string, double> m_figures;
};

// Keeps each run's CPU time per iteration in the runs' unit (the median
// when repeated), by the name the benchmark was registered under.
class CCpuTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            m_cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }

protected:
    // Ends a summary line with the ratio against its largest allowed.
    static void PrintRatio(double ratio, double atMost) {
        std::printf("ratio %.2f (target at most %.2f: %s)\n", ratio, atMost, ratio <= atMost ? "met" : "NOT met");
    }
    // The CPU time of the benchmark registered so, or null when it did not run.
    const double* CpuTime(const std::string& name) const {
        const auto found = m_cpu.find(name);
        return found == m_cpu.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, double> m_cpu;
};

// Runs the benchmarks through the reporter, then has it print its summary.
template <class Reporter>
int RunThenSummarise(int argc, char** argv, Reporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchTargets
