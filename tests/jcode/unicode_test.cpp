// Sized conversion between the Japanese encodings and Unicode: every code of
// code page 932 both ways against the platform's own converter (Win32 under
// Wine, glibc iconv natively) and through EUC-JP and JIS; a text through
// every encoding and back; one-way rows for substitution, strict failures,
// BOMs, surrogates and line ends. Every call is checked for its count, its
// exact size, a size one short and reads past the source.
#include <cstring>
#include <string>
#include <tuple>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>

#include "jcode/block_codec.h"
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

using namespace std::string_literals;

constexpr int kS = QXJCODE_SJIS, kJ = QXJCODE_JIS, kE = QXJCODE_EUC, kA = QXJCODE_ASCII,
              k8 = QXJCODE_UTF8, kLE = QXJCODE_UTF16LE, kBE = QXJCODE_UTF16BE;
constexpr QXDWORD kStrict = QXCVT_STRICT;

std::string Fail(QXDWORD code) {
  return std::to_string(code) + " failed";
}

std::string Times(int n, const std::string& text) {
  std::string all;
  while (n-- > 0)
    all += text;
  return all;
}

// Converts through the export; a failure comes back as Fail(its code). The
// count (dst NULL) must be what a conversion writes into exactly that many
// bytes, a buffer one byte short must fail with QXERR_TOOLONG, neither may
// write past its size or read past the source (short sources end right
// before an unreadable page), and success leaves the error code alone.
std::string Cvt(const std::string& src, int from, int to, QXDWORD flags = 0) {
  const auto size = static_cast<int>(src.size());
  auto block = std::make_unique<char[]>(src.size());
  char* const at = src.size() < 4096 ? PageEnd() + 1 - size : block.get();
  std::memcpy(at, src.data(), src.size());
  PrimeErrCode(QXERR_NONE);
  const int n = qxConvertTextCode(nullptr, 0, to, at, size, from, flags);
  if (n < 0) return Fail(qxGetErrCode());
  const std::string guard(8, '\xCC');
  std::string out(n + 8, '\xCC'), shorter(n + 7, '\xCC');
  EXPECT_QXOK(qxConvertTextCode(out.data(), n, to, at, size, from, flags), n);
  EXPECT_EQ(out.substr(n), guard) << "written past the end";
  if (n > 0) {
    EXPECT_QXFAIL(qxConvertTextCode(shorter.data(), n - 1, to, at, size, from, flags), -1,
                  QXERR_TOOLONG);
    EXPECT_EQ(shorter.substr(n - 1), guard) << "written past the end";
  }
  return out.substr(0, n);
}

// Runs `check` on each tier of the block path this machine has and on the
// scalar path alone (natively, where the tier can be chosen).
template <class Check>
void OnEachTier(Check check) {
#if defined(_WIN32)
  check();
#else
  using qx::jcode::block::Tier;
  for (Tier tier : {Tier::kNone, Tier::kSse42, Tier::kAvx2}) {
    SCOPED_TRACE("tier " + std::to_string(static_cast<int>(tier)));
    qx::jcode::block::LimitBlockTier(tier);
    check();
  }
#endif
}

// The platform's code page 932: a code's UTF-16LE, or the code it writes
// for a character in UTF-16LE; "" where it has none.
#if defined(_WIN32)
std::string Cp932(const std::string& in, bool decode) {
  wchar_t units[4];
  char code[8];
  const auto size = static_cast<int>(in.size());
  if (decode) {
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, in.data(), size, units, 4);
    return std::string(reinterpret_cast<char*>(units), 2 * std::max(n, 0));
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(in.data());
  const int n = WideCharToMultiByte(932, 0, wide, size / 2, code, 8, nullptr, nullptr);
  return std::string(code, std::max(n, 0));
}
#else
std::string Cp932(std::string in, bool decode) {
  const iconv_t cd = decode ? iconv_open("UTF-16LE", "CP932") : iconv_open("CP932", "UTF-16LE");
  std::string out(16, '\0');
  char *from = in.data(), *put = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  const bool ok = iconv(cd, &from, &inLeft, &put, &outLeft) != std::size_t(-1);
  iconv_close(cd);
  return ok ? out.substr(0, put - out.data()) : "";
}
#endif

// Each code as the platform reads and writes it. Windows maps the single
// bytes 0x80, 0xA0 and 0xFD-0xFF to U+0080 and U+F8F0-U+F8F3 and back; Wine
// leaves out 0xA0 and 0xFD-0xFF, glibc all five. Through EUC-JP and JIS a
// code gives the same character, where they hold it: ASCII, half-width
// katakana, and pairs but the user-defined rows 0xF0-0xF9.
TEST(Unicode, EveryCp932CodeAsThePlatformMapsIt) {
  for (unsigned code = 0; code <= 0xFCFC; ++code) {
    const unsigned lead = code > 0xFF ? code >> 8 : code, trail = code & 0xFF;
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (code > 0xFF ? !isLead || trail < 0x40 || trail > 0xFC : isLead) continue;
    const std::string sjis =
        code > 0xFF ? std::string{char(lead), char(trail)} : std::string{char(code)};
    std::string utf16 = Cp932(sjis, true), back = Cp932(utf16, false);
    if (utf16.empty() && (code == 0x80 || code == 0xA0 || code >= 0xFD) && code <= 0xFF) {
      const unsigned u = code == 0x80 ? 0x80 : code == 0xA0 ? 0xF8F0 : 0xF8F1 + code - 0xFD;
      utf16 = {char(u), char(u >> 8)}, back = sjis;
    }
    ASSERT_EQ(Cvt(sjis, kS, kLE, kStrict), utf16.empty() ? Fail(QXERR_BADDATA) : utf16) << code;
    if (utf16.empty()) continue;
    ASSERT_EQ(Cvt(utf16, kLE, kS, kStrict), back) << code;
    for (int via : {kE, kJ}) {
      // JIS cannot hold the escape byte as text either.
      const bool held = (code < 0x80 && !(via == kJ && code == 0x1B)) ||
                        (code >= 0xA1 && code <= 0xDF) ||
                        (code > 0xFF && (lead < 0xF0 || lead > 0xF9));
      ASSERT_EQ(Cvt(Cvt(sjis, kS, via), via, kLE), held ? utf16 : "?\0"s) << code << " via " << via;
    }
  }
}

#define FFFD "\xEF\xBF\xBD"
const std::tuple<std::string, int, int, QXDWORD, std::string> kRows[] = {
    {"a\x82\xA0\xB1\x88\x9F", kA, k8, 0, "a\xE3\x81\x82\xEF\xBD\xB1\xE4\xBA\x9C"},  // as Shift_JIS
    {"\xEF\xBD\xB1\xE6\xBC\xA2\n\xE6\xBC\xA2", k8, kJ, 0, "\x1B(I1\x1B$B4A\x1B(B\n\x1B$B4A\x1B(B"},
    {"\x1B$B0!\x1B(J\\\x1B(I1\xB1", kJ, k8, 0, "\xE4\xBA\x9C\\\xEF\xBD\xB1\xEF\xBD\xB1"},
    {"\x1B\x41\x1B$", kJ, k8, 0, FFFD "A" FFFD "$"},  // escapes that open nothing
    {"\x1B", k8, kJ, 0, "?"},
    {"\x82", kS, k8, 0, FFFD},
    {"\x82", kS, k8, kStrict, Fail(QXERR_BADDATA)},
    {"\x85\x40\x85\xA0", kS, k8, 0, FFFD "@" FFFD},  // an ASCII second byte is read again
    {"\xC0\xAF\xED\xA0\x80\xE3\x81\x41", k8, kS, 0, "??????A"},
    {"\xE3\x81", k8, k8, 0, FFFD},
    {"\xE3\x81", k8, k8, kStrict, Fail(QXERR_BADDATA)},
    {"\x8F\xA1\xA1\x8E\xB1", kE, k8, 0, FFFD "\xEF\xBD\xB1"},
    {"\x00\xD8\x61\0b"s, kLE, k8, 0, FFFD "a" FFFD},
    {"\x3D\xD8\x00\xDE"s, kLE, k8, 0, "\xF0\x9F\x98\x80"},
    {"\xF0\x9F\x98\x80", k8, kBE, 0, "\xD8\x3D\xDE\x00"s},
    {"\xF0\x9F\x98\x80", k8, kS, 0, "?"},
    {"\xF0\x9F\x98\x80", k8, kE, kStrict, Fail(QXERR_BADDATA)},
    {"\xC3\xA9", k8, kA, 0, "?"},
    // A block without ASCII, well before the end (the last bytes of an
    // exact room take the scalar path).
    {Times(30, "\xE3\x81\x82") + "\xC3\xA9" + Times(99, "\xE3\x81\x82"), k8, kS, 0,
     Times(30, "\x82\xA0") + "?" + Times(99, "\x82\xA0")},
    {"\xED\x40\x87\x90", kS, kS, 0, "\xFA\x5C\x81\xE0"},  // the codes Windows writes
    {"\xE2\x85\xB0", k8, kS, 0, "\xFA\x40"},
    {"\xE2\x85\xB0", k8, kE, 0, "\xFC\xF1"},
    {"a\r\nb\n\rc\rd\n\ne\r", kS, kE, QXCVT_LF, "a\nb\nc\nd\n\ne\n"},
    {"a\0\r\0\n\0\r\0"s, kLE, kBE, QXCVT_LF, "\0a\0\n\0\n"s},
    {"\xEF\xBB\xBF\x61", k8, kLE, 0, "a\0"s},
    {"\xFE\xFF\0a"s, kBE, kS, 0, "a"},
    {"a", kS, kLE, QXCVT_BOM, "\xFF\xFE\x61\0"s},
    {"", kS, kBE, QXCVT_BOM, "\xFE\xFF"},
    {"a", kS, k8, QXCVT_BOM, "\xEF\xBB\xBF\x61"},
    {"a", kS, kJ, QXCVT_BOM, "a"},
    {"a", 3, k8, 0, Fail(QXERR_BADPARAM)},
    {"a", kS, -1, 0, Fail(QXERR_BADPARAM)},
};

// Each row also in the middle of a long text, where the bulk paths read
// it, at two offsets: the text around it starts and ends with ASCII, so a
// sequence the row cuts short stays so, and runs on long enough after it
// that the exact room leaves the block path room for the row. JIS, whose modes carry over, and
// rows that only hold at the start are left out.
TEST(Unicode, OneWayRows) {
  const std::string pad = " \xE3\x81\x82\xE6\xBC\xA2 words \xE3\x82\xAB\xE3\x83\x8A,\xE6\x96\x87 ";
  for (const auto& [src, from, to, flags, dst] : kRows) {
    EXPECT_EQ(Cvt(src, from, to, flags), dst) << src << " to " << to;
    const bool wide = from == kLE || from == kBE;
    if (from == kJ || to == kJ || (flags & QXCVT_BOM) != 0 || (wide && src.size() % 2 != 0) ||
        (wide && src[0] == '\xFE') || (from == k8 && src[0] == '\xEF') ||
        dst == Fail(QXERR_BADPARAM))
      continue;
    OnEachTier([&] {
      for (const std::string& before : {pad, pad + pad + "ab"}) {
        const auto wrapped = [&](const std::string& text, int code, const std::string& middle) {
          return Cvt(before, k8, code) + middle + Cvt(text, k8, code);
        };
        const std::string expected =
            dst.find(" failed") != std::string::npos ? dst : wrapped(Times(12, pad), to, dst);
        EXPECT_EQ(Cvt(wrapped(Times(12, pad), from == kA ? kS : from, src), from, to, flags),
                  expected)
            << src << " to " << to << " inside";
      }
    });
  }
}

// A long text (runs of every kind, long enough for the bulk paths, ASCII
// for whole blocks among them, NULs) through each Japanese encoding, and from
// there through two more, and back.
TEST(Unicode, TextThroughEveryEncoding) {
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text += std::to_string(i) + ": \xE3\x81\x82\xE6\xBC\xA2 ASCII words\xC2\xB0\xC2\xB1\r\n";
    text += "\xE2\x91\xA0\xE2\x85\xA0\xE3\x88\xB1\xE2\x89\x92\xE2\x85\xB0\xE7\xBA\x8A\xEF\xBD\xB6 ";
    if (i % 10 == 0) text += std::string(150 + i % 7, static_cast<char>('a' + i % 26));
    if (i % 4 == 0) text += '\0';
  }
  const int codes[] = {kS, kE, kJ, k8, kLE, kBE};
  OnEachTier([&] {
    for (int code : {kS, kE, kJ}) {
      const std::string there = Cvt(text, k8, code, kStrict);
      for (int i = 0; i < 6; ++i) {
        const std::string second = Cvt(there, code, codes[i], kStrict);
        const std::string third = Cvt(second, codes[i], codes[(i + 1) % 6], kStrict);
        ASSERT_EQ(Cvt(third, codes[(i + 1) % 6], k8, kStrict), text) << code << " " << i;
      }
    }
  });
}

TEST(Unicode, Arguments) {
  char dst[4] = "xyz";
  for (auto [to, size, src, srcSize] :
       {std::tuple{dst, -1, "a", 1}, {dst, 4, "a", -1}, {nullptr, 4, "a", 1}, {dst, 4, nullptr, 1}})
    EXPECT_QXFAIL(qxConvertTextCode(to, size, k8, src, srcSize, kS, 0), -1, QXERR_BADPARAM);
  EXPECT_QXOK(qxConvertTextCode(dst, 0, k8, nullptr, 0, kS, 0), 0);
  EXPECT_EQ(std::string(dst), "xyz");
}

}  // namespace
}  // namespace qxtest
