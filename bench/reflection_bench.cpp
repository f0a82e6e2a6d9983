// Reflected property get/set and method invoke against a direct call
// through std::function, on an object held as its own pointer type.

#include <benchmark/benchmark.h>

#include <functional>

#include "reflection/Reflection.h"

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

} // namespace
