// Fuzzes the sized conversion: the first byte picks the two codes (each
// code the export knows, or an unknown one), the second the flags and how
// wide a tier the block path may use (the widest by default), the third
// the room given, as a share of what the text needs; the rest is the
// source in a block of exactly its size. The count (dst NULL) must be what
// a conversion into exactly that many bytes writes, the same text gives
// the same bytes in any room large enough, a smaller room fails with
// QXERR_TOOLONG, and no call writes into the guard region behind its room.
// Without flags the text must also be what the scalar codecs give one
// character at a time, which the conversion's block path must match.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "jcode/block_codec.h"
#include "jcode/text_codecs.h"
#include "qxdll32.h"

namespace {

using namespace qx::jcode::codec;

template <class Dec, class Enc>
std::string OneByOne(In p, In end) {
  Dec dec;
  Enc enc;
  std::string text;
  unsigned char bytes[Enc::kMaxBytes];
  const auto put = [&](Out last) { text.append(reinterpret_cast<char*>(bytes), last - bytes); };
  if (Dec::kUnicode && p != end) {
    const Step first = dec.Read(p, static_cast<std::size_t>(end - p));
    if (first.c == kBom) p += first.size;
  }
  while (p != end) {
    const Step step = dec.Read(p, static_cast<std::size_t>(end - p));
    p += step.size;
    if (step.c == kNoChar) continue;
    Out last = enc.Write(step.c == kMalformed ? Enc::kReplacement : step.c, bytes);
    put(last != nullptr ? last : enc.Write('?', bytes));
  }
  put(enc.Finish(bytes));
  return text;
}

template <class Dec>
std::string OneByOneTo(int to, In p, In end) {
  switch (to) {
    case QXJCODE_SJIS:
      return OneByOne<Dec, SjisEncoder>(p, end);
    case QXJCODE_JIS:
      return OneByOne<Dec, JisEncoder>(p, end);
    case QXJCODE_EUC:
      return OneByOne<Dec, EucEncoder>(p, end);
    case QXJCODE_ASCII:
      return OneByOne<Dec, AsciiEncoder>(p, end);
    case QXJCODE_UTF8:
      return OneByOne<Dec, Utf8Encoder>(p, end);
    case QXJCODE_UTF16LE:
      return OneByOne<Dec, Utf16Encoder<false>>(p, end);
    default:
      return OneByOne<Dec, Utf16Encoder<true>>(p, end);
  }
}

std::string OneByOne(int to, In p, In end, int from) {
  switch (from) {
    case QXJCODE_JIS:
      return OneByOneTo<JisDecoder>(to, p, end);
    case QXJCODE_EUC:
      return OneByOneTo<EucDecoder>(to, p, end);
    case QXJCODE_UTF8:
      return OneByOneTo<Utf8Decoder>(to, p, end);
    case QXJCODE_UTF16LE:
      return OneByOneTo<Utf16Decoder<false>>(to, p, end);
    case QXJCODE_UTF16BE:
      return OneByOneTo<Utf16Decoder<true>>(to, p, end);
    default:
      return OneByOneTo<SjisDecoder>(to, p, end);
  }
}

constexpr int kCodes[] = {QXJCODE_SJIS, QXJCODE_JIS,     QXJCODE_EUC,     QXJCODE_ASCII,
                          QXJCODE_UTF8, QXJCODE_UTF16LE, QXJCODE_UTF16BE, 3};
constexpr std::size_t kGuard = 64;
constexpr unsigned char kGuardByte = 0xA5;

// Converts into a buffer of `room` bytes followed by the guard region, which
// must come back untouched; the buffer is left in `out`.
int Convert(std::unique_ptr<unsigned char[]>& out, int room, int to, const char* src, int size,
            int from, QXDWORD flags) {
  out = std::make_unique<unsigned char[]>(room + kGuard);
  std::memset(out.get(), kGuardByte, room + kGuard);
  const int written = qxConvertTextCode(out.get(), room, to, src, size, from, flags);
  for (std::size_t i = room; i < room + kGuard; ++i) {
    if (out[i] != kGuardByte) __builtin_trap();
  }
  return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > (1u << 20)) return 0;
  const int from = kCodes[data[0] & 7], to = kCodes[data[0] >> 3 & 7];
  const QXDWORD flags = data[1] & (QXCVT_LF | QXCVT_STRICT | QXCVT_BOM);
  using qx::jcode::block::Tier;
  constexpr Tier kTiers[] = {Tier::kAvx2, Tier::kSse42, Tier::kNone, Tier::kNone};
  qx::jcode::block::LimitBlockTier(kTiers[data[1] >> 3 & 3]);
  const unsigned share = data[2];
  const int length = static_cast<int>(size - 3);
  auto src = std::make_unique<char[]>(size - 3);
  std::memcpy(src.get(), data + 3, size - 3);

  const int need = qxConvertTextCode(nullptr, 0, to, src.get(), length, from, flags);
  std::unique_ptr<unsigned char[]> exact, chosen;
  if (need < 0) {
    const QXDWORD code = qxGetErrCode();
    if (code != QXERR_BADPARAM && code != QXERR_BADDATA) __builtin_trap();
    // A refused source is refused whatever the room.
    if (Convert(exact, 4 * length + 16, to, src.get(), length, from, flags) != -1) __builtin_trap();
    if (qxGetErrCode() != code) __builtin_trap();
    return 0;
  }
  if (Convert(exact, need, to, src.get(), length, from, flags) != need) __builtin_trap();
  if (flags == 0) {
    const In begin = reinterpret_cast<In>(src.get());
    if (OneByOne(to, begin, begin + length, from) !=
        std::string(reinterpret_cast<char*>(exact.get()), need))
      __builtin_trap();
  }
  // A room from 0 to twice the need.
  const int room = static_cast<int>(static_cast<long long>(need) * share / 128);
  const int written = Convert(chosen, room, to, src.get(), length, from, flags);
  if (room >= need) {
    if (written != need || std::memcmp(chosen.get(), exact.get(), need) != 0) __builtin_trap();
  } else if (written != -1 || qxGetErrCode() != QXERR_TOOLONG) {
    __builtin_trap();
  }
  return 0;
}
