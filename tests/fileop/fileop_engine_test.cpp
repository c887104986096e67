// The file operation engine on real files with its progress dialog up (Wine
// and Xvfb), through both forms: results, error codes, what is left on disk
// and what the dialog shows.
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <tuple>
#include <vector>

#include "fileop/times.h"
#include "support/modal.h"

namespace qxtest {
namespace {

namespace fs = std::filesystem;
const std::uint64_t kNoon = CalendarTicks(2000, 1, 1, 12), kDay = 86400 * kSecond;
std::vector<std::string> g_captions;  // as the dialog's thread shows them

template <class Ch>
class FileOp : public ::testing::Test {};
TYPED_TEST_SUITE(FileOp, Forms, FormName);

TYPED_TEST(FileOp, EachStepAndWhatTheDialogShows) {
  using Ch = TypeParam;
  ScratchDir dir;
  QXHFILEOP op = nullptr;
  HWND dialog = nullptr;
  const auto open = [&](QXDWORD flags, HWND owner) {
    InitCommonControls();
    EXPECT_QXOK((op = Form<Ch>::CreateFileOp(owner, flags)) != nullptr, true);
    dialog = FindDialog([](HWND h) { return WindowText(h) == "q.x File Operation"; });
  };
  // Paths below the scratch folder; operation 0 is a display-only step.
  const Str<Ch> caption = S<Ch>("Checking...");
  const auto run = [&](UINT_PTR code, const char* from, const char* to = 0, QXDWORD flags = 0) {
    const auto path = [&](const char* rel) { return rel ? Arg<Ch>(dir.A(rel)) : Arg<Ch>(nullptr); };
    return Form<Ch>::OperateFileOp(op, code ? code : Addr(caption.c_str()), path(from), path(to),
                                   flags);
  };
  // The caption, the names' last parts, the done and percent texts of the
  // file, the count and the total size, then whether their bars are on.
  const auto lines = [&] {
    std::string shown;
    for (int id : {1003, 1004, 1005, 1006, 1007, 1008, 1010, 1011, 1013, 1014}) {
      const std::string text = WindowText(GetDlgItem(dialog, id));
      shown += text.substr(text.rfind('\\') + 1) + "|";
    }
    for (int id : {1009, 1012, 1015})
      shown += IsWindowEnabled(GetDlgItem(dialog, id)) ? "+" : "-";
    return shown;
  };
  // Every file below the scratch folder with its content, or its size.
  const auto listing = [&] {
    std::set<std::string> files;
    for (const auto& file : fs::recursive_directory_iterator(dir.Fs("")))
      if (const auto rel = file.path().lexically_relative(dir.Fs("")).generic_string();
          file.is_regular_file())
        files.insert(file.file_size() > 8 ? rel + "#" + std::to_string(file.file_size())
                                          : rel + "=" + dir.Read(rel));
    std::string all;
    for (const std::string& file : files)
      all += file + " ";
    return all;
  };
  const auto put = [&](const std::string& rel, std::string_view content, int days = 0,
                       DWORD attributes = 0) {
    dir.Write(rel, content);
    const QXFILETIME time = FileTime(kNoon + days * kDay);
    qxSetFileTimeA(dir.A(rel).c_str(), &time), SetFileAttributesA(dir.A(rel).c_str(), attributes);
  };
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 9, 9, 0, 0, 0, 0);
  open(0, owner);
  HWND abort = GetDlgItem(dialog, IDCANCEL);
  EXPECT_TRUE(GetWindow(dialog, GW_OWNER) == owner && IsWindowEnabled(abort) &&
              IsWindowVisible(abort));
  EXPECT_EQ(lines(), "||||||||||---");  // every line there, the bars off
  put("a", std::string(5000, 'q'), 0, FILE_ATTRIBUTE_READONLY);
  put("e", "", 1, FILE_ATTRIBUTE_READONLY);
  put("held", "old", 0, FILE_ATTRIBUTE_READONLY);
  put("big", std::string(4 << 20, 'b'));
  fs::create_directories(dir.Fs("folder"));
  fs::create_directories(dir.Fs("held(1)"));          // held's unique name
  const int older[] = {0, 0, 0, 1, -1, 0, -1, 1, 0};  // each "in" than the "x" it meets
  for (int i = 0; i < 9; ++i) {
    const std::string c{'c', static_cast<char>('0' + i), '\\'};
    put(c + "x", "old", 0, FILE_ATTRIBUTE_READONLY);
    put(c + "in", "in", -older[i]);
  }
  const std::string longer(1023 - dir.A().size(), 'n');
  EXPECT_QXOK(run(QXFOP_COPY, "held", "n\\h"), 1);  // without totals
  EXPECT_EQ(lines(), "Copying...|held|->|h|3 / 3|100 %|1||3||+--");
  EXPECT_QXOK(qxSetFileOpEntry(op, 6, 0, 0, 0, 0, 0), 1);  // no bytes: 0 %
  // {operation, source, destination, flags, the code, part of the lines after}
  const std::tuple<UINT_PTR, const char*, const char*, QXDWORD, QXDWORD, const char*> steps[] = {
      {QXFOP_COPY, "a", "n\\b", 0, 0, "Copying...|a|->|b|5,000 / 5,000|100 %|1 / 6|16 %|"},
      {QXFOP_COPY, "e", "n\\e", 0, 0, "|0 / 0|0 %|2 / 6|33 %|5,000 / 0|0 %|+++"},
      {QXFOP_MOVE, "n\\b", "x\\c", 0, 0, "Moving...|b|->|c|5,000 / 5,000|100 %|3 / 6|"},
      {QXFOP_RENAME, "x\\c", "x\\d", QXFOF_UNCOUNT, 0, "Renaming...|c|->|d|"},
      {QXFOP_DELETE, "n\\e", nullptr, QXFOF_UNCOUNT | QXFOF_NOCOUNT, 0, "ing...|e|||0||2 / 6|"},
      {QXFOP_DELETE, "n\\e", nullptr, 0, QXERR_SRCOPEN, "|5,000 / 0|0 %|-++"},
      {0, "none", nullptr, QXFOF_NOSOURCE, 0, "Checking...|none|||||3 / 6|50 %|"},
      {0, "none", nullptr, 0, QXERR_SRCOPEN, ""},
      {QXFOP_COPY, "c0\\in", "c0\\x", QXFOF_OVERWRITE, 0, ""},
      {QXFOP_COPY, "c1\\in", "c1\\x", QXFOF_NEWNAME, 0, ""},
      {QXFOP_MOVE, "c2\\in", "c2\\x", QXFOF_MOVEASIDE, 0, ""},
      {QXFOP_COPY, "c3\\in", "c3\\x", QXFOF_NEWERKEEPS, 0, ""},
      {QXFOP_COPY, "c4\\in", "c4\\x", QXFOF_NEWERKEEPS, 0, ""},
      {QXFOP_COPY, "c5\\in", "c5\\x", QXFOF_NEWERKEEPS, 0, ""},
      {QXFOP_COPY, "c6\\in", "c6\\x", QXFOF_OLDERKEEPS, 0, ""},
      {QXFOP_COPY, "c7\\in", "c7\\x", QXFOF_OLDERKEEPS, 0, ""},
      {QXFOP_COPY, "c8\\in", "c8\\x", QXFOF_OLDERKEEPS, 0, ""},
      {QXFOP_COPY, "c1\\in", "c1\\x", QXFOF_NEWNAME, 0, "|in|->|x(2)|"},
      {QXFOP_COPY, "c1\\in", "c1\\x", QXFOF_NEWNAME | QXFOF_UNIQMODE(0x0A), 0, "|x_00101|"},
      {5, "a", "b", 0, QXERR_BADPARAM, ""},
      {0xFFFF, "a", "b", 0, QXERR_BADPARAM, ""},
      {QXFOP_DELETE, nullptr, nullptr, 0, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", nullptr, 0, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", "held", 7, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", "a", QXFOF_OVERWRITE, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", "held", QXFOF_FAIL, QXERR_EXISTS, ""},
      {QXFOP_COPY, "a", "folder", QXFOF_OVERWRITE, QXERR_WRITE, ""},
      {QXFOP_MOVE, "a", "held", QXFOF_NEWNAME, QXERR_WRITE, ""},
      {QXFOP_COPY, "a", longer.c_str(), 0, QXERR_BADPARAM, "|14 / 6|233 %|5,022 / 0|0 %|"}};
  for (const auto& [code, from, to, flags, error, part] : steps) {
    // A unique name is made with an export that clears the code.
    if (error != 0)
      EXPECT_QXFAIL(run(code, from, to, flags), 0, error);
    else
      EXPECT_EQ(run(code, from, to, flags), 1);
    EXPECT_NE(lines().find(part), std::string::npos) << lines() << " lacks " << part;
  }
  // Held open, "held" can be read but neither deleted nor moved: a move
  // copies it and then fails, an overwrite fails.
  HANDLE held = CreateFileA(dir.A("held").c_str(), GENERIC_READ, 1, 0, OPEN_EXISTING, 0, 0);
  EXPECT_QXFAIL(run(QXFOP_MOVE, "held", "m"), 0, QXERR_SRCDELETE);
  EXPECT_QXFAIL(run(QXFOP_COPY, "a", "held", QXFOF_OVERWRITE), 0, QXERR_DSTDELETE);
  CloseHandle(held);
  EXPECT_EQ(
      listing(),
      "a#5000 big#4194304 c0/in=in c0/x=in c1/in=in c1/x(1)=in c1/x(2)=in c1/x=old c1/x_00101=in "
      "c2/x(1)=old c2/x=in c3/in=in c3/x(1)=in c3/x=old c4/in=in c4/x(1)=old c4/x=in c5/in=in "
      "c5/x(1)=old c5/x=in c6/in=in c6/x(1)=in c6/x=old c7/in=in c7/x(1)=old c7/x=in c8/in=in "
      "c8/x(1)=old c8/x=in e= held=old m=old n/h=old x/d#5000 ");
  const auto time = [&](const char* rel) { return fs::last_write_time(dir.Fs(rel)); };
  EXPECT_TRUE(dir.Read("x\\d") == dir.Read("a") && time("x\\d") == time("a"));
  EXPECT_TRUE(GetFileAttributesA(dir.A("x\\d").c_str()) &
              GetFileAttributesA(dir.A("held").c_str()) & FILE_ATTRIBUTE_READONLY);
  // The caption stays for the same operation but for a flush every MiB;
  // Abort pressed then stops the copy before its next block, and for good.
  auto watch = [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && GetDlgCtrlID(call->hwnd) == 1003 && call->message == WM_SETTEXT) {
      g_captions.push_back(WindowText(call->hwnd));
      if (g_captions.size() == 1) Press(GetParent(call->hwnd), IDCANCEL);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  };
  g_captions.clear();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, watch, 0, GetWindowThreadProcessId(dialog, 0));
  EXPECT_QXFAIL(run(QXFOP_COPY, "big", "other\\big"), 0, QXERR_ABORTED);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_captions, (std::vector<std::string>{"Cache flushing...", "Copying..."}));
  EXPECT_FALSE(dir.Exists("other\\big") || IsWindowEnabled(abort) || !IsWindowVisible(dialog));
  EXPECT_QXFAIL(run(QXFOP_DELETE, "a"), 0, QXERR_ABORTED);
  EXPECT_QXOK(qxSetFileOpEntry(op, 2, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(qxCloseFileOp(std::exchange(op, nullptr)), 1);
  EXPECT_TRUE(!IsWindow(dialog) && IsWindowEnabled(owner));
  DestroyWindow(owner);  // no owner, no dialog
  EXPECT_QXFAIL(Form<TypeParam>::CreateFileOp(owner, 0), nullptr, QXERR_THREAD);
  open(QXFOC_SHORT | QXFOC_NOABORT, nullptr);  // caption and names only, no Abort
  abort = GetDlgItem(dialog, IDCANCEL);
  EXPECT_TRUE(GetDlgItem(dialog, 1006) && !GetDlgItem(dialog, 1007));
  EXPECT_FALSE(IsWindowEnabled(abort) || IsWindowVisible(abort));
  EXPECT_QXOK(qxSetFileOpEntry(op, 1, 0, 4, 0, 0, 0), 1);
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

}  // namespace
}  // namespace qxtest
