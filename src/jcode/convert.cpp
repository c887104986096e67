// The six directions and the copy, one pass each. Single-byte characters
// go through the line-end rule (CR LF and a lone CR become LF); double-byte
// characters go through the step functions of sjis.h and euc_jp.h; JIS is
// read and written with the sequences of iso2022_jp.h.
#include "jcode/convert.h"

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
  out[0] = pair.first;
  out[1] = pair.second;
  out += 2;
}

Out Copy(In in, Out out) {
  while (*in != 0)
    in = PutSingle(in, out);
  return out;
}

// A lead byte right before the terminator is no pair and is copied.
Out SjisToEuc(In in, Out out) {
  for (;;) {
    const unsigned char b = *in;
    if (IsSjisLead(b) && in[1] != 0) {
      const BytePair jis = SjisToJis(b, in[1]);
      PutPair({JisToEuc(jis.first), JisToEuc(jis.second)}, out);
      in += 2;
    } else if (b == 0) {
      return out;
    } else {
      in = PutSingle(in, out);
    }
  }
}

// Consecutive double-byte characters share one bracket; a lone lead byte
// before the terminator closes its (empty) bracket and follows it as is.
Out SjisToIso2022(In in, Out out) {
  while (*in != 0) {
    if (!IsSjisLead(*in)) {
      in = PutSingle(in, out);
      continue;
    }
    PutSequence(kEnterKanji, out);
    while (IsSjisLead(*in) && in[1] != 0) {
      PutPair(SjisToJis(in[0], in[1]), out);
      in += 2;
    }
    PutSequence(kEnterRoman, out);
    if (*in != 0 && IsSjisLead(*in)) *out++ = *in++;
  }
  return out;
}

// High bytes pair only with a high byte after them; others are copied.
Out EucToSjis(In in, Out out) {
  for (;;) {
    const unsigned char b = *in;
    if (IsEucHigh(b) && IsEucHigh(in[1])) {
      PutPair(JisToSjis(EucToJis(b), EucToJis(in[1])), out);
      in += 2;
    } else if (b == 0) {
      return out;
    } else {
      in = PutSingle(in, out);
    }
  }
}

// Each unbroken run of high bytes is bracketed and taken byte by byte.
Out EucToIso2022(In in, Out out) {
  while (*in != 0) {
    if (!IsEucHigh(*in)) {
      in = PutSingle(in, out);
      continue;
    }
    PutSequence(kEnterKanji, out);
    while (IsEucHigh(*in))
      *out++ = EucToJis(*in++);
    PutSequence(kEnterRoman, out);
  }
  return out;
}

// JIS input: escapes switch the mode in either mode; in double-byte mode
// any two bytes form a character (a last single byte is dropped). An
// escape sequence cut short by the terminator ends the text.
template <BytePair (*FromJis)(unsigned char, unsigned char)>
Out Iso2022To(In in, Out out) {
  bool kanji = false;
  while (*in != 0) {
    if (*in == kEsc) {
      const EscapeStep step = ReadEscape(in);
      if (step.kind == Escape::kCutShort) break;
      if (step.kind == Escape::kText) {
        *out++ = kEsc;
      } else {
        kanji = step.kind == Escape::kKanji;
      }
      in += step.length;
    } else if (kanji) {
      if (in[1] == 0) break;
      PutPair(FromJis(in[0], in[1]), out);
      in += 2;
    } else {
      in = PutSingle(in, out);
    }
  }
  return out;
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
    end = dstCode == QXJCODE_EUC ? SjisToEuc(src, dst) : SjisToIso2022(src, dst);
  } else if (srcCode == QXJCODE_EUC) {
    end = dstCode == QXJCODE_SJIS ? EucToSjis(src, dst) : EucToIso2022(src, dst);
  } else {
    end = dstCode == QXJCODE_SJIS ? Iso2022To<JisPairToSjis>(src, dst)
                                  : Iso2022To<JisPairToEuc>(src, dst);
  }
  *end = 0;
  written = static_cast<std::size_t>(end - dst);
  return true;
}

}  // namespace qx::jcode
