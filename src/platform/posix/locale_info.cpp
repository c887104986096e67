// GetLocaleInfoA/W for the user's numeric items.
#include "platform/posix/locale_info.h"

#include <climits>
#include <cstdlib>
#include <clocale>
#include <langinfo.h>

#include "platform/posix/last_error.h"
#include "platform/posix/utf16.h"
#include "platform/win32_api.h"

namespace qx::platform {

std::string Win32Grouping(const char* posixGrouping) {
  std::string sizes;
  bool repeats = true;
  for (const char* p = posixGrouping; *p != '\0'; ++p) {
    if (*p == CHAR_MAX || *p <= 0 || *p > 9) {
      repeats = *p != CHAR_MAX && *p > 0;
      break;
    }
    sizes += static_cast<char>('0' + *p);
  }
  if (sizes.empty()) return "0";
  // "\3\3" and "\3" both mean groups of three throughout.
  while (repeats && sizes.size() > 1 && sizes[sizes.size() - 1] == sizes[sizes.size() - 2])
    sizes.pop_back();
  std::string out;
  for (char size : sizes) {
    out += size;
    out += ';';
  }
  if (repeats) return out + '0';
  out.pop_back();
  return out;
}

namespace {

NumericLocale LoadNumericLocale() {
  locale_t numeric = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr))
    numeric = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr)) return NumericLocale{"", ".", "0"};
  NumericLocale out{std::string(::nl_langinfo_l(THOUSEP, numeric)),
                    std::string(::nl_langinfo_l(RADIXCHAR, numeric)),
                    Win32Grouping(::nl_langinfo_l(GROUPING, numeric))};
  ::freelocale(numeric);
  return out;
}

// The environment names newlocale(..., "", ...) resolves LC_NUMERIC from.
std::string NumericLocaleName() {
  std::string name;
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG", "LOCPATH"}) {
    const char* value = std::getenv(variable);
    name += value != nullptr ? value : "";
    name += '\n';
  }
  return name;
}

}  // namespace

// Loading a locale costs microseconds, so each thread keeps the last one it
// loaded together with the environment names it came from, and loads again
// only when those change.
NumericLocale UserNumericLocale() {
  thread_local std::string loadedFrom;
  thread_local NumericLocale loaded;
  std::string name = NumericLocaleName();
  if (loadedFrom.empty() || name != loadedFrom) {
    loaded = LoadNumericLocale();
    loadedFrom = std::move(name);
  }
  return loaded;
}

namespace {

// One code point of UTF-8 text, advancing i; U+FFFD for a bad sequence.
char32_t NextCodePoint(const std::string& text, std::size_t& i) {
  WCHAR units[3];
  std::size_t length = 1;
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  Utf8ToUtf16(std::string_view(text).substr(i, length), units, 3);
  i += length;
  if (units[0] >= 0xD800 && units[0] < 0xDC00)
    return 0x10000 + ((units[0] - 0xD800u) << 10) + (units[1] - 0xDC00u);
  return units[0];
}

}  // namespace

std::string CodePageText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c == 0xA0 || c == 0x202F || c == 0x2009) {
      out += ' ';
    } else if (c == 0x2019) {
      out += GetACP() == 1252 ? '\x92' : '\'';
    } else if (GetACP() == 1252 && c < 0x100) {
      out += static_cast<char>(c);
    } else {
      out += '?';
    }
  }
  return out;
}

namespace {

bool KnownLocale(LCID locale) {
  return locale == 0 || locale == LOCALE_USER_DEFAULT || locale == 0x800;
}

// The item's text in UTF-8, or false for an item this layer does not keep.
bool ItemText(LCTYPE type, std::string& out) {
  const NumericLocale numeric = UserNumericLocale();
  switch (type) {
    case LOCALE_STHOUSAND:
      out = numeric.thousands;
      return true;
    case LOCALE_SDECIMAL:
      out = numeric.decimal;
      return true;
    case LOCALE_SGROUPING:
      out = numeric.grouping;
      return true;
    default:
      return false;
  }
}

// Win32's copy-out: size 0 asks for the length; too small a buffer fails.
template <class Ch>
int CopyOut(const Ch* text, int length, Ch* data, int size) {
  if (size == 0) return length + 1;
  if (size < length + 1) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  for (int i = 0; i < length; ++i)
    data[i] = text[i];
  data[length] = 0;
  return length + 1;
}

bool CheckArguments(LCID locale, LCTYPE type, const void* data, int size, std::string& text) {
  if (size < 0 || (size > 0 && data == nullptr) || !KnownLocale(locale))
    return Fail(ERROR_INVALID_PARAMETER, false);
  if (!ItemText(type, text)) return Fail(ERROR_INVALID_FLAGS, false);
  return true;
}

}  // namespace
}  // namespace qx::platform

extern "C" int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size) {
  std::string text;
  if (!qx::platform::CheckArguments(locale, type, data, size, text)) return 0;
  const std::string bytes = qx::platform::CodePageText(text);
  return qx::platform::CopyOut(bytes.c_str(), static_cast<int>(bytes.size()), data, size);
}

extern "C" int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size) {
  std::string text;
  if (!qx::platform::CheckArguments(locale, type, data, size, text)) return 0;
  WCHAR units[64];
  qx::platform::Utf8ToUtf16(text, units, 64);
  int length = 0;
  while (units[length] != 0)
    ++length;
  return qx::platform::CopyOut(units, length, data, size);
}
