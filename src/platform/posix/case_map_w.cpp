// CharLowerW and CharUpperW. Case mapping follows Unicode's simple
// one-to-one mappings through glibc's built-in C.UTF-8 locale, so it never
// depends on the user's locale; where that locale is missing only ASCII
// letters are mapped. As on Windows, a pointer whose high bits are zero
// carries one character in its low word and gets the converted one back;
// any other pointer is a zero-terminated string converted in place.
#include <cwctype>
#include <locale.h>

#include "platform/win32_api.h"

namespace {

locale_t CaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

// A code unit mapped only when the result is again one BMP unit that is not
// a surrogate, so a string never changes length.
template <bool kUpper>
WCHAR MapUnit(WCHAR unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
  const locale_t locale = CaseLocale();
  wint_t mapped;
  if (locale != static_cast<locale_t>(0)) {
    mapped = kUpper ? towupper_l(unit, locale) : towlower_l(unit, locale);
  } else if (kUpper) {
    mapped = unit >= u'a' && unit <= u'z' ? unit - 0x20 : unit;
  } else {
    mapped = unit >= u'A' && unit <= u'Z' ? unit + 0x20 : unit;
  }
  if (mapped > 0xFFFF || (mapped >= 0xD800 && mapped <= 0xDFFF)) return unit;
  return static_cast<WCHAR>(mapped);
}

template <bool kUpper>
LPWSTR ConvertCase(LPWSTR text) {
  const auto bits = reinterpret_cast<std::uintptr_t>(text);
  if ((bits >> 16) == 0) {
    const WCHAR unit = MapUnit<kUpper>(static_cast<WCHAR>(bits & 0xFFFF));
    return reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(unit));
  }
  for (WCHAR* p = text; *p != 0; ++p)
    *p = MapUnit<kUpper>(*p);
  return text;
}

}  // namespace

extern "C" LPWSTR CharLowerW(LPWSTR text) {
  return ConvertCase<false>(text);
}

extern "C" LPWSTR CharUpperW(LPWSTR text) {
  return ConvertCase<true>(text);
}
