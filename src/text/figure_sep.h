// Digit grouping of integers, written once for A and W. The grouping core
// takes the separator and the group size as inputs and hands the platform's
// number formatter a NUMBERFMT: no fractional digits, every group the size
// of the first, a negative number in parentheses. The exported forms read
// the separator and size from the user's locale at each call.
#pragma once

#include <cstdint>
#include <type_traits>

#include "platform/system_calls.h"
#include "text/decimal.h"

namespace qx::text {

inline constexpr std::uint32_t kFigureSigned = 0x1;    // the value is signed
inline constexpr std::uint32_t kFigureShowPlus = 0x2;  // with kFigureSigned: "+" when not negative

// The user's separator and grouping strings are read into buffers this size.
inline constexpr int kLocaleTextChars = 8;

// Room for a sign, the 20 digits of 2^64 - 1 and the terminator, and more.
inline constexpr int kDigitChars = 64;

template <class Ch>
struct DigitGrouping {
  Ch separator[kLocaleTextChars] = {};
  UINT groupSize = 0;  // 0: no grouping
};

// The user's thousands separator and the first size of the user's grouping
// ("3;2;0" gives 3). A reading that fails leaves an empty separator or no
// grouping, never a size made from a stray character.
template <class Ch>
DigitGrouping<Ch> UserDigitGrouping() noexcept {
  DigitGrouping<Ch> style;
  Ch grouping[kLocaleTextChars] = {};
  win::GetLocaleInfoT(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, style.separator, kLocaleTextChars);
  win::GetLocaleInfoT(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, kLocaleTextChars);
  if (grouping[0] >= Ch('0') && grouping[0] <= Ch('9'))
    style.groupSize = static_cast<UINT>(grouping[0] - Ch('0'));
  return style;
}

// The longest number string handed to the platform's formatter. Formatters
// read the number into fixed buffers: the A form refuses 128 characters and
// more, and Wine's W form overruns its stack on a few hundred digits, so
// both forms refuse longer strings before the call.
inline constexpr int kMaxNumberChars = 127;

// Formats a decimal string (optional minus, digits, at most one period;
// a fraction is rounded away) into `out` of `outSize` characters, the
// terminator included. Null when it does not fit, the string is not a
// number or longer than kMaxNumberChars, or `outSize` is 0 or below.
template <class Ch>
Ch* GroupDigits(const Ch* number, Ch* out, int outSize, DigitGrouping<Ch> style) noexcept {
  if (number == nullptr || out == nullptr || outSize <= 0) return nullptr;
  for (int i = 0; number[i] != 0; ++i) {
    if (i == kMaxNumberChars) return nullptr;
  }
  typename win::NumberFormat<Ch>::type format{};
  format.NumDigits = 0;
  // With no fractional digits a leading zero can only be the "0" of zero
  // itself; asking for it keeps formatters that would drop it from
  // printing nothing.
  format.LeadingZero = 1;
  format.Grouping = style.groupSize;
  format.lpDecimalSep = style.separator;  // never shown without fractional digits
  format.lpThousandSep = style.separator;
  format.NegativeOrder = 0;
  return win::GetNumberFormatT(LOCALE_USER_DEFAULT, number, &format, out, outSize) != 0 ? out
                                                                                        : nullptr;
}

// An integer given as magnitude and sign, grouped. A shown plus sign goes
// in front of the grouped digits, since the formatter reads no plus sign.
template <class Ch>
Ch* GroupInteger(std::uint64_t magnitude, bool negative, bool plus, Ch* out, int outSize,
                 const DigitGrouping<Ch>& style) noexcept {
  Ch digits[kDigitChars];
  Ch* p = digits;
  if (negative) *p++ = Ch('-');
  WriteDecimal(magnitude, p);
  if (!plus) return GroupDigits(digits, out, outSize, style);
  if (out == nullptr || outSize <= 1 || GroupDigits(digits, out + 1, outSize - 1, style) == nullptr)
    return nullptr;
  out[0] = Ch('+');
  return out;
}

// A 32- or 64-bit value read by the flags: unsigned without kFigureSigned
// (-1 reads as 2^32 - 1 or 2^64 - 1), else signed, the most negative value
// included.
template <class Ch, class Signed>
Ch* FigureSepInteger(Signed value, Ch* out, int outSize, std::uint32_t flags) noexcept {
  using Unsigned = std::make_unsigned_t<Signed>;
  const bool isSigned = (flags & kFigureSigned) != 0;
  const bool negative = isSigned && value < 0;
  const Unsigned bits = static_cast<Unsigned>(value);
  const Unsigned magnitude = negative ? static_cast<Unsigned>(0u - bits) : bits;
  const bool plus = isSigned && !negative && (flags & kFigureShowPlus) != 0;
  return GroupInteger<Ch>(magnitude, negative, plus, out, outSize, UserDigitGrouping<Ch>());
}

}  // namespace qx::text
