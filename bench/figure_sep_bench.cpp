// Number formatting: the export (which reads the user's locale at each
// call), the grouping core with a given separator, and the C library's
// printf as the peer that writes the same digits without grouping.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "qxdll32.h"
#include "text/figure_sep.h"

namespace {

constexpr long long kValue = -9223372036854775807LL;

void BM_FigureSepInt64A(benchmark::State& state) {
  char out[128];
  for (auto _ : state)
    benchmark::DoNotOptimize(qxFigureSepInt64A(kValue, out, sizeof out, 1));
}

void BM_GroupIntegerCore(benchmark::State& state) {
  qx::text::DigitGrouping<char> style;
  style.separator[0] = ',';
  style.groupSize = 3;
  char out[128];
  for (auto _ : state)
    benchmark::DoNotOptimize(
        qx::text::GroupInteger<char>(9223372036854775807ull, true, false, out, 128, style));
}

void BM_PeerSnprintf(benchmark::State& state) {
  char out[128];
  for (auto _ : state)
    benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "(%lld)", -kValue));
}

void BM_UserDigitGrouping(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(qx::text::UserDigitGrouping<char>());
}

BENCHMARK(BM_FigureSepInt64A);
BENCHMARK(BM_GroupIntegerCore);
BENCHMARK(BM_PeerSnprintf);
BENCHMARK(BM_UserDigitGrouping);

}  // namespace

BENCHMARK_MAIN();
