// One decoder and one encoder per encoding that qxConvertTextCode knows,
// all of the same shape, so that the conversion loop is one template.
//
// A decoder's Read takes the bytes left (at least one; any count from
// kLongest up reads alike) and returns a Step: a character, kMalformed for
// a sequence that is none (an unknown code, a sequence cut short, an
// unpaired surrogate), or kNoChar for bytes that only switch a mode (JIS
// escapes), with the bytes it took. Malformed input never swallows a byte
// that could be ASCII: a lead byte before such a byte is malformed on its
// own, and the byte is read again.
//
// An encoder's Write puts a character at `out`, which has room for
// kMaxBytes, and returns the end of what it wrote, or null (writing
// nothing) when the encoding cannot hold the character. Finish returns a
// stateful encoder to its initial mode.
//
// Both say whether ASCII passes through them unchanged (AsciiOpen, in the
// current mode), one unit of kUnitBytes per character, which lets the loop
// copy runs of it without a step per character.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jcode/char_class.h"
#include "jcode/cp932.h"
#include "jcode/euc_jp.h"
#include "jcode/iso2022_jp.h"
#include "jcode/sjis.h"
#include "jcode/utf8_lead.h"

namespace qx::jcode::codec {

using In = const unsigned char*;
using Out = unsigned char*;

inline constexpr char32_t kMalformed = 0x110000;
inline constexpr char32_t kNoChar = 0x110001;
inline constexpr char32_t kBom = 0xFEFF;

struct Step {
  char32_t c;
  std::uint32_t size;
};

// How a codec lays out a code unit: a byte, or two in either byte order.
// An ASCII character is one unit.
template <unsigned kBytes, bool kBig = false>
struct UnitLayout {
  static constexpr unsigned kUnitBytes = kBytes;
  static constexpr bool kBigEndian = kBig;
  static char32_t LoadUnit(In p) {
    if constexpr (kBytes == 1) return p[0];
    return kBig ? p[0] << 8 | p[1] : p[1] << 8 | p[0];
  }
  static Out StoreUnit(char32_t u, Out p) {
    if constexpr (kBytes == 2)
      return kBig ? PutBytes(u >> 8, u & 0xFF, p) : PutBytes(u & 0xFF, u >> 8, p);
    *p = static_cast<unsigned char>(u);
    return p + 1;
  }
};

// Half-width katakana: U+FF61-U+FF9F, single bytes 0xA1-0xDF in Shift_JIS,
// 0x8E and that byte in EUC-JP, 0x21-0x5F in JIS X 0201 katakana mode.
inline constexpr char32_t kKanaFirst = 0xFF61;
inline constexpr unsigned kKanaCount = 0x3F;
inline constexpr unsigned char kKanaByteFirst = 0xA1;

inline bool IsKana(char32_t c) {
  return c - kKanaFirst < kKanaCount;
}

inline bool IsJisByte(unsigned char b) {
  return b >= 0x21 && b <= 0x7E;
}

inline bool IsEucByte(unsigned char b) {
  return b >= kEucLow && b <= 0xFE;
}

inline Out PutPair(std::uint16_t pair, Out out) {
  return PutBytes(pair >> 8, pair & 0xFF, out);
}

// A pair the code page does not map is one malformed sequence, but a
// second byte that could be ASCII is left to be read again.
inline Step PairStep(char16_t c, unsigned char second) {
  return c != 0 ? Step{c, 2} : Step{kMalformed, second < 0x80 ? 1u : 2u};
}

struct SjisDecoder : UnitLayout<1> {
  static constexpr bool kUnicode = false;
  static constexpr std::size_t kLongest = 2;
  static bool AsciiOpen() { return true; }
  // The pair is looked up first: its table says 0 for a first byte that
  // is no lead byte as well. Every pair's character is above U+007F, and
  // the test says so to the compiler too.
  static Step Read(In p, std::size_t left) {
    const unsigned char second = left >= 2 ? p[1] : 0;
    const char16_t pair = Cp932Pair(p[0], second);
    if (pair >= 0x80) [[likely]]
      return {pair, 2};
    if (!IsSjisLead(p[0])) return {Cp932Single(p[0]), 1};
    return PairStep(0, second);
  }
};

// JIS X 0212 (0x8F and two bytes) is not read: one malformed sequence.
struct EucDecoder : UnitLayout<1> {
  static constexpr bool kUnicode = false;
  static constexpr unsigned char kSs2 = 0x8E, kSs3 = 0x8F;
  static constexpr std::size_t kLongest = 3;
  static bool AsciiOpen() { return true; }
  static Step Read(In p, std::size_t left) {
    const unsigned char b = p[0], second = left >= 2 ? p[1] : 0;
    if (b < 0x80) return {b, 1};
    // Every pair's character is above U+007F, as for Shift_JIS.
    if (IsEucByte(b) && IsEucByte(second)) [[likely]] {
      const char16_t pair = Cp932JisPair(EucToJis(b), EucToJis(second));
      return pair >= 0x80 ? Step{pair, 2} : Step{kMalformed, 2};
    }
    if (b == kSs2 && second >= kKanaByteFirst && second < kKanaByteFirst + kKanaCount)
      return {kKanaFirst + second - kKanaByteFirst, 2};
    if (left >= 3 && b == kSs3 && IsEucByte(second) && IsEucByte(p[2])) return {kMalformed, 3};
    return {kMalformed, 1};
  }
};

// Escapes as iso2022_jp.h reads them; ESC ( I (JIS X 0201 katakana) is the
// one single-byte set told apart. Control bytes are themselves in every
// mode, and bytes 0xA1-0xDF in single-byte mode are half-width katakana,
// as 8-bit JIS writes them.
struct JisDecoder : UnitLayout<1> {
  static constexpr bool kUnicode = false;
  static constexpr std::size_t kLongest = 3;
  enum class Mode { kAscii, kKanji, kKana } mode = Mode::kAscii;

  bool AsciiOpen() const { return mode == Mode::kAscii; }
  Step Read(In p, std::size_t left) {
    const unsigned char b = p[0];
    if (b == kEsc) return Switch(p, left);
    if (IsJisByte(b) && mode == Mode::kKanji) {
      if (left < 2 || !IsJisByte(p[1])) return {kMalformed, 1};
      return PairStep(Cp932JisPair(b, p[1]), p[1]);
    }
    if (IsJisByte(b) && mode == Mode::kKana)
      return b < 0x21 + kKanaCount ? Step{kKanaFirst + b - 0x21, 1} : Step{kMalformed, 1};
    if (b < 0x80) return {b, 1};
    if (b >= kKanaByteFirst && b < kKanaByteFirst + kKanaCount)
      return {kKanaFirst + b - kKanaByteFirst, 1};
    return {kMalformed, 1};
  }

 private:
  // An escape byte that opens no sequence, or one cut short, is malformed.
  Step Switch(In p, std::size_t left) {
    unsigned char sequence[3] = {kEsc, 0, 0};
    std::memcpy(sequence + 1, p + 1, std::min<std::size_t>(left - 1, 2));
    const EscapeStep step = ReadEscape(sequence);
    if (step.kind == Escape::kKanji) {
      mode = Mode::kKanji;
    } else if (step.kind == Escape::kRoman) {
      mode = step.length == 3 && sequence[2] == 'I' ? Mode::kKana : Mode::kAscii;
    } else {
      return {kMalformed, 1};
    }
    return {kNoChar, step.length};
  }
};

// Overlong forms, surrogates and values past U+10FFFF are malformed; a
// malformed sequence is its longest valid beginning, or its first byte.
struct Utf8Decoder : UnitLayout<1> {
  static constexpr bool kUnicode = true;
  static constexpr std::size_t kLongest = 4;
  static bool AsciiOpen() { return true; }
  static Step Read(In p, std::size_t left) {
    const unsigned char b = p[0];
    if (b < 0x80) return {b, 1};
    // Most Japanese characters take three bytes: checked at once.
    if ((b & 0xF0) == 0xE0 && left >= 3) [[likely]] {
      const char32_t c = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
      if ((p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80 && c >= 0x800 && (c & 0xF800) != 0xD800)
        return {c, 3};
    }
    const Utf8Lead lead = kUtf8Lead[b];
    if (lead.length == 0) return {kMalformed, 1};
    const std::uint32_t size = lead.length;
    char32_t c = b & (0x7F >> size);
    for (std::uint32_t i = 1; i < size; ++i) {
      if (i >= left || p[i] < (i == 1 ? lead.low : 0x80) || p[i] > (i == 1 ? lead.high : 0xBF))
        return {kMalformed, i};
      c = c << 6 | (p[i] & 0x3F);
    }
    return {c, size};
  }
};

template <bool kBig>
struct Utf16Decoder : UnitLayout<2, kBig> {
  static constexpr bool kUnicode = true;
  static constexpr std::size_t kLongest = 4;
  static bool AsciiOpen() { return true; }
  // An odd last byte and an unpaired surrogate are malformed.
  static Step Read(In p, std::size_t left) {
    if (left < 2) return {kMalformed, 1};
    const char32_t u = Utf16Decoder::LoadUnit(p);
    if (u < 0xD800 || u > 0xDFFF) return {u, 2};
    const char32_t v = left >= 4 ? Utf16Decoder::LoadUnit(p + 2) : 0;
    if (u < 0xDC00 && v >= 0xDC00 && v <= 0xDFFF)
      return {0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), 4};
    return {kMalformed, 2};
  }
};

// Encoders into the Japanese encodings write '?' for a malformed source.
struct SjisEncoder : UnitLayout<1> {
  static constexpr unsigned kMaxBytes = 2;
  static constexpr bool kUnicode = false;
  static constexpr char32_t kReplacement = '?';
  static bool AsciiOpen() { return true; }
  static Out Write(char32_t c, Out out) {
    if (c < 0x80) {
      *out = static_cast<unsigned char>(c);
      return out + 1;
    }
    const std::uint16_t code = Cp932Code(c);
    if (code == 0) return nullptr;
    if (code > 0xFF) return PutPair(code, out);
    *out = static_cast<unsigned char>(code);
    return out + 1;
  }
  static Out Finish(Out out) { return out; }
};

// Only U+0000-U+007F.
struct AsciiEncoder : SjisEncoder {
  static Out Write(char32_t c, Out out) { return c < 0x80 ? SjisEncoder::Write(c, out) : nullptr; }
};

struct EucEncoder : SjisEncoder {
  static Out Write(char32_t c, Out out) {
    if (c < 0x80) return SjisEncoder::Write(c, out);
    if (IsKana(c)) return PutBytes(EucDecoder::kSs2, c - kKanaFirst + kKanaByteFirst, out);
    const std::uint16_t code = Cp932JisCode(c);
    if (code == 0) return nullptr;
    const BytePair jis =
        SjisToJis(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
    return PutPair(static_cast<std::uint16_t>(JisToEuc(jis.first) << 8 | JisToEuc(jis.second)),
                   out);
  }
};

// ISO-2022-JP, 7-bit: ASCII after ESC ( B, JIS X 0208 after ESC $ B and
// half-width katakana after ESC ( I, each sequence written only where the
// mode changes. The escape byte itself cannot be held as text.
struct JisEncoder : SjisEncoder {
  static constexpr unsigned kMaxBytes = 5;
  static constexpr unsigned char kEnterAscii[3] = {kEsc, '(', 'B'};
  static constexpr unsigned char kEnterKana[3] = {kEsc, '(', 'I'};
  using Mode = JisDecoder::Mode;
  Mode mode = Mode::kAscii;

  bool AsciiOpen() const { return mode == Mode::kAscii; }
  Out Write(char32_t c, Out out) {
    if (c < 0x80) {
      if (c == kEsc) return nullptr;
      out = Enter(Mode::kAscii, kEnterAscii, out);
      return SjisEncoder::Write(c, out);
    }
    if (IsKana(c)) {
      out = Enter(Mode::kKana, kEnterKana, out);
      *out = static_cast<unsigned char>(c - kKanaFirst + 0x21);
      return out + 1;
    }
    const std::uint16_t code = Cp932JisCode(c);
    if (code == 0) return nullptr;
    out = Enter(Mode::kKanji, kEnterKanji, out);
    const BytePair jis =
        SjisToJis(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
    return PutPair(static_cast<std::uint16_t>(jis.first << 8 | jis.second), out);
  }
  Out Finish(Out out) { return Enter(Mode::kAscii, kEnterAscii, out); }

 private:
  Out Enter(Mode next, const unsigned char (&sequence)[3], Out out) {
    if (mode == next) return out;
    mode = next;
    std::memcpy(out, sequence, 3);
    return out + 3;
  }
};

// Encoders into Unicode hold every character; a malformed source is U+FFFD.
struct UnicodeEncoder {
  static constexpr unsigned kMaxBytes = 4;
  static constexpr bool kUnicode = true;
  static constexpr char32_t kReplacement = 0xFFFD;
  static bool AsciiOpen() { return true; }
  static Out Finish(Out out) { return out; }
};

// Most Japanese characters take three bytes: on a little-endian machine
// they are stored as one word, the fourth byte in the room kMaxBytes
// leaves.
struct Utf8Encoder : UnicodeEncoder, UnitLayout<1> {
  static Out Write(char32_t c, Out out) {
    if (c < 0x80) {
      *out = static_cast<unsigned char>(c);
      return out + 1;
    }
    if (std::endian::native == std::endian::little && c >= 0x800 && c < 0x10000) [[likely]] {
      const std::uint32_t word = 0x8080E0 | c >> 12 | (c >> 6 & 0x3F) << 8 | (c & 0x3F) << 16;
      std::memcpy(out, &word, sizeof word);
      return out + 3;
    }
    const unsigned size = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    out[0] = static_cast<unsigned char>((0xF00 >> size) | (c >> (6 * (size - 1))));
    for (unsigned i = 1; i < size; ++i)
      out[i] = static_cast<unsigned char>(0x80 | ((c >> (6 * (size - 1 - i))) & 0x3F));
    return out + size;
  }
};

template <bool kBig>
struct Utf16Encoder : UnicodeEncoder, UnitLayout<2, kBig> {
  static Out Write(char32_t c, Out out) {
    using Layout = UnitLayout<2, kBig>;
    if (c < 0x10000) return Layout::StoreUnit(c, out);
    return Layout::StoreUnit(0xDC00 + (c & 0x3FF),
                             Layout::StoreUnit(0xD800 + ((c - 0x10000) >> 10), out));
  }
};

}  // namespace qx::jcode::codec
