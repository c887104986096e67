// The converter scan against glibc memmem and a plain 32-position
// shift-and loop over the same 64 MiB Japanese corpus (Shift_JIS, and its
// UTF-16 twin for the W form), with absent needles so that every run reads
// the whole text; then a class-and-repetition pattern and the one-call grep
// on short texts, where compiling dominates.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "corpus/corpus.h"
#include "qxdll32.h"

namespace {

constexpr std::size_t kCorpusBytes = 64u << 20;

const std::string& Sjis() {
  static const std::string text = qxbench::ShiftJisCorpus(kCorpusBytes);
  return text;
}

const std::u16string& Utf16() {
  static const std::u16string text = qxbench::Utf16Corpus(Sjis());
  return text;
}

bool IsLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A needle of `bytes` whole characters cut from the prose at 1 MiB, with
// its last trail byte changed until the corpus no longer holds it.
std::string AbsentNeedle(std::size_t bytes) {
  const std::string& text = Sjis();
  std::size_t start = 0;
  while (start < (1u << 20))
    start += IsLead(static_cast<unsigned char>(text[start])) ? 2 : 1;
  for (;; start += IsLead(static_cast<unsigned char>(text[start])) ? 2 : 1) {
    std::size_t end = start;
    while (end - start < bytes)
      end += IsLead(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end - start != bytes || text[end - 2] == '\n') continue;
    std::string needle = text.substr(start, bytes);
    if (!IsLead(static_cast<unsigned char>(needle[bytes - 2]))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      needle[bytes - 1] = static_cast<char>(trail);
      if (trail != 0x7F &&
          memmem(text.data(), text.size(), needle.data(), needle.size()) == nullptr)
        return needle;
    }
  }
}

template <class Ch>
const Ch* ShiftAnd(const std::basic_string<Ch>& text, const std::basic_string<Ch>& needle,
                   const std::vector<std::uint32_t>& masks) {
  const std::uint32_t finalBit = 1u << (needle.size() - 1);
  std::uint32_t state = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    state = ((state << 1) | 1) & masks[static_cast<std::make_unsigned_t<Ch>>(text[i])];
    if ((state & finalBit) != 0) return text.data() + i + 1 - needle.size();
  }
  return nullptr;
}

template <class Ch>
std::vector<std::uint32_t> Masks(const std::basic_string<Ch>& needle) {
  std::vector<std::uint32_t> masks(sizeof(Ch) == 1 ? 256 : 65536, 0);
  for (std::size_t i = 0; i < needle.size(); ++i)
    masks[static_cast<std::make_unsigned_t<Ch>>(needle[i])] |= 1u << i;
  return masks;
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_SaaScanA_Literal(benchmark::State& state) {
  const std::string needle = AbsentNeedle(static_cast<std::size_t>(state.range(0)));
  const QXHCVT cvt = qxSaaCreateCvtA(needle.c_str(), 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(qxSaaScanStringA(cvt, Sjis().c_str()));
  qxSaaCloseCvt(cvt);
  SetBytes(state, Sjis().size());
}

void BM_PeerMemmemA(benchmark::State& state) {
  const std::string needle = AbsentNeedle(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(memmem(Sjis().data(), Sjis().size(), needle.data(), needle.size()));
  SetBytes(state, Sjis().size());
}

void BM_PeerShiftAndA(benchmark::State& state) {
  const std::string needle = AbsentNeedle(static_cast<std::size_t>(state.range(0)));
  const auto masks = Masks(needle);
  for (auto _ : state)
    benchmark::DoNotOptimize(ShiftAnd(Sjis(), needle, masks));
  SetBytes(state, Sjis().size());
}

// Also builds the UTF-16 corpus, so that no timed loop pays for it.
std::u16string WideNeedle(std::size_t sjisBytes) {
  benchmark::DoNotOptimize(Utf16().size());
  return qxbench::Utf16Corpus(AbsentNeedle(sjisBytes));
}

void BM_SaaScanW_Literal(benchmark::State& state) {
  const std::u16string needle = WideNeedle(static_cast<std::size_t>(state.range(0)));
  const QXHCVT cvt = qxSaaCreateCvtW(needle.c_str(), 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(qxSaaScanStringW(cvt, Utf16().c_str()));
  qxSaaCloseCvt(cvt);
  SetBytes(state, Utf16().size() * 2);
}

void BM_PeerMemmemW(benchmark::State& state) {
  const std::u16string needle = WideNeedle(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(
        memmem(Utf16().data(), Utf16().size() * 2, needle.data(), needle.size() * 2));
  SetBytes(state, Utf16().size() * 2);
}

void BM_PeerShiftAndW(benchmark::State& state) {
  const std::u16string needle = WideNeedle(static_cast<std::size_t>(state.range(0)));
  const auto masks = Masks(needle);
  for (auto _ : state)
    benchmark::DoNotOptimize(ShiftAnd(Utf16(), needle, masks));
  SetBytes(state, Utf16().size() * 2);
}

// An absent pattern with a class and a repetition: "Q[0-9]+Z", and one
// that starts with a class, so no single byte can be skipped to.
void BM_SaaScanA_Pattern(benchmark::State& state) {
  const char* pattern = state.range(0) == 0 ? "Q[0-9]+Z" : "[0-9][0-9]+Z";
  const QXHCVT cvt = qxSaaCreateCvtA(pattern, QXSAA_PATTERN);
  for (auto _ : state)
    benchmark::DoNotOptimize(qxSaaScanStringA(cvt, Sjis().c_str()));
  qxSaaCloseCvt(cvt);
  SetBytes(state, Sjis().size());
}

void BM_SaaScanW_Pattern(benchmark::State& state) {
  benchmark::DoNotOptimize(Utf16().size());
  const std::u16string pattern = state.range(0) == 0 ? u"Q[0-9]+Z" : u"[0-9][0-9]+Z";
  const QXHCVT cvt = qxSaaCreateCvtW(pattern.c_str(), QXSAA_PATTERN);
  for (auto _ : state)
    benchmark::DoNotOptimize(qxSaaScanStringW(cvt, Utf16().c_str()));
  qxSaaCloseCvt(cvt);
  SetBytes(state, Utf16().size() * 2);
}

// One call per short line: compile, scan, release.
void BM_GrepExA_ShortText(benchmark::State& state) {
  const std::string line = Sjis().substr(1u << 20, 80);
  QXDWORD length = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(qxGrepExA(line.c_str(), "[0-9]+ *file.?s", 1, &length));
  state.SetItemsProcessed(state.iterations());
}

void BM_GrepExW_ShortText(benchmark::State& state) {
  const std::u16string line = qxbench::Utf16Corpus(Sjis().substr(1u << 20, 80));
  QXDWORD length = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(qxGrepExW(line.c_str(), u"[0-9]+ *file.?s", 1, &length));
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_SaaScanA_Literal)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerMemmemA)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerShiftAndA)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaaScanW_Literal)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerMemmemW)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerShiftAndW)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaaScanA_Pattern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaaScanW_Pattern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepExA_ShortText);
BENCHMARK(BM_GrepExW_ShortText);

}  // namespace

BENCHMARK_MAIN();
