// One loop, instantiated for each pair of a decoder and an encoder of
// text_codecs.h: read a character, settle line ends, substitute or fail
// where the source is malformed or the target cannot hold a character, and
// write. Every pair goes through Unicode, equal codes included, so the
// same text gives the same characters whichever encodings it crosses.
//
// Where both sides have block codecs (block_codec.h), whole blocks of
// plain characters go through them first. Elsewhere, runs of ASCII skip
// the step per character while both sides pass ASCII through
// (ascii_run.h).
#include "jcode/unicode_convert.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "jcode/ascii_run.h"
#include "jcode/block_codec.h"
#include "jcode/dbcs_block_decode.h"
#include "jcode/text_codecs.h"
#include "jcode/unicode_block_codecs.h"
#include "jcode/utf8_block_decode.h"
#include "jcode/utf8_block_encode.h"

namespace qx::jcode {
namespace {

using namespace codec;

// Where output goes: dst itself, or, when only counting, a scratch block
// that is counted and reused whenever it fills. Both take the same path, so
// a count equals what a conversion writes.
class Sink {
 public:
  Sink(Out dst, std::size_t size)
      : at(dst != nullptr ? dst : scratch_),
        begin_(at),
        end_(dst != nullptr ? dst + size : scratch_ + sizeof scratch_),
        counting_(dst == nullptr) {}

  Out at;

  std::size_t Room() const { return static_cast<std::size_t>(end_ - at); }

  // The last place where n bytes fit (after MakeRoom), or null.
  Out Limit(std::size_t n) { return MakeRoom(n) ? end_ - n : nullptr; }

  // Whether there is room for n bytes (n far below the scratch block's
  // size); a count starts over in its scratch block, unless it has grown
  // past what a size can hold.
  bool MakeRoom(std::size_t n) {
    if (Room() >= n) return true;
    if (counting_ && end_ != begin_) {
      counted_ += static_cast<std::size_t>(at - begin_);
      at = begin_;
      if (counted_ > SIZE_MAX / 2) end_ = begin_;
    }
    return Room() >= n;
  }

  std::size_t Written() const { return counted_ + static_cast<std::size_t>(at - begin_); }

 private:
  unsigned char scratch_[1024];
  Out begin_;
  Out end_;
  std::size_t counted_ = 0;
  bool counting_;
};

// Runs `write` (which returns the end of what it wrote) at the sink or,
// where the sink may lack room, into a spare block copied over if it fits.
// False when it does not.
template <unsigned kMax, class Write>
inline bool Emit(Sink& sink, Write write) {
  if (sink.MakeRoom(kMax)) {
    sink.at = write(sink.at);
    return true;
  }
  unsigned char spare[kMax];
  const auto size = static_cast<std::size_t>(write(spare) - spare);
  if (size > sink.Room()) return false;
  std::memcpy(sink.at, spare, size);
  sink.at += size;
  return true;
}

// The block codecs of a scalar codec, where it has them: a decoder's
// Decode, an encoder's Encode with the most bytes it writes per unit.
template <class Codec>
struct Block {
  static constexpr bool kDecodes = false, kEncodes = false;
};

#if QX_BLOCK_CODECS

template <auto kDecode, auto kWideDecode = kDecode>
struct BlockDecoder {
  static constexpr bool kDecodes = true;
  // Inlined into the tier's caller, whose instruction set it takes.
  template <block::Tier kTier>
  [[gnu::always_inline]] static std::size_t Decode(In p, char16_t* units, std::size_t& count) {
    if constexpr (kTier == block::Tier::kAvx2) return kWideDecode(p, units, count);
    return kDecode(p, units, count);
  }
};

template <std::size_t kMost, auto kEncode>
struct BlockEncoder {
  static constexpr bool kEncodes = true;
  static constexpr std::size_t kMaxBytes = kMost;
  QX_BLOCK_TARGET static bool Encode(const char16_t* units, std::size_t count, Out& out) {
    return kEncode(units, count, out);
  }
};

template <>
struct Block<SjisDecoder> : BlockDecoder<block::DecodeSjis> {};
template <>
struct Block<EucDecoder> : BlockDecoder<block::DecodeEuc> {};
template <>
struct Block<Utf8Decoder> : BlockDecoder<block::DecodeUtf8, block::DecodeUtf8Avx2> {};
template <bool kBig>
struct Block<Utf16Decoder<kBig>> : BlockDecoder<block::DecodeUtf16<kBig>> {};
template <>
struct Block<SjisEncoder> : BlockEncoder<2, block::EncodeCp932> {};
template <>
struct Block<Utf8Encoder> : BlockEncoder<3, block::EncodeUtf8> {};
template <bool kBig>
struct Block<Utf16Encoder<kBig>> : BlockEncoder<2, block::EncodeUtf16<kBig>> {};

// Pairs whose blocks convert straight from the source to the target, with
// no units between: Shift_JIS and EUC-JP to UTF-8.
template <class Dec, class Enc>
struct Direct {
  static constexpr bool kConverts = false;
};

template <auto kConvert>
struct DirectToUtf8 {
  static constexpr bool kConverts = true;
  QX_BLOCK_TARGET static std::size_t Convert(In p, Out& out) { return kConvert(p, out); }
};

template <>
struct Direct<SjisDecoder, Utf8Encoder> : DirectToUtf8<block::SjisToUtf8> {};
template <>
struct Direct<EucDecoder, Utf8Encoder> : DirectToUtf8<block::EucToUtf8> {};

// Converts block by block while the source holds a block and its read
// slack, the sink has room for a block, and both sides take every
// character of the block; returns where it stopped, with `later` false
// when no later block can go through (the source or the room ran short).
//
// A block's units are encoded after the next block is decoded: read back
// at once, a vector laid down by several stores (or a lane by a vector
// store) waits for them to land, which cost a third on UTF-8 to code page
// 932. The lanes after a block's last unit are cleared, so that the
// encoder's reads past it find values.
//
// Compiled once per tier, each with every kernel inlined (flattened).
template <class Dec, class Enc, block::Tier kTier>
QX_BLOCK_TARGET inline In ConvertBlocks(In p, In end, Sink& sink, bool& later) {
  constexpr std::size_t kSource = block::kBlock + block::kReadSlack;
  constexpr std::size_t kRoom = block::kBlock * Block<Enc>::kMaxBytes + block::kWriteSlack;
  if constexpr (Direct<Dec, Enc>::kConverts) {
    while ((later = static_cast<std::size_t>(end - p) >= kSource && sink.MakeRoom(kRoom))) {
      const std::size_t read = Direct<Dec, Enc>::Convert(p, sink.at);
      if (read == 0) break;
      p += read;
    }
    return p;
  } else {
    alignas(16) char16_t units[2][block::kUnitRoom];
    std::size_t held = 0, heldBytes = 0;
    unsigned side = 0;
    for (;;) {
      std::size_t count = 0, read = 0;
      const bool whole = static_cast<std::size_t>(end - p) >= kSource;
      if (whole) {
        read = Block<Dec>::template Decode<kTier>(p, units[side], count);
        block::ClearAfter(units[side], count);
      }
      if (heldBytes != 0) {
        later = sink.MakeRoom(kRoom);
        if (!later || !Block<Enc>::Encode(units[side ^ 1], held, sink.at)) return p - heldBytes;
      }
      later = whole;
      if (read == 0) return p;
      p += read;
      held = count;
      heldBytes = read;
      side ^= 1;
    }
  }
}

template <class Dec, class Enc>
[[gnu::flatten]] QX_BLOCK_TARGET In PutBlocks(In p, In end, Sink& sink, bool& later) {
  return ConvertBlocks<Dec, Enc, block::Tier::kSse42>(p, end, sink, later);
}

template <class Dec, class Enc>
[[gnu::flatten]] QX_BLOCK_AVX2 In PutBlocksAvx2(In p, In end, Sink& sink, bool& later) {
  return ConvertBlocks<Dec, Enc, block::Tier::kAvx2>(p, end, sink, later);
}

// The blocks on `tier` (not kNone).
template <class Dec, class Enc>
In PutBlocksOn(block::Tier tier, In p, In end, Sink& sink, bool& later) {
  return tier == block::Tier::kAvx2 ? PutBlocksAvx2<Dec, Enc>(p, end, sink, later)
                                    : PutBlocks<Dec, Enc>(p, end, sink, later);
}

#else

template <class Dec, class Enc>
In PutBlocksOn(block::Tier, In p, In, Sink&, bool& later) {
  later = false;
  return p;
}

#endif

// Writes the characters at p, up to `most` bytes of them, that need nothing
// but writing (plain ASCII, other characters neither malformed nor beyond
// the target), takes mode switches, and returns where it stopped. A step
// reads at most kIn bytes, writes at most kRoom and writes at most kRatio
// bytes per byte it reads, so one bound on p, set from the source and the
// room in the sink, keeps every step inside both. The decoder reads with a
// constant count, which drops its own bound checks; the last few bytes go
// one step at a time. The output pointer stays local: every byte stored
// could otherwise alias the sink's. Flattened, so that the steps of both
// sides are inlined here (and only here: elsewhere they are calls).
template <class Dec, class Enc>
[[gnu::flatten]] In PutRun(Dec& dec, Enc& enc, In p, In end, std::size_t most, Sink& sink,
                           const ascii_run::Stops& stops) {
  constexpr std::size_t kIn =
      std::max<std::size_t>(Dec::kLongest, ascii_run::kUnits * Dec::kUnitBytes);
  constexpr std::size_t kRoom =
      std::max<std::size_t>(Enc::kMaxBytes, ascii_run::kUnits * Enc::kUnitBytes);
  constexpr std::size_t kRatio = (Enc::kMaxBytes + Dec::kUnitBytes - 1) / Dec::kUnitBytes;
  const Out limit = sink.Limit(kRoom);
  if (limit == nullptr || static_cast<std::size_t>(end - p) < kIn) return p;
  Out out = sink.at;
  const In last = p + std::min({static_cast<std::size_t>(end - p) - kIn,
                                static_cast<std::size_t>(limit - out) / kRatio, most});
  while (p <= last) {
    if (dec.AsciiOpen() && enc.AsciiOpen() && Dec::LoadUnit(p) < 0x80) {
      const unsigned run = ascii_run::Copy<Dec, Enc>(p, out, stops);
      p += run * Dec::kUnitBytes;
      out += run * Enc::kUnitBytes;
      if (run != 0) continue;
    }
    const Step step = dec.Read(p, Dec::kLongest);
    if (step.c < 0x80 ? !stops.Plain(step.c) : step.c >= kMalformed) {
      if (step.c != kNoChar) break;
      p += step.size;
      continue;
    }
    const Out next = enc.Write(step.c, out);
    if (next == nullptr) break;
    out = next;
    p += step.size;
  }
  sink.at = out;
  return p;
}

constexpr char32_t kCr = '\r', kLf = '\n';

template <class Dec, class Enc>
DWORD Run(In p, In end, Sink& sink, DWORD flags) {
  Dec dec;
  Enc enc;
  const bool lf = (flags & QXCVT_LF) != 0, strict = (flags & QXCVT_STRICT) != 0;
  constexpr bool kJis = std::is_same_v<Dec, JisDecoder> || std::is_same_v<Enc, JisEncoder>;
  const ascii_run::Stops stops{lf || kJis,
                               {static_cast<std::uint16_t>(lf ? kCr : 0x80),
                                static_cast<std::uint16_t>(lf ? kLf : 0x80), kJis ? kEsc : 0x80}};
  bool unheld = false;
  // Writes c, or '?' where the target cannot hold it.
  const auto put = [&](char32_t c) {
    return Emit<Enc::kMaxBytes>(sink, [&](Out at) {
      Out next = enc.Write(c, at);
      if (next != nullptr) return next;
      unheld = true;
      return enc.Write('?', at);
    });
  };

  if ((flags & QXCVT_BOM) != 0 && Enc::kUnicode && !put(kBom)) return QXERR_TOOLONG;
  if (Dec::kUnicode && p != end) {
    const Step first = dec.Read(p, static_cast<std::size_t>(end - p));
    if (first.c == kBom) p += first.size;
  }
  // A CR or LF right after the other at `lineEnd` completes its line end.
  In lineEnd = nullptr;
  char32_t pairsWith = 0;
  constexpr bool kBlocks = Block<Dec>::kDecodes && Block<Enc>::kEncodes;
  // Between blocks the scalar run goes no further than a block, so that a
  // block that stopped short on a character costs only its own bytes.
  const block::Tier tier = kBlocks && !lf ? block::BlockTier() : block::Tier::kNone;
  bool blocks = tier != block::Tier::kNone;
  const std::size_t most = blocks ? block::kBlock : SIZE_MAX;
  // Where a block stopped, blocks are tried again only past it, and after
  // one that converted nothing twice as far as before (up to 4 KiB), so
  // that text the blocks keep failing on is not read twice over.
  In resume = p;
  std::size_t skip = block::kBlock;
  while (p != end) {
    const In start = p;
    if constexpr (kBlocks) {
      if (blocks && p >= resume) {
        p = PutBlocksOn<Dec, Enc>(tier, p, end, sink, blocks);
        skip = p != start ? block::kBlock : std::min<std::size_t>(2 * skip, 4096);
        resume = p + std::min(skip, static_cast<std::size_t>(end - p));
      }
    }
    p = PutRun(dec, enc, p, end, most, sink, stops);
    if (p != start) continue;
    // What neither run takes, one character at a time.
    const Step step = dec.Read(p, static_cast<std::size_t>(end - p));
    p += step.size;
    char32_t c = step.c;
    if (c == kNoChar) continue;
    if (lf && (c == kCr || c == kLf)) {
      if (c == pairsWith && start == lineEnd) {
        pairsWith = 0;
        continue;
      }
      pairsWith = c ^ kCr ^ kLf;
      lineEnd = p;
      c = kLf;
    }
    if (c == kMalformed) {
      if (strict) return QXERR_BADDATA;
      c = Enc::kReplacement;
    }
    if (!put(c)) return QXERR_TOOLONG;
    if (unheld && strict) return QXERR_BADDATA;
  }
  if (!Emit<Enc::kMaxBytes>(sink, [&](Out at) { return enc.Finish(at); })) return QXERR_TOOLONG;
  return QXERR_NONE;
}

template <class Dec>
DWORD RunTo(int dstCode, In p, In end, Sink& sink, DWORD flags) {
  switch (dstCode) {
    case QXJCODE_SJIS:
      return Run<Dec, SjisEncoder>(p, end, sink, flags);
    case QXJCODE_JIS:
      return Run<Dec, JisEncoder>(p, end, sink, flags);
    case QXJCODE_EUC:
      return Run<Dec, EucEncoder>(p, end, sink, flags);
    case QXJCODE_ASCII:
      return Run<Dec, AsciiEncoder>(p, end, sink, flags);
    case QXJCODE_UTF8:
      return Run<Dec, Utf8Encoder>(p, end, sink, flags);
    case QXJCODE_UTF16LE:
      return Run<Dec, Utf16Encoder<false>>(p, end, sink, flags);
    case QXJCODE_UTF16BE:
      return Run<Dec, Utf16Encoder<true>>(p, end, sink, flags);
    default:
      return QXERR_BADPARAM;
  }
}

}  // namespace

DWORD ConvertText(unsigned char* dst, std::size_t dstSize, int dstCode, const unsigned char* src,
                  std::size_t srcSize, int srcCode, DWORD flags, std::size_t& written) noexcept {
  Sink sink(dst, dstSize);
  const In end = srcSize != 0 ? src + srcSize : src;
  DWORD status = QXERR_BADPARAM;
  switch (srcCode) {
    case QXJCODE_SJIS:
    case QXJCODE_ASCII:
      status = RunTo<SjisDecoder>(dstCode, src, end, sink, flags);
      break;
    case QXJCODE_JIS:
      status = RunTo<JisDecoder>(dstCode, src, end, sink, flags);
      break;
    case QXJCODE_EUC:
      status = RunTo<EucDecoder>(dstCode, src, end, sink, flags);
      break;
    case QXJCODE_UTF8:
      status = RunTo<Utf8Decoder>(dstCode, src, end, sink, flags);
      break;
    case QXJCODE_UTF16LE:
      status = RunTo<Utf16Decoder<false>>(dstCode, src, end, sink, flags);
      break;
    case QXJCODE_UTF16BE:
      status = RunTo<Utf16Decoder<true>>(dstCode, src, end, sink, flags);
      break;
  }
  written = status == QXERR_NONE ? sink.Written() : 0;
  return status;
}

}  // namespace qx::jcode
