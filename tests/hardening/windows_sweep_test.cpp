// Hardening sweep of the Windows-only families: registry access, COM
// registration arguments, the file operation engine's arguments and
// extremes, window placement and the folder browser's refusals (only those
// that fail before anything is shown), and the frame's queries.
#include <windows.h>

#include <climits>
#include <commctrl.h>
#include <string>
#include <vector>

#include "fileop/scratch.h"
#include "hardening/sweep.h"

namespace qxtest {
namespace {

using U = std::uintptr_t;

// A registry key of the test's own below HKEY_CURRENT_USER, deleted first
// and after with the system's calls.
class RegistryKey {
 public:
  RegistryKey() : path_("Software\\qx-hardening-" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
  }
  ~RegistryKey() {
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  HKEY root() const { return key_; }

 private:
  std::string path_;
  HKEY key_ = nullptr;
};

TEST(HardeningWindows, RegistryArguments) {
  RegistryKey scratch;
  const HKEY root = scratch.root();
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(qxRegSetKeyAndStrValueA(root, "k", nullptr, "s", "hello"), 1);
  ASSERT_EQ(qxRegSetKeyAndDwordValueA(root, "k", nullptr, "d", 7), 1);
  const BYTE four[4] = {1, 2, 3, 4};
  ASSERT_EQ(qxRegSetKeyAndBinValueA(root, "k", nullptr, "b", four, 4), 1);
  const WString wk = Widen("k");
  const WString ws = Widen("s");
  Guarded<char> buffer(16);
  Guarded<QXWCHAR> wbuffer(16);
  QXDWORD number = 0;
  const HKEY bogusRoot = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x5A5A5A50));
  std::vector<Row> rows = {
      {"RegFindKeyA(NULL path)", [&] { return U(qxRegFindKeyA(root, nullptr, "k")); }, 0,
       QXERR_BADPARAM},
      {"RegFindKeyW(NULL path)", [&] { return U(qxRegFindKeyW(root, nullptr, nullptr)); }, 0,
       QXERR_BADPARAM},
      {"RegFindKeyA(NULL root)", [&] { return U(qxRegFindKeyA(nullptr, "k", nullptr)); }, 0,
       QXERR_REGOPEN},
      {"RegFindKeyA(bogus root)", [&] { return U(qxRegFindKeyA(bogusRoot, "k", nullptr)); }, 0,
       QXERR_REGOPEN},
      {"RegGetStrValueA(NULL path)",
       [&] { return U(qxRegGetStrValueA(root, nullptr, nullptr, "s", buffer.get(), 16)); }, 0,
       QXERR_BADPARAM},
      {"RegGetStrValueA(NULL buffer)",
       [&] { return U(qxRegGetStrValueA(root, "k", nullptr, "s", nullptr, 16)); }, 0,
       QXERR_BADPARAM},
      {"RegGetStrValueW(NULL buffer)",
       [&] { return U(qxRegGetStrValueW(root, wk.c_str(), nullptr, ws.c_str(), nullptr, 16)); }, 0,
       QXERR_BADPARAM},
      {"RegGetStrValueA(size 0)",
       [&] { return U(qxRegGetStrValueA(root, "k", nullptr, "s", buffer.get(), 0)); }, 0,
       QXERR_REGQUERY},
      {"RegGetStrValueA(size 5)",
       [&] { return U(qxRegGetStrValueA(root, "k", nullptr, "s", buffer.get(), 5)); }, 0,
       QXERR_REGQUERY},
      {"RegGetStrValueW(size 1)",
       [&] {
         return U(qxRegGetStrValueW(root, wk.c_str(), nullptr, ws.c_str(), wbuffer.get(), 1));
       },
       0, QXERR_REGQUERY},
      {"RegGetDwordValueA(NULL out)",
       [&] { return U(qxRegGetDwordValueA(root, "k", nullptr, "d", nullptr)); }, 0, QXERR_BADPARAM},
      {"RegGetDwordValueW(NULL out)",
       [&] { return U(qxRegGetDwordValueW(root, wk.c_str(), nullptr, nullptr, nullptr)); }, 0,
       QXERR_BADPARAM},
      {"RegGetDwordValueA(of a binary)",
       [&] { return U(qxRegGetDwordValueA(root, "k", nullptr, "b", &number)); }, 0, QXERR_BADDATA},
      {"RegGetBinValueA(NULL buffer)",
       [&] { return U(qxRegGetBinValueA(root, "k", nullptr, "b", nullptr, 4)); }, 0,
       QXERR_BADPARAM},
      {"RegGetBinValueW(size 0)",
       [&] {
         return U(qxRegGetBinValueW(root, wk.c_str(), nullptr, Widen("b").c_str(),
                                    reinterpret_cast<BYTE*>(buffer.get()), 0));
       },
       0, QXERR_REGQUERY},
      {"RegSetKeyAndStrValueA(NULL path)",
       [&] { return U(qxRegSetKeyAndStrValueA(root, nullptr, nullptr, "s", "x")); }, 0,
       QXERR_BADPARAM},
      {"RegSetKeyAndDwordValueW(NULL path)",
       [&] { return U(qxRegSetKeyAndDwordValueW(root, nullptr, nullptr, nullptr, 1)); }, 0,
       QXERR_BADPARAM},
      {"RegSetKeyAndBinValueA(NULL path)",
       [&] { return U(qxRegSetKeyAndBinValueA(root, nullptr, nullptr, nullptr, four, 4)); }, 0,
       QXERR_BADPARAM},
      {"RegSetKeyAndBinValueA(NULL data, max size)",
       [&] { return U(qxRegSetKeyAndBinValueA(root, "k", nullptr, "b", nullptr, 0xFFFFFFFFu)); }, 1,
       kUntouched},
      {"RegSetKeyAndBinValueW(data, size 0)",
       [&] {
         return U(qxRegSetKeyAndBinValueW(root, wk.c_str(), nullptr, Widen("e").c_str(), four, 0));
       },
       1, kUntouched},
      {"RegSetKeyAndStrValueA(bogus root)",
       [&] { return U(qxRegSetKeyAndStrValueA(bogusRoot, "k", nullptr, "s", "x")); }, 0,
       QXERR_REGCREATE},
      {"RegDeleteKeyA(NULL)", [&] { return U(qxRegDeleteKeyA(root, nullptr)); }, 0, QXERR_BADPARAM},
      {"RegDeleteKeyW(empty)", [&] { return U(qxRegDeleteKeyW(root, Widen("").c_str())); }, 0,
       QXERR_BADPARAM},
      {"RegDeleteKeyA(NULL root)", [&] { return U(qxRegDeleteKeyA(nullptr, "k")); }, 0,
       QXERR_REGOPEN},
  };
  RunRows(rows);
  EXPECT_TRUE(buffer.Untouched());
  EXPECT_TRUE(wbuffer.Untouched());
  // The binary value was left as it was by the creation-only write; the
  // empty one was written empty.
  BYTE back[8] = {};
  EXPECT_EQ(qxRegGetBinValueA(root, "k", nullptr, "b", back, 8), 1);
  EXPECT_EQ(back[3], 4);
  EXPECT_EQ(qxRegGetBinValueA(root, "k", nullptr, "e", back, 0), 1);
}

// Composed key paths past 1023 units are refused before the registry is
// asked; a path that fits but names no key fails at the open or create.
TEST(HardeningWindows, RegistryOverlongPaths) {
  RegistryKey scratch;
  const HKEY root = scratch.root();
  std::vector<Row> rows;
  for (std::size_t n : kLongA) {
    const std::string p = LongA("", n);
    const QXDWORD tooLong = n > 1023 ? QXERR_BADPARAM : 0;
    rows.push_back({"RegFindKeyA " + std::to_string(n),
                    [=] { return U(qxRegFindKeyA(root, p.c_str(), nullptr)); }, 0,
                    tooLong ? tooLong : QXERR_REGOPEN});
    rows.push_back({"RegFindKeyA sub " + std::to_string(n),
                    [=] { return U(qxRegFindKeyA(root, p.substr(2).c_str(), "x")); }, 0,
                    tooLong ? tooLong : QXERR_REGOPEN});
    rows.push_back({"RegSetKeyAndDwordValueA " + std::to_string(n),
                    [=] { return U(qxRegSetKeyAndDwordValueA(root, p.c_str(), nullptr, "d", 1)); },
                    0, tooLong ? tooLong : QXERR_REGCREATE});
    rows.push_back({"RegGetStrValueA " + std::to_string(n),
                    [=] {
                      Guarded<char> out(8);
                      const U r =
                          qxRegGetStrValueA(root, "k", p.substr(2).c_str(), nullptr, out.get(), 8);
                      EXPECT_TRUE(out.Untouched());
                      return r;
                    },
                    0, tooLong ? tooLong : QXERR_REGOPEN});
    rows.push_back({"RegDeleteKeyA " + std::to_string(n),
                    [=] { return U(qxRegDeleteKeyA(root, p.c_str())); }, 0, QXERR_REGOPEN});
  }
  for (std::size_t n : kLongW) {
    const WString p = LongW("", n);
    const QXDWORD tooLong = n > 1023 ? QXERR_BADPARAM : 0;
    rows.push_back({"RegFindKeyW " + std::to_string(n),
                    [=] { return U(qxRegFindKeyW(root, p.c_str(), nullptr)); }, 0,
                    tooLong ? tooLong : QXERR_REGOPEN});
    rows.push_back(
        {"RegSetKeyAndStrValueW " + std::to_string(n),
         [=] { return U(qxRegSetKeyAndStrValueW(root, p.c_str(), nullptr, nullptr, p.c_str())); },
         0, tooLong ? tooLong : QXERR_REGCREATE});
    rows.push_back({"RegGetDwordValueW " + std::to_string(n),
                    [=] {
                      QXDWORD v = 0x5A5A5A5A;
                      const U r = qxRegGetDwordValueW(root, p.c_str(), nullptr, nullptr, &v);
                      EXPECT_EQ(v, 0x5A5A5A5Au);
                      return r;
                    },
                    0, tooLong ? tooLong : QXERR_REGOPEN});
    rows.push_back({"RegDeleteKeyW " + std::to_string(n),
                    [=] { return U(qxRegDeleteKeyW(root, p.c_str())); }, 0, QXERR_REGOPEN});
  }
  RunRows(rows);
}

TEST(HardeningWindows, GuidAndServerArguments) {
  const GUID guid = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
  const WString server = Widen("C:\\x.dll");
  std::vector<Row> rows = {
      {"StringFromGuidA(NULL guid)",
       [] {
         char b[64];
         return U(qxStringFromGuidA(nullptr, b, 64));
       },
       U(E_INVALIDARG), kUntouched},
      {"StringFromGuidW(NULL buffer)", [&] { return U(qxStringFromGuidW(&guid, nullptr, 64)); },
       U(E_INVALIDARG), kUntouched},
      {"StringFromGuidA(NULL buffer)", [&] { return U(qxStringFromGuidA(&guid, nullptr, 64)); },
       U(E_INVALIDARG), kUntouched},
      {"RegisterServerA(NULL clsid)",
       [] {
         return U(
             qxRegisterServerA(nullptr, 0, "C:\\x.dll", nullptr, nullptr, nullptr, 0, nullptr, 0));
       },
       U(E_INVALIDARG), kUntouched},
      {"RegisterServerW(NULL server)",
       [&] {
         return U(qxRegisterServerW(&guid, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
       },
       U(E_INVALIDARG), kUntouched},
      {"RegisterServerW(empty ProgID)",
       [&] {
         return U(qxRegisterServerW(&guid, 0, server.c_str(), nullptr, Widen("").c_str(), nullptr,
                                    0, nullptr, 0));
       },
       U(E_INVALIDARG), kUntouched},
      {"RegisterServerA(empty version-independent ProgID)",
       [&] {
         return U(qxRegisterServerA(&guid, 0, "C:\\x.dll", nullptr, "a.b", "", 0, nullptr, 0));
       },
       U(E_INVALIDARG), kUntouched},
      {"UnregisterServerA(NULL clsid)", [] { return U(qxUnregisterServerA(nullptr, "a", "b")); },
       U(E_INVALIDARG), kUntouched},
      {"UnregisterServerW(empty ProgID)",
       [&] { return U(qxUnregisterServerW(&guid, Widen("").c_str(), nullptr)); }, U(E_INVALIDARG),
       kUntouched},
  };
  RunRows(rows);
  // Too small a buffer fails with nothing outside it; 39 units and any
  // larger claimed size write exactly the string and its terminator.
  for (int size : {INT_MIN, -1, 0, 1, 38, 39, INT_MAX}) {
    SCOPED_TRACE(size);
    const HRESULT want = size >= 39 ? S_OK : E_FAIL;
    Guarded<char> a(64);
    Guarded<QXWCHAR> w(64);
    PrimeErrCode(QXERR_BADPARAM);
    EXPECT_EQ(qxStringFromGuidA(&guid, a.get(), size), want);
    EXPECT_EQ(qxStringFromGuidW(&guid, w.get(), size), want);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    EXPECT_TRUE(a.GuardsIntact());
    EXPECT_TRUE(w.GuardsIntact());
    if (want == S_OK) {
      EXPECT_EQ(a.Text(), "{12345678-9ABC-DEF0-0102-030405060708}");
      EXPECT_EQ(a.get()[39], Guarded<char>::kPoison);
      EXPECT_EQ(w.get()[39], Guarded<QXWCHAR>::kPoison);
    } else if (size <= 0) {
      EXPECT_TRUE(a.Untouched());
    }
  }
}

// The placement functions report through their result only; the browser's
// refusals come before anything is shown.
TEST(HardeningWindows, WindowsAndBrowser) {
  const HWND bogus = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5A5A50));
  Guarded<char> path(MAX_PATH);
  Guarded<QXWCHAR> wpath(MAX_PATH);
  std::vector<Row> rows = {
      {"GetWindowPosi(NULL)",
       [] {
         const POINT p = qxGetWindowPosi(nullptr);
         return U(p.x == 0 && p.y == 0);
       },
       1, kUntouched},
      {"GetWindowPosi(bogus)",
       [&] {
         const POINT p = qxGetWindowPosi(bogus);
         return U(p.x == 0 && p.y == 0);
       },
       1, kUntouched},
      {"SetWindowPosi(NULL)", [] { return U(qxSetWindowPosi(nullptr, INT_MIN, INT_MAX)); }, 0,
       kUntouched},
      {"SetWindowPosi(bogus)", [&] { return U(qxSetWindowPosi(bogus, 1, 1)); }, 0, kUntouched},
      {"CenterWindowPosi(NULL)", [] { return U(qxCenterWindowPosi(nullptr)); }, 0, kUntouched},
      {"CenterWindowPosi(bogus)", [&] { return U(qxCenterWindowPosi(bogus)); }, 0, kUntouched},
      {"BrowseFolderA(NULL path)", [] { return U(qxBrowseFolderA(nullptr, "t", nullptr, "C:\\")); },
       0, QXERR_BADPARAM},
      {"BrowseFolderA(NULL start)",
       [&] { return U(qxBrowseFolderA(nullptr, nullptr, path.get(), nullptr)); }, 0,
       QXERR_BADPARAM},
      {"BrowseFolderW", [&] { return U(qxBrowseFolderW(bogus, nullptr, wpath.get(), nullptr)); }, 0,
       QXERR_NOTSUPPORTED},
      {"BrowseFolderW(all NULL)",
       [] { return U(qxBrowseFolderW(nullptr, nullptr, nullptr, nullptr)); }, 0,
       QXERR_NOTSUPPORTED},
      {"GetVersion", [] { return U(qxGetVersion()); }, 113, kUntouched},
      {"GetDBCSLeadTable", [] { return U(qxGetDBCSLeadTable() != nullptr); }, 1, kUntouched},
  };
  for (std::size_t n :
       {std::size_t{259}, std::size_t{1023}, std::size_t{1024}, std::size_t{4096}}) {
    rows.push_back({"BrowseFolderA start " + std::to_string(n),
                    [&path, n] {
                      return U(
                          qxBrowseFolderA(nullptr, nullptr, path.get(), LongA("C:\\", n).c_str()));
                    },
                    0, QXERR_BADPARAM});
  }
  RunRows(rows);
  EXPECT_TRUE(path.Untouched());
  EXPECT_TRUE(wpath.Untouched());
}

class HardeningFileOp : public ::testing::Test {
 protected:
  HardeningFileOp() : dir_("hardening") {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    dir_.Touch("src.txt", "data");
    dir_.Touch("dst.txt", "old");
  }
  void SetUp() override {
    ASSERT_NE(a_ = qxCreateFileOpA(nullptr, 0), nullptr);
    ASSERT_NE(w_ = qxCreateFileOpW(nullptr, 0xFFFFFFFFu), nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(qxCloseFileOp(a_), 1);
    EXPECT_EQ(qxCloseFileOp(w_), 1);
  }
  ScratchDir dir_;
  QXHFILEOP a_ = nullptr;
  QXHFILEOP w_ = nullptr;
};

TEST_F(HardeningFileOp, ArgumentsAndExtremes) {
  const std::string src = dir_.A("src.txt");
  const std::string dst = dir_.A("dst.txt");
  const WString wsrc = dir_.W("src.txt");
  const WString wdst = dir_.W("dst.txt");
  static const char caption[] = "Checking...";
  std::vector<Row> rows = {
      {"OperateFileOpA(NULL source)",
       [&] { return U(qxOperateFileOpA(a_, QXFOP_DELETE, nullptr, nullptr, 0)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpW(copy, NULL destination)",
       [&] { return U(qxOperateFileOpW(w_, QXFOP_COPY, wsrc.c_str(), nullptr, 0)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpA(move, NULL destination)",
       [&] { return U(qxOperateFileOpA(a_, QXFOP_MOVE, src.c_str(), nullptr, 0)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpA(operation 0)",
       [&] { return U(qxOperateFileOpA(a_, 0, src.c_str(), dst.c_str(), 0)); }, 0, QXERR_BADPARAM},
      {"OperateFileOpW(operation 5)",
       [&] { return U(qxOperateFileOpW(w_, 5, wsrc.c_str(), wdst.c_str(), 0)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpA(operation 0xFFFF)",
       [&] { return U(qxOperateFileOpA(a_, 0xFFFF, src.c_str(), dst.c_str(), 0)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpA(policy 6)",
       [&] { return U(qxOperateFileOpA(a_, QXFOP_COPY, src.c_str(), dst.c_str(), 6)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpW(policy 7)",
       [&] { return U(qxOperateFileOpW(w_, QXFOP_MOVE, wsrc.c_str(), wdst.c_str(), 7)); }, 0,
       QXERR_BADPARAM},
      {"OperateFileOpA(caption, NULL source)",
       [&] {
         return U(qxOperateFileOpA(a_, reinterpret_cast<UINT_PTR>(caption), nullptr, nullptr,
                                   QXFOF_NOSOURCE));
       },
       0, QXERR_BADPARAM},
      {"OperateFileOpA(caption, no source, all flags)",
       [&] {
         return U(
             qxOperateFileOpA(a_, reinterpret_cast<UINT_PTR>(caption), "", nullptr, 0xFFFFFFFFu));
       },
       1, kUntouched},
      {"SetFileOpEntry(extremes)",
       [&] {
         return U(qxSetFileOpEntry(a_, INT_MIN, INT_MAX, 0, 0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu));
       },
       1, kUntouched},
      {"SetFileOpEntry(done past a total of 0)",
       [&] { return U(qxSetFileOpEntry(w_, 0, INT_MIN, 0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu)); }, 1,
       kUntouched},
      {"SetFileOpEntry(negative totals)",
       [&] { return U(qxSetFileOpEntry(a_, -2, -1, 5, 0xFFFFFFFFu, 1, 0x80000000u)); }, 1,
       kUntouched},
  };
  // Over-long sources do not open; over-long destinations are refused by
  // the folder step (past 1023 units) or do not open for writing.
  for (std::size_t n : kLongA) {
    const std::string p = LongA(dir_.A() + "\\", n);
    rows.push_back(
        {"OperateFileOpA long source " + std::to_string(n),
         [this, p, dst] { return U(qxOperateFileOpA(a_, QXFOP_COPY, p.c_str(), dst.c_str(), 0)); },
         0, QXERR_SRCOPEN});
    rows.push_back(
        {"OperateFileOpA long destination " + std::to_string(n),
         [this, p, src] { return U(qxOperateFileOpA(a_, QXFOP_COPY, src.c_str(), p.c_str(), 0)); },
         0, n < 1024 ? QXERR_WRITE : QXERR_BADPARAM});
  }
  for (std::size_t n : kLongW) {
    const WString p = LongW(dir_.A() + "\\", n);
    rows.push_back({"OperateFileOpW long source " + std::to_string(n),
                    [this, p, wdst] {
                      return U(qxOperateFileOpW(w_, QXFOP_MOVE, p.c_str(), wdst.c_str(), 0));
                    },
                    0, QXERR_SRCOPEN});
    rows.push_back({"OperateFileOpW long destination " + std::to_string(n),
                    [this, p, wsrc] {
                      return U(qxOperateFileOpW(w_, QXFOP_COPY, wsrc.c_str(), p.c_str(), 0));
                    },
                    0, n < 1024 ? QXERR_WRITE : QXERR_BADPARAM});
  }
  RunRows(rows);
  EXPECT_EQ(dir_.Read("src.txt"), "data");
  EXPECT_EQ(dir_.Read("dst.txt"), "old");
}

}  // namespace
}  // namespace qxtest
