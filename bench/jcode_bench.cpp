// Encoding conversion in all six directions against glibc iconv for the
// same direction, on the 64 MiB corpus in each encoding; detection over a
// 64 MiB ASCII text against memchr over the same bytes. Ratios against
// the peers are printed after the run.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstring>
#include <map>
#include <string>

#include "corpus/corpus.h"
#include "qxdll32.h"

namespace {

constexpr std::size_t kCorpusBytes = std::size_t{64} << 20;

// Both 64 MiB buffers start at the same offset in a page; output written
// at the same pace as input is read then collides with it in the CPU's
// 4 KiB store-to-load check and every converter slows down by a third.
// Half a page apart, as buffers of a real program usually are.
constexpr std::size_t kDstOffset = 2048;

const char* const kIconvNames[] = {"SHIFT_JIS", "ISO-2022-JP", "EUC-JP"};

const std::string& Corpus(int code) {
  static const std::string sjis = qxbench::ShiftJisCorpus(kCorpusBytes);
  static const std::string jis = qxbench::Reencode(sjis, "ISO-2022-JP");
  static const std::string euc = qxbench::Reencode(sjis, "EUC-JP");
  return code == QXJCODE_SJIS ? sjis : code == QXJCODE_JIS ? jis : euc;
}

void BM_Convert(benchmark::State& state) {
  const int from = static_cast<int>(state.range(0));
  const int to = static_cast<int>(state.range(1));
  const std::string& src = Corpus(from);
  std::string dst(src.size() * 4 + 4 + kDstOffset, '\0');
  for (auto _ : state)
    benchmark::DoNotOptimize(qxConvertJpnCode(dst.data() + kDstOffset, to, src.c_str(), from));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
  state.SetLabel(std::string(kIconvNames[from]) + " -> " + kIconvNames[to]);
}

void BM_PeerIconv(benchmark::State& state) {
  const int from = static_cast<int>(state.range(0));
  const int to = static_cast<int>(state.range(1));
  const std::string& src = Corpus(from);
  std::string dst(src.size() * 4 + 4 + kDstOffset, '\0');
  iconv_t cd = iconv_open(kIconvNames[to], kIconvNames[from]);
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(src.data());
    std::size_t inLeft = src.size();
    char* out = dst.data() + kDstOffset;
    std::size_t outLeft = dst.size();
    benchmark::DoNotOptimize(iconv(cd, &in, &inLeft, &out, &outLeft));
    iconv(cd, nullptr, nullptr, &out, &outLeft);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
  state.SetLabel(std::string(kIconvNames[from]) + " -> " + kIconvNames[to]);
}

void Directions(benchmark::internal::Benchmark* b) {
  for (int from = 0; from < 3; ++from) {
    for (int to = 0; to < 3; ++to) {
      if (from != to) b->Args({from, to});
    }
  }
}

// ASCII prose with LF line ends: nothing in it decides, so every byte is
// looked at.
const std::string& AsciiText() {
  static const std::string text = [] {
    std::string line = "The quick brown fox jumps over the lazy dog, 0123456789 times (ok).\n";
    std::string out;
    out.reserve(kCorpusBytes);
    while (out.size() + line.size() <= kCorpusBytes)
      out += line;
    return out;
  }();
  return text;
}

void BM_Judge(benchmark::State& state) {
  const std::string& text = AsciiText();
  for (auto _ : state)
    benchmark::DoNotOptimize(qxJudgeJpnCodeType(text.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_PeerMemchr(benchmark::State& state) {
  const std::string& text = AsciiText();
  for (auto _ : state)
    benchmark::DoNotOptimize(std::memchr(text.data(), 0x1B, text.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_Convert)->Apply(Directions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerIconv)->Apply(Directions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Judge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerMemchr)->Unit(benchmark::kMillisecond);

// Keeps each run's throughput by label so the ratios print at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the run.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto rate = run.counters.find("bytes_per_second");
      if (rate == run.counters.end()) continue;
      rates_[run.run_name.function_name + " " + run.report_label] = rate->second;
    }
  }
  void PrintRatios() const {
    std::printf("\nThroughput ratios (library / peer):\n");
    for (const auto& [key, rate] : rates_) {
      if (key.rfind("BM_Convert ", 0) != 0) continue;
      const std::string label = key.substr(std::strlen("BM_Convert "));
      const auto peer = rates_.find("BM_PeerIconv " + label);
      if (peer != rates_.end())
        std::printf("  %-28s %6.0f MB/s vs iconv %5.0f MB/s  x%.1f\n", label.c_str(), rate / 1e6,
                    peer->second / 1e6, rate / peer->second);
    }
    const auto judge = rates_.find("BM_Judge ");
    const auto memchr = rates_.find("BM_PeerMemchr ");
    if (judge != rates_.end() && memchr != rates_.end())
      std::printf("  %-28s %6.0f MB/s vs memchr %5.0f MB/s  %.0f%%\n", "detection (ASCII)",
                  judge->second / 1e6, memchr->second / 1e6, 100 * judge->second / memchr->second);
  }

 private:
  std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
