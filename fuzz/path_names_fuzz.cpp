// Fuzzes the path and URL helpers in both forms. The input (after a
// selector byte) becomes a string in a block of exactly its size, so any
// step past the terminator is caught; results must point into the string
// and rewrites may only shorten it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "qxdll32.h"

namespace {

template <class Ch>
std::unique_ptr<Ch[]> Terminated(const std::uint8_t* data, std::size_t size, std::size_t& length) {
  length = size / sizeof(Ch);
  auto text = std::make_unique<Ch[]>(length + 1);
  std::memcpy(text.get(), data, length * sizeof(Ch));
  text[length] = 0;
  // An embedded zero ends the string early, as for any C caller.
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == 0) {
      length = i;
      break;
    }
  }
  return text;
}

template <class Ch>
void CheckInside(const Ch* result, const Ch* text, std::size_t length) {
  if (result != nullptr && (result < text || result > text + length)) __builtin_trap();
}

template <class Ch>
std::size_t Length(const Ch* text) {
  std::size_t n = 0;
  while (text[n] != 0)
    ++n;
  return n;
}

template <class Ch>
void Run(unsigned selector, const std::uint8_t* data, std::size_t size, Ch* (*scanFile)(Ch*),
         Ch* (*scanExt)(Ch*), QXBOOL (*path)(Ch*), QXBOOL (*url)(Ch*)) {
  std::size_t length = 0;
  auto text = Terminated<Ch>(data, size, length);
  switch (selector % 4) {
    case 0:
      CheckInside(scanFile(text.get()), text.get(), length);
      break;
    case 1:
      CheckInside(scanExt(text.get()), text.get(), length);
      break;
    case 2:
      if (path(text.get()) != 1 || Length(text.get()) > length) __builtin_trap();
      break;
    default:
      if (url(text.get()) != 1 || Length(text.get()) > length) __builtin_trap();
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned selector = data[0];
  ++data;
  --size;
  if (selector & 4) {
    Run<QXWCHAR>(selector, data, size, qxScanFileNameW, qxScanExtNameW, qxControlRightPathW,
                 qxControlRightUrlW);
  } else {
    Run<char>(selector, data, size, qxScanFileNameA, qxScanExtNameA, qxControlRightPathA,
              qxControlRightUrlA);
  }
  return 0;
}
