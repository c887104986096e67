// Path helpers against the C library's byte-wise scans on the same paths.
// The byte-wise peer is not DBCS-safe (it splits 0x95 0x5C); it marks the
// floor that a character-wise walk through the lead table pays against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "qxdll32.h"

namespace {

std::string SamplePath() {
  std::string path = "C:\\Users\\someone\\Documents\\";
  for (int i = 0; i < 8; ++i)
    path +=
        "folder\x95\x5C"
        "name\\";
  return path + "report.final.txt";
}

void BM_ScanFileNameA(benchmark::State& state) {
  std::string path = SamplePath();
  for (auto _ : state)
    benchmark::DoNotOptimize(qxScanFileNameA(path.data()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * path.size()));
}

void BM_PeerStrrchrBytewise(benchmark::State& state) {
  std::string path = SamplePath();
  for (auto _ : state)
    benchmark::DoNotOptimize(std::strrchr(path.data(), '\\'));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * path.size()));
}

void BM_ControlRightPathA(benchmark::State& state) {
  const std::string path = SamplePath();
  std::string work;
  for (auto _ : state) {
    work = path;
    benchmark::DoNotOptimize(qxControlRightPathA(work.data()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * path.size()));
}

BENCHMARK(BM_ScanFileNameA);
BENCHMARK(BM_PeerStrrchrBytewise);
BENCHMARK(BM_ControlRightPathA);

}  // namespace

BENCHMARK_MAIN();
