// Registry access under Wine's real registry: every row runs through the A
// and the W form, below a scratch key of its own that is passed as the root.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <sddl.h>

#include <cstring>
#include <string>

#include "registry/reg_forms.h"
#include "registry/reg_scratch.h"
#include "support/test_support.h"

namespace {

using qxtest::KeyExists;
using qxtest::PrimeErrCode;
using qxtest::ReadRaw;
using qxtest::ScratchKey;
using qxtest::WriteRaw;

template <class F>
class RegistryTest : public ::testing::Test {
 protected:
  ScratchKey scratch_;
  HKEY root() const { return scratch_.root(); }
  static std::basic_string<typename F::Ch> Text(const char* s) {
    return qxtest::Arg<typename F::Ch>(s).text();
  }
};

using Forms = ::testing::Types<qxtest::AForm, qxtest::WForm>;
TYPED_TEST_SUITE(RegistryTest, Forms);

TYPED_TEST(RegistryTest, EachTypeReadsBackWhatWasWrittenAndKeepsTheErrorCode) {
  using F = TypeParam;
  using Ch = typename F::Ch;
  const BYTE blob[] = {0x00, 0x01, 0x7F, 0xFF, 0x5C};
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::SetStr(this->root(), "app", "sect", "name", "hello world"), 1);
  EXPECT_EQ(F::SetDword(this->root(), "app", "sect", "num", 0xDEADBEEF), 1);
  EXPECT_EQ(F::SetBin(this->root(), "app", "sect", "blob", blob, sizeof blob), 1);
  EXPECT_EQ(F::SetStr(this->root(), "app", nullptr, nullptr, "default"), 1);

  // Stored exactly: strings with their terminator, in the form's units.
  DWORD type = 0;
  std::string raw;
  ASSERT_TRUE(ReadRaw(this->root(), "app\\sect", "num", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw, std::string("\xEF\xBE\xAD\xDE", 4));
  ASSERT_TRUE(ReadRaw(this->root(), "app\\sect", "blob", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw, std::string(reinterpret_cast<const char*>(blob), sizeof blob));

  const auto hello = this->Text("hello world");
  const DWORD exact = static_cast<DWORD>((hello.size() + 1) * sizeof(Ch));
  Ch text[32];
  std::memset(text, 0x7E, sizeof text);
  EXPECT_EQ(F::GetStr(this->root(), "app", "sect", "name", text, exact), 1);
  EXPECT_EQ(std::basic_string<Ch>(text), hello);
  DWORD number = 0;
  EXPECT_EQ(F::GetDword(this->root(), "app", "sect", "num", &number), 1);
  EXPECT_EQ(number, 0xDEADBEEFu);
  BYTE bytes[8] = {};
  EXPECT_EQ(F::GetBin(this->root(), "app", "sect", "blob", bytes, sizeof bytes), 1);
  EXPECT_EQ(std::memcmp(bytes, blob, sizeof blob), 0);

  // A null or empty value name is the default value; a null sub-key uses the
  // key path alone, which may itself hold several components.
  EXPECT_EQ(F::GetStr(this->root(), "app", nullptr, nullptr, text, sizeof text), 1);
  EXPECT_EQ(std::basic_string<Ch>(text), this->Text("default"));
  EXPECT_EQ(F::GetStr(this->root(), "app", nullptr, "", text, sizeof text), 1);
  EXPECT_EQ(F::GetDword(this->root(), "app\\sect", nullptr, "num", &number), 1);
  EXPECT_EQ(F::Find(this->root(), "app\\sect", nullptr), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success must not clear the error code";

  // One byte short of the string fails the query and tells nothing more.
  EXPECT_EQ(F::GetStr(this->root(), "app", "sect", "name", text, exact - 1), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGQUERY);
  EXPECT_EQ(F::GetBin(this->root(), "app", "sect", "blob", bytes, sizeof blob - 1), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGQUERY);
}

TYPED_TEST(RegistryTest, MissingKeysAndValuesFailWithTheirCodes) {
  using F = TypeParam;
  typename F::Ch text[16];
  DWORD number = 0;
  BYTE bytes[16];
  WriteRaw(this->root(), "present", "v", REG_SZ, std::string("x", 2));

  EXPECT_EQ(F::Find(this->root(), "absent", nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetStr(this->root(), "present", "absent", "v", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetDword(this->root(), "absent", nullptr, "v", &number), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);

  EXPECT_EQ(F::GetStr(this->root(), "present", nullptr, "w", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGQUERY);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetBin(this->root(), "present", nullptr, nullptr, bytes, sizeof bytes), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGQUERY) << "no default value was written";
}

// Only REG_SZ, REG_DWORD and REG_BINARY are accepted, each by its own
// reader; the data of a mismatched value is already in the buffer.
TYPED_TEST(RegistryTest, TypeMismatchIsBadDataWithTheDataCopied) {
  using F = TypeParam;
  using Ch = typename F::Ch;
  WriteRaw(this->root(), "k", "sz", REG_SZ, std::string("ab", 3));
  WriteRaw(this->root(), "k", "long", REG_SZ, std::string("abcdef", 7));
  WriteRaw(this->root(), "k", "expand", REG_EXPAND_SZ, std::string("%x%", 4));
  WriteRaw(this->root(), "k", "multi", REG_MULTI_SZ, std::string("a\0b\0", 5));
  WriteRaw(this->root(), "k", "big", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\1", 4));
  WriteRaw(this->root(), "k", "dw", REG_DWORD, std::string("\1\0\0\0", 4));
  WriteRaw(this->root(), "k", "bin", REG_BINARY, std::string("\1\2", 2));

  // A short REG_SZ fits four bytes: its bytes land in the number. The A
  // form stores "ab" and its terminator; the W form reads the 4 bytes of
  // L"ab" and fails the query because the terminator does not fit.
  DWORD number = 0xFFFFFFFF;
  if (sizeof(Ch) == 1) {
    EXPECT_EQ(F::GetDword(this->root(), "k", nullptr, "sz", &number), 0);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
    EXPECT_EQ(number, 0xFF006261u);
  }
  EXPECT_EQ(F::GetDword(this->root(), "k", nullptr, "long", &number), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGQUERY);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetDword(this->root(), "k", nullptr, "big", &number), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
  EXPECT_EQ(number, 0x01000000u);

  Ch text[16] = {};
  EXPECT_EQ(F::GetStr(this->root(), "k", nullptr, "expand", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
  EXPECT_EQ(std::basic_string<Ch>(text), this->Text("%x%")) << "not expanded, but copied";
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetStr(this->root(), "k", nullptr, "multi", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetStr(this->root(), "k", nullptr, "bin", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);

  BYTE bytes[8] = {};
  EXPECT_EQ(F::GetBin(this->root(), "k", nullptr, "dw", bytes, sizeof bytes), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
  EXPECT_EQ(bytes[0], 1);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::GetBin(this->root(), "k", nullptr, "sz", bytes, sizeof bytes), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
}

TYPED_TEST(RegistryTest, NullArgumentsAreBadParamAndTouchNothing) {
  using F = TypeParam;
  typename F::Ch text[8];
  DWORD number = 0;
  BYTE bytes[8];
  const auto expectBadParam = [](QXBOOL result) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    PrimeErrCode(QXERR_NONE);
  };
  WriteRaw(this->root(), "k\\child", "v", REG_DWORD, std::string("\1\0\0\0", 4));
  PrimeErrCode(QXERR_NONE);
  expectBadParam(F::Find(this->root(), nullptr, "k"));
  expectBadParam(F::GetStr(this->root(), nullptr, "k", "v", text, sizeof text));
  expectBadParam(F::GetStr(this->root(), "k", "child", "v", nullptr, sizeof text));
  expectBadParam(F::GetDword(this->root(), nullptr, "k", "v", &number));
  expectBadParam(F::GetDword(this->root(), "k", "child", "v", nullptr));
  expectBadParam(F::GetBin(this->root(), nullptr, "k", "v", bytes, sizeof bytes));
  expectBadParam(F::GetBin(this->root(), "k", "child", "v", nullptr, sizeof bytes));
  expectBadParam(F::SetStr(this->root(), nullptr, "k", "v", "x"));
  expectBadParam(F::SetDword(this->root(), nullptr, "k", "v", 1));
  expectBadParam(F::SetBin(this->root(), nullptr, "k", "v", bytes, 1));
  // A null or empty path would name the root itself and empty its subtree.
  expectBadParam(F::Delete(this->root(), nullptr));
  expectBadParam(F::Delete(this->root(), ""));
  EXPECT_TRUE(KeyExists(this->root(), "k\\child"));
}

TYPED_TEST(RegistryTest, WritesCreateEveryMissingKeyAndNullDataOnlyCreates) {
  using F = TypeParam;
  const BYTE one = 1;
  DWORD type = 0;
  std::string raw;
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::SetStr(this->root(), "a\\b\\c", "d", nullptr, nullptr), 1);
  EXPECT_TRUE(KeyExists(this->root(), "a\\b\\c\\d"));
  EXPECT_FALSE(ReadRaw(this->root(), "a\\b\\c\\d", nullptr, &type, &raw));

  EXPECT_EQ(F::SetBin(this->root(), "e", nullptr, "none", nullptr, 4), 1);
  EXPECT_TRUE(KeyExists(this->root(), "e"));
  EXPECT_FALSE(ReadRaw(this->root(), "e", "none", &type, &raw));
  EXPECT_EQ(F::SetBin(this->root(), "e", nullptr, "empty", &one, 0), 1);
  ASSERT_TRUE(ReadRaw(this->root(), "e", "empty", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.size(), 0u);

  // Writing again replaces the value, whatever its type was.
  EXPECT_EQ(F::SetDword(this->root(), "e", nullptr, "empty", 7), 1);
  DWORD number = 0;
  EXPECT_EQ(F::GetDword(this->root(), "e", nullptr, "empty", &number), 1);
  EXPECT_EQ(number, 7u);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

// The sub-key joins the key path with exactly one backslash; the key path
// may be a predefined root's long path or a short one below an open key.
TYPED_TEST(RegistryTest, SubKeyJoinsTheKeyPathUnderAnyRoot) {
  using F = TypeParam;
  const std::string base = this->scratch_.path();
  EXPECT_EQ(F::SetStr(HKEY_CURRENT_USER, base, "x\\y", "v", "1"), 1);
  EXPECT_TRUE(KeyExists(this->root(), "x\\y"));
  EXPECT_EQ(F::Find(this->root(), "x", "y"), 1);
  EXPECT_EQ(F::Find(HKEY_CURRENT_USER, base + "\\x", "y"), 1);
  EXPECT_EQ(F::Find(this->root(), "x", "z"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  EXPECT_EQ(F::Delete(HKEY_CURRENT_USER, base + "\\x"), 1);
  EXPECT_FALSE(KeyExists(this->root(), "x"));
}

// The composed path fits 1023 units; one more is refused rather than cut
// short into some other key's path.
TYPED_TEST(RegistryTest, ComposedPathOver1023UnitsIsRefused) {
  using F = TypeParam;
  std::string longPath;
  for (int i = 0; i < 9; ++i)
    longPath += std::string(100, static_cast<char>('a' + i)) + "\\";
  longPath += std::string(1018 - longPath.size(), 'z');  // 1018 units
  EXPECT_EQ(F::Find(this->root(), longPath, "abcd"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN) << "1023 units are composed and looked up";
  EXPECT_EQ(F::Find(this->root(), longPath, "abcde"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::Find(this->root(), longPath + "123456", nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(F::Find(this->root(), longPath + "12345", nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  // An empty sub-key still adds its backslash.
  EXPECT_EQ(F::Find(this->root(), longPath + "1234", ""), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  EXPECT_EQ(F::Find(this->root(), longPath + "12345", ""), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);

  DWORD number = 0;
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::GetDword(this->root(), longPath, "abcde", nullptr, &number), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::SetDword(this->root(), longPath, "abcde", nullptr, 1), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_TRUE(qxtest::DumpTree(this->root(), "").empty()) << "nothing was created";
}

TYPED_TEST(RegistryTest, DeleteRemovesAWholeTreeDepthFirst) {
  using F = TypeParam;
  // Four levels, three children each, values everywhere.
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      for (int c = 0; c < 3; ++c) {
        const std::string path =
            "tree\\n" + std::to_string(a) + "\\n" + std::to_string(b) + "\\n" + std::to_string(c);
        WriteRaw(this->root(), path, "v", REG_SZ, path);
        WriteRaw(this->root(), path, nullptr, REG_DWORD, std::string(4, '\1'));
      }
  WriteRaw(this->root(), "treetop", "v", REG_SZ, "kept");
  WriteRaw(this->root(), "tree", "v", REG_SZ, "root value");

  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(F::Delete(this->root(), "tree"), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_FALSE(KeyExists(this->root(), "tree"));
  EXPECT_TRUE(KeyExists(this->root(), "treetop"));

  EXPECT_EQ(F::Delete(this->root(), "tree"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
}

// A key the caller may read but not change: the library asks for full
// access, so it counts as failing to open, and a deletion that meets it
// stops there with the keys deleted before it gone.
class SecuredKey {
 public:
  SecuredKey(HKEY root, const char* path) : root_(root), path_(path) {
    WriteRaw(root, path, "v", REG_SZ, std::string("x", 2));
    ok_ = Apply("D:P(A;;KRWD;;;WD)");
  }
  ~SecuredKey() { Apply("D:(A;;KA;;;WD)"); }
  // True when the registry refuses the key full access.
  bool Effective() const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, path_, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return ok_;
    RegCloseKey(key);
    return false;
  }

 private:
  bool Apply(const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
      return false;
    HKEY key = nullptr;
    bool done = false;
    if (RegOpenKeyExA(root_, path_, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
      done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
      RegCloseKey(key);
    }
    LocalFree(sd);
    return done;
  }
  HKEY root_;
  const char* path_;
  bool ok_ = false;
};

TYPED_TEST(RegistryTest, ReadOnlyKeyFailsToOpenAndStopsADeletion) {
  using F = TypeParam;
  WriteRaw(this->root(), "p\\a", "v", REG_SZ, "1");
  WriteRaw(this->root(), "p\\z", "v", REG_SZ, "1");
  SecuredKey secured(this->root(), "p\\m");
  if (!secured.Effective()) GTEST_SKIP() << "this registry does not enforce key access";

  typename F::Ch text[8];
  EXPECT_EQ(F::Find(this->root(), "p", "m"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::GetStr(this->root(), "p\\m", nullptr, "v", text, sizeof text), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::SetStr(this->root(), "p\\m", nullptr, "v", "y"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGCREATE);

  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::Delete(this->root(), "p"), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  EXPECT_FALSE(KeyExists(this->root(), "p\\a")) << "taken before the refusing key";
  EXPECT_TRUE(KeyExists(this->root(), "p\\m"));
  EXPECT_TRUE(KeyExists(this->root(), "p\\z")) << "the deletion stops at the first failure";
}

// Key names hold up to 255 characters, which in Shift_JIS take up to 510
// bytes: the A form's enumeration buffer must hold them, or the deletion
// would stop at such a key.
TEST(RegistryDbcs, DeleteTakesLongDoubleByteNames) {
  QX_REQUIRE_CP932();
  ScratchKey scratch;
  std::string name;
  for (int i = 0; i < 200; ++i)
    name += "\x95\x5C";  // a trail byte of 0x5C, a backslash byte-wise
  ASSERT_EQ(qxRegSetKeyAndStrValueA(scratch.root(), "p", name.c_str(), "v", "x"), 1);
  EXPECT_EQ(qxRegFindKeyA(scratch.root(), "p", name.c_str()), 1);
  EXPECT_EQ(qxRegDeleteKeyA(scratch.root(), "p"), 1);
  EXPECT_FALSE(KeyExists(scratch.root(), "p"));
}

}  // namespace
