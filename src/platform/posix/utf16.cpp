#include "platform/posix/utf16.h"

namespace qx::platform {
namespace {

// Decodes one sequence at text[i], advancing i; U+FFFD for a bad one.
char32_t DecodeOne(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int follow = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (follow < 0 || lead >= 0xF5) return 0xFFFD;
  char32_t c = lead & (0x3F >> follow);
  for (; follow > 0; --follow) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return c;
}

}  // namespace

bool Utf8ToUtf16(std::string_view text, WCHAR* out, std::size_t size) {
  if (size == 0) return false;
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = DecodeOne(text, i);
    const std::size_t units = c >= 0x10000 ? 2 : 1;
    if (n + units >= size) {
      out[n] = 0;
      return false;
    }
    if (units == 2) {
      out[n++] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
      out[n++] = static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out[n++] = static_cast<WCHAR>(c);
    }
  }
  out[n] = 0;
  return true;
}

}  // namespace qx::platform
