// Fuzzes the number formatter under the FigureSep exports: any input
// string, any format fields from the selector bytes, any capacity. The
// result must be a zero-terminated text within the capacity (or a failure),
// and the exports must return their buffer or null.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32_api.h"
#include "qxdll32.h"

namespace {

template <class Ch>
void Check(const Ch* out, int size, int result) {
  if (result == 0 || size == 0) return;  // size 0 asks for the length only
  if (result > size) __builtin_trap();
  if (out[result - 1] != 0) __builtin_trap();
  for (int i = 0; i < result - 1; ++i)
    if (out[i] == 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const UINT digits = data[0] % 11;  // 10 is out of range on purpose
  const UINT grouping = data[1] % 100;
  const UINT negativeOrder = data[2] % 6;
  const int capacity = data[3] % 48;
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string value = text.substr(0, text.find('\0'));

  char sep[] = ",";
  char dec[] = ".";
  const NUMBERFMTA format{digits, data[0] & 0x80u, grouping, dec, sep, negativeOrder};
  char out[48];
  Check(out, capacity, GetNumberFormatA(0x400, 0, value.c_str(), &format, out, capacity));

  std::u16string wide(value.begin(), value.end());
  WCHAR wsep[] = u"\u00A0";
  WCHAR wdec[] = u",";
  const NUMBERFMTW wformat{digits, 1, grouping, wdec, wsep, negativeOrder};
  WCHAR wout[48];
  Check(wout, capacity, GetNumberFormatW(0x400, 0, wide.c_str(), &wformat, wout, capacity));

  char* result = qxFigureSepStrA(value.c_str(), out, capacity, 0);
  if (result != nullptr &&
      (result != out || std::strlen(out) >= static_cast<std::size_t>(capacity)))
    __builtin_trap();
  long long number = 0;
  std::memcpy(&number, data, size < sizeof number ? size : sizeof number);
  result = qxFigureSepInt64A(number, out, capacity, data[2] & 3u);
  if (result != nullptr && result != out) __builtin_trap();
  return 0;
}
