// The ANSI code page of the POSIX build. There is no system code page to
// ask, so the library takes Shift_JIS (932) unless QXDLL_CODEPAGE names
// 1252 when it loads; lead bytes and single-byte case mapping follow the
// chosen page as the Windows calls would report them.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/win32_api.h"

namespace {

UINT ChooseCodePage() {
  const char* value = std::getenv("QXDLL_CODEPAGE");
  return value != nullptr && std::strcmp(value, "1252") == 0 ? 1252u : 932u;
}

UINT ActiveCodePage() {
  static const UINT page = ChooseCodePage();
  return page;
}

bool IsAsciiUpper(BYTE c) {
  return c >= 'A' && c <= 'Z';
}
bool IsAsciiLower(BYTE c) {
  return c >= 'a' && c <= 'z';
}

// Windows-1252 letters outside ASCII: U+00C0-U+00DE (but the multiplication
// sign 0xD7) pair with 0xE0-0xFE, and four letters in 0x80-0x9F pair up.
bool Is1252Upper(BYTE c) {
  return (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F;
}

bool Is1252Lower(BYTE c) {
  return (c >= 0xE0 && c <= 0xFE && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E || c == 0xFF;
}

BYTE ToLower(BYTE c) {
  if (IsAsciiUpper(c)) return static_cast<BYTE>(c + 0x20);
  if (ActiveCodePage() != 1252 || !Is1252Upper(c)) return c;
  if (c == 0x9F) return 0xFF;
  return static_cast<BYTE>(c >= 0xC0 ? c + 0x20 : c + 0x10);
}

BYTE ToUpper(BYTE c) {
  if (IsAsciiLower(c)) return static_cast<BYTE>(c - 0x20);
  if (ActiveCodePage() != 1252 || !Is1252Lower(c)) return c;
  if (c == 0xFF) return 0x9F;
  return static_cast<BYTE>(c >= 0xE0 ? c - 0x20 : c - 0x10);
}

// Like the Windows calls: a pointer whose high bits are zero carries one
// character in its low byte and the result carries the converted one; any
// other pointer is a zero-terminated string converted in place (double-byte
// characters left as they are).
template <BYTE (*Convert)(BYTE)>
LPSTR ConvertCase(LPSTR text) {
  const auto bits = reinterpret_cast<std::uintptr_t>(text);
  if ((bits >> 16) == 0) {
    const auto c = static_cast<BYTE>(bits & 0xFF);
    return reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(Convert(c)));
  }
  for (char* p = text; *p != '\0'; ++p) {
    const auto c = static_cast<BYTE>(*p);
    if (IsDBCSLeadByte(c)) {
      if (p[1] == '\0') break;
      ++p;
      continue;
    }
    *p = static_cast<char>(Convert(c));
  }
  return text;
}

}  // namespace

extern "C" UINT GetACP() {
  return ActiveCodePage();
}

extern "C" BOOL IsDBCSLeadByte(BYTE c) {
  if (ActiveCodePage() != 932) return FALSE;
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? TRUE : FALSE;
}

extern "C" LPSTR CharLowerA(LPSTR text) {
  return ConvertCase<ToLower>(text);
}

extern "C" LPSTR CharUpperA(LPSTR text) {
  return ConvertCase<ToUpper>(text);
}
