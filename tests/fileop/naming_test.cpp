// File naming helpers against real files in a scratch folder, each row
// through the A and the W form; the Shift_JIS row needs code page 932.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fileop/scratch.h"

namespace {

namespace fs = std::filesystem;
using qxtest::FileTime;
using qxtest::PrimeErrCode;
using qxtest::ScratchDir;
using qxtest::UtcForLocal;

struct AForm {
  using Ch = char;
  static std::string Path(const ScratchDir& dir, const std::string& rel) { return dir.A(rel); }
  static std::string Text(const std::string& s) { return s; }
  static QXBOOL Uniq(Ch* out, const Ch* path, const QXFILETIME* time, QXDWORD mode) {
    return qxMakeUniqPathA(out, path, time, mode);
  }
  static QXBOOL Rename(const Ch* path, const Ch* name) { return qxRenameFileA(path, name); }
  static QXBOOL MakeDirs(const Ch* path) { return qxMakeDirectoriesA(path); }
};

struct WForm {
  using Ch = QXWCHAR;
  static qxtest::WString Path(const ScratchDir& dir, const std::string& rel) { return dir.W(rel); }
  static qxtest::WString Text(const std::string& s) { return qxtest::Widen(s); }
  static QXBOOL Uniq(Ch* out, const Ch* path, const QXFILETIME* time, QXDWORD mode) {
    return qxMakeUniqPathW(out, path, time, mode);
  }
  static QXBOOL Rename(const Ch* path, const Ch* name) { return qxRenameFileW(path, name); }
  static QXBOOL MakeDirs(const Ch* path) { return qxMakeDirectoriesW(path); }
};

template <class Form>
class Naming : public ::testing::Test {
 protected:
  using Ch = typename Form::Ch;
  using Str = std::basic_string<Ch>;

  Str P(const std::string& rel) const { return Form::Path(dir_, rel); }

  // A result buffer of the path's length + 26, poisoned past the path.
  std::vector<Ch> Buffer(const Str& path) const {
    return std::vector<Ch>(path.size() + 26 + 8, Ch(0x7F));
  }

  ScratchDir dir_{"naming"};
  qxtest::FixedTimeZone zone_{"JST-9"};
  // 31 December 1999, 13:05:09 local time.
  const QXFILETIME time_ = UtcForLocal(1999, 12, 31, 13, 5, 9);
};

using Forms = ::testing::Types<AForm, WForm>;
TYPED_TEST_SUITE(Naming, Forms);

struct UniqRow {
  QXDWORD mode;
  std::vector<std::string> taken;  // files already there
  const char* expected;            // name made for "report.txt"
};

TYPED_TEST(Naming, UniquePathFollowsTheModeBits) {
  const UniqRow rows[] = {
      {0x00, {}, "report(1).txt"},
      {0x00, {"report(1).txt", "report(2).txt"}, "report(3).txt"},
      {0x08, {}, "report_99c31.txt"},
      {0x10, {}, "report_99c31.txt"},
      {0x08, {"report_99c31.txt"}, "report_99c31(1).txt"},
      {0x0A, {}, "report_99c31.txt"},
      {0x0A, {"report_99c31.txt"}, "report_99c31_130509.txt"},
      {0x0A, {"report_99c31.txt", "report_99c31_130509.txt"}, "report_99c31_130509(1).txt"},
      {0x0C, {}, "report_99c31_130509.txt"},
      {0x04, {}, "report_130509.txt"},
      {0x04, {"report_130509.txt"}, "report_130509(1).txt"},
      {0x02, {}, "report_130509.txt"},
      {0x19, {}, "report_99c31(1).txt"},
      {0x0B, {}, "report_99c31_130509(1).txt"},
      {0x01, {"report(1).txt"}, "report(2).txt"},
  };
  for (const UniqRow& row : rows) {
    ScratchDir dir("uniq");
    for (const std::string& name : row.taken)
      dir.Touch(name);
    const auto path = TypeParam::Path(dir, "report.txt");
    auto out = this->Buffer(path);
    PrimeErrCode(QXERR_BADPARAM);
    ASSERT_EQ(TypeParam::Uniq(out.data(), path.c_str(), &this->time_, row.mode), 1)
        << "mode " << row.mode;
    EXPECT_EQ(out.data(), TypeParam::Path(dir, row.expected)) << "mode " << row.mode;
    EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << "success clears the code";
    EXPECT_FALSE(dir.Exists("report.txt")) << "only a name is made";
  }
}

TYPED_TEST(Naming, UniquePathSplitsAtTheLastPeriodOfTheName) {
  const struct {
    const char* path;
    const char* expected;
  } rows[] = {
      {"a.b.txt", "a.b(1).txt"},
      {"file.", "file(1)."},
      {"x.y\\file", "x.y\\file(1)"},
      {"README", "README(1)"},
  };
  for (const auto& row : rows) {
    const auto path = this->P(row.path);
    auto out = this->Buffer(path);
    ASSERT_EQ(TypeParam::Uniq(out.data(), path.c_str(), &this->time_, 0), 1) << row.path;
    EXPECT_EQ(out.data(), this->P(row.expected));
    EXPECT_EQ(out[std::char_traits<typename TypeParam::Ch>::length(out.data()) + 1],
              typename TypeParam::Ch(0x7F))
        << "nothing written past the terminator";
  }
}

TYPED_TEST(Naming, UniquePathWritesDatesWithAHexMonth) {
  const struct {
    QXFILETIME time;
    const char* expected;
  } rows[] = {
      {UtcForLocal(2001, 3, 5, 0, 0, 0), "f_01305_000000.txt"},
      {UtcForLocal(2000, 6, 9, 23, 59, 58), "f_00609_235958.txt"},
      {UtcForLocal(2010, 10, 1, 7, 8, 9), "f_10a01_070809.txt"},
  };
  for (const auto& row : rows) {
    const auto path = this->P("f.txt");
    auto out = this->Buffer(path);
    ASSERT_EQ(TypeParam::Uniq(out.data(), path.c_str(), &row.time, 0x0C), 1);
    EXPECT_EQ(out.data(), this->P(row.expected));
  }
}

TYPED_TEST(Naming, UniquePathTakesAFolderForAFreeName) {
  fs::create_directory(this->dir_.Fs("report(1).txt"));
  const auto path = this->P("report.txt");
  auto out = this->Buffer(path);
  ASSERT_EQ(TypeParam::Uniq(out.data(), path.c_str(), &this->time_, 0), 1);
  EXPECT_EQ(out.data(), this->P("report(1).txt"));
}

TYPED_TEST(Naming, UniquePathReadsTheFilesOwnTime) {
  this->dir_.Touch("a.txt");
  const std::string a = this->dir_.A("a.txt");
  ASSERT_EQ(qxSetFileTimeA(a.c_str(), &this->time_), 1);
  const auto path = this->P("a.txt");
  auto out = this->Buffer(path);
  ASSERT_EQ(TypeParam::Uniq(out.data(), path.c_str(), nullptr, 0x0A), 1);
  EXPECT_EQ(out.data(), this->P("a_99c31.txt"));
}

TYPED_TEST(Naming, UniquePathFailuresLeaveTheBufferAlone) {
  const auto missing = this->P("missing.txt");
  auto out = this->Buffer(missing);
  const auto untouched = out;
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Uniq(out.data(), missing.c_str(), nullptr, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_SRCOPEN);
  EXPECT_EQ(out, untouched);

  const QXFILETIME invalid = FileTime(~0ull);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Uniq(out.data(), missing.c_str(), &invalid, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "no calendar time";
  EXPECT_EQ(out, untouched);

  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Uniq(nullptr, missing.c_str(), &this->time_, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Uniq(out.data(), nullptr, &this->time_, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

TYPED_TEST(Naming, UniquePathRefusesANameThatCouldOutgrowItsBuffer) {
  // 998 characters leave room for the longest suffix within 1024.
  const auto base = this->P("");
  for (const std::size_t length : {998u, 999u}) {
    const auto path = base + TypeParam::Text(std::string(length - base.size(), 'n'));
    auto out = this->Buffer(path);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::Uniq(out.data(), path.c_str(), &this->time_, 0), length == 998 ? 1 : 0);
    EXPECT_EQ(qxGetErrCode(), length == 998 ? QXERR_NONE : QXERR_BADPARAM);
  }
}

TYPED_TEST(Naming, RenameMovesTheFileAndKeepsTheCode) {
  this->dir_.Touch("a.txt", "content");
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), TypeParam::Text("b.txt").c_str()), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  EXPECT_FALSE(this->dir_.Exists("a.txt"));
  EXPECT_EQ(this->dir_.Read("b.txt"), "content");
  EXPECT_FALSE(this->dir_.Exists("qxdll32.tmp"));
}

TYPED_TEST(Naming, RenameRefusals) {
  this->dir_.Touch("a.txt", "a");
  this->dir_.Touch("b.txt", "b");
  const auto name = TypeParam::Text("c.txt");
  const struct {
    typename Naming<TypeParam>::Str path;
    typename Naming<TypeParam>::Str newName;
    QXDWORD code;
  } rows[] = {
      {TypeParam::Text("a.txt"), name, QXERR_BADPARAM},  // no separator
      {TypeParam::Text(""), name, QXERR_BADPARAM},
      {this->P("a.txt"), TypeParam::Text("b.txt"), QXERR_EXISTS},
      {this->P("a.txt"), TypeParam::Text(std::string(1100, 'n')), QXERR_BADPARAM},
      {this->P("missing.txt"), name, QXERR_RENAME},
  };
  for (const auto& row : rows) {
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::Rename(row.path.c_str(), row.newName.c_str()), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
  }
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Rename(nullptr, name.c_str()), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), nullptr), 0);
  EXPECT_EQ(this->dir_.Read("a.txt"), "a");
  EXPECT_EQ(this->dir_.Read("b.txt"), "b");
  EXPECT_FALSE(this->dir_.Exists("c.txt"));
}

TYPED_TEST(Naming, RenameStopsWhenTheTemporaryNameIsTaken) {
  this->dir_.Touch("a.txt", "a");
  this->dir_.Touch("qxdll32.tmp", "tmp");
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), TypeParam::Text("b.txt").c_str()), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_RENAME);
  EXPECT_EQ(this->dir_.Read("a.txt"), "a");
  EXPECT_EQ(this->dir_.Read("qxdll32.tmp"), "tmp");
  EXPECT_FALSE(this->dir_.Exists("b.txt"));
}

TYPED_TEST(Naming, RenameMovesBackAfterAFailedSecondMove) {
  this->dir_.Touch("a.txt", "a");
  // The new name points into a missing folder: nothing is found there, the
  // first move succeeds and the second cannot.
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), TypeParam::Text("no\\b.txt").c_str()), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_RENAME);
  EXPECT_EQ(this->dir_.Read("a.txt"), "a");
  EXPECT_FALSE(this->dir_.Exists("qxdll32.tmp"));
}

TYPED_TEST(Naming, FolderChainIsMadeAboveTheLastComponent) {
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(TypeParam::MakeDirs(this->P("a\\b\\c\\f.txt").c_str()), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  EXPECT_TRUE(this->dir_.IsFolder("a\\b\\c"));
  EXPECT_FALSE(this->dir_.Exists("a\\b\\c\\f.txt"));

  ASSERT_EQ(TypeParam::MakeDirs(this->P("a\\b\\c\\f.txt").c_str()), 1) << "all there already";
  ASSERT_EQ(TypeParam::MakeDirs(this->P("x/y\\z/").c_str()), 1) << "trailing separator";
  EXPECT_TRUE(this->dir_.IsFolder("x\\y\\z"));
  ASSERT_EQ(TypeParam::MakeDirs(this->P("top.txt").c_str()), 1);
  EXPECT_FALSE(this->dir_.Exists("top.txt"));
  ASSERT_EQ(TypeParam::MakeDirs(this->P("d\\\\f").c_str()), 1) << "a doubled separator is a top";
  EXPECT_FALSE(this->dir_.Exists("d"));
}

TYPED_TEST(Naming, FolderChainFailures) {
  this->dir_.Touch("file");
  const struct {
    typename Naming<TypeParam>::Str path;
    QXDWORD code;
  } rows[] = {
      {TypeParam::Text("file.txt"), QXERR_BADPARAM},
      {this->P("file\\sub\\f.txt"), QXERR_MKDIR},  // a file stands where a folder must go
      {this->P(std::string(1030, 'n') + "\\f"), QXERR_BADPARAM},
  };
  for (const auto& row : rows) {
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::MakeDirs(row.path.c_str()), 0) << row.code;
    EXPECT_EQ(qxGetErrCode(), row.code);
  }
  EXPECT_EQ(TypeParam::MakeDirs(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

TEST(NamingDbcs, FolderChainKeepsADoubleByteCharacterWhole) {
  QX_REQUIRE_CP932();
  ScratchDir dir("naming-sjis");
  // 0x95 0x5C is one character whose trail byte reads as a backslash.
  const std::string folder = dir.A("\x95\x5C\\\x95\x5C");
  ASSERT_EQ(qxMakeDirectoriesA((folder + "\\f.txt").c_str()), 1);
  HANDLE file = CreateFileA((folder + "\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "the folders were made whole";
  CloseHandle(file);

  const std::string path = folder + "\\\x95\x5C.txt";
  std::vector<char> out(path.size() + 27, 0x7F);
  const QXFILETIME time = FileTime(qxtest::CalendarTicks(2001, 3, 5));
  ASSERT_EQ(qxMakeUniqPathA(out.data(), path.c_str(), &time, 0), 1);
  EXPECT_EQ(std::string(out.data()), folder + "\\\x95\x5C(1).txt");
  ASSERT_EQ(qxRenameFileA((folder + "\\f.txt").c_str(), "\x95\x5C.txt"), 1);
  file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

// UTF-16 text as the W forms' character type (wchar_t on Windows).
qxtest::WString U16(const char16_t* text) {
  qxtest::WString out;
  for (; *text != 0; ++text)
    out += static_cast<QXWCHAR>(*text);
  return out;
}

TEST(NamingWide, NonAsciiNamesPassThrough) {
  ScratchDir dir("naming-wide");
  // U+65E5 U+672C as folder and file names.
  qxtest::WString folder = dir.W("");
  folder += U16(u"\\\u65E5\u672C");
  ASSERT_EQ(qxMakeDirectoriesW((folder + U16(u"\\f")).c_str()), 1);
  EXPECT_TRUE(fs::is_directory(dir.Fs("") / fs::path(u8"\u65E5\u672C")));
  const qxtest::WString path = folder + U16(u"\\\u672C.txt");
  std::vector<QXWCHAR> out(path.size() + 27, 0x7F);
  const QXFILETIME time = FileTime(qxtest::CalendarTicks(2001, 3, 5));
  ASSERT_EQ(qxMakeUniqPathW(out.data(), path.c_str(), &time, 0), 1);
  EXPECT_EQ(qxtest::WString(out.data()), folder + U16(u"\\\u672C(1).txt"));
}

}  // namespace
