// Whole-buffer detection against uchardet and against the first-deciding-
// byte judge. First the accuracy: real Japanese prose in each encoding,
// pure ASCII and binary data, cut into samples of 16 to 1024 bytes at
// character boundaries, one table per length. Then the speed on 64 MiB of
// the corpus in several encodings, with the ratios printed after the run.
#include <benchmark/benchmark.h>

#include <uchardet.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "corpus/corpus.h"
#include "corpus/rate_reporter.h"
#include "qxdll32.h"

namespace {

constexpr std::size_t kCorpusBytes = std::size_t{64} << 20;
constexpr std::size_t kSampleSource = std::size_t{4} << 20;
constexpr int kSamplesPerCell = 1000;
constexpr std::size_t kLengths[] = {16, 32, 64, 256, 1024};
constexpr int kOther = -100;  // an answer that names no code of ours

struct SampleSet {
  const char* name;
  int code;               // the right answer
  const char* iconvName;  // null for ASCII and binary
};

const SampleSet kSets[] = {
    {"Shift_JIS", QXJCODE_SJIS, "SHIFT_JIS"},    {"EUC-JP", QXJCODE_EUC, "EUC-JP"},
    {"ISO-2022-JP", QXJCODE_JIS, "ISO-2022-JP"}, {"UTF-8", QXJCODE_UTF8, "UTF-8"},
    {"UTF-16LE", QXJCODE_UTF16LE, "UTF-16LE"},   {"UTF-16BE", QXJCODE_UTF16BE, "UTF-16BE"},
    {"ASCII", QXJCODE_ASCII, nullptr},           {"binary", QXJCODE_NOTTEXT, nullptr},
};

// Where each character of a Shift_JIS text starts.
std::vector<std::size_t> CharStarts(const std::string& sjis) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < sjis.size();) {
    starts.push_back(i);
    const auto c = static_cast<unsigned char>(sjis[i]);
    i += (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? 2 : 1;
  }
  starts.push_back(sjis.size());
  return starts;
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0; });
}

class Samples {
 public:
  Samples() : sjis_(qxbench::ShiftJisCorpus(kSampleSource)), starts_(CharStarts(sjis_)) {
    for (std::size_t at = 0, end; at < sjis_.size(); at = end + 1) {
      end = sjis_.find('\n', at);
      const std::string line = sjis_.substr(at, end - at + 1);
      if (IsAscii(line)) ascii_ += line;
    }
    std::ifstream self("/proc/self/exe", std::ios::binary);
    executable_.assign(std::istreambuf_iterator<char>(self), std::istreambuf_iterator<char>());
  }

  // Sample `k` of a set, at most `length` bytes.
  std::string Get(const SampleSet& set, std::size_t length, int k) const {
    if (set.code == QXJCODE_ASCII) return ascii_.substr(Spread(ascii_.size() - length, k), length);
    if (set.code == QXJCODE_NOTTEXT) return Binary(length, k);
    // From the k-th spread character on, the most characters whose
    // encoding fits, skipping starts whose text is ASCII only.
    for (std::size_t first = Spread(starts_.size() - 4 * length, k);; first += length) {
      std::size_t lo = 0, hi = length + 1;  // Fits(lo), !Fits(hi)
      while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        (qxbench::Reencode(Piece(first, mid), set.iconvName).size() <= length ? lo : hi) = mid;
      }
      // A piece that comes out as ASCII bytes only belongs to no encoding.
      if (!IsAscii(Piece(first, lo))) return qxbench::Reencode(Piece(first, lo), set.iconvName);
    }
  }

 private:
  static std::size_t Spread(std::size_t range, int k) {
    return static_cast<std::size_t>(k) * (range / kSamplesPerCell);
  }

  std::string Piece(std::size_t first, std::size_t chars) const {
    const std::size_t last = std::min(first + chars, starts_.size() - 1);
    return sjis_.substr(starts_[first], starts_[last] - starts_[first]);
  }

  // Odd samples from a random generator, even ones from this program's
  // executable; a piece that holds only text bytes is not binary and is
  // passed over.
  std::string Binary(std::size_t length, int k) const {
    std::uint64_t state = 0x9E3779B97F4A7C15u * (k + 1);
    for (std::size_t at = Spread(executable_.size() - length, k);; at += length) {
      std::string out = executable_.substr(at % (executable_.size() - length), length);
      if (k % 2 == 1) {
        for (char& c : out) {
          state ^= state << 13, state ^= state >> 7, state ^= state << 17;
          c = static_cast<char>(state >> 56);
        }
      }
      if (!std::all_of(out.begin(), out.end(),
                       [](char c) { return (c >= 0x20 && c < 0x7F) || (c >= '\t' && c <= '\r'); }))
        return out;
    }
  }

  std::string sjis_;
  std::vector<std::size_t> starts_;
  std::string ascii_;
  std::string executable_;
};

int UchardetCode(uchardet_t detector, const std::string& sample) {
  uchardet_reset(detector);
  uchardet_handle_data(detector, sample.data(), sample.size());
  uchardet_data_end(detector);
  static const std::map<std::string, int> kNames = {
      {"SHIFT_JIS", QXJCODE_SJIS}, {"EUC-JP", QXJCODE_EUC},       {"ISO-2022-JP", QXJCODE_JIS},
      {"UTF-8", QXJCODE_UTF8},     {"UTF-16LE", QXJCODE_UTF16LE}, {"UTF-16BE", QXJCODE_UTF16BE},
      {"ASCII", QXJCODE_ASCII},    {"", QXJCODE_NOTTEXT}};
  const auto found = kNames.find(uchardet_get_charset(detector));
  return found == kNames.end() ? kOther : found->second;
}

// What the first-deciding-byte judge can get right: the three Japanese
// encodings, ASCII (which it calls Shift_JIS) and binary.
bool JpnCodeTypeApplies(int code) {
  return code <= QXJCODE_EUC || code == QXJCODE_ASCII;
}

int JpnCodeTypeAnswer(int code) {
  return code == QXJCODE_ASCII ? QXJCODE_SJIS : code;
}

void PrintAccuracy() {
  const Samples samples;
  uchardet_t detector = uchardet_new();
  for (std::size_t length : kLengths) {
    std::printf("\nAccuracy, samples of %zu bytes (%d per row)\n", length, kSamplesPerCell);
    std::printf("  %-12s %16s %10s %20s\n", "", "qxJudgeTextCode", "uchardet",
                "qxJudgeJpnCodeType");
    double sums[3] = {};
    for (const SampleSet& set : kSets) {
      int right[3] = {};
      for (int k = 0; k < kSamplesPerCell; ++k) {
        const std::string s = samples.Get(set, length, k);
        right[0] += qxJudgeTextCode(s.data(), static_cast<QXDWORD>(s.size())) == set.code;
        right[1] += UchardetCode(detector, s) == set.code;
        right[2] += JpnCodeTypeApplies(set.code) &&
                    qxJudgeJpnCodeType(s.c_str()) == JpnCodeTypeAnswer(set.code);
      }
      std::printf("  %-12s %15.1f%% %9.1f%%", set.name, 100.0 * right[0] / kSamplesPerCell,
                  100.0 * right[1] / kSamplesPerCell);
      if (JpnCodeTypeApplies(set.code))
        std::printf(" %19.1f%%\n", 100.0 * right[2] / kSamplesPerCell);
      else
        std::printf(" %20s\n", "-");
      for (int i = 0; i < 3; ++i)
        sums[i] += 100.0 * right[i] / kSamplesPerCell;
    }
    std::printf("  %-12s %15.1f%% %9.1f%%\n", "mean", sums[0] / std::size(kSets),
                sums[1] / std::size(kSets));
  }
  uchardet_delete(detector);
  std::printf("\n");
}

const std::string& Corpus(int code) {
  static std::map<int, std::string> corpora;
  std::string& text = corpora[code];
  if (text.empty()) {
    const std::string sjis = qxbench::ShiftJisCorpus(kCorpusBytes);
    const char* name = code == QXJCODE_SJIS   ? "SHIFT_JIS"
                       : code == QXJCODE_EUC  ? "EUC-JP"
                       : code == QXJCODE_UTF8 ? "UTF-8"
                                              : "UTF-16LE";
    text = qxbench::Reencode(sjis, name);
  }
  return text;
}

const char* CodeName(int code) {
  for (const SampleSet& set : kSets) {
    if (set.code == code) return set.name;
  }
  return "?";
}

void BM_JudgeText(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  const std::string& text = Corpus(code);
  for (auto _ : state) {
    if (qxJudgeTextCode(text.data(), static_cast<QXDWORD>(text.size())) != code)
      state.SkipWithError("wrong verdict");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetLabel(CodeName(code));
}

void BM_PeerUchardet(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  const std::string& text = Corpus(code);
  uchardet_t detector = uchardet_new();
  for (auto _ : state)
    benchmark::DoNotOptimize(UchardetCode(detector, text));
  uchardet_delete(detector);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetLabel(CodeName(code));
}

// Stops at the first byte that decides, so it reads only the start of a
// Japanese text; shown for scale.
void BM_PeerJpnCodeType(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  const std::string& text = Corpus(code);
  for (auto _ : state)
    benchmark::DoNotOptimize(qxJudgeJpnCodeType(text.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetLabel(CodeName(code));
}

void Encodings(benchmark::internal::Benchmark* b) {
  for (int code : {QXJCODE_SJIS, QXJCODE_EUC, QXJCODE_UTF8, QXJCODE_UTF16LE})
    b->Arg(code);
}

BENCHMARK(BM_JudgeText)->Apply(Encodings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerUchardet)->Apply(Encodings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerJpnCodeType)->Arg(QXJCODE_SJIS)->Arg(QXJCODE_EUC)->Unit(benchmark::kMillisecond);

// The throughput ratios against uchardet, after the run.
void PrintRatios(const qxbench::RateReporter& rates) {
  std::printf("\nThroughput on 64 MiB (library / uchardet):\n");
  for (const SampleSet& set : kSets) {
    const double own = rates.Rate("BM_JudgeText", set.name);
    const double peer = rates.Rate("BM_PeerUchardet", set.name);
    if (own > 0 && peer > 0)
      std::printf("  %-10s %6.0f MB/s vs uchardet %5.0f MB/s  x%.1f\n", set.name, own / 1e6,
                  peer / 1e6, own / peer);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  PrintAccuracy();
  qxbench::RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
