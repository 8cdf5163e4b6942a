// One whole calculation per gauge kind on the shipped database: open, lookups, arithmetic,
// formatting. Run with --benchmark_repetitions=10 for medians.
#include <benchmark/benchmark.h>

#include "calculation/calculate.h"
#include "calculation/gauge_kind.h"

namespace {

using threadgauge::FormInputs;

const std::filesystem::path kDatabase = std::filesystem::u8path(THREADGAUGE_BENCH_DATABASE);

FormInputs InputsFor(const threadgauge::GaugeKind& kind) {
  const bool internal = kind.deviation == threadgauge::Deviation::EI;
  return {"10", "1.5", "6", internal ? "H" : "g", std::string(kind.name), "大于14至32"};
}

void OneKind(benchmark::State& state) {
  const auto& kind = *threadgauge::GaugeKinds()[static_cast<size_t>(state.range(0))];
  const FormInputs inputs = InputsFor(kind);
  for (auto _ : state) {
    benchmark::DoNotOptimize(threadgauge::Calculate(inputs, kDatabase));
  }
  state.SetLabel(std::string(kind.name));
}
BENCHMARK(OneKind)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

void AllTenInARow(benchmark::State& state) {
  std::vector<FormInputs> all;
  for (const auto* kind : threadgauge::GaugeKinds()) all.push_back(InputsFor(*kind));
  for (auto _ : state) {
    for (const auto& inputs : all)
      benchmark::DoNotOptimize(threadgauge::Calculate(inputs, kDatabase));
  }
}
BENCHMARK(AllTenInARow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
