// Encoding conversion in all six directions against glibc iconv for the
// same direction, on the 64 MiB corpus in each encoding; the sized
// conversion to and from Unicode against iconv's "CP932" and "EUC-JP" on
// the same corpus and on ASCII text; detection over a 64 MiB ASCII text
// against memchr over the same bytes. Ratios against the peers are printed
// after the run.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstring>
#include <iterator>
#include <map>
#include <string>

#include "corpus/corpus.h"
#include "corpus/rate_reporter.h"
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

// Converts all of `src` with glibc iconv into `dst`; false if iconv stops
// short of the end (the peer must convert what the library converts).
bool Iconv(iconv_t cd, const std::string& src, std::string& dst, std::size_t& written) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(src.data());
  std::size_t inLeft = src.size();
  char* out = dst.data() + kDstOffset;
  std::size_t outLeft = dst.size() - kDstOffset;
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
  written = dst.size() - kDstOffset - outLeft;
  return ok && inLeft == 0;
}

void RunPeerIconv(benchmark::State& state, const std::string& src, const char* from,
                  const char* to) {
  std::string dst(src.size() * 4 + 4 + kDstOffset, '\0');
  iconv_t cd = iconv_open(to, from);
  std::size_t written = 0;
  for (auto _ : state) {
    if (!Iconv(cd, src, dst, written)) state.SkipWithError("iconv stopped short");
    benchmark::DoNotOptimize(written);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}

void BM_PeerIconv(benchmark::State& state) {
  const int from = static_cast<int>(state.range(0));
  const int to = static_cast<int>(state.range(1));
  RunPeerIconv(state, Corpus(from), kIconvNames[from], kIconvNames[to]);
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

// The sized conversion, by row: the library's codes, iconv's names for
// them, and the text (Japanese prose in the source encoding, or ASCII).
struct TextRow {
  int from, to;
  const char *iconvFrom, *iconvTo;
  bool ascii;
};
const TextRow kTextRows[] = {
    {QXJCODE_SJIS, QXJCODE_UTF8, "CP932", "UTF-8", false},
    {QXJCODE_UTF8, QXJCODE_SJIS, "UTF-8", "CP932", false},
    {QXJCODE_SJIS, QXJCODE_UTF16LE, "CP932", "UTF-16LE", false},
    {QXJCODE_UTF16LE, QXJCODE_SJIS, "UTF-16LE", "CP932", false},
    {QXJCODE_EUC, QXJCODE_UTF8, "EUC-JP", "UTF-8", false},
    {QXJCODE_SJIS, QXJCODE_UTF16LE, "CP932", "UTF-16LE", true},
    {QXJCODE_UTF16LE, QXJCODE_SJIS, "UTF-16LE", "CP932", true},
};

// The row's source text: the Shift_JIS corpus through iconv's "CP932"
// (which round-trips it), the EUC-JP corpus, or the ASCII text.
const std::string& TextSource(const TextRow& row) {
  const std::string& sjis = row.ascii ? AsciiText() : Corpus(QXJCODE_SJIS);
  if (row.from == QXJCODE_SJIS) return sjis;
  if (row.from == QXJCODE_EUC) return Corpus(QXJCODE_EUC);
  static std::map<std::pair<std::string, bool>, std::string> texts;
  std::string& text = texts[{row.iconvFrom, row.ascii}];
  if (!text.empty()) return text;
  text = std::string(sjis.size() * 4 + kDstOffset, '\0');
  iconv_t cd = iconv_open(row.iconvFrom, "CP932");
  std::size_t written = 0;
  Iconv(cd, sjis, text, written);
  iconv_close(cd);
  return text = text.substr(kDstOffset, written);
}

std::string TextLabel(const TextRow& row) {
  return std::string(row.ascii ? "ASCII " : "") + row.iconvFrom + " -> " + row.iconvTo;
}

void BM_ConvertText(benchmark::State& state) {
  const TextRow& row = kTextRows[state.range(0)];
  const std::string& src = TextSource(row);
  std::string dst(src.size() * 4 + kDstOffset, '\0');
  const int size = static_cast<int>(dst.size() - kDstOffset);
  for (auto _ : state) {
    const int n = qxConvertTextCode(dst.data() + kDstOffset, size, row.to, src.data(),
                                    static_cast<int>(src.size()), row.from, 0);
    if (n < 0) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
  state.SetLabel(TextLabel(row));
}

void BM_PeerTextIconv(benchmark::State& state) {
  const TextRow& row = kTextRows[state.range(0)];
  RunPeerIconv(state, TextSource(row), row.iconvFrom, row.iconvTo);
  state.SetLabel(TextLabel(row));
}

void TextRows(benchmark::internal::Benchmark* b) {
  for (std::size_t i = 0; i < std::size(kTextRows); ++i)
    b->Arg(static_cast<int64_t>(i));
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
BENCHMARK(BM_ConvertText)->Apply(TextRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerTextIconv)->Apply(TextRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Judge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerMemchr)->Unit(benchmark::kMillisecond);

// The throughput ratios against the peers, after the run.
void PrintRatios(const qxbench::RateReporter& rates) {
  std::printf("\nThroughput ratios (library / peer):\n");
  for (const auto& [own, peer] :
       {std::pair{"BM_Convert", "BM_PeerIconv"}, std::pair{"BM_ConvertText", "BM_PeerTextIconv"}}) {
    for (const std::string& label : rates.Labels(own)) {
      const double rate = rates.Rate(own, label), peerRate = rates.Rate(peer, label);
      if (peerRate > 0)
        std::printf("  %-28s %6.0f MB/s vs iconv %5.0f MB/s  x%.1f\n", label.c_str(), rate / 1e6,
                    peerRate / 1e6, rate / peerRate);
    }
  }
  const double judge = rates.Rate("BM_Judge", ""), memchr = rates.Rate("BM_PeerMemchr", "");
  if (judge > 0 && memchr > 0)
    std::printf("  %-28s %6.0f MB/s vs memchr %5.0f MB/s  %.0f%%\n", "detection (ASCII)",
                judge / 1e6, memchr / 1e6, 100 * judge / memchr);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  qxbench::RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
