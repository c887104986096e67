// Fuzzes whole-buffer detection: the input in a block of exactly its size,
// so the sanitizers catch a read past it; the answer must be one of the
// codes, and printable ASCII with tabs and line feeds must be ASCII.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "qxdll32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto block = std::make_unique<std::uint8_t[]>(size);
  std::memcpy(block.get(), data, size);
  const int code = qxJudgeTextCode(block.get(), static_cast<QXDWORD>(size));
  switch (code) {
    case QXJCODE_NOTTEXT:
    case QXJCODE_SJIS:
    case QXJCODE_JIS:
    case QXJCODE_EUC:
    case QXJCODE_ASCII:
    case QXJCODE_UTF8:
    case QXJCODE_UTF16LE:
    case QXJCODE_UTF16BE:
      break;
    default:
      __builtin_trap();
  }
  bool ascii = true;
  for (std::size_t i = 0; i < size; ++i)
    ascii = ascii && ((data[i] >= 0x20 && data[i] < 0x7F) || data[i] == '\n' || data[i] == '\t');
  if (ascii && code != QXJCODE_ASCII) __builtin_trap();
  return 0;
}
