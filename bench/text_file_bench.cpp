// The line reader against fgets on the same CR LF file (32 MiB of the
// corpus): lines per second, whole file per iteration. The W form reads
// the UTF-16 twin of the file; it has no peer and is shown for scale.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "corpus/corpus.h"
#include "qxdll32.h"

namespace {

constexpr std::size_t kFileBytes = std::size_t{32} << 20;
constexpr QXDWORD kLineBuffer = 4096;

struct Files {
  std::string crlf;
  std::string utf16;
  std::size_t lines = 0;
};

// CR LF line ends; the prose's stray control bytes (0x1A among them,
// which would end the file) become spaces. No control byte is ever the
// second byte of a Shift_JIS pair, so pairs stay whole.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (char c : text) {
    if (c == '\n') {
      out += "\r\n";
    } else {
      out += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? ' ' : c;
    }
  }
  return out;
}

const Files& TestFiles() {
  static const Files files = [] {
    Files f;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qx-text-bench";
    std::filesystem::create_directories(dir);
    const std::string text = WithCrLf(qxbench::ShiftJisCorpus(kFileBytes));
    f.crlf = (dir / "crlf.txt").string();
    std::ofstream(f.crlf, std::ios::binary).write(text.data(), std::streamsize(text.size()));
    const std::u16string wide = qxbench::Utf16Corpus(text);
    f.utf16 = (dir / "utf16.txt").string();
    std::ofstream(f.utf16, std::ios::binary)
        .write(reinterpret_cast<const char*>(wide.data()), std::streamsize(wide.size() * 2));
    for (char c : text)
      f.lines += c == '\n';
    return f;
  }();
  return files;
}

void BM_ReadTextFileA(benchmark::State& state) {
  const Files& files = TestFiles();
  char line[kLineBuffer];
  std::size_t lines = 0;
  for (auto _ : state) {
    QXHTEXTFILE file = qxOpenTextFileA(files.crlf.c_str());
    while (qxReadTextFileA(file, line, kLineBuffer))
      ++lines;
    qxCloseTextFile(file);
  }
  state.SetItemsProcessed(static_cast<int64_t>(lines));
  if (lines != files.lines * state.iterations()) state.SkipWithError("line count differs");
}

void BM_ReadTextFileW(benchmark::State& state) {
  const Files& files = TestFiles();
  std::u16string name(files.utf16.begin(), files.utf16.end());
  QXWCHAR line[kLineBuffer];
  std::size_t lines = 0;
  for (auto _ : state) {
    QXHTEXTFILE file = qxOpenTextFileW(name.c_str());
    while (qxReadTextFileW(file, line, kLineBuffer))
      ++lines;
    qxCloseTextFile(file);
  }
  state.SetItemsProcessed(static_cast<int64_t>(lines));
  if (lines != files.lines * state.iterations()) state.SkipWithError("line count differs");
}

void BM_PeerFgets(benchmark::State& state) {
  const Files& files = TestFiles();
  char line[kLineBuffer];
  std::size_t lines = 0;
  for (auto _ : state) {
    std::FILE* file = std::fopen(files.crlf.c_str(), "rb");
    while (std::fgets(line, kLineBuffer, file) != nullptr)
      ++lines;
    std::fclose(file);
  }
  state.SetItemsProcessed(static_cast<int64_t>(lines));
}

BENCHMARK(BM_ReadTextFileA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerFgets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextFileW)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
