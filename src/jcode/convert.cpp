// The six directions and the copy, one pass each. Single-byte characters
// go through the line-end rule (CR LF and a lone CR become LF); double-byte
// characters go through the step functions of sjis.h and euc_jp.h; JIS is
// read and written with the sequences of iso2022_jp.h.
#include "jcode/convert.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "jcode/char_class.h"
#include "jcode/euc_jp.h"
#include "jcode/iso2022_jp.h"
#include "jcode/sjis.h"
#include "qxdll32.h"

namespace qx::jcode {
namespace {

using In = const unsigned char*;
using Out = unsigned char*;

// Writes the single-byte character at `in` under the line-end rule and
// returns the input after it.
inline In PutSingle(In in, Out& out) {
  const unsigned char b = *in;
  if (b != '\r') {
    *out++ = b;
    return in + 1;
  }
  *out++ = '\n';
  return in + (in[1] == '\n' ? 2 : 1);
}

inline void PutSequence(const unsigned char (&sequence)[3], Out& out) {
  std::memcpy(out, sequence, 3);
  out += 3;
}

inline void PutPair(BytePair pair, Out& out) {
  out = PutBytes(pair.first, pair.second, out);
}

// Bytes every direction copies unchanged outside double-byte text: ASCII
// but the terminator, CR and the escape byte (which JIS input acts on).
constexpr auto kPlainAscii = [] {
  std::array<bool, 256> table{};
  for (unsigned c = 1; c < 0x80; ++c)
    table[c] = c != '\r' && c != kEsc;
  return table;
}();

// Copies the run of plain ASCII at `in`. Most text is runs of ASCII and
// runs of double-byte characters, and each gets a tight loop of its own.
// (Runs are short in Japanese text: a word-at-a-time copy loses here.)
inline In CopyAscii(In in, Out& out) {
  while (kPlainAscii[*in])
    *out++ = *in++;
  return in;
}

Out Copy(In in, Out out) {
  for (;;) {
    in = CopyAscii(in, out);
    if (*in == 0) return out;
    in = PutSingle(in, out);
  }
}

// A Shift_JIS lead byte right before the terminator is no pair and is
// copied; EUC-JP high bytes pair only with a high byte after them.
inline bool SjisPairAt(In in) {
  return IsSjisLead(in[0]) && in[1] != 0;
}

inline bool EucPairAt(In in) {
  return IsEucHigh(in[0]) && IsEucHigh(in[1]);
}

BytePair SjisPairToEuc(unsigned char s1, unsigned char s2) {
  const BytePair jis = SjisToJis(s1, s2);
  return {JisToEuc(jis.first), JisToEuc(jis.second)};
}

BytePair EucPairToSjis(unsigned char e1, unsigned char e2) {
  return JisToSjis(EucToJis(e1), EucToJis(e2));
}

// Between the two double-byte encodings: each pair the source forms is
// mapped; every other byte is a single-byte character.
template <bool (*PairAt)(In), BytePair (*Map)(unsigned char, unsigned char)>
Out PairsTo(In in, Out out) {
  for (;;) {
    in = CopyAscii(in, out);
    if (PairAt(in)) {
      do {
        PutPair(Map(in[0], in[1]), out);
        in += 2;
      } while (PairAt(in));
    } else if (*in == 0) {
      return out;
    } else {
      in = PutSingle(in, out);
    }
  }
}

// Consecutive Shift_JIS double-byte characters, as JIS pairs.
In PutSjisRun(In in, Out& out) {
  while (SjisPairAt(in)) {
    PutPair(SjisToJis(in[0], in[1]), out);
    in += 2;
  }
  return in;
}

// An unbroken run of EUC-JP high bytes, taken byte by byte.
In PutEucRun(In in, Out& out) {
  while (IsEucHigh(*in))
    *out++ = EucToJis(*in++);
  return in;
}

// Into ISO-2022-JP: each run of double-byte text PutRun writes shares one
// bracket. A byte that opens a run but is left out of it (a Shift_JIS lead
// byte right before the terminator) closes its empty bracket and follows it
// as is.
template <bool (*Opens)(unsigned char), In (*PutRun)(In, Out&)>
Out ToIso2022(In in, Out out) {
  for (;;) {
    in = CopyAscii(in, out);
    if (*in == 0) return out;
    if (!Opens(*in)) {
      in = PutSingle(in, out);
      continue;
    }
    PutSequence(kEnterKanji, out);
    in = PutRun(in, out);
    PutSequence(kEnterRoman, out);
    if (*in != 0 && Opens(*in)) *out++ = *in++;
  }
}

// JIS input: escapes switch the mode in either mode; in double-byte mode
// any two bytes form a character (a last single byte is dropped). An
// escape sequence cut short by the terminator ends the text.
template <BytePair (*FromJis)(unsigned char, unsigned char)>
Out Iso2022To(In in, Out out) {
  bool kanji = false;
  for (;;) {
    if (kanji) {
      while (in[0] != kEsc && in[0] != 0 && in[1] != 0) {
        PutPair(FromJis(in[0], in[1]), out);
        in += 2;
      }
    } else {
      in = CopyAscii(in, out);
    }
    if (*in == 0) return out;
    if (*in == kEsc) {
      const EscapeStep step = ReadEscape(in);
      if (step.kind == Escape::kCutShort) return out;
      if (step.kind == Escape::kText) {
        *out++ = kEsc;
      } else {
        kanji = step.kind == Escape::kKanji;
      }
      in += step.length;
    } else if (kanji) {
      return out;  // a single byte left before the terminator
    } else {
      in = PutSingle(in, out);
    }
  }
}

BytePair JisPairToEuc(unsigned char j1, unsigned char j2) {
  return {JisToEuc(j1), JisToEuc(j2)};
}

BytePair JisPairToSjis(unsigned char j1, unsigned char j2) {
  return JisToSjis(j1, j2);
}

bool IsKnown(int code) {
  return code == QXJCODE_SJIS || code == QXJCODE_JIS || code == QXJCODE_EUC;
}

}  // namespace

bool Convert(unsigned char* dst, int dstCode, const unsigned char* src, int srcCode,
             std::size_t& written) noexcept {
  // Equal codes copy whatever their value (but -1, which is no text);
  // distinct codes must both name an encoding.
  const bool copy = srcCode == dstCode && srcCode != QXJCODE_NOTTEXT;
  if (!copy && (!IsKnown(srcCode) || !IsKnown(dstCode))) return false;
  Out end = dst;
  if (copy) {
    end = Copy(src, dst);
  } else if (srcCode == QXJCODE_SJIS) {
    end = dstCode == QXJCODE_EUC ? PairsTo<SjisPairAt, SjisPairToEuc>(src, dst)
                                 : ToIso2022<IsSjisLead, PutSjisRun>(src, dst);
  } else if (srcCode == QXJCODE_EUC) {
    end = dstCode == QXJCODE_SJIS ? PairsTo<EucPairAt, EucPairToSjis>(src, dst)
                                  : ToIso2022<IsEucHigh, PutEucRun>(src, dst);
  } else {
    end = dstCode == QXJCODE_SJIS ? Iso2022To<JisPairToSjis>(src, dst)
                                  : Iso2022To<JisPairToEuc>(src, dst);
  }
  *end = 0;
  written = static_cast<std::size_t>(end - dst);
  return true;
}

}  // namespace qx::jcode
