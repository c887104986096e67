// ISO-2022-JP as the conversion writes and reads it. Written: every run of
// double-byte characters between ESC $ B (JIS X 0208) and ESC ( J (JIS X
// 0201 Roman), one bracket per run. Read: ESC $ x and ESC K switch to
// double-byte mode, ESC ( x and ESC H back; the x of the three-byte forms
// is not examined. An escape byte before anything else is kept as text.
#pragma once

namespace qx::jcode {

inline constexpr unsigned char kEsc = 0x1B;
inline constexpr unsigned char kEnterKanji[3] = {kEsc, '$', 'B'};
inline constexpr unsigned char kEnterRoman[3] = {kEsc, '(', 'J'};

enum class Escape {
  kKanji,     // double-byte mode on
  kRoman,     // double-byte mode off
  kText,      // not an escape sequence: the escape byte is text
  kCutShort,  // the text ends inside the sequence
};

struct EscapeStep {
  Escape kind;
  unsigned length;  // bytes the sequence takes, the escape byte included
};

// Reads the sequence at p (p[0] is ESC) without looking past a terminator.
inline EscapeStep ReadEscape(const unsigned char* p) noexcept {
  switch (p[1]) {
    case '$':
      return p[2] == 0 ? EscapeStep{Escape::kCutShort, 0} : EscapeStep{Escape::kKanji, 3};
    case '(':
      return p[2] == 0 ? EscapeStep{Escape::kCutShort, 0} : EscapeStep{Escape::kRoman, 3};
    case 'K':
      return {Escape::kKanji, 2};
    case 'H':
      return {Escape::kRoman, 2};
    case 0:
      return {Escape::kCutShort, 0};
    default:
      return {Escape::kText, 1};
  }
}

}  // namespace qx::jcode
