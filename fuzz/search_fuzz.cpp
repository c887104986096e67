// Fuzzes the search engine: the input is split into a pattern and a text;
// the pattern is compiled in the mode its first byte selects, in both
// forms, and each text is scanned by the library and by the plain reference
// (results must agree), and searched by the small matcher (its result must
// point into the text). Strings live in blocks of exactly their size, so
// any read past a terminator is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "qxdll32.h"
#include "search/reference_scan.h"
#include "search/saa_node.h"

namespace {

template <class Ch>
std::unique_ptr<Ch[]> Terminated(const std::uint8_t* data, std::size_t size) {
  const std::size_t length = size / sizeof(Ch);
  auto text = std::make_unique<Ch[]>(length + 1);
  std::memcpy(text.get(), data, length * sizeof(Ch));
  text[length] = 0;
  return text;
}

template <class Ch>
std::size_t Length(const Ch* text) {
  std::size_t n = 0;
  while (text[n] != 0)
    ++n;
  return n;
}

template <class Ch>
void Run(unsigned flags, const std::uint8_t* pattern, std::size_t patternSize,
         const std::uint8_t* text, std::size_t textSize) {
  auto p = Terminated<Ch>(pattern, patternSize);
  auto t = Terminated<Ch>(text, textSize);
  const std::size_t textLength = Length(t.get());

  QXHCVT cvt;
  if constexpr (sizeof(Ch) == 1) {
    cvt = qxSaaCreateCvtA(p.get(), flags);
  } else {
    cvt = qxSaaCreateCvtW(p.get(), flags);
  }
  if (cvt != nullptr) {
    auto& root = *reinterpret_cast<qx::search::SaaNode*>(cvt);
    const Ch* expected = qxtest::ReferenceScan<Ch>().Run(root, t.get());
    const QXDWORD expectedLength = root.matchLength;
    const Ch* found;
    if constexpr (sizeof(Ch) == 1) {
      found = qxSaaScanStringA(cvt, t.get());
    } else {
      found = qxSaaScanStringW(cvt, t.get());
    }
    if (found != expected || qxSaaGetMatchLength(cvt) != expectedLength) __builtin_trap();
    if (found != nullptr && (found < t.get() || found > t.get() + textLength)) __builtin_trap();
    if (qxSaaCloseCvt(cvt) != 1) __builtin_trap();
  }

  const Ch* grep;
  if constexpr (sizeof(Ch) == 1) {
    grep = qxGrepA(t.get(), p.get());
  } else {
    grep = qxGrepW(t.get(), p.get());
  }
  if (grep != nullptr && (grep < t.get() || grep > t.get() + textLength)) __builtin_trap();
}

}  // namespace

// Layout: selector byte, pattern length byte, pattern, text. The reference
// recurses once per repeated element, so inputs stay short.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  const unsigned selector = data[0];
  std::size_t patternSize = data[1];
  data += 2;
  size -= 2;
  if (patternSize > size) patternSize = size;
  const unsigned flags = selector & 3;
  if (selector & 4) {
    // A W node holds a 256 KiB table: short W patterns keep runs fast.
    if (patternSize > 64) patternSize = 64;
    Run<QXWCHAR>(flags, data, patternSize, data + patternSize, size - patternSize);
  } else {
    Run<char>(flags, data, patternSize, data + patternSize, size - patternSize);
  }
  return 0;
}
