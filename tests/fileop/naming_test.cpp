// File naming helpers against real files in a scratch folder, each row
// through the A and the W form; the Shift_JIS row needs code page 932.
#include <gtest/gtest.h>

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
  auto P(const std::string& rel) const { return Form::Path(dir_, rel); }
  auto T(const std::string& text) const { return Form::Text(text); }

  // Makes a unique name for `rel` and checks the result, the terminator's
  // place in a poisoned buffer and the cleared error code.
  void ExpectUniq(const std::string& rel, const QXFILETIME* time, QXDWORD mode,
                  const std::string& expected) {
    const auto path = P(rel);
    std::vector<Ch> out(path.size() + 26 + 4, Ch(0x7F));
    PrimeErrCode(QXERR_BADPARAM);
    ASSERT_EQ(Form::Uniq(out.data(), path.c_str(), time, mode), 1) << rel << " mode " << mode;
    const auto want = P(expected);
    EXPECT_EQ(out.data(), want) << rel << " mode " << mode;
    EXPECT_EQ(out[want.size() + 1], Ch(0x7F));
    EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
  }

  ScratchDir dir_{"naming"};
  qxtest::FixedTimeZone zone_{"JST-9"};
  const QXFILETIME time_ = UtcForLocal(1999, 12, 31, 13, 5, 9);
};

using Forms = ::testing::Types<AForm, WForm>;
TYPED_TEST_SUITE(Naming, Forms);

TYPED_TEST(Naming, UniquePathFollowsTheModeBits) {
  const struct {
    QXDWORD mode;
    std::vector<std::string> taken;
    const char* expected;
  } rows[] = {
      {0x00, {}, "report(1).txt"},
      {0x00, {"report(1).txt", "report(2).txt"}, "report(3).txt"},
      {0x08, {}, "report_99c31.txt"},
      {0x10, {"report_99c31.txt"}, "report_99c31(1).txt"},
      {0x0A, {"report_99c31.txt"}, "report_99c31_130509.txt"},
      {0x0A, {"report_99c31.txt", "report_99c31_130509.txt"}, "report_99c31_130509(1).txt"},
      {0x0C, {}, "report_99c31_130509.txt"},  // never the date-only name
      {0x04, {"report_130509.txt"}, "report_130509(1).txt"},
      {0x02, {}, "report_130509.txt"},
      {0x19, {}, "report_99c31(1).txt"},  // date and number, no time bit
      {0x0B, {}, "report_99c31_130509(1).txt"},
  };
  for (const auto& row : rows) {
    for (const std::string& name : row.taken)
      this->dir_.Touch(name);
    this->ExpectUniq("report.txt", &this->time_, row.mode, row.expected);
    for (const std::string& name : row.taken)
      fs::remove(this->dir_.Fs(name));
  }
  EXPECT_FALSE(this->dir_.Exists("report.txt")) << "only a name is made";
}

TYPED_TEST(Naming, UniquePathNamePartsAndDates) {
  const QXFILETIME march = UtcForLocal(2001, 3, 5, 0, 0, 0);
  const QXFILETIME june = UtcForLocal(2000, 6, 9, 23, 59, 58);
  this->ExpectUniq("a.b.txt", &this->time_, 0, "a.b(1).txt");
  this->ExpectUniq("file.", &this->time_, 0, "file(1).");
  this->ExpectUniq("x.y\\file", &this->time_, 0, "x.y\\file(1)");
  this->ExpectUniq("f.txt", &march, 0x0C, "f_01305_000000.txt");
  this->ExpectUniq("f.txt", &june, 0x0C, "f_00609_235958.txt");
  // A folder does not open as a file, so its name is free.
  fs::create_directory(this->dir_.Fs("README(1)"));
  this->ExpectUniq("README", &this->time_, 0, "README(1)");
  // Without a time, the file's own last-write time.
  this->dir_.Touch("own.txt");
  ASSERT_EQ(qxSetFileTimeA(this->dir_.A("own.txt").c_str(), &this->time_), 1);
  this->ExpectUniq("own.txt", nullptr, 0x08, "own_99c31.txt");
}

TYPED_TEST(Naming, UniquePathFailuresLeaveTheBufferAlone) {
  const auto missing = this->P("missing.txt");
  const QXFILETIME invalid = FileTime(~0ull);
  const auto longest = this->P("") + this->T(std::string(998 - this->P("").size(), 'n'));
  const auto tooLong = longest + this->T("n");
  const struct {
    const typename TypeParam::Ch* path;
    const QXFILETIME* time;
    QXDWORD code;
  } rows[] = {
      {missing.c_str(), nullptr, QXERR_SRCOPEN},
      {missing.c_str(), &invalid, QXERR_BADPARAM},  // no calendar time
      {nullptr, &this->time_, QXERR_BADPARAM},
      {tooLong.c_str(), &this->time_, QXERR_BADPARAM},  // 999 + 25 leaves no terminator
  };
  for (const auto& row : rows) {
    std::vector<typename TypeParam::Ch> out(1100, 0x7F);
    const auto untouched = out;
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::Uniq(out.data(), row.path, row.time, 0), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
    EXPECT_EQ(out, untouched);
  }
  EXPECT_EQ(TypeParam::Uniq(nullptr, missing.c_str(), &this->time_, 0), 0);
  std::vector<typename TypeParam::Ch> out(1100);
  EXPECT_EQ(TypeParam::Uniq(out.data(), longest.c_str(), &this->time_, 0), 1);
}

TYPED_TEST(Naming, RenameGoesThroughTheTemporaryName) {
  this->dir_.Touch("a.txt", "a");
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), this->T("b.txt").c_str()), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  EXPECT_EQ(this->dir_.Read("b.txt"), "a");
  EXPECT_FALSE(this->dir_.Exists("a.txt"));
  EXPECT_FALSE(this->dir_.Exists("qxdll32.tmp"));
}

TYPED_TEST(Naming, RenameFailuresMoveNothingForGood) {
  this->dir_.Touch("a.txt", "a");
  this->dir_.Touch("b.txt", "b");
  const struct {
    std::basic_string<typename TypeParam::Ch> path, newName;
    const char* tempFile;  // a file already named qxdll32.tmp, or null
    QXDWORD code;
  } rows[] = {
      {this->T("a.txt"), this->T("c.txt"), nullptr, QXERR_BADPARAM},  // no separator
      {this->T(""), this->T("c.txt"), nullptr, QXERR_BADPARAM},
      {this->P("a.txt"), this->T(std::string(1100, 'n')), nullptr, QXERR_BADPARAM},
      {this->P("a.txt"), this->T("b.txt"), nullptr, QXERR_EXISTS},
      {this->P("missing.txt"), this->T("c.txt"), nullptr, QXERR_RENAME},
      {this->P("a.txt"), this->T("c.txt"), "tmp", QXERR_RENAME},
      // A missing folder in the new name: the second move fails, the first is undone.
      {this->P("a.txt"), this->T("no\\c.txt"), nullptr, QXERR_RENAME},
  };
  for (const auto& row : rows) {
    if (row.tempFile != nullptr) this->dir_.Touch("qxdll32.tmp", row.tempFile);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::Rename(row.path.c_str(), row.newName.c_str()), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
    EXPECT_EQ(this->dir_.Read("a.txt"), "a");
    EXPECT_EQ(this->dir_.Read("b.txt"), "b");
    EXPECT_EQ(this->dir_.Exists("qxdll32.tmp"), row.tempFile != nullptr);
    fs::remove(this->dir_.Fs("qxdll32.tmp"));
  }
  EXPECT_EQ(TypeParam::Rename(nullptr, this->T("c.txt").c_str()), 0);
  EXPECT_EQ(TypeParam::Rename(this->P("a.txt").c_str(), nullptr), 0);
  EXPECT_FALSE(this->dir_.Exists("c.txt"));
}

TYPED_TEST(Naming, FolderChainIsMadeAboveTheLastComponent) {
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(TypeParam::MakeDirs(this->P("a\\b\\c\\f.txt").c_str()), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  EXPECT_TRUE(fs::is_directory(this->dir_.Fs("a\\b\\c")));
  EXPECT_FALSE(this->dir_.Exists("a\\b\\c\\f.txt"));
  EXPECT_EQ(TypeParam::MakeDirs(this->P("a\\b\\c\\f.txt").c_str()), 1) << "all there already";
  EXPECT_EQ(TypeParam::MakeDirs(this->P("x/y\\z/").c_str()), 1) << "trailing separator";
  EXPECT_TRUE(fs::is_directory(this->dir_.Fs("x\\y\\z")));
  EXPECT_EQ(TypeParam::MakeDirs(this->P("d\\\\f").c_str()), 1) << "a doubled separator is a top";
  EXPECT_FALSE(this->dir_.Exists("d"));
}

TYPED_TEST(Naming, FolderChainFailures) {
  this->dir_.Touch("file");
  const struct {
    std::basic_string<typename TypeParam::Ch> path;
    QXDWORD code;
  } rows[] = {
      {this->T("file.txt"), QXERR_BADPARAM},
      {this->P("file\\sub\\f.txt"), QXERR_MKDIR},  // a file stands where a folder must go
      {this->P(std::string(1030, 'n') + "\\f"), QXERR_BADPARAM},
  };
  for (const auto& row : rows) {
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(TypeParam::MakeDirs(row.path.c_str()), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
  }
  EXPECT_EQ(TypeParam::MakeDirs(nullptr), 0);
}

TEST(NamingDbcs, TrailByte5CNeverCutsAName) {
  QX_REQUIRE_CP932();
  ScratchDir dir("naming-sjis");
  // 0x95 0x5C is one character whose trail byte reads as a backslash.
  const std::string folder = dir.A("\x95\x5C\\\x95\x5C");
  ASSERT_EQ(qxMakeDirectoriesA((folder + "\\f.txt").c_str()), 1);
  HANDLE file = CreateFileA((folder + "\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "the folders were made whole";
  CloseHandle(file);
  ASSERT_EQ(qxRenameFileA((folder + "\\f.txt").c_str(), "\x95\x5C.txt"), 1);
  const std::string path = folder + "\\\x95\x5C.txt";
  std::vector<char> out(path.size() + 27);
  const QXFILETIME time = FileTime(qxtest::CalendarTicks(2001, 3, 5));
  ASSERT_EQ(qxMakeUniqPathA(out.data(), path.c_str(), &time, 0), 1);
  EXPECT_EQ(std::string(out.data()), folder + "\\\x95\x5C(1).txt");
}

}  // namespace
