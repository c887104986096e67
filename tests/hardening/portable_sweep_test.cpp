// Hardening sweep of the portable families: null pointers, zero and
// maximal sizes and over-long paths, each row through both forms where
// there are two. Every call must give its documented result and error
// code and write nothing outside the buffers it was given.
#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "fileop/scratch.h"
#include "hardening/sweep.h"

namespace qxtest {
namespace {

// ---- Path and URL names, file naming, file times -------------------------

TEST(HardeningSweep, NullPathsAndNames) {
  char name[] = "a.txt";
  QXWCHAR wname[] = {'a', '.', 't', 'x', 't', 0};
  QXFILETIME t{1, 1};
  char out[1100];
  QXWCHAR wout[1100];
  RunRows({
      {"ScanFileNameA(NULL)", [] { return Addr(qxScanFileNameA(nullptr)); }, 0, QXERR_BADPARAM},
      {"ScanFileNameW(NULL)", [] { return Addr(qxScanFileNameW(nullptr)); }, 0, QXERR_BADPARAM},
      {"ScanExtNameA(NULL)", [] { return Addr(qxScanExtNameA(nullptr)); }, 0, QXERR_BADPARAM},
      {"ScanExtNameW(NULL)", [] { return Addr(qxScanExtNameW(nullptr)); }, 0, QXERR_BADPARAM},
      {"ScanExtNameA clears", [&] { return Addr(qxScanExtNameA(name)); }, Addr(name + 2),
       QXERR_NONE},
      {"ScanExtNameW clears", [&] { return Addr(qxScanExtNameW(wname)); }, Addr(wname + 2),
       QXERR_NONE},
      {"ControlRightPathA(NULL)", [] { return std::uintptr_t(qxControlRightPathA(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"ControlRightPathW(NULL)", [] { return std::uintptr_t(qxControlRightPathW(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"ControlRightUrlA(NULL)", [] { return std::uintptr_t(qxControlRightUrlA(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"ControlRightUrlW(NULL)", [] { return std::uintptr_t(qxControlRightUrlW(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"MakeUniqPathA(NULL out)",
       [&] { return std::uintptr_t(qxMakeUniqPathA(nullptr, "C:\\x.txt", &t, 0)); }, 0,
       QXERR_BADPARAM},
      {"MakeUniqPathA(NULL path)",
       [&] { return std::uintptr_t(qxMakeUniqPathA(out, nullptr, &t, 0)); }, 0, QXERR_BADPARAM},
      {"MakeUniqPathW(NULL out)",
       [&] {
         const WString p = Widen("C:\\x.txt");
         return std::uintptr_t(qxMakeUniqPathW(nullptr, p.c_str(), &t, 0));
       },
       0, QXERR_BADPARAM},
      {"MakeUniqPathW(NULL path)",
       [&] { return std::uintptr_t(qxMakeUniqPathW(wout, nullptr, &t, 0)); }, 0, QXERR_BADPARAM},
      {"RenameFileA(NULL, name)", [] { return std::uintptr_t(qxRenameFileA(nullptr, "b")); }, 0,
       QXERR_BADPARAM},
      {"RenameFileA(path, NULL)", [] { return std::uintptr_t(qxRenameFileA("C:\\a", nullptr)); }, 0,
       QXERR_BADPARAM},
      {"RenameFileW(NULL, NULL)", [] { return std::uintptr_t(qxRenameFileW(nullptr, nullptr)); }, 0,
       QXERR_BADPARAM},
      {"RenameFileA without separator", [] { return std::uintptr_t(qxRenameFileA("a", "b")); }, 0,
       QXERR_BADPARAM},
      {"MakeDirectoriesA(NULL)", [] { return std::uintptr_t(qxMakeDirectoriesA(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"MakeDirectoriesW(NULL)", [] { return std::uintptr_t(qxMakeDirectoriesW(nullptr)); }, 0,
       QXERR_BADPARAM},
      {"MakeDirectoriesA without separator",
       [] { return std::uintptr_t(qxMakeDirectoriesA("plain")); }, 0, QXERR_BADPARAM},
  });
}

TEST(HardeningSweep, FileTimesAtTheirLimits) {
  QXFILETIME zero{0, 0};
  QXFILETIME one{1, 0};
  QXFILETIME top{0xFFFFFFFFu, 0xFFFFFFFFu};
  const WString missing = Widen("C:\\qx-no-such-folder\\f");
  RunRows({
      {"SetFileTimeA(NULL name)", [&] { return std::uintptr_t(qxSetFileTimeA(nullptr, &one)); }, 0,
       QXERR_BADPARAM},
      {"SetFileTimeW(NULL name)", [&] { return std::uintptr_t(qxSetFileTimeW(nullptr, &one)); }, 0,
       QXERR_BADPARAM},
      {"SetFileTimeA(NULL time)",
       [&] { return std::uintptr_t(qxSetFileTimeA("C:\\qx-no-such-folder\\f", nullptr)); }, 0,
       QXERR_BADPARAM},
      {"SetFileTimeW(zero time)",
       [&] { return std::uintptr_t(qxSetFileTimeW(missing.c_str(), &zero)); }, 0, QXERR_BADPARAM},
      {"SetFileTimeW(missing file)",
       [&] { return std::uintptr_t(qxSetFileTimeW(missing.c_str(), &one)); }, 0, QXERR_OPEN},
      {"ControlFileTimeAtFat(NULL)", [] { return std::uintptr_t(qxControlFileTimeAtFat(nullptr)); },
       0, QXERR_BADPARAM},
      {"ControlFileTimeAtFat(zero)", [&] { return std::uintptr_t(qxControlFileTimeAtFat(&zero)); },
       0, kUntouched},
      {"RegulateFileTime(NULL)", [] { return std::uintptr_t(qxRegulateFileTime(nullptr, 2)); }, 0,
       QXERR_BADPARAM},
      {"RegulateFileTime(unit 0)", [&] { return std::uintptr_t(qxRegulateFileTime(&one, 0)); }, 0,
       QXERR_BADPARAM},
      {"RegulateFileTime(zero time)", [&] { return std::uintptr_t(qxRegulateFileTime(&zero, 2)); },
       0, QXERR_BADPARAM},
      {"AddTimeToFileTime(NULL)", [] { return std::uintptr_t(qxAddTimeToFileTime(nullptr, 1)); }, 0,
       QXERR_BADPARAM},
      {"SubTimeToFileTime(NULL)", [] { return std::uintptr_t(qxSubTimeToFileTime(nullptr, 1)); }, 0,
       QXERR_BADPARAM},
      {"AddTimeToFileTime(zero)", [&] { return std::uintptr_t(qxAddTimeToFileTime(&zero, 1)); }, 0,
       QXERR_BADPARAM},
  });
  // The largest steps wrap around 2^64 and succeed quietly.
  QXFILETIME t = top;
  RunRow({"RegulateFileTime(max unit)",
          [&] {
            t = top;
            return std::uintptr_t(qxRegulateFileTime(&t, 0xFFFFFFFFu));
          },
          1, kUntouched});
  EXPECT_EQ(t.dwHighDateTime, 0xFFFFFFFFu);
  RunRow({"AddTimeToFileTime wraps",
          [&] {
            t = top;
            return std::uintptr_t(qxAddTimeToFileTime(&t, 0xFFFFFFFFu));
          },
          1, kUntouched});
  EXPECT_EQ(t.dwLowDateTime, 0xFFFFFFFEu);
  EXPECT_EQ(t.dwHighDateTime, 0u);
  RunRow({"SubTimeToFileTime wraps",
          [&] {
            t = one;
            return std::uintptr_t(qxSubTimeToFileTime(&t, 0xFFFFFFFFu));
          },
          1, kUntouched});
  EXPECT_EQ(t.dwLowDateTime, 2u);
  EXPECT_EQ(t.dwHighDateTime, 0xFFFFFFFFu);
}

// In-place path edits of very long paths stay inside the string.
template <class Ch, class Make>
void InPlaceLong(std::size_t length, Make make) {
  SCOPED_TRACE(length);
  auto text = make(length);
  for (std::size_t i = 0; i < text.size(); i += 7)
    text[i] = Ch('\\');
  for (int form = 0; form < 2; ++form) {
    Guarded<Ch> buffer(text.size() + 1);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer.get());
    PrimeErrCode(QXERR_BADPARAM);
    if constexpr (sizeof(Ch) == 1) {
      EXPECT_EQ(form == 0 ? qxControlRightPathA(buffer.get()) : qxControlRightUrlA(buffer.get()),
                1);
      EXPECT_NE(qxScanFileNameA(buffer.get()), nullptr);
    } else {
      EXPECT_EQ(form == 0 ? qxControlRightPathW(buffer.get()) : qxControlRightUrlW(buffer.get()),
                1);
      EXPECT_NE(qxScanFileNameW(buffer.get()), nullptr);
    }
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    EXPECT_TRUE(buffer.GuardsIntact());
  }
}

TEST(HardeningSweep, OverlongPathsInPlace) {
  for (std::size_t n : kLongA)
    InPlaceLong<char>(n, [](std::size_t k) { return LongA("", k); });
  for (std::size_t n : kLongW)
    InPlaceLong<QXWCHAR>(n, [](std::size_t k) { return LongW("", k); });
}

// Paths longer than the 1024-unit working buffers are refused before
// anything is written or touched; a path that fits but names nothing fails
// with the code of the step that could not be done.
TEST(HardeningSweep, OverlongPathsToFiles) {
  ScratchDir scratch("hardening");
  const std::string head = scratch.A() + "\\";
  QXFILETIME time{0x12345678u, 0x01D00000u};
  std::vector<Row> rows;
  auto add = [&](std::string what, auto call, std::uintptr_t want, QXDWORD error) {
    rows.push_back({std::move(what), call, want, error});
  };
  for (std::size_t n : kLongA) {
    const std::string p = LongA(head, n);
    const std::string tag = std::string("A") + std::to_string(n) + " ";
    add(
        tag + "MakeUniqPath",
        [p, time] {
          Guarded<char> out(1024 + 64);
          const auto r = std::uintptr_t(qxMakeUniqPathA(out.get(), p.c_str(), &time, 0));
          EXPECT_TRUE(out.Untouched());
          return r;
        },
        0, QXERR_BADPARAM);
    add(
        tag + "RenameFile", [p] { return std::uintptr_t(qxRenameFileA(p.c_str(), "x")); }, 0,
        n < 1024 ? QXERR_RENAME : QXERR_BADPARAM);
    add(
        tag + "RenameFile long new name",
        [head, p] { return std::uintptr_t(qxRenameFileA((head + "f").c_str(), p.c_str())); }, 0,
        QXERR_BADPARAM);
    add(
        tag + "MakeDirectories",
        [p] {
          return std::uintptr_t(qxMakeDirectoriesA((p.substr(0, p.size() - 2) + "\\f").c_str()));
        },
        0, n < 1024 ? QXERR_MKDIR : QXERR_BADPARAM);
    add(
        tag + "SetFileTime", [p, time] { return std::uintptr_t(qxSetFileTimeA(p.c_str(), &time)); },
        0, QXERR_OPEN);
    add(
        tag + "OpenTextFile", [p] { return Addr(qxOpenTextFileA(p.c_str())); }, 0, QXERR_OPEN);
  }
  for (std::size_t n : kLongW) {
    const WString p = LongW(head, n);
    const std::string tag = std::string("W") + std::to_string(n) + " ";
    add(
        tag + "MakeUniqPath",
        [p, time] {
          Guarded<QXWCHAR> out(1024 + 64);
          const auto r = std::uintptr_t(qxMakeUniqPathW(out.get(), p.c_str(), &time, 0));
          EXPECT_TRUE(out.Untouched());
          return r;
        },
        0, QXERR_BADPARAM);
    add(
        tag + "RenameFile",
        [p] { return std::uintptr_t(qxRenameFileW(p.c_str(), Widen("x").c_str())); }, 0,
        n < 1024 ? QXERR_RENAME : QXERR_BADPARAM);
    add(
        tag + "MakeDirectories",
        [p] {
          WString q = p.substr(0, p.size() - 2) + Widen("\\f");
          return std::uintptr_t(qxMakeDirectoriesW(q.c_str()));
        },
        0, n < 1024 ? QXERR_MKDIR : QXERR_BADPARAM);
    add(
        tag + "SetFileTime", [p, time] { return std::uintptr_t(qxSetFileTimeW(p.c_str(), &time)); },
        0, QXERR_OPEN);
    add(
        tag + "OpenTextFile", [p] { return Addr(qxOpenTextFileW(p.c_str())); }, 0, QXERR_OPEN);
  }
  RunRows(rows);
}

// The longest path a unique name is made for leaves room for the longest
// suffix in 1024 units; one more unit is refused with the buffer untouched.
TEST(HardeningSweep, UniqueNameAtItsCapacity) {
  ScratchDir scratch("hardening");
  const QXFILETIME time{0x12345678u, 0x01D00000u};
  const QXDWORD mode = QXUNIQ_NUMBERED | QXUNIQ_DATE | QXUNIQ_TIME;
  // The name stays short enough for the file system; the rest is folders
  // that do not exist, so every offered name is free.
  const std::string head = scratch.A() + "\\" + std::string(200, 'd') + "\\";
  for (std::size_t n : {998u, 999u}) {
    SCOPED_TRACE(n);
    std::string p = head;
    while (p.size() < n - 6)
      p += std::string(std::min<std::size_t>(200, n - 6 - p.size() - 1), 'd') + "\\";
    p.resize(n - 6, 'd');
    p += "\\f.txt";
    ASSERT_EQ(p.size(), n);
    Guarded<char> out(n + 26);
    PrimeErrCode(QXERR_BADPARAM);
    EXPECT_EQ(qxMakeUniqPathA(out.get(), p.c_str(), &time, mode), n == 998 ? 1 : 0);
    EXPECT_EQ(qxGetErrCode(), n == 998 ? QXERR_NONE : QXERR_BADPARAM);
    EXPECT_TRUE(n == 998 ? out.GuardsIntact() : out.Untouched());
    const WString w = Widen(p);
    Guarded<QXWCHAR> wout(n + 26);
    EXPECT_EQ(qxMakeUniqPathW(wout.get(), w.c_str(), &time, 0xFFFFFFFFu), n == 998 ? 1 : 0);
    EXPECT_TRUE(n == 998 ? wout.GuardsIntact() : wout.Untouched());
  }
  // A time the calendar cannot show is refused with nothing written.
  const QXFILETIME top{0xFFFFFFFFu, 0xFFFFFFFFu};
  Guarded<char> out(64);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxMakeUniqPathA(out.get(), (head + "f.txt").c_str(), &top, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_TRUE(out.Untouched());
}

// ---- Number formatting -----------------------------------------------------

template <class Ch, class Call>
void FigureCapacities(const char* what, Call call) {
  for (int size : {INT_MIN, -1, 0, 1, 2, 64, INT_MAX}) {
    SCOPED_TRACE(std::string(what) + " size " + std::to_string(size));
    Guarded<Ch> out(64);
    PrimeErrCode(QXERR_BADPARAM);
    Ch* r = call(out.get(), size);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    if (size <= 2) {
      EXPECT_EQ(r, nullptr);
    } else {
      EXPECT_EQ(r, out.get());
    }
    if (size <= 0) {
      EXPECT_TRUE(out.Untouched());
    }
    EXPECT_TRUE(out.GuardsIntact());
  }
}

TEST(HardeningSweep, NumberFormattingCapacities) {
  FigureCapacities<char>("StrA",
                         [](char* o, int n) { return qxFigureSepStrA("-1234567", o, n, 0); });
  FigureCapacities<QXWCHAR>("StrW", [](QXWCHAR* o, int n) {
    return qxFigureSepStrW(Widen("-1234567").c_str(), o, n, 0);
  });
  FigureCapacities<char>(
      "Int32A", [](char* o, int n) { return qxFigureSepInt32A(INT_MIN, o, n, 0xFFFFFFFFu); });
  FigureCapacities<QXWCHAR>(
      "Int32W", [](QXWCHAR* o, int n) { return qxFigureSepInt32W(INT_MIN, o, n, QXFIG_SIGNED); });
  FigureCapacities<char>("Int64A", [](char* o, int n) {
    return qxFigureSepInt64A(LLONG_MIN, o, n, QXFIG_SIGNED | QXFIG_SHOWPLUS);
  });
  FigureCapacities<QXWCHAR>(
      "Int64W", [](QXWCHAR* o, int n) { return qxFigureSepInt64W(LLONG_MIN, o, n, 0); });
  RunRows({
      {"FigureSepStrA(NULL number)",
       [] {
         char o[8];
         return Addr(qxFigureSepStrA(nullptr, o, 8, 0));
       },
       0, kUntouched},
      {"FigureSepStrA(NULL out)", [] { return Addr(qxFigureSepStrA("1", nullptr, 8, 0)); }, 0,
       kUntouched},
      {"FigureSepStrW(NULL number)",
       [] {
         QXWCHAR o[8];
         return Addr(qxFigureSepStrW(nullptr, o, 8, 0));
       },
       0, kUntouched},
      {"FigureSepInt32A(NULL out)", [] { return Addr(qxFigureSepInt32A(1, nullptr, 8, 0)); }, 0,
       kUntouched},
      {"FigureSepInt64W(NULL out)", [] { return Addr(qxFigureSepInt64W(1, nullptr, 8, 0)); }, 0,
       kUntouched},
  });
  // Number strings past 127 characters are refused before the platform's
  // formatter reads them (Wine's W formatter overran its stack on a few
  // hundred digits), with room to spare or not.
  for (std::size_t n : {std::size_t{127}, std::size_t{128}, std::size_t{300}}) {
    SCOPED_TRACE(n);
    // Wine's A formatter builds its result in 128 units: 127 grouped
    // digits may fail there, but never write outside.
    Guarded<char> out(512);
    char* r = qxFigureSepStrA(std::string(n, '9').c_str(), out.get(), 512, 0);
    EXPECT_TRUE(r == nullptr || (n == 127 && r == out.get()));
    EXPECT_TRUE(r != nullptr ? out.GuardsIntact() : n == 127 || out.Untouched());
    EXPECT_TRUE(out.GuardsIntact());
    Guarded<QXWCHAR> wout(512);
    EXPECT_EQ(qxFigureSepStrW(WString(n, QXWCHAR('9')).c_str(), wout.get(), 512, 0),
              n == 127 ? wout.get() : nullptr);
    EXPECT_TRUE(n == 127 ? wout.GuardsIntact() : wout.Untouched());
  }
  for (std::size_t n : kLongW) {
    Guarded<char> out(64);
    EXPECT_EQ(qxFigureSepStrA(std::string(n, '9').c_str(), out.get(), 64, 0), nullptr);
    EXPECT_TRUE(out.GuardsIntact());
    Guarded<QXWCHAR> wout(64);
    EXPECT_EQ(qxFigureSepStrW(WString(n, QXWCHAR('9')).c_str(), wout.get(), 64, 0), nullptr);
    EXPECT_TRUE(wout.GuardsIntact());
  }
}

// ---- Encodings -------------------------------------------------------------

TEST(HardeningSweep, EncodingConversionBounds) {
  RunRows({
      {"JudgeJpnCodeType(NULL)", [] { return std::uintptr_t(qxJudgeJpnCodeType(nullptr) + 1); }, 0,
       kUntouched},
      {"ConvertJpnCode(NULL dst)",
       [] { return std::uintptr_t(qxConvertJpnCode(nullptr, QXJCODE_EUC, "abc", QXJCODE_SJIS)); },
       0, kUntouched},
  });
  // Refusals write the terminator and nothing else.
  for (int code : {INT_MIN, -1, 3, INT_MAX}) {
    SCOPED_TRACE(code);
    for (const char* src : {static_cast<const char*>(nullptr), "abc"}) {
      Guarded<char> dst(1);
      PrimeErrCode(QXERR_BADPARAM);
      EXPECT_EQ(qxConvertJpnCode(dst.get(), code, src, src == nullptr ? code : QXJCODE_SJIS), 0);
      EXPECT_EQ(dst.get()[0], '\0');
      EXPECT_TRUE(dst.GuardsIntact());
      EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    }
  }
  // The documented capacities are enough for the worst inputs, long ones
  // included: a lone Shift_JIS first byte or EUC byte costs seven bytes in
  // JIS, and other targets never grow.
  struct Case {
    std::string unit;
    int from;
  };
  for (const Case& c : {Case{"\x88", QXJCODE_SJIS},
                        Case{"\x88\x9F"
                             "a",
                             QXJCODE_SJIS},
                        Case{"\xA1"
                             "a",
                             QXJCODE_EUC},
                        Case{"\xB1"
                             "\r\n",
                             QXJCODE_SJIS},
                        Case{"\x1B$B"
                             "0!",
                             QXJCODE_JIS}}) {
    for (std::size_t n : {std::size_t{1}, std::size_t{4096}}) {
      std::string src;
      while (src.size() < n)
        src += c.unit;
      if (n == 1) src = c.unit;
      for (int to : {QXJCODE_SJIS, QXJCODE_JIS, QXJCODE_EUC}) {
        SCOPED_TRACE(testing::Message()
                     << "from " << c.from << " to " << to << " length " << src.size());
        Guarded<char> dst(to == QXJCODE_JIS ? 4 * src.size() + 4 : src.size() + 1);
        const int written = qxConvertJpnCode(dst.get(), to, src.c_str(), c.from);
        EXPECT_TRUE(dst.GuardsIntact());
        EXPECT_LT(static_cast<std::size_t>(written), dst.size());
        EXPECT_EQ(dst.get()[written], '\0');
      }
      EXPECT_GE(qxJudgeJpnCodeType(src.c_str()), QXJCODE_NOTTEXT);
    }
  }
}

// ---- Text file reader --------------------------------------------------------

TEST(HardeningSweep, TextFileBufferSizes) {
  ScratchDir scratch("hardening");
  scratch.Touch("a.txt", "abcdef\nxyz\n");
  scratch.Touch("w.txt", std::string("a\0b\0c\0\n\0x\0\n\0", 12));
  scratch.Touch("zero.txt", std::string("ab\0cd\n", 6));
  QXHTEXTFILE a = qxOpenTextFileA(scratch.A("a.txt").c_str());
  QXHTEXTFILE w = qxOpenTextFileW(scratch.W("w.txt").c_str());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(w, nullptr);
  Guarded<char> line(16);
  Guarded<QXWCHAR> wline(16);
  RunRows({
      {"OpenTextFileA(NULL)", [] { return Addr(qxOpenTextFileA(nullptr)); }, 0, QXERR_OPEN},
      {"OpenTextFileW(NULL)", [] { return Addr(qxOpenTextFileW(nullptr)); }, 0, QXERR_OPEN},
      {"OpenTextFileA(\"\")", [] { return Addr(qxOpenTextFileA("")); }, 0, QXERR_OPEN},
      {"ReadTextFileA(NULL line)", [&] { return std::uintptr_t(qxReadTextFileA(a, nullptr, 16)); },
       0, QXERR_BADPARAM},
      {"ReadTextFileA(size 0)", [&] { return std::uintptr_t(qxReadTextFileA(a, line.get(), 0)); },
       0, QXERR_BADPARAM},
      {"ReadTextFileW(NULL line)", [&] { return std::uintptr_t(qxReadTextFileW(w, nullptr, 16)); },
       0, QXERR_BADPARAM},
      {"ReadTextFileW(size 0)", [&] { return std::uintptr_t(qxReadTextFileW(w, wline.get(), 0)); },
       0, QXERR_BADPARAM},
      {"ReadTextFileA(size 1)", [&] { return std::uintptr_t(qxReadTextFileA(a, line.get(), 1)); },
       0, QXERR_TOOLONG},
      {"ReadTextFileA(size 6)", [&] { return std::uintptr_t(qxReadTextFileA(a, line.get(), 6)); },
       0, QXERR_TOOLONG},
      {"ReadTextFileW(size 1)", [&] { return std::uintptr_t(qxReadTextFileW(w, wline.get(), 1)); },
       0, QXERR_TOOLONG},
  });
  EXPECT_TRUE(line.GuardsIntact());
  EXPECT_TRUE(wline.GuardsIntact());
  // A size far past the buffer is only a bound: the line and its
  // terminator are all that is written.
  RunRows({
      {"ReadTextFileA(size max)",
       [&] { return std::uintptr_t(qxReadTextFileA(a, line.get(), 0xFFFFFFFFu)); }, 1, kUntouched},
      {"ReadTextFileW(size max)",
       [&] { return std::uintptr_t(qxReadTextFileW(w, wline.get(), 0xFFFFFFFFu)); }, 1, kUntouched},
  });
  // kUntouched runs each call twice: the A file's two lines.
  EXPECT_EQ(line.Text(), "xyz");
  EXPECT_EQ(line.get()[5], 'f');
  EXPECT_TRUE(line.GuardsIntact());
  EXPECT_TRUE(wline.GuardsIntact());
  RunRow({"ReadTextFileA at the end",
          [&] { return std::uintptr_t(qxReadTextFileA(a, line.get(), 0xFFFFFFFFu)); }, 0,
          QXERR_ENDOFFILE});
  // A zero character closes the file; the handle stays until closed.
  QXHTEXTFILE bad = qxOpenTextFileA(scratch.A("zero.txt").c_str());
  ASSERT_NE(bad, nullptr);
  RunRows({
      {"ReadTextFileA on a NUL",
       [&] { return std::uintptr_t(qxReadTextFileA(bad, line.get(), 16)); }, 0, QXERR_BADDATA},
      {"ReadTextFileA after it",
       [&] { return std::uintptr_t(qxReadTextFileA(bad, line.get(), 16)); }, 0, QXERR_UNAVAILABLE},
  });
  EXPECT_TRUE(line.GuardsIntact());
  EXPECT_EQ(qxCloseTextFile(bad), 1);
  EXPECT_EQ(qxCloseTextFile(a), 1);
  EXPECT_EQ(qxCloseTextFile(w), 1);
}

// ---- Search ------------------------------------------------------------------

TEST(HardeningSweep, SearchArguments) {
  RunRows({
      {"SaaCreateCvtA(NULL)", [] { return Addr(qxSaaCreateCvtA(nullptr, 0)); }, 0, QXERR_BADPARAM},
      {"SaaCreateCvtW(NULL)", [] { return Addr(qxSaaCreateCvtW(nullptr, 0)); }, 0, QXERR_BADPARAM},
      {"SaaCreateCvtA(\"\")", [] { return Addr(qxSaaCreateCvtA("", 0xFFFFFFFFu)); }, 0,
       QXERR_BADPARAM},
      {"SaaCreateCvtW(\"^\")",
       [] { return Addr(qxSaaCreateCvtW(Widen("^").c_str(), QXSAA_PATTERN)); }, 0, QXERR_BADPARAM},
      {"GrepExA(NULL text)", [] { return Addr(qxGrepExA(nullptr, "a", 0, nullptr)); }, 0,
       QXERR_BADPARAM},
      {"GrepExW(NULL pattern)",
       [] { return Addr(qxGrepExW(Widen("a").c_str(), nullptr, 1, nullptr)); }, 0, QXERR_BADPARAM},
      {"GrepA(NULL text)", [] { return Addr(qxGrepA(nullptr, "a")); }, 0, QXERR_BADPARAM},
      {"GrepW(NULL pattern)", [] { return Addr(qxGrepW(Widen("a").c_str(), nullptr)); }, 0,
       QXERR_BADPARAM},
  });
}

// Long search strings compile and scan; the matchers' nesting grows with
// the pattern, so the longest patterns are where a stack would run out.
TEST(HardeningSweep, LongSearchStrings) {
  for (std::size_t n : kLongW) {
    SCOPED_TRACE(n);
    const std::string text = std::string(7, 'b') + std::string(n, 'a');
    const WString wtext = Widen(text);
    if (n <= 4096) {
      QXHCVT a = qxSaaCreateCvtA(std::string(n, 'a').c_str(), QXSAA_NOCASE);
      ASSERT_NE(a, nullptr);
      EXPECT_EQ(qxSaaScanStringA(a, text.c_str()), text.c_str() + 7);
      EXPECT_EQ(qxSaaGetMatchLength(a), n);
      EXPECT_EQ(qxSaaCloseCvt(a), 1);
    }
    QXHCVT w = qxSaaCreateCvtW(WString(n, QXWCHAR('a')).c_str(), 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(qxSaaScanStringW(w, wtext.c_str()), wtext.c_str() + 7);
    EXPECT_EQ(qxSaaGetMatchLength(w), n);
    EXPECT_EQ(qxSaaCloseCvt(w), 1);

    QXDWORD length = 0;
    EXPECT_EQ(qxGrepExW(wtext.c_str(), Widen("a+").c_str(), 0, &length), wtext.c_str() + 7);
    EXPECT_EQ(length, n);
    // Every element optional: a node each, and one scanner level per node.
    // Past 2048 nodes the converter is refused; before the limit, such a
    // pattern ran the calling thread out of stack and ended the process.
    WString optional;
    while (optional.size() + 2 <= n)
      optional += Widen("a?");
    PrimeErrCode(QXERR_NONE);
    length = 5;
    if (n < 4096) {
      EXPECT_EQ(qxGrepExW(wtext.c_str(), optional.c_str(), 0, &length), wtext.c_str());
      EXPECT_EQ(length, 0u);
      EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
    } else {
      EXPECT_EQ(qxGrepExW(wtext.c_str(), optional.c_str(), 0, &length), nullptr);
      EXPECT_EQ(length, 5u);
      EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
      EXPECT_EQ(qxSaaCreateCvtW(optional.c_str(), QXSAA_PATTERN), nullptr);
    }
    // Runs of the small matcher nest one level each.
    WString runs;
    while (runs.size() + 2 <= n)
      runs += Widen("?*");
    EXPECT_EQ(qxGrepW(wtext.c_str(), runs.c_str()), wtext.c_str());
    EXPECT_EQ(qxGrepW(wtext.c_str(), (runs + Widen("b$")).c_str()), nullptr);
    EXPECT_EQ(qxGrepA(text.c_str(), std::string(runs.size(), '?').c_str()),
              n <= text.size() ? text.c_str() : nullptr);
  }
}

}  // namespace
}  // namespace qxtest
