// Reflected property get/set and one-argument method invoke, side by side
// with a direct call through std::function and, when the build found it,
// with RTTR doing the same operations on the same class. The ratios to RTTR
// (ours over RTTR's CPU time: at or below 1 meets the target) are printed
// after the table.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "reflection/Reflection.h"

#if MOSARK_HAVE_RTTR
#include <rttr/registration>
#endif

namespace {

using namespace Engine::Reflection;

struct CTarget {
    void SetValue(float value) { m_value = value; }
    float GetValue() const { return m_value; }
    float m_value = 0;
};

struct CSetup {
    CSetup() {
        RegisterReflection_Primitives();
        CReflector<CTarget>::RegisterType("Bench::CTarget");
        property = CReflector<CTarget>::AddProperty("Value", &CTarget::SetValue, &CTarget::GetValue);
    }
    const CPropertyInfo* property;
};

const CPropertyInfo* Property() {
    static const CSetup s_setup;
    return s_setup.property;
}

void BM_DirectStdFunctionGet(benchmark::State& state) {
    CTarget target;
    std::function<float(const CTarget&)> get = &CTarget::GetValue;
    for (auto _ : state) benchmark::DoNotOptimize(get(target));
}
BENCHMARK(BM_DirectStdFunctionGet);

void BM_DirectStdFunctionSet(benchmark::State& state) {
    CTarget target;
    std::function<void(CTarget&, float)> set = &CTarget::SetValue;
    float v = 0;
    for (auto _ : state) {
        set(target, v += 1.0f);
        benchmark::DoNotOptimize(target.m_value);
    }
}
BENCHMARK(BM_DirectStdFunctionSet);

void BM_PropertyGet(benchmark::State& state) {
    const CPropertyInfo* property = Property();
    CTarget target;
    const CValue object(&target);
    for (auto _ : state) benchmark::DoNotOptimize(property->GetValue(object));
}
BENCHMARK(BM_PropertyGet);

void BM_PropertySet(benchmark::State& state) {
    const CPropertyInfo* property = Property();
    CTarget target;
    const CValue object(&target);
    const CValue value(1.0f);
    for (auto _ : state) property->SetValue(object, value);
    benchmark::DoNotOptimize(target.m_value);
}
BENCHMARK(BM_PropertySet);

// A setter invoked with a fresh, well-typed argument, which the call takes
// over without a copy.
void BM_MethodInvoke(benchmark::State& state) {
    const CMethodInfo* setter = Property()->GetSetter();
    CTarget target;
    const CValue object(&target);
    std::vector<CValue> args(1);
    for (auto _ : state) {
        args[0] = CValue(1.0f);
        benchmark::DoNotOptimize(setter->Invoke(object, args));
    }
}
BENCHMARK(BM_MethodInvoke);

#if MOSARK_HAVE_RTTR

rttr::type RegisterRttrTarget() {
    rttr::registration::class_<CTarget>("Bench::CTarget")
        .property("Value", &CTarget::GetValue, &CTarget::SetValue)
        .method("SetValue", &CTarget::SetValue);
    return rttr::type::get<CTarget>();
}

struct CRttrSetup {
    CRttrSetup()
        : type(RegisterRttrTarget()), property(type.get_property("Value")), setter(type.get_method("SetValue")) {}
    rttr::type type;
    rttr::property property;
    rttr::method setter;
};

const CRttrSetup& Rttr() {
    static const CRttrSetup s_setup;
    return s_setup;
}

void BM_Rttr_PropertyGet(benchmark::State& state) {
    const rttr::property& property = Rttr().property;
    CTarget target;
    for (auto _ : state) benchmark::DoNotOptimize(property.get_value(target));
}
BENCHMARK(BM_Rttr_PropertyGet);

void BM_Rttr_PropertySet(benchmark::State& state) {
    const rttr::property& property = Rttr().property;
    CTarget target;
    const rttr::variant value(1.0f);
    for (auto _ : state) property.set_value(target, value);
    benchmark::DoNotOptimize(target.m_value);
}
BENCHMARK(BM_Rttr_PropertySet);

// RTTR's argument-list call, the form of our invoke.
void BM_Rttr_MethodInvokeList(benchmark::State& state) {
    const rttr::method& setter = Rttr().setter;
    CTarget target;
    for (auto _ : state) {
        rttr::variant arg(1.0f);
        benchmark::DoNotOptimize(setter.invoke_variadic(target, {rttr::argument(arg)}));
    }
}
BENCHMARK(BM_Rttr_MethodInvokeList);

// RTTR's call with the argument given directly.
void BM_Rttr_MethodInvoke(benchmark::State& state) {
    const rttr::method& setter = Rttr().setter;
    CTarget target;
    for (auto _ : state) benchmark::DoNotOptimize(setter.invoke(target, 1.0f));
}
BENCHMARK(BM_Rttr_MethodInvoke);

#endif

// The console table, then each of our operations over its RTTR peer: the
// best CPU time of each, or the medians when only aggregates are reported.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    CRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string& name = run.run_name.function_name;
            const double time = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") m_medians[name] = time;
                continue;
            }
            const auto found = m_best.find(name);
            m_best[name] = found == m_best.end() ? time : std::min(found->second, time);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const std::map<std::string, double>& times = m_best.empty() ? m_medians : m_best;
        static constexpr const char* kPairs[][2] = {{"BM_PropertyGet", "BM_Rttr_PropertyGet"},
                                                     {"BM_PropertySet", "BM_Rttr_PropertySet"},
                                                     {"BM_MethodInvoke", "BM_Rttr_MethodInvokeList"},
                                                     {"BM_MethodInvoke", "BM_Rttr_MethodInvoke"}};
        for (const auto& pair : kPairs) {
            const auto ours = times.find(pair[0]), peer = times.find(pair[1]);
            if (ours == times.end() || peer == times.end() || peer->second <= 0) continue;
            std::printf("%-16s / %-26s = %.2f\n", pair[0], pair[1], ours->second / peer->second);
        }
    }

private:
    std::map<std::string, double> m_best;
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
