// The progress dialog: its resources as the DLL carries them, its states
// from create to close, both forms and both templates, and the bar scaling.
#include <cstring>
#include <initializer_list>
#include <tuple>
#include <vector>

#include "fileop/bar_scale.h"
#include "fileop/fileop_harness.h"

namespace qxtest {
namespace {

// Classic template of the full dialog: id, class, text, style, x, y, w, h.
struct Control {
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  short box[4];
};
constexpr const char* kBar = "msctls_progress32";
constexpr Control kFull[] = {
    {1003, "STATIC", "", 0x50020000, {5, 5, 275, 10}},
    {2, "BUTTON", "&Abort", 0x50010000, {295, 5, 55, 15}},
    {1004, "STATIC", "", 0x50020000, {15, 25, 330, 10}},
    {1005, "STATIC", "", 0x50020000, {20, 40, 10, 10}},
    {1006, "STATIC", "", 0x50020000, {35, 40, 310, 10}},
    {-1, "STATIC", "File size :", 0x50020000, {15, 60, 50, 8}},
    {1007, "STATIC", "", 0x50020000, {70, 60, 100, 10}},
    {1008, "STATIC", "", 0x50020002, {180, 60, 50, 10}},
    {1009, kBar, "Progress1", 0x58800000, {25, 76, 310, 15}},
    {-1, "STATIC", "File count :", 0x50020000, {15, 100, 55, 8}},
    {1010, "STATIC", "", 0x50020000, {70, 100, 100, 10}},
    {1011, "STATIC", "", 0x50020002, {180, 100, 50, 10}},
    {1012, kBar, "Progress1", 0x58800000, {25, 115, 310, 15}},
    {-1, "STATIC", "Total size :", 0x50020000, {15, 140, 50, 8}},
    {1013, "STATIC", "", 0x50020000, {70, 140, 100, 10}},
    {1014, "STATIC", "", 0x50020002, {180, 140, 50, 10}},
    {1015, kBar, "Progress1", 0x58800000, {25, 155, 310, 15}},
};

TEST(ProgressResources, TemplatesAndStringsAreExact) {
  HMODULE library = GetModuleHandleA("qxdll32.dll");
  for (const auto& [id, height, count] : {std::tuple{101, 59 + 126, 17}, std::tuple{102, 59, 5}}) {
    SCOPED_TRACE(testing::Message() << "template " << id);
    HRSRC found = FindResourceExA(library, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr) << "no dialog in language 1041";
    const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(library, found)));
    auto take = [&p](auto value) {
      std::memcpy(&value, p, sizeof value);
      p += sizeof value;
      return value;
    };
    // A string, or 0xFFFF and a predefined class's atom.
    auto name = [&]() -> std::string {
      if (take(WORD{}) == 0xFFFF) return take(WORD{}) == 0x80 ? "BUTTON" : "STATIC";
      p -= 2;
      std::string text;
      for (WORD c; (c = take(WORD{})) != 0;)
        text += c < 0x80 ? static_cast<char>(c) : '?';
      return text;
    };
    EXPECT_EQ(take(DWORD{}), 0x90C00AC1u);
    take(DWORD{});
    ASSERT_EQ(take(WORD{}), count);
    take(DWORD{});  // x, y
    EXPECT_EQ(take(short{}), 359);
    EXPECT_EQ(take(short{}), height);
    EXPECT_EQ(name(), "");  // no menu
    EXPECT_EQ(name(), "");  // the standard dialog class
    EXPECT_EQ(name(), "q.x File Operation");
    EXPECT_EQ(take(WORD{}), 9);
    std::u16string font;
    for (char16_t c; (c = take(char16_t{})) != 0;)
      font += c;
    EXPECT_EQ(font, u"ＭＳ Ｐゴシック");
    for (int i = 0; i < count; ++i) {
      const Control& want = kFull[i];
      SCOPED_TRACE(testing::Message() << "control " << want.id);
      while (reinterpret_cast<ULONG_PTR>(p) % 4 != 0)
        ++p;
      EXPECT_EQ(take(DWORD{}), want.style);
      take(DWORD{});
      for (short expected : want.box)
        EXPECT_EQ(take(short{}), expected);
      EXPECT_EQ(static_cast<short>(take(WORD{})), want.id);
      EXPECT_EQ(lstrcmpiA(name().c_str(), want.cls), 0);  // class names fold case
      EXPECT_EQ(name(), want.text);
      EXPECT_EQ(take(WORD{}), 0) << "no creation data";
    }
  }
  const char* const strings[] = {"Moving...", "Copying...", "Deleting...", "Renaming...",
                                 "Cache flushing..."};
  for (UINT id = 1; id <= 5; ++id) {
    char text[64] = {};
    LoadStringA(library, id, text, sizeof text);
    EXPECT_STREQ(text, strings[id - 1]);
  }
}

TEST(BarScale, KeepsTheUpperEndIn16BitsAndNeverDividesByZero) {
  using qx::fileop::BarScale, qx::fileop::BarUpper, qx::fileop::Percent;
  const std::int64_t rows[][3] = {
      {0, 1, 0},      {65535, 1, 65535}, {65536, 2, 32768}, {10737418240, 163841, 65535},
      {-65536, 1, 0},  // an odd caller total counts in single units
  };
  for (const auto& [value, scale, upper] : rows) {
    EXPECT_EQ(BarScale(value), scale) << value;
    EXPECT_EQ(BarUpper(value, BarScale(value)), upper) << value;
  }
  EXPECT_EQ(BarUpper(INT32_MAX, BarScale(INT32_MAX)), 65535);
  EXPECT_EQ(Percent(1, 3), 33);
  EXPECT_EQ(Percent(5, 0), 0);
  EXPECT_EQ(Percent(INT32_MIN, -1), 0) << "no overflow trap";
}

// --- Dialog states ----------------------------------------------------------

class Dialog : public FileOpTest {
 protected:
  void SetUp() override {}
};

TEST_F(Dialog, CreateRunsTheDialogAndCloseEndsItsThread) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  PrimeErrCode(QXERR_BADPARAM);
  QXHFILEOP op = qxCreateFileOpA(owner, 0);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  FileOpRecord& record = RecordOf(op);
  EXPECT_EQ(std::memcmp(&record, "qxFO", 4), 0);
  EXPECT_FALSE(record.startPending || record.abortRequested);
  EXPECT_EQ(record.shownCaption, 0u);
  EXPECT_EQ(record.fileCountTotal, -1);
  EXPECT_EQ(record.totalBytes, -1);
  EXPECT_EQ(record.fileCountDone + record.totalBytesDone, 0);
  HWND dialog = record.dialogWindow;
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  EXPECT_FALSE(IsWindowEnabled(owner));
  EXPECT_TRUE(ControlEnabled(op, IDCANCEL) && IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
  EXPECT_FALSE(ControlEnabled(op, IDC_FILEOP_COUNT_BAR)) << "bars start disabled";

  HANDLE thread;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), record.threadHandle, GetCurrentProcess(),
                              &thread, SYNCHRONIZE, FALSE, 0));
  EXPECT_EQ(qxCloseFileOp(op), 1);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "close waited for the thread";
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(owner));
  CloseHandle(thread);

  // Without a dialog (its owner is gone) create fails instead of waiting.
  DestroyWindow(owner);
  EXPECT_EQ(qxCreateFileOpA(owner, 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);
  EXPECT_EQ(qxCreateFileOpW(owner, QXFOC_SHORT), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);
}

TEST_F(Dialog, WideFormWithBothTemplates) {
  QXHFILEOP op = qxCreateFileOpW(nullptr, QXFOC_SHORT | QXFOC_NOABORT);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(GetDlgItem(DialogOf(op), IDC_FILEOP_FILE_SIZE), nullptr);
  EXPECT_FALSE(ControlEnabled(op, IDCANCEL));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(DialogOf(op), IDCANCEL)));
  // Names no ANSI code page holds whole.
  WString from = dir_.W(""), to = dir_.W("");
  from.append(L"\\\u65e5\u672c\U0001F600.txt");
  to.append(L"\\sub\\\u65e5\u672c.txt");
  HANDLE file = CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written;
  WriteFile(file, "wide", 4, &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(qxSetFileOpEntry(op, 1, 0, 4, 0, 0, 0), 1) << "harmless without the bars";
  ASSERT_EQ(qxOperateFileOpW(op, QXFOP_COPY, from.c_str(), to.c_str(), 0), 1);
  EXPECT_EQ(GetFileAttributesW(to.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  auto text = [&](QXHFILEOP of, int id) {
    WCHAR line[512] = {};
    GetDlgItemTextW(DialogOf(of), id, line, 512);
    return WString(line);
  };
  EXPECT_EQ(text(op, IDC_FILEOP_SOURCE), from);
  EXPECT_EQ(text(op, IDC_FILEOP_TARGET), to);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_CAPTION), "Copying...");
  EXPECT_EQ(qxOperateFileOpA(op, QXFOP_DELETE, "x", nullptr, 0), 0) << "A call on a W handle";
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  EXPECT_EQ(qxCloseFileOp(op), 1);

  op = qxCreateFileOpW(nullptr, 0);
  ASSERT_NE(op, nullptr);
  ASSERT_EQ(qxOperateFileOpW(op, QXFOP_MOVE, to.c_str(), from.c_str(), QXFOF_OVERWRITE), 1);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_FILE_SIZE), OfTotal(4, 4));
  EXPECT_EQ(ControlText(op, IDC_FILEOP_FILE_PERCENT), "100 %");
  static const QXWCHAR caption[] = L"\u78ba\u8a8d";
  ASSERT_EQ(qxOperateFileOpW(op, reinterpret_cast<UINT_PTR>(caption), from.c_str(), nullptr, 0), 1);
  EXPECT_EQ(text(op, IDC_FILEOP_CAPTION), caption);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_TOTAL), "8");
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

TEST_F(Dialog, DestinationWithoutRoomForAUniqueNameIsRefused) {
  // An existing file whose path is 1000 characters: a unique name could not
  // fit the 1024-character buffer, so nothing may change on disk.
  std::vector<WString> folders{L"\\\\?\\" + dir_.W("")};
  for (wchar_t c = L'a'; c < L'e'; ++c) {
    folders.push_back(folders.back() + L"\\" + WString(200, c));
    ASSERT_TRUE(CreateDirectoryW(folders.back().c_str(), nullptr));
  }
  const WString path =
      folders.back() + L"\\" + WString(1000 - folders.back().size() - 5, L'f') + L".txt";
  ASSERT_EQ(path.size(), 1000u);
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  const WString source = dir_.W("src");
  CloseHandle(CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  QXHFILEOP op = qxCreateFileOpW(nullptr, QXFOC_SHORT);
  ASSERT_NE(op, nullptr);
  for (QXDWORD policy : {QXFOF_NEWNAME, QXFOF_MOVEASIDE}) {
    EXPECT_EQ(qxOperateFileOpW(op, QXFOP_MOVE, source.c_str(), path.c_str(), policy), 0);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  }
  EXPECT_EQ(qxCloseFileOp(op), 1);
  EXPECT_NE(GetFileAttributesW(source.c_str()), INVALID_FILE_ATTRIBUTES);
  // Only this test's own calls reach so deep; it clears the folder itself.
  EXPECT_TRUE(DeleteFileW(path.c_str())) << "the existing file stays where it was";
  while (folders.size() > 1) {
    RemoveDirectoryW(folders.back().c_str());
    folders.pop_back();
  }
}

}  // namespace
}  // namespace qxtest
