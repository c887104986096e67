// Registry access and COM registration under Wine's real registry, each row
// through the A and the W form: registry rows below a scratch key passed as
// the root, COM rows with a class identifier and ProgIDs of their own. Test
// data is made and checked with the system's own calls.
#include <windows.h>
// after windows.h
#include <sddl.h>

#include <tuple>
#include <vector>

#include "support/qxtest.h"

namespace {

using namespace std::string_literals;  // "\0\1"s keeps its zero bytes
using namespace qxtest;
using Got = std::pair<QXBOOL, std::string>;  // a read's result and the bytes it left
using Lines = std::vector<std::string>;
// Names of the tests' own, cleared before and after (the code-page runs take turns).
const std::string kRoot = "Software\\qx-test", kProg = "qx.test.prog", kVi = "qx.test.vi",
                  kClsid = "{89ABCDEF-0123-4567-89AB-CDEF01234567}";
const GUID kClass = {0x89ABCDEF, 0x123, 0x4567, {0x89, 0xAB, 0xCD, 0xEF, 1, 0x23, 0x45, 0x67}};

void Put(HKEY root, const std::string& path, const std::string& data, DWORD type = REG_SZ) {
  RegSetKeyValueA(root, path.c_str(), "v", type, data.data(), static_cast<DWORD>(data.size()));
}
// A key's subtree as lines "key=default |name=value" (string values only).
void Dump(HKEY parent, const std::string& path, const std::string& label, Lines& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  std::string line = label, named;
  char name[256], data[1200];
  for (DWORD i = 0, n = 256, size = 1200;
       RegEnumValueA(key, i, name, &n, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == 0;
       ++i, n = 256, size = 1200)
    (*name == 0 ? line : named) += (*name == 0 ? "=" : " |" + std::string(name) + "=") + data;
  out.push_back(line + named);
  for (DWORD i = 0, n = 256;
       RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) == 0; ++i, n = 256)
    Dump(key, name, label + "\\" + name, out);
  RegCloseKey(key);
}

// The class key (C) and the ProgID keys (P, V), each key's lines in the
// registry's own order, which is by name.
Lines Tree() {
  Lines out;
  for (const auto& [key, label] : {std::pair{"CLSID\\" + kClsid, "C"}, {kProg, "P"}, {kVi, "V"}})
    Dump(HKEY_CLASSES_ROOT, key, label, out);
  return out;
}

template <class Ch>
class Registry : public ::testing::Test {
 protected:
  Registry() { Clear(), RegCreateKeyA(HKEY_CURRENT_USER, kRoot.c_str(), &r_); }
  ~Registry() override { RegCloseKey(r_), Clear(); }
  static void Clear() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
    for (const std::string& key : {"CLSID\\" + kClsid, kProg, kVi})
      RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
  }
  // The text as this form stores it: its units' bytes with the terminator.
  static std::string Bytes(const std::string& text) {
    const auto s = S<Ch>(text);
    return std::string(reinterpret_cast<const char*>(s.c_str()), (s.size() + 1) * sizeof(Ch));
  }
  // A read of a string ('s', size in units), a number ('d') or bytes ('b'),
  // and what it left in a buffer of '~': the data after success or a type
  // mismatch (it is copied before the type is checked), nothing otherwise.
  Got Get(char kind, const char* key, const char* sub, const char* name, DWORD size = 16) {
    using F = Form<Ch>;
    std::string out(64, '~');
    const Arg<Ch> k(key), s(sub), n(name);
    auto* b = reinterpret_cast<BYTE*>(out.data());
    const QXBOOL ok =
        kind == 's'   ? F::RegGetStrValue(r_, k, s, n, reinterpret_cast<Ch*>(b), size * sizeof(Ch))
        : kind == 'd' ? F::RegGetDwordValue(r_, k, s, n, reinterpret_cast<QXDWORD*>(b))
                      : F::RegGetBinValue(r_, k, s, n, b, size);
    out.erase(ok || qxGetErrCode() == QXERR_BADDATA ? out.find_last_not_of('~') + 1 : 0);
    return {ok, out};
  }
  HKEY r_ = nullptr;
};
TYPED_TEST_SUITE(Registry, Forms, FormName);

TYPED_TEST(Registry, ValuesFailuresAndDeletion) {
  using F = Form<TypeParam>;
  using T = Arg<TypeParam>;
  const HKEY r = this->r_;
  const BYTE blob[] = {0, 1, 0x7F, 0xFF, 0x5C};
  // Writes create every missing key; a sub-key joins the path with one backslash.
  EXPECT_QXOK(F::RegSetKeyAndStrValue(r, T("a"), T("b\\c"), T("s"), T("hello")), 1);
  EXPECT_QXOK(F::RegSetKeyAndStrValue(r, T("a\\b\\c"), nullptr, nullptr, T("top")), 1);
  EXPECT_QXOK(F::RegSetKeyAndDwordValue(r, T("a\\b"), T("c"), T("d"), 0xDEADBEEF), 1);
  EXPECT_QXOK(F::RegSetKeyAndBinValue(r, T("a\\b\\c"), nullptr, T("b"), blob, 5), 1);
  EXPECT_QXOK(F::RegSetKeyAndStrValue(r, T("x"), T("y"), T("s"), nullptr), 1);  // the key alone
  EXPECT_QXOK(this->Get('s', "a\\b", "c", "s", 6), Got(1, this->Bytes("hello")));
  EXPECT_QXFAIL(this->Get('s', "a\\b", "c", "s", 5), Got(0, ""), QXERR_REGQUERY);
  EXPECT_QXOK(this->Get('s', "a", "b\\c", nullptr), Got(1, this->Bytes("top")));
  EXPECT_QXOK(this->Get('d', "a\\b\\c", nullptr, "d"), Got(1, "\xEF\xBE\xAD\xDE"));
  EXPECT_QXOK(this->Get('b', "a\\b\\c", nullptr, "b", 5), Got(1, "\0\1\x7F\xFF\\"s));
  EXPECT_QXFAIL(this->Get('s', "x\\y", nullptr, "s"), Got(0, ""), QXERR_REGQUERY);
  EXPECT_QXOK(F::RegFindKey(r, T("x"), T("y")), 1);

  Put(r, "k\\expand", "%x%\0"s, REG_EXPAND_SZ);
  Put(r, "k\\big", "\0\0\0\1"s, REG_DWORD_BIG_ENDIAN);
  EXPECT_QXFAIL(this->Get('s', "k", "expand", "v"), Got(0, this->Bytes("%x%")), QXERR_BADDATA);
  EXPECT_QXFAIL(this->Get('d', "k", "big", "v"), Got(0, "\0\0\0\1"s), QXERR_BADDATA);

  // Failures tell the step that failed.
  EXPECT_QXFAIL(F::RegFindKey(r, nullptr, T("k")), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(this->Get('s', nullptr, "k", "big"), Got(0, ""), QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegGetStrValue(r, T("k"), T("big"), T("v"), nullptr, 8), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegSetKeyAndDwordValue(r, nullptr, T("k"), T("v"), 1), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegDeleteKey(r, T(nullptr)), 0, QXERR_BADPARAM);  // both name the root
  EXPECT_QXFAIL(F::RegDeleteKey(r, T("")), 0, QXERR_BADPARAM);
  // Composed paths fit 1023 units (an empty sub-key still adds its
  // backslash); a longer one is refused rather than cut into another key's.
  // (A component of 1018 units is longer than any key name can be.)
  const std::string p(1018, 'p');
  EXPECT_QXFAIL(F::RegFindKey(r, T(p), T("abcd")), 0, QXERR_REGOPEN);
  EXPECT_QXFAIL(F::RegFindKey(r, T(p), T("abcde")), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegFindKey(r, T(p + "12345"), T("")), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegSetKeyAndDwordValue(r, T(p), T("abcde"), nullptr, 1), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::RegSetKeyAndDwordValue(r, T(p), T("abcd"), nullptr, 1), 0, QXERR_REGCREATE);
  // Keys are opened with full access: one the caller may only read fails to open.
  HKEY readOnly = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;  // read and delete only
  ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KRSD;;;WD)", 1, &sd, nullptr);
  RegCreateKeyExA(r, "ro", 0, nullptr, 0, WRITE_DAC, nullptr, &readOnly, nullptr);
  ASSERT_EQ(RegSetKeySecurity(readOnly, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
  RegCloseKey(readOnly);
  LocalFree(sd);
  EXPECT_QXFAIL(F::RegFindKey(r, T("ro"), nullptr), 0, QXERR_REGOPEN);

  // Deletion takes the whole tree, depth first.
  for (const char* key : {"t\\1\\1", "t\\1\\2", "t\\2\\1", "t\\2\\2", "top"})
    Put(r, key, "x");
  EXPECT_QXOK(F::RegDeleteKey(r, T("t")), 1);
  EXPECT_QXFAIL(F::RegDeleteKey(r, T("t")), 0, QXERR_REGOPEN);
  EXPECT_QXOK(F::RegFindKey(r, T("top"), nullptr), 1);
  // The longest key names, 255 characters (510 bytes in Shift_JIS, with
  // trail bytes of 0x5C), fit the name buffer of the deletion.
  if (!std::is_same_v<TypeParam, char> || Cp932()) {
    std::string sjis;
    for (int i = 0; i < 255; ++i)
      sjis += "\x95\x5C";
    const T name(Both{sjis, std::u16string(255, u'\u8868')});
    EXPECT_QXOK(F::RegSetKeyAndStrValue(r, T("q"), name, nullptr, nullptr), 1);
    EXPECT_QXOK(F::RegDeleteKey(r, T("q")), 1);
  }
}

TYPED_TEST(Registry, ComRegistrationAndGuidText) {
  using F = Form<TypeParam>;
  using T = Arg<TypeParam>;
  const GUID libId = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};
  const T p(kProg), v(kVi);
  const GUID* c = &kClass;
  // Every flag and field, then a local server with no description nor ProgID.
  EXPECT_QXOK(
      F::RegisterServer(c, 0x0005002C, T("s"), T("D"), p, v, 0x00020181, &libId, 0x00020001), S_OK);
  EXPECT_EQ(Tree(),
            (Lines{"C=D", "C\\InprocServer32=s |ThreadingModel=Both", "C\\MiscStatus=0 |1=131457",
                   "C\\ProgID=" + kProg, "C\\Programmable", "C\\ToolboxBitmap32=s,5",
                   "C\\TypeLib={0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", "C\\Version=1.2",
                   "C\\VersionIndependentProgID=" + kVi, "P=D", "P\\CLSID=" + kClsid, "V=D",
                   "V\\CLSID=" + kClsid, "V\\CurVer=" + kProg}));
  EXPECT_QXOK(F::UnregisterServer(c, p, v), S_OK);
  EXPECT_EQ(Tree(), Lines{});
  EXPECT_QXOK(
      F::RegisterServer(c, 0x75, T("s"), nullptr, nullptr, v, 1u << 31, nullptr, 0xFFFF0000), S_OK);
  EXPECT_EQ(
      Tree(),
      (Lines{"C", "C\\Control", "C\\Insertable", "C\\LocalServer32=s |ThreadingModel=Apartment",
             "C\\MiscStatus=0 |1=-2147483648", "C\\Programmable", "C\\Version=0.65535",
             "C\\VersionIndependentProgID=" + kVi, "V", "V\\CLSID=" + kClsid, "V\\CurVer"}));
  EXPECT_QXOK(F::UnregisterServer(c, nullptr, v), S_OK);
  EXPECT_EQ(Tree(), Lines{});

  // Unregistration takes the keys it is given; refused arguments touch nothing.
  EXPECT_QXOK(F::RegisterServer(c, 0x8, T("s"), nullptr, p, v, 0, nullptr, 0), S_OK);
  EXPECT_EQ(Tree()[1], "C\\InprocServer32=s |ThreadingModel=Free");
  EXPECT_QXOK(F::UnregisterServer(nullptr, p, v), E_INVALIDARG);
  EXPECT_QXOK(F::UnregisterServer(c, T(""), nullptr), E_INVALIDARG);  // "" names the root
  EXPECT_QXOK(F::UnregisterServer(c, nullptr, T("")), E_INVALIDARG);
  EXPECT_QXOK(F::UnregisterServer(c, nullptr, nullptr), S_OK);
  EXPECT_EQ(Tree().size(), 5u);                                      // the ProgID keys
  EXPECT_QXFAIL(F::UnregisterServer(c, p, v), S_OK, QXERR_REGOPEN);  // the class key is gone
  EXPECT_EQ(Tree(), Lines{});
  EXPECT_QXOK(F::RegisterServer(nullptr, 0, T("s"), T("d"), p, v, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_QXOK(F::RegisterServer(c, 0, nullptr, T("d"), p, v, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_QXOK(F::RegisterServer(c, 0, T("s"), T("d"), T(""), v, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_QXOK(F::RegisterServer(c, 0, T("s"), T("d"), p, T(""), 0, nullptr, 0), E_INVALIDARG);
  EXPECT_EQ(Tree(), Lines{});

  // GUID text needs 39 units; the A form, which converts it itself, writes
  // no cut-short text.
  const auto blank = S<TypeParam>("~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~");
  auto text = blank;
  EXPECT_QXOK(F::StringFromGuid(c, text.data(), 38), E_FAIL);
  EXPECT_EQ(text, blank);
  EXPECT_QXOK(F::StringFromGuid(c, text.data(), 39), S_OK);
  EXPECT_EQ(text, S<TypeParam>(kClsid) + TypeParam(0) + TypeParam('~'));
  EXPECT_QXOK(F::StringFromGuid(nullptr, text.data(), 39), E_INVALIDARG);
  EXPECT_QXOK(F::StringFromGuid(c, nullptr, 39), E_INVALIDARG);
}

}  // namespace
