// Fuzzes encoding detection: the input becomes a zero-terminated text in a
// block of exactly its size; the answer must be one of the four codes and
// ASCII-only text must come out as Shift_JIS.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "qxdll32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto text = std::make_unique<char[]>(size + 1);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';
  const int code = qxJudgeJpnCodeType(text.get());
  if (code < QXJCODE_NOTTEXT || code > QXJCODE_EUC) __builtin_trap();
  bool printable = true;
  for (std::size_t i = 0; i < size && text[i] != '\0'; ++i)
    printable = printable && data[i] >= 0x20 && data[i] < 0x7F;
  if (printable && code != QXJCODE_SJIS) __builtin_trap();
  return 0;
}
