// The progress dialog: its resources as the DLL carries them, its states
// from create to close, both forms and both templates, and the bar scaling.
#include <cstring>

#include "fileop/bar_scale.h"
#include "fileop/fileop_harness.h"

namespace qxtest {
namespace {

HMODULE Library() {
  return GetModuleHandleA("qxdll32.dll");
}

// --- Resources --------------------------------------------------------------

struct Control {
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  short x, y, cx, cy;
};

constexpr Control kFull[] = {
    {1003, "STATIC", "", 0x50020000, 5, 5, 275, 10},
    {2, "BUTTON", "&Abort", 0x50010000, 295, 5, 55, 15},
    {1004, "STATIC", "", 0x50020000, 15, 25, 330, 10},
    {1005, "STATIC", "", 0x50020000, 20, 40, 10, 10},
    {1006, "STATIC", "", 0x50020000, 35, 40, 310, 10},
    {-1, "STATIC", "File size :", 0x50020000, 15, 60, 50, 8},
    {1007, "STATIC", "", 0x50020000, 70, 60, 100, 10},
    {1008, "STATIC", "", 0x50020002, 180, 60, 50, 10},
    {1009, "msctls_progress32", "Progress1", 0x58800000, 25, 76, 310, 15},
    {-1, "STATIC", "File count :", 0x50020000, 15, 100, 55, 8},
    {1010, "STATIC", "", 0x50020000, 70, 100, 100, 10},
    {1011, "STATIC", "", 0x50020002, 180, 100, 50, 10},
    {1012, "msctls_progress32", "Progress1", 0x58800000, 25, 115, 310, 15},
    {-1, "STATIC", "Total size :", 0x50020000, 15, 140, 50, 8},
    {1013, "STATIC", "", 0x50020000, 70, 140, 100, 10},
    {1014, "STATIC", "", 0x50020002, 180, 140, 50, 10},
    {1015, "msctls_progress32", "Progress1", 0x58800000, 25, 155, 310, 15},
};

// Reads a classic dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const void* data) : p_(static_cast<const BYTE*>(data)) {}
  DWORD Dword() { return Take<DWORD>(); }
  WORD Word() { return Take<WORD>(); }
  short Short() { return Take<short>(); }
  // A string or an ordinal; ordinals of the predefined classes by name.
  std::string NameOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      switch (const WORD atom = Word()) {
        case 0x80:
          return "BUTTON";
        case 0x82:
          return "STATIC";
        default:
          return std::to_string(atom);
      }
    }
    std::string text;
    for (WORD c; (c = Word()) != 0;)
      text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }
  std::u16string Wide() {
    std::u16string text;
    for (WORD c; (c = Word()) != 0;)
      text += static_cast<char16_t>(c);
    return text;
  }
  void AlignDword() {
    while (reinterpret_cast<ULONG_PTR>(p_) % 4 != 0)
      ++p_;
  }

 private:
  WORD Peek() const {
    WORD v;
    std::memcpy(&v, p_, sizeof v);
    return v;
  }
  template <class T>
  T Take() {
    T v;
    std::memcpy(&v, p_, sizeof v);
    p_ += sizeof v;
    return v;
  }
  const BYTE* p_;
};

void CheckTemplate(int id, short height, size_t controls) {
  SCOPED_TRACE(testing::Message() << "template " << id);
  HRSRC found = FindResourceExA(Library(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id),
                                MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(found, nullptr) << "no dialog in language 1041";
  TemplateReader in(LockResource(LoadResource(Library(), found)));
  EXPECT_EQ(in.Dword(), 0x90C00AC1u);
  EXPECT_EQ(in.Dword(), 0u);
  ASSERT_EQ(in.Word(), controls);
  const short box[4] = {in.Short(), in.Short(), in.Short(), in.Short()};
  EXPECT_EQ(box[2], 359);
  EXPECT_EQ(box[3], height);
  EXPECT_EQ(in.NameOrOrdinal(), "");  // no menu
  EXPECT_EQ(in.NameOrOrdinal(), "");  // the dialog class
  EXPECT_EQ(in.NameOrOrdinal(), "q.x File Operation");
  EXPECT_EQ(in.Word(), 9);
  EXPECT_EQ(in.Wide(), u"ＭＳ Ｐゴシック");
  for (size_t i = 0; i < controls; ++i) {
    const Control& want = kFull[i];
    SCOPED_TRACE(testing::Message() << "control " << i << ", id " << want.id);
    in.AlignDword();
    EXPECT_EQ(in.Dword(), want.style);
    in.Dword();
    EXPECT_EQ(in.Short(), want.x);
    EXPECT_EQ(in.Short(), want.y);
    EXPECT_EQ(in.Short(), want.cx);
    EXPECT_EQ(in.Short(), want.cy);
    EXPECT_EQ(static_cast<short>(in.Word()), want.id);
    EXPECT_EQ(lstrcmpiA(in.NameOrOrdinal().c_str(), want.cls), 0);  // class names fold case
    EXPECT_EQ(in.NameOrOrdinal(), want.text);
    EXPECT_EQ(in.Word(), 0) << "no creation data";
  }
}

TEST(ProgressResources, TemplatesAreExact) {
  CheckTemplate(IDD_FILEOP_FULL, 185, 17);
  CheckTemplate(IDD_FILEOP_SHORT, 59, 5);
}

TEST(ProgressResources, CaptionStrings) {
  const char* const expected[] = {"Moving...", "Copying...", "Deleting...", "Renaming...",
                                  "Cache flushing..."};
  for (UINT id = 1; id <= 5; ++id) {
    char text[64] = {};
    LoadStringA(Library(), id, text, sizeof text);
    EXPECT_STREQ(text, expected[id - 1]);
  }
}

// --- Bar scaling ------------------------------------------------------------

TEST(BarScale, KeepsTheUpperEndIn16Bits) {
  using qx::fileop::BarScale;
  using qx::fileop::BarUpper;
  struct Row {
    std::int64_t value, scale;
    unsigned upper;
  };
  const Row rows[] = {
      {0, 1, 0},
      {65535, 1, 65535},
      {65536, 2, 32768},
      {10737418240, 163841, 65535},
      {INT64_MAX, 140737488355328, 65535},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BarScale(row.value), row.scale) << row.value;
    EXPECT_EQ(BarUpper(row.value, BarScale(row.value)), row.upper) << row.value;
  }
  EXPECT_EQ(BarScale(std::int32_t{INT32_MAX}), 32768);
  EXPECT_EQ(BarUpper(std::int32_t{INT32_MAX}, std::int32_t{32768}), 65535);
  // Odd totals never give a zero divisor.
  EXPECT_EQ(BarScale(std::int32_t{-65536}), 1);
  EXPECT_EQ(BarScale(std::int64_t{-131072}), 1);
}

TEST(BarScale, PercentNeverTraps) {
  using qx::fileop::Percent;
  EXPECT_EQ(Percent(std::int32_t{1}, std::int32_t{3}), 33);
  EXPECT_EQ(Percent(std::int32_t{5}, std::int32_t{0}), 0);
  EXPECT_EQ(Percent(std::int64_t{0}, std::int64_t{0}), 0);
  EXPECT_EQ(Percent(std::int64_t{10737418240}, std::int64_t{10737418240}), 100);
  EXPECT_EQ(Percent(std::int32_t{INT32_MIN}, std::int32_t{-1}), 0);
}

// --- Dialog states ----------------------------------------------------------

class Dialog : public FileOpTest {};

TEST_F(Dialog, CreateReturnsARunningRecordAndCloseEndsTheThread) {
  PrimeErrCode(QXERR_BADPARAM);
  QXHFILEOP op = qxCreateFileOpA(nullptr, 0);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  FileOpRecord& record = RecordOf(op);
  EXPECT_EQ(std::memcmp(&record, "qxFO", 4), 0);
  EXPECT_NE(record.dialogWindow.load(), nullptr);
  EXPECT_FALSE(record.startPending);
  EXPECT_FALSE(record.abortRequested);
  EXPECT_EQ(record.shownCaption, 0u);
  EXPECT_EQ(record.fileCountTotal, -1);
  EXPECT_EQ(record.fileCountDone, 0);
  EXPECT_EQ(record.totalBytes, -1);
  EXPECT_EQ(record.totalBytesDone, 0);
  EXPECT_TRUE(IsWindowVisible(record.dialogWindow));
  EXPECT_TRUE(ControlEnabled(op, IDCANCEL));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(record.dialogWindow, IDCANCEL)));
  EXPECT_FALSE(ControlEnabled(op, IDC_FILEOP_COUNT_BAR)) << "bars start disabled";

  HANDLE thread;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), record.threadHandle, GetCurrentProcess(),
                              &thread, SYNCHRONIZE, FALSE, 0));
  HWND dialog = record.dialogWindow;
  EXPECT_EQ(qxCloseFileOp(op), 1);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "close waited for the thread";
  EXPECT_FALSE(IsWindow(dialog));
  CloseHandle(thread);
}

TEST_F(Dialog, CreateFailsWhenTheDialogCannotBeMade) {
  // A destroyed owner: the dialog is never created and its thread ends.
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  EXPECT_EQ(qxCreateFileOpA(gone, 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);
  EXPECT_EQ(qxCreateFileOpW(gone, QXFOC_SHORT), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);
}

TEST_F(Dialog, NoAbortHidesTheButton) {
  QXHFILEOP op = qxCreateFileOpA(nullptr, QXFOC_NOABORT);
  ASSERT_NE(op, nullptr);
  EXPECT_FALSE(ControlEnabled(op, IDCANCEL));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(DialogOf(op), IDCANCEL)));
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

TEST_F(Dialog, OwnerIsDisabledWhileTheDialogRuns) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  QXHFILEOP op = qxCreateFileOpW(owner, QXFOC_SHORT);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(GetWindow(DialogOf(op), GW_OWNER), owner);
  EXPECT_FALSE(IsWindowEnabled(owner));
  EXPECT_EQ(qxCloseFileOp(op), 1);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST_F(Dialog, WideFormWithTheShortTemplate) {
  QXHFILEOP op = qxCreateFileOpW(nullptr, QXFOC_SHORT);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(GetDlgItem(DialogOf(op), IDC_FILEOP_FILE_SIZE), nullptr);
  // A name no ANSI code page holds whole: U+65E5 U+672C and an emoji pair.
  WString from = dir_.W("");
  from.append(L"\\\u65e5\u672c\U0001F600.txt");
  WString to = dir_.W("");
  to.append(L"\\sub\\\u65e5\u672c.txt");
  HANDLE file = CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written;
  WriteFile(file, "wide", 4, &written, nullptr);
  CloseHandle(file);

  ASSERT_EQ(qxSetFileOpEntry(op, 1, 0, 4, 0, 0, 0), 1) << "harmless without the bars";
  ASSERT_EQ(qxOperateFileOpW(op, QXFOP_COPY, from.c_str(), to.c_str(), 0), 1);
  EXPECT_EQ(GetFileAttributesW(to.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  WCHAR text[512];
  GetDlgItemTextW(DialogOf(op), IDC_FILEOP_SOURCE, text, 512);
  EXPECT_EQ(std::wstring(text), from);
  GetDlgItemTextW(DialogOf(op), IDC_FILEOP_TARGET, text, 512);
  EXPECT_EQ(std::wstring(text), to);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_CAPTION), "Copying...");
  // An A call on a W handle is refused rather than misread.
  EXPECT_EQ(qxOperateFileOpA(op, QXFOP_DELETE, "x", nullptr, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

TEST_F(Dialog, WideFormFullDialogShowsSizes) {
  QXHFILEOP op = qxCreateFileOpW(nullptr, 0);
  ASSERT_NE(op, nullptr);
  Put("w.bin", std::string(2500, 'w'));
  const WString from = dir_.W("w.bin"), to = dir_.W("w2.bin");
  ASSERT_EQ(qxOperateFileOpW(op, QXFOP_MOVE, from.c_str(), to.c_str(), 0), 1);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_CAPTION), "Moving...");
  EXPECT_EQ(ControlText(op, IDC_FILEOP_FILE_SIZE), OfTotal(2500, 2500));
  EXPECT_EQ(ControlText(op, IDC_FILEOP_FILE_PERCENT), "100 %");
  static const QXWCHAR caption[] = L"\u78ba\u8a8d";
  ASSERT_EQ(qxOperateFileOpW(op, reinterpret_cast<UINT_PTR>(caption), to.c_str(), nullptr, 0), 1);
  WCHAR text[64];
  GetDlgItemTextW(DialogOf(op), IDC_FILEOP_CAPTION, text, 64);
  EXPECT_EQ(std::wstring(text), caption);
  EXPECT_EQ(ControlText(op, IDC_FILEOP_TOTAL), Grouped(5000));
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

TEST_F(Dialog, EveryCallAfterAbortFailsButCloseSucceeds) {
  QXHFILEOP op = qxCreateFileOpA(nullptr, 0);
  ASSERT_NE(op, nullptr);
  SendMessageA(DialogOf(op), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(RecordOf(op).abortRequested);
  EXPECT_TRUE(IsWindow(DialogOf(op))) << "Abort does not close the dialog";
  EXPECT_EQ(qxOperateFileOpA(op, QXFOP_DELETE, "Z:\\x", nullptr, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_ABORTED);
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

}  // namespace
}  // namespace qxtest
