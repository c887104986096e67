// COM class registration below HKEY_CLASSES_ROOT under Wine, through both
// forms: every flag combination is checked key by key against the tree it
// must write, with a class identifier and ProgIDs unique to this process.
#include <gtest/gtest.h>
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "registry/reg_forms.h"
#include "registry/reg_scratch.h"
#include "support/test_support.h"

namespace {

using qxtest::DumpTree;
using qxtest::KeyExists;
using qxtest::PrimeErrCode;
using Lines = std::vector<std::string>;

std::string GuidText(const GUID& guid) {
  wchar_t wide[64];
  StringFromGUID2(guid, wide, 64);
  std::string text;
  for (const wchar_t* p = wide; *p != 0; ++p)
    text += static_cast<char>(*p);
  return text;
}

// What one registration call is given.
struct Registration {
  DWORD flags = 0;
  const char* server = "C:\\servers\\sample.dll";
  const char* description = "Sample class";
  bool withProgIds = true;
  DWORD misc = 0;
  const GUID* typeLib = nullptr;
  DWORD version = 0;
};

template <class F>
class ComRegisterTest : public ::testing::Test {
 protected:
  ComRegisterTest() {
    CoCreateGuid(&clsid_);
    guid_ = GuidText(clsid_);
    classKey_ = "CLSID\\" + guid_;
    progId_ = qxtest::UniqueName("QxTest.Sample") + ".1";
    viProgId_ = qxtest::UniqueName("QxTest.Sample");
    Cleanup();
  }
  ~ComRegisterTest() override {
    Cleanup();
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, classKey_)) << "left behind: " << classKey_;
  }
  void Cleanup() {
    for (const std::string* key : {&classKey_, &progId_, &viProgId_})
      qxtest::DeleteTree(HKEY_CLASSES_ROOT, *key);
  }

  HRESULT Register(const Registration& r) {
    return F::Register(&clsid_, r.flags, r.server, r.description,
                       r.withProgIds ? progId_.c_str() : nullptr,
                       r.withProgIds ? viProgId_.c_str() : nullptr, r.misc, r.typeLib, r.version);
  }
  HRESULT Unregister() { return F::Unregister(&clsid_, progId_.c_str(), viProgId_.c_str()); }

  // The class key's tree as it must be written, line by line in DumpTree's
  // form, built from the documented table rather than from the code.
  Lines ExpectedClassTree(const Registration& r) const {
    static const char* const kModels[] = {nullptr, "Apartment", "Free", "Both"};
    Lines lines;
    const auto key = [&](const std::string& name, const char* value) {
      lines.push_back(name);
      if (value != nullptr) lines.push_back(name + "|(default)=" + value);
    };
    if (r.description != nullptr) lines.push_back(std::string("|(default)=") + r.description);
    const std::string server = (r.flags & 3) != 0 ? "LocalServer32" : "InprocServer32";
    key(server, r.server);
    if (const char* model = kModels[(r.flags >> 2) & 3])
      lines.push_back(server + "|ThreadingModel=" + model);
    if (r.flags & 0x10) key("Insertable", nullptr);
    if (r.flags & 0x20) key("Programmable", nullptr);
    if (r.flags & 0x40) key("Control", nullptr);
    if (r.flags >> 16)
      key("ToolboxBitmap32", (std::string(r.server) + "," + std::to_string(r.flags >> 16)).c_str());
    if (r.misc != 0) {
      key("MiscStatus", "0");
      lines.push_back("MiscStatus|1=" + std::to_string(static_cast<int>(r.misc)));
    }
    if (r.withProgIds) {
      key("ProgID", progId_.c_str());
      key("VersionIndependentProgID", viProgId_.c_str());
    }
    if (r.typeLib != nullptr) key("TypeLib", GuidText(*r.typeLib).c_str());
    if (r.version != 0)
      key("Version",
          (std::to_string(r.version & 0xFFFF) + "." + std::to_string(r.version >> 16)).c_str());
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  Lines ExpectedProgIdTree(const char* description, const char* curVer) const {
    Lines lines = {"CLSID", "CLSID|(default)=" + guid_};
    if (description != nullptr) lines.push_back(std::string("|(default)=") + description);
    if (curVer != nullptr) {
      lines.push_back("CurVer");
      if (*curVer != 0) lines.push_back(std::string("CurVer|(default)=") + curVer);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  GUID clsid_{};
  std::string guid_, classKey_, progId_, viProgId_;
};

using Forms = ::testing::Types<qxtest::AForm, qxtest::WForm>;
TYPED_TEST_SUITE(ComRegisterTest, Forms);

TYPED_TEST(ComRegisterTest, EveryFlagCombinationWritesExactlyItsTree) {
  const GUID typeLib = {
      0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};
  for (DWORD low = 0; low < 0x80; ++low) {
    for (DWORD bitmap : {0u, 5u}) {
      Registration r;
      r.flags = low | (bitmap << 16);
      // Half the rows carry every optional item, half none.
      const bool full = (low & 1) == 0;
      r.withProgIds = full;
      r.description = full ? "Sample class" : nullptr;
      // Status bits print as signed decimal; the version as low "." high.
      r.misc = !full ? 0 : bitmap != 0 ? 0x80000000 : 0x00020181;
      r.typeLib = full ? &typeLib : nullptr;
      r.version = !full ? 0 : bitmap != 0 ? 0xFFFF0000 : 0x00020001;
      SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << r.flags);

      ASSERT_EQ(this->Register(r), S_OK);
      EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, this->classKey_), this->ExpectedClassTree(r));
      if (full) {
        EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, this->progId_),
                  this->ExpectedProgIdTree(r.description, nullptr));
        EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, this->viProgId_),
                  this->ExpectedProgIdTree(r.description, this->progId_.c_str()));
      }
      ASSERT_EQ(this->Unregister(), S_OK);
      ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_));
      ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->progId_));
      ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->viProgId_));
    }
  }
}

TYPED_TEST(ComRegisterTest, NullDescriptionAndProgIdLeaveTheirValuesOut) {
  using F = TypeParam;
  ASSERT_EQ(F::Register(&this->clsid_, 2, "srv.exe", nullptr, nullptr, this->viProgId_.c_str(), 0,
                        nullptr, 0),
            S_OK);
  EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, this->classKey_),
            (Lines{"LocalServer32", "LocalServer32|(default)=srv.exe", "VersionIndependentProgID",
                   "VersionIndependentProgID|(default)=" + this->viProgId_}));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_));
  EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, this->viProgId_), this->ExpectedProgIdTree(nullptr, ""));
}

TYPED_TEST(ComRegisterTest, RegistrationKeepsOtherKeysAndUnregistrationTakesThemAll) {
  using F = TypeParam;
  qxtest::WriteRaw(HKEY_CLASSES_ROOT, this->classKey_ + "\\Extra\\Deep", "v", REG_SZ, "old");
  ASSERT_EQ(this->Register(Registration{}), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_ + "\\Extra\\Deep"));

  // Null ProgIDs remove the class key only.
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(F::Unregister(&this->clsid_, nullptr, nullptr), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, this->progId_));
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE);

  // Missing keys still give S_OK; the failed deletion shows in the error code.
  EXPECT_EQ(this->Unregister(), S_OK);
  EXPECT_EQ(qxGetErrCode(), QXERR_REGOPEN);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->progId_));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->viProgId_));
}

TYPED_TEST(ComRegisterTest, BadArgumentsWriteAndDeleteNothing) {
  using F = TypeParam;
  EXPECT_EQ(F::Register(nullptr, 0, "srv.dll", "d", nullptr, nullptr, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_EQ(F::Register(&this->clsid_, 0, nullptr, "d", nullptr, nullptr, 0, nullptr, 0),
            E_INVALIDARG);
  // An empty ProgID would name HKEY_CLASSES_ROOT itself.
  EXPECT_EQ(F::Register(&this->clsid_, 0, "srv.dll", "d", "", nullptr, 0, nullptr, 0),
            E_INVALIDARG);
  EXPECT_EQ(F::Register(&this->clsid_, 0, "srv.dll", "d", nullptr, "", 0, nullptr, 0),
            E_INVALIDARG);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_));

  ASSERT_EQ(this->Register(Registration{}), S_OK);
  EXPECT_EQ(F::Unregister(nullptr, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(F::Unregister(&this->clsid_, "", nullptr), E_INVALIDARG);
  EXPECT_EQ(F::Unregister(&this->clsid_, nullptr, ""), E_INVALIDARG);
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, this->classKey_));
}

// A write that fails neither stops the sequence nor changes the result; the
// library error code tells the last failure.
TYPED_TEST(ComRegisterTest, FailingWritesAreSkipped) {
  using F = TypeParam;
  const std::string longProgId(1100, 'p');  // too long to compose its CLSID sub-key
  PrimeErrCode(QXERR_NONE);
  ASSERT_EQ(F::Register(&this->clsid_, 0, "srv.dll", "d", longProgId.c_str(), nullptr, 0, nullptr,
                        0x00030002),
            S_OK);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  const Lines tree = DumpTree(HKEY_CLASSES_ROOT, this->classKey_);
  EXPECT_NE(std::find(tree.begin(), tree.end(), "ProgID|(default)=" + longProgId), tree.end());
  EXPECT_NE(std::find(tree.begin(), tree.end(), "Version|(default)=2.3"), tree.end());
}

TYPED_TEST(ComRegisterTest, GuidTextNeeds39UnitsAndIsUpperCase) {
  using F = TypeParam;
  using Ch = typename F::Ch;
  const GUID guid = {0x89ABCDEF, 0x0123, 0x4567, {0x89, 0xAB, 0xCD, 0xEF, 0xFE, 0xDC, 0xBA, 0x98}};
  const auto expected = qxtest::Arg<Ch>("{89ABCDEF-0123-4567-89AB-CDEFFEDCBA98}").text();
  Ch text[48];
  std::memset(text, 0x7E, sizeof text);
  EXPECT_EQ(F::GuidText(&guid, text, 39), S_OK);
  EXPECT_EQ(std::basic_string<Ch>(text), expected);
  EXPECT_EQ(text[39], static_cast<Ch>(0x7E7E)) << "nothing written past the terminator";

  // One unit short: E_FAIL in both forms, and the A form writes nothing.
  std::memset(text, 0x7E, sizeof text);
  EXPECT_EQ(F::GuidText(&guid, text, 38), E_FAIL);
  if (sizeof(Ch) == 1) {
    EXPECT_EQ(text[0], static_cast<Ch>(0x7E));
  }
  EXPECT_EQ(F::GuidText(&guid, text, 0), E_FAIL);
  EXPECT_EQ(F::GuidText(nullptr, text, 39), E_INVALIDARG);
  EXPECT_EQ(F::GuidText(&guid, nullptr, 39), E_INVALIDARG);
}

}  // namespace
