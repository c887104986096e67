// Copy throughput of the file operation engine, its dialog up, against its
// peers in one run under Wine with an X display (make bench-win64):
//   - one large file (256 MiB by default): CopyFileA, which never flushes,
//     and a plain loop with the engine's flush cadence (1 MiB blocks,
//     FlushFileBuffers after each MiB and once more at the end), which is
//     the limit for an engine that must flush;
//   - a batch of 2,000 files of 4 KiB: a CopyFileA loop.
// Each figure is the best of a few rounds, the peers interleaved so that
// all see the same cache state.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "qxdll32.h"

namespace {

constexpr DWORD kMiB = 1 << 20;
constexpr int kBatchFiles = 2000;
constexpr DWORD kBatchFileSize = 4096;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WriteWholeFile(const std::string& path, DWORD size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(std::min(size, kMiB));
  for (size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<char>(i * 2654435761u >> 24);
  bool ok = true;
  for (DWORD left = size; left > 0 && ok;) {
    const DWORD chunk = std::min<DWORD>(left, static_cast<DWORD>(block.size()));
    DWORD written = 0;
    ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
    left -= chunk;
  }
  CloseHandle(file);
  return ok;
}

// The engine's flush cadence without the engine: the limit it can reach.
bool FlushingCopy(const std::string& from, const std::string& to) {
  HANDLE in = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  HANDLE out = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  static std::vector<char> block(kMiB);
  bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
  for (DWORD got = 1; ok && got > 0;) {
    DWORD put = 0;
    ok = ReadFile(in, block.data(), kMiB, &got, nullptr) &&
         WriteFile(out, block.data(), got, &put, nullptr) && put == got;
    if (got == kMiB) FlushFileBuffers(out);
  }
  FlushFileBuffers(out);
  CloseHandle(in);
  CloseHandle(out);
  return ok;
}

// Times `run` over the pairs, after deleting every target.
double Time(const std::vector<std::pair<std::string, std::string>>& pairs,
            const std::function<bool(const std::string&, const std::string&)>& run) {
  for (const auto& [from, to] : pairs)
    DeleteFileA(to.c_str());
  const double start = Seconds();
  for (const auto& [from, to] : pairs) {
    if (!run(from, to)) {
      std::fprintf(stderr, "copy of %s failed (error code %08lX, last error %lu)\n", from.c_str(),
                   qxGetErrCode(), GetLastError());
      std::exit(1);
    }
  }
  return Seconds() - start;
}

struct Peer {
  const char* name;
  std::function<bool(const std::string&, const std::string&)> run;
  double best = 1e30;
};

// Best times of the peers over `rounds`, the last peer being the engine.
void Race(const char* title, const std::vector<std::pair<std::string, std::string>>& pairs,
          double megabytes, int rounds, std::vector<Peer>& peers) {
  for (int round = 0; round < rounds; ++round) {
    for (Peer& peer : peers)
      peer.best = std::min(peer.best, Time(pairs, peer.run));
  }
  const double engine = peers.back().best;
  std::printf("%s, best of %d\n", title, rounds);
  for (const Peer& peer : peers)
    std::printf("  %-22s %9.1f MB/s  %8.3f s   engine / this %.3fx\n", peer.name,
                megabytes / peer.best, peer.best, peer.best / engine);
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&init);
  const DWORD mebibytes = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 256;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "qx-fileop-bench";
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\batch").c_str(), nullptr);

  QXHFILEOP op = qxCreateFileOpA(nullptr, 0);
  if (op == nullptr) {
    std::fprintf(stderr, "no file operation (error code %08lX)\n", qxGetErrCode());
    return 1;
  }
  const auto engine = [op](const std::string& from, const std::string& to) {
    return qxOperateFileOpA(op, QXFOP_COPY, from.c_str(), to.c_str(), QXFOF_OVERWRITE) != 0;
  };
  const auto copyFile = [](const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  };

  const std::vector<std::pair<std::string, std::string>> large = {
      {dir + "\\source.bin", dir + "\\target.bin"}};
  std::vector<std::pair<std::string, std::string>> batch;
  for (int i = 0; i < kBatchFiles; ++i) {
    const std::string name = dir + "\\batch\\" + std::to_string(i);
    batch.push_back({name + ".src", name + ".dst"});
  }
  bool made = WriteWholeFile(large[0].first, mebibytes * kMiB);
  for (const auto& [from, to] : batch)
    made = made && WriteWholeFile(from, kBatchFileSize);
  if (!made) {
    std::fprintf(stderr, "cannot write the sources below %s\n", dir.c_str());
    return 1;
  }

  std::vector<Peer> largePeers = {
      {"CopyFileA", copyFile}, {"flushing 1 MiB loop", FlushingCopy}, {"qxOperateFileOpA", engine}};
  const std::string title = "copy of one " + std::to_string(mebibytes) + " MiB file";
  Race(title.c_str(), large, mebibytes * 1.048576, rounds, largePeers);
  std::vector<Peer> batchPeers = {{"CopyFileA", copyFile}, {"qxOperateFileOpA", engine}};
  Race("copy of 2,000 files of 4 KiB", batch, kBatchFiles * kBatchFileSize / 1e6, rounds,
       batchPeers);
  std::printf("  engine per small file: %.3f ms\n", batchPeers.back().best * 1000 / kBatchFiles);

  qxCloseFileOp(op);
  for (const auto& [from, to] : batch) {
    DeleteFileA(from.c_str());
    DeleteFileA(to.c_str());
  }
  DeleteFileA(large[0].first.c_str());
  DeleteFileA(large[0].second.c_str());
  RemoveDirectoryA((dir + "\\batch").c_str());
  RemoveDirectoryA(dir.c_str());
  return 0;
}
