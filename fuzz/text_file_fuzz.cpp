// Fuzzes the text file reader: the input (after two selector bytes) is
// written to a scratch file and read to the end in the A or W form with a
// buffer size from the selector, retrying each too-long line with a buffer
// large enough for the rest of the file. Every returned line must be
// terminated within the buffer and free of line-end and zero characters,
// the lines must never hold more characters than the file, and every
// failure must carry one of the reader's codes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "qxdll32.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/qx-text-file-fuzz-" + std::to_string(::getpid());
  return path;
}

bool WriteScratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

template <class Ch>
void ReadAll(QXHTEXTFILE file, QXBOOL (*read)(QXHTEXTFILE, Ch*, QXDWORD), QXDWORD size,
             std::size_t characters) {
  std::vector<Ch> line(std::max<std::size_t>(size, characters + 1) + 1);
  std::size_t total = 0;
  for (int calls = 0; calls < 1 << 20; ++calls) {
    const QXDWORD capacity = size;
    // A guard character past the capacity must survive every call.
    line[capacity] = Ch(0x5A);
    if (read(file, line.data(), capacity)) {
      if (line[capacity] != Ch(0x5A)) __builtin_trap();
      std::size_t n = 0;
      while (n < capacity && line[n] != 0) {
        if (line[n] == Ch('\r') || line[n] == Ch('\n')) __builtin_trap();
        ++n;
      }
      if (n == capacity) __builtin_trap();
      total += n;
      if (total > characters) __builtin_trap();
      continue;
    }
    const QXDWORD error = qxGetErrCode();
    if (error == QXERR_TOOLONG) {
      if (size > characters) __builtin_trap();  // everything left fits: no line is too long
      size = static_cast<QXDWORD>(characters + 1);
      continue;
    }
    if (error != QXERR_ENDOFFILE && error != QXERR_BADDATA && error != QXERR_UNAVAILABLE)
      __builtin_trap();
    return;
  }
  __builtin_trap();  // the reader never stops
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool wide = (data[0] & 1) != 0;
  const QXDWORD bufferSize = 1 + data[1] % 64;
  data += 2;
  size -= 2;
  if (!WriteScratch(data, size)) return 0;
  if (wide) {
    std::u16string name(ScratchPath().begin(), ScratchPath().end());
    QXHTEXTFILE file = qxOpenTextFileW(name.c_str());
    if (file == nullptr) __builtin_trap();
    ReadAll<QXWCHAR>(file, qxReadTextFileW, bufferSize, size / 2);
    if (qxCloseTextFile(file) != 1) __builtin_trap();
  } else {
    QXHTEXTFILE file = qxOpenTextFileA(ScratchPath().c_str());
    if (file == nullptr) __builtin_trap();
    ReadAll<char>(file, qxReadTextFileA, bufferSize, size);
    if (qxCloseTextFile(file) != 1) __builtin_trap();
  }
  std::remove(ScratchPath().c_str());
  return 0;
}
