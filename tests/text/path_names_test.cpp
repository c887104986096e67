// Path and URL helpers. Each row runs through the A and the W form; DBCS
// rows (Shift_JIS, A form only) run when the library is on code page 932.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

using qxtest::PrimeErrCode;

struct AForm {
  using Ch = char;
  static std::string Make(const std::string& s) { return s; }
  static Ch* ScanFile(Ch* p) { return qxScanFileNameA(p); }
  static Ch* ScanExt(Ch* p) { return qxScanExtNameA(p); }
  static QXBOOL Path(Ch* p) { return qxControlRightPathA(p); }
  static QXBOOL Url(Ch* p) { return qxControlRightUrlA(p); }
};

struct WForm {
  using Ch = QXWCHAR;
  static qxtest::WString Make(const std::string& s) { return qxtest::Widen(s); }
  static Ch* ScanFile(Ch* p) { return qxScanFileNameW(p); }
  static Ch* ScanExt(Ch* p) { return qxScanExtNameW(p); }
  static QXBOOL Path(Ch* p) { return qxControlRightPathW(p); }
  static QXBOOL Url(Ch* p) { return qxControlRightUrlW(p); }
};

// The string in a heap block of exactly its size, so that ASan reports any
// read or write past the terminator.
template <class Ch>
std::unique_ptr<Ch[]> ExactCopy(const std::basic_string<Ch>& s) {
  auto block = std::make_unique<Ch[]>(s.size() + 1);
  std::memcpy(block.get(), s.c_str(), (s.size() + 1) * sizeof(Ch));
  return block;
}

struct ScanRow {
  const char* input;
  int offset;  // of the result in the input; -1 for null
};

struct RewriteRow {
  const char* input;
  const char* output;
};

template <class Form>
void ExpectScan(typename Form::Ch* (*scan)(typename Form::Ch*), const ScanRow& row) {
  auto text = ExactCopy(Form::Make(row.input));
  typename Form::Ch* result = scan(text.get());
  if (row.offset < 0) {
    EXPECT_EQ(result, nullptr) << row.input;
  } else {
    EXPECT_EQ(result, text.get() + row.offset) << row.input;
  }
}

template <class Form>
void ExpectRewrite(QXBOOL (*rewrite)(typename Form::Ch*), const RewriteRow& row) {
  auto text = ExactCopy(Form::Make(row.input));
  EXPECT_EQ(rewrite(text.get()), 1) << row.input;
  EXPECT_EQ(std::basic_string<typename Form::Ch>(text.get()), Form::Make(row.output)) << row.input;
}

const ScanRow kFileNameRows[] = {
    {"file.txt", -1},  {"C:file.txt", -1}, {"", -1},           {"C:\\dir\\", 7},
    {"a/b\\c", 4},     {"\\", 1},          {"dir.d\\file", 6}, {"\\\\server\\share", 9},
    {"/usr/lib/x", 9},
};

const ScanRow kExtensionRows[] = {
    {"file.", 5}, {"dir.d\\file", -1}, {"a.b/c.d", 6}, {"archive.tar.gz", 12}, {".profile", 1},
    {"", -1},     {"noext", -1},       {"dir\\.", 5},  {"C:x.y\\z/", -1},      {"a.b\\c.", 6},
};

const RewriteRow kPathRows[] = {
    {"C:\\\\dir//sub\\\\", "C:\\dir/sub\\"},
    {"\\\\\\server\\share", "\\\\server\\share"},
    {"\\\\server", "\\\\server"},
    {"/\\x", "/\\x"},
    {"", ""},
    {"a\\/\\/b", "a\\b"},
    {"////", "//"},
    {"plain", "plain"},
    {"a//", "a/"},
    {"http://host//x", "http:/host/x"},
};

const RewriteRow kUrlRows[] = {
    {"proto://node//a///b", "proto://node/a/b"},
    {"file:///C://x", "file:///C://x"},
    {"//node/a", "/node/a"},
    {"", ""},
    {"host:8080//p//q", "host:8080/p/q"},
    {"a:/\\/b//c", "a:/\\/b/c"},
    {"a\\\\b", "a\\b"},
    {"x:", "x:"},
    {"x://", "x://"},
};

template <class Form>
class PathNames : public ::testing::Test {};

using Forms = ::testing::Types<AForm, WForm>;
TYPED_TEST_SUITE(PathNames, Forms);

TYPED_TEST(PathNames, ScanFileName) {
  for (const auto& row : kFileNameRows)
    ExpectScan<TypeParam>(TypeParam::ScanFile, row);
}

TYPED_TEST(PathNames, ScanExtName) {
  for (const auto& row : kExtensionRows)
    ExpectScan<TypeParam>(TypeParam::ScanExt, row);
}

TYPED_TEST(PathNames, ControlRightPath) {
  for (const auto& row : kPathRows)
    ExpectRewrite<TypeParam>(TypeParam::Path, row);
}

TYPED_TEST(PathNames, ControlRightUrl) {
  for (const auto& row : kUrlRows)
    ExpectRewrite<TypeParam>(TypeParam::Url, row);
}

TYPED_TEST(PathNames, NullArgumentsFailWithBadParam) {
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::ScanFile(nullptr), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::ScanExt(nullptr), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Path(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Url(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

TYPED_TEST(PathNames, OnlyScanExtNameClearsTheErrorCode) {
  auto text = TypeParam::Make("dir\\\\file");
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_NE(TypeParam::ScanFile(text.data()), nullptr);
  EXPECT_EQ(TypeParam::ScanFile(TypeParam::Make("none").data()), nullptr);
  EXPECT_EQ(TypeParam::Path(text.data()), 1);
  EXPECT_EQ(TypeParam::Url(text.data()), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(TypeParam::ScanExt(text.data()), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << "cleared even when no extension is found";
}

// 0x95 0x5C is one Shift_JIS character whose trail byte looks like a
// backslash; 0x81 alone before the terminator is a cut character.
TEST(PathNamesDbcs, TrailByteIsNeverASeparator) {
  QX_REQUIRE_CP932();
  for (const ScanRow& row : std::vector<ScanRow>{
           {"\x95\x5C"
            "abc",
            -1},
           {"dir\\\x95\x5C"
            "abc",
            4},
           {"\x95\x5C\\x", 3},
           {"dir\\\x95\x5C", 4},
       }) {
    ExpectScan<AForm>(AForm::ScanFile, row);
  }
  for (const ScanRow& row : std::vector<ScanRow>{
           {"a.\x95\x5C"
            "b",
            2},
           {"\x95\x5C.txt", 3},
           {"a.b\\\x95\x5C", -1},
       }) {
    ExpectScan<AForm>(AForm::ScanExt, row);
  }
  for (const RewriteRow& row : std::vector<RewriteRow>{
           {"\x95\x5C\\\\x", "\x95\x5C\\x"},
           {"a\\\x95\x5C\\b", "a\\\x95\x5C\\b"},
           {"\\\x95\x5C", "\\\x95\x5C"},
       }) {
    ExpectRewrite<AForm>(AForm::Path, row);
  }
  for (const RewriteRow& row : std::vector<RewriteRow>{
           {"\x95\x5C//x", "\x95\x5C/x"},
           {"c:\x95\x5C//x", "c:\x95\x5C/x"},
       }) {
    ExpectRewrite<AForm>(AForm::Url, row);
  }
}

TEST(PathNamesDbcs, CutCharacterAtTheEndStaysInsideTheString) {
  QX_REQUIRE_CP932();
  ExpectScan<AForm>(AForm::ScanFile, {"ab\\\x81", 3});
  ExpectScan<AForm>(AForm::ScanFile, {"\x81", -1});
  ExpectScan<AForm>(AForm::ScanExt, {"a.b\x81", 2});
  ExpectRewrite<AForm>(AForm::Path, {"a\\\\\x81", "a\\\x81"});
  ExpectRewrite<AForm>(AForm::Url, {"a:\x81", "a:\x81"});
}

}  // namespace
