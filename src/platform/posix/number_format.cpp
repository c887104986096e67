// GetNumberFormatA/W: a decimal string ("-1234.5": optional minus, digits,
// at most one period) rounded to NumDigits fraction digits (halves away
// from zero), its integer digits grouped from the right, and the sign
// placed by NegativeOrder.
#include <string>

#include "platform/posix/locale_info.h"
#include "platform/posix/last_error.h"
#include "platform/posix/utf16.h"
#include "platform/win32_api.h"

namespace qx::platform {
namespace {

constexpr UINT kMaxNumDigits = 9;
constexpr UINT kMaxNegativeOrder = 4;

struct Parsed {
  bool negative = false;
  std::string integer;   // digits, no leading zeros (may be empty)
  std::string fraction;  // digits as given
};

template <class Ch>
bool Parse(const Ch* value, Parsed& out) {
  const Ch* p = value;
  if (*p == Ch('-')) out.negative = true, ++p;
  bool period = false;
  bool digit = false;
  for (; *p != 0; ++p) {
    if (*p >= Ch('0') && *p <= Ch('9')) {
      digit = true;
      std::string& part = period ? out.fraction : out.integer;
      if (!period && part.empty() && *p == Ch('0')) continue;
      part += static_cast<char>(*p);
    } else if (*p == Ch('.') && !period) {
      period = true;
    } else {
      return false;
    }
  }
  return digit;
}

// Rounds the fraction to `digits` places, carrying into the integer part.
void Round(Parsed& number, UINT digits) {
  if (number.fraction.size() <= digits) {
    number.fraction.append(digits - number.fraction.size(), '0');
    return;
  }
  const bool up = number.fraction[digits] >= '5';
  number.fraction.resize(digits);
  if (!up) return;
  std::string whole = number.integer + number.fraction;
  std::size_t i = whole.size();
  while (i > 0 && whole[i - 1] == '9')
    whole[--i] = '0';
  if (i == 0) {
    whole.insert(whole.begin(), '1');
  } else {
    ++whole[i - 1];
  }
  number.integer = whole.substr(0, whole.size() - digits);
  number.fraction = whole.substr(whole.size() - digits);
}

// The size of the group at `index` counted from the decimal separator: the
// decimal digits of Grouping in turn, the last repeating; 0 ends grouping.
UINT GroupSize(const std::string& sizes, std::size_t index) {
  return static_cast<UINT>(sizes[index < sizes.size() ? index : sizes.size() - 1] - '0');
}

template <class Ch>
void Append(std::basic_string<Ch>& out, const Ch* text) {
  for (; *text != 0; ++text)
    out += *text;
}

template <class Ch>
std::basic_string<Ch> GroupedInteger(const std::string& digits, UINT grouping, const Ch* sep) {
  std::basic_string<Ch> reversed;
  std::basic_string<Ch> sepReversed;
  for (const Ch* s = sep; *s != 0; ++s)
    sepReversed.insert(sepReversed.begin(), *s);
  const std::string sizes = std::to_string(grouping);
  std::size_t group = 0;
  UINT size = GroupSize(sizes, 0);
  UINT inGroup = 0;
  for (std::size_t i = digits.size(); i > 0; --i) {
    if (size != 0 && inGroup == size) {
      reversed += sepReversed;
      size = GroupSize(sizes, ++group);
      inGroup = 0;
    }
    reversed += static_cast<Ch>(digits[i - 1]);
    ++inGroup;
  }
  return {reversed.rbegin(), reversed.rend()};
}

template <class Ch, class Format>
std::basic_string<Ch> Compose(Parsed number, const Format& format) {
  Round(number, format.NumDigits);
  const bool zero =
      number.integer.empty() && number.fraction.find_first_not_of('0') == std::string::npos;
  std::basic_string<Ch> body;
  if (!number.integer.empty() || format.LeadingZero != 0 || format.NumDigits == 0)
    body = GroupedInteger(number.integer.empty() ? std::string("0") : number.integer,
                          format.Grouping, format.lpThousandSep);
  if (format.NumDigits > 0) {
    Append(body, static_cast<const Ch*>(format.lpDecimalSep));
    for (char c : number.fraction)
      body += static_cast<Ch>(c);
  }
  if (!number.negative || zero) return body;
  static constexpr const char* kPatterns[] = {"(#)", "-#", "- #", "#-", "# -"};
  std::basic_string<Ch> out;
  for (const char* p = kPatterns[format.NegativeOrder]; *p != '\0'; ++p) {
    if (*p == '#') {
      out += body;
    } else {
      out += static_cast<Ch>(*p);
    }
  }
  return out;
}

template <class Ch>
struct OwnedFormat {
  UINT NumDigits = 2;
  UINT LeadingZero = 1;
  UINT Grouping = 3;
  std::basic_string<Ch> decimal;
  std::basic_string<Ch> thousands;
  const Ch* lpDecimalSep = nullptr;
  const Ch* lpThousandSep = nullptr;
  UINT NegativeOrder = 1;
};

// A separator in the caller's character type.
void SetText(std::string& out, const std::string& utf8) {
  out = CodePageText(utf8);
}

void SetText(std::basic_string<WCHAR>& out, const std::string& utf8) {
  WCHAR units[64];
  Utf8ToUtf16(utf8, units, 64);
  out = units;
}

// The user's own format, for a call without one.
template <class Ch>
void UserFormat(OwnedFormat<Ch>& format) {
  const NumericLocale numeric = UserNumericLocale();
  SetText(format.decimal, numeric.decimal);
  SetText(format.thousands, numeric.thousands);
  format.lpDecimalSep = format.decimal.c_str();
  format.lpThousandSep = format.thousands.c_str();
  // "3;2;0" becomes 32: the sizes before the closing ";0".
  UINT grouping = 0;
  for (std::size_t i = 0; i < numeric.grouping.size(); i += 2) {
    const UINT size = static_cast<UINT>(numeric.grouping[i] - '0');
    if (size == 0) break;
    grouping = grouping * 10 + size;
  }
  format.Grouping = grouping;
}

template <class Ch, class Format>
int FormatNumber(LCID locale, DWORD flags, const Ch* value, const Format* format, Ch* out,
                 int size) {
  if (value == nullptr || size < 0 || (size > 0 && out == nullptr) ||
      (locale != 0 && locale != LOCALE_USER_DEFAULT && locale != 0x800)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  if (format != nullptr && flags != 0) return Fail(ERROR_INVALID_FLAGS, 0);
  if (format != nullptr &&
      (format->NumDigits > kMaxNumDigits || format->NegativeOrder > kMaxNegativeOrder ||
       format->lpDecimalSep == nullptr || format->lpThousandSep == nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  Parsed number;
  if (!Parse(value, number)) return Fail(ERROR_INVALID_PARAMETER, 0);
  std::basic_string<Ch> text;
  if (format != nullptr) {
    text = Compose<Ch>(number, *format);
  } else {
    OwnedFormat<Ch> own;
    UserFormat(own);
    text = Compose<Ch>(number, own);
  }
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (size < needed) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  text.copy(out, text.size());
  out[text.size()] = 0;
  return needed;
}

}  // namespace
}  // namespace qx::platform

extern "C" int GetNumberFormatA(LCID locale, DWORD flags, LPCSTR value, const NUMBERFMTA* format,
                                LPSTR out, int size) {
  return qx::platform::FormatNumber(locale, flags, value, format, out, size);
}

extern "C" int GetNumberFormatW(LCID locale, DWORD flags, LPCWSTR value, const NUMBERFMTW* format,
                                LPWSTR out, int size) {
  return qx::platform::FormatNumber(locale, flags, value, format, out, size);
}
