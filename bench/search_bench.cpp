// The converter scan against glibc memmem and a plain 32-position
// shift-and loop over the same 64 MiB Japanese corpus (Shift_JIS, and its
// UTF-16 twin for the W form): literal needles of every class and length,
// absent, once near the end and every 4 KiB, each run reading the whole
// text; then a class-and-repetition pattern and the one-call grep on short
// texts, where compiling dominates.
#include <benchmark/benchmark.h>

#include <chrono>
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

QXHCVT Create(const char* needle, QXDWORD flags) {
  return qxSaaCreateCvtA(needle, flags);
}
QXHCVT Create(const char16_t* needle, QXDWORD flags) {
  return qxSaaCreateCvtW(needle, flags);
}
const char* Scan(QXHCVT cvt, const char* text) {
  return qxSaaScanStringA(cvt, text);
}
const char16_t* Scan(QXHCVT cvt, const char16_t* text) {
  return qxSaaScanStringW(cvt, text);
}

// The literal scans: needle classes, lengths and places.
enum class Kind { kAscii, kSjis, kMixed };
enum class Place { kAbsent, kNearEnd, kOften };
const char* const kKindNames[] = {"ascii", "sjis", "mixed"};
const char* const kPlaceNames[] = {"absent", "near_end", "often"};

// Whether the needle is of the kind: printable ASCII (spaces too) only,
// double-byte characters only, or both.
bool IsKind(const std::string& needle, Kind kind) {
  std::size_t leads = 0, letters = 0;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto c = static_cast<unsigned char>(needle[i]);
    if (IsLead(c)) {
      ++leads, ++i;
    } else if (c < 0x20 || c > 0x7E) {
      return false;
    } else {
      ++letters;
    }
  }
  return kind == Kind::kAscii  ? leads == 0
         : kind == Kind::kSjis ? letters == 0
                               : leads != 0 && letters != 0;
}

// A needle of `bytes` bytes in whole characters of the kind that the corpus
// does not hold: the first such cut from the prose at 1 MiB or later, its
// last character changed to one that exists in UTF-16 too until the corpus
// no longer holds it.
std::string Needle(std::size_t bytes, Kind kind) {
  const std::string& text = Sjis();
  const auto width = [&](std::size_t at) {
    return IsLead(static_cast<unsigned char>(text[at])) ? 2 : 1;
  };
  for (std::size_t start = 1u << 20;; start += width(start)) {
    std::size_t end = start;
    while (end - start < bytes)
      end += width(end);
    std::string needle = text.substr(start, end - start);
    if (needle.size() != bytes || !IsKind(needle, kind)) continue;
    const bool wide = bytes >= 2 && IsLead(static_cast<unsigned char>(needle[bytes - 2]));
    const std::size_t units = qxbench::Utf16Corpus(needle).size();
    for (unsigned last = wide ? 0x40 : 0x21; last <= (wide ? 0xFCu : 0x7Eu); ++last) {
      needle.back() = static_cast<char>(last);
      if (qxbench::Utf16Corpus(needle).size() == units &&
          memmem(text.data(), text.size(), needle.data(), bytes) == nullptr)
        return needle;
    }
  }
}

// The corpus as it is, or with the needle put in once near its end, or
// every 4 KiB; always after a byte that ends a character.
std::string Haystack(const std::string& needle, Place place) {
  const std::string& corpus = Sjis();
  if (place == Place::kAbsent) return corpus;
  std::string text;
  text.reserve(corpus.size() + (corpus.size() / 4096 + 1) * needle.size());
  std::size_t from = 0;
  for (std::size_t at = place == Place::kOften ? 4096 : corpus.size() - 1024; at < corpus.size();
       at += 4096) {
    std::size_t cut = at;
    while (cut > from && IsLead(static_cast<unsigned char>(corpus[cut - 1])))
      --cut;
    text.append(corpus, from, cut - from).append(needle);
    from = cut;
  }
  return text.append(corpus, from);
}

// Every match of the converter in the text, each scan going on one unit
// after the last match, as a find-all loop would.
template <class Ch>
std::size_t CountScans(QXHCVT cvt, const std::basic_string<Ch>& text) {
  std::size_t count = 0;
  for (const Ch* p = text.c_str(); (p = Scan(cvt, p)) != nullptr; ++p)
    ++count;
  return count;
}

// Every match memmem finds, W ones only at whole units.
template <class Ch>
std::size_t CountMemmem(const std::basic_string<Ch>& text, const std::basic_string<Ch>& needle) {
  const auto* begin = reinterpret_cast<const char*>(text.data());
  const auto* end = begin + text.size() * sizeof(Ch);
  std::size_t count = 0;
  for (const char* p = begin;
       (p = static_cast<const char*>(memmem(p, static_cast<std::size_t>(end - p), needle.data(),
                                            needle.size() * sizeof(Ch)))) != nullptr;
       ++p)
    count += (p - begin) % sizeof(Ch) == 0;
  return count;
}

// The literal scan of a whole haystack, every match counted, timed against
// memmem and, for absent needles of up to 32 units, the plain shift-and in
// the same process: the x_ counters give the scan's speed as a multiple of
// theirs.
template <class Ch>
void BM_Literal(benchmark::State& state, std::size_t bytes, Kind kind, Place place, QXDWORD flags) {
  const std::string sjis = Needle(bytes, kind);
  const std::string haystack = Haystack(sjis, place);
  std::basic_string<Ch> needle, text;
  if constexpr (sizeof(Ch) == 1) {
    needle = sjis, text = haystack;
  } else {
    needle = qxbench::Utf16Corpus(sjis), text = qxbench::Utf16Corpus(haystack);
  }
  const QXHCVT cvt = Create(needle.c_str(), flags);
  const std::size_t expected = CountMemmem(text, needle);
  std::size_t found = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(found = CountScans(cvt, text));
  // Seconds a run takes, on average over a few runs (at least 0.2 s'
  // worth, at most about a second's).
  const auto seconds = [](auto run) {
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0;
    int runs = 0;
    do {
      benchmark::DoNotOptimize(run());
      ++runs;
      elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < 1 && (runs < 3 || elapsed < 0.2));
    return elapsed / runs;
  };
  const double ours = seconds([&] { return CountScans(cvt, text); });
  state.counters["x_memmem"] = seconds([&] { return CountMemmem(text, needle); }) / ours;
  if (place == Place::kAbsent && needle.size() <= 32) {
    const auto masks = Masks(needle);
    state.counters["x_shift_and"] = seconds([&] { return ShiftAnd(text, needle, masks); }) / ours;
  }
  qxSaaCloseCvt(cvt);
  if (flags == 0 && found != expected) state.SkipWithError("the scan and memmem disagree");
  SetBytes(state, text.size() * sizeof(Ch));
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

BENCHMARK(BM_SaaScanA_Pattern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaaScanW_Pattern)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepExA_ShortText);
BENCHMARK(BM_GrepExW_ShortText);

// Every needle class, length and place in both forms; folded needles where
// they are absent.
void RegisterLiterals() {
  for (const std::size_t bytes : {2, 3, 5, 10, 30, 100}) {
    for (const Kind kind : {Kind::kAscii, Kind::kSjis, Kind::kMixed}) {
      // Double-byte characters alone make even lengths; mixed needs three.
      if ((kind == Kind::kSjis && bytes % 2 != 0) || (kind == Kind::kMixed && bytes < 3)) continue;
      for (const Place place : {Place::kAbsent, Place::kNearEnd, Place::kOften}) {
        for (const QXDWORD flags : {QXDWORD{0}, QXDWORD{QXSAA_NOCASE}}) {
          if (flags != 0 && place != Place::kAbsent) continue;
          const std::string name = std::string(kKindNames[static_cast<int>(kind)]) + "/" +
                                   std::to_string(bytes) + "/" +
                                   kPlaceNames[static_cast<int>(place)] + (flags ? "/nocase" : "");
          benchmark::RegisterBenchmark(("LiteralA/" + name).c_str(), BM_Literal<char>, bytes, kind,
                                       place, flags)
              ->Unit(benchmark::kMillisecond);
          benchmark::RegisterBenchmark(("LiteralW/" + name).c_str(), BM_Literal<char16_t>, bytes,
                                       kind, place, flags)
              ->Unit(benchmark::kMillisecond);
        }
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterLiterals();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
