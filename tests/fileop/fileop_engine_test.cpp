// The file operation engine on real files with its progress dialog up (Wine
// and Xvfb), through both forms: results, error codes, what is left on disk
// and what the dialog shows.
#include <windows.h>
#include <commctrl.h>

#include <numeric>
#include <set>
#include <tuple>
#include <vector>

#include "fileop/times.h"
#include "support/modal.h"

namespace qxtest {
namespace {

namespace fs = std::filesystem;
const std::uint64_t kNoon = CalendarTicks(2000, 1, 1, 12), kDay = 86400 * kSecond;
// What the dialog's thread shows in the caption and the file size line.
// While there is a cue, each new source name and file line is held up for
// longer than the engine's pace, so that the engine reports every change
// at once (and the captions posted before it); then 'r' lets go of g_held
// once the copy has begun, 'a' presses Abort at the first flush, noting the
// bytes written then.
std::vector<std::string> g_captions, g_lines;
char g_cue;
HANDLE g_held;
std::string g_target;
std::uint64_t g_writtenAtAbort;

// The bytes done that a file line "done / size" shows.
std::uint64_t Done(const std::string& line) {
  std::string digits;
  for (char c : line.substr(0, line.find(" / ")))
    if (c >= '0' && c <= '9') digits += c;
  return std::stoull("0" + digits);
}

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  const int id = GetDlgCtrlID(call->hwnd);
  if (code == HC_ACTION && call->message == WM_SETTEXT && id >= 1003 && id <= 1007) {
    const std::string text = WindowText(call->hwnd);
    if (id == 1003 || id == 1007) (id == 1003 ? g_captions : g_lines).push_back(text);
    if ((id == 1004 || id == 1007) && g_cue != 0) Sleep(50);
    if (id == 1007 && g_cue == 'r' && Done(text) > 0) CloseHandle(g_held), g_cue = 0;
    if (id == 1003 && g_cue == 'a') {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      GetFileAttributesExA(g_target.c_str(), GetFileExInfoStandard, &data);
      g_writtenAtAbort = data.nFileSizeLow, g_cue = 0;
      SendMessageA(GetParent(call->hwnd), WM_COMMAND, IDCANCEL, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <class Ch>
class FileOp : public ::testing::Test {};
TYPED_TEST_SUITE(FileOp, Forms, FormName);

TYPED_TEST(FileOp, EachStepAndWhatTheDialogShows) {
  using Ch = TypeParam;
  ScratchDir dir;
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 9, 9, 0, 0, 0, 0);
  InitCommonControls();
  PrimeErrCode(QXERR_BADPARAM);  // which a call that succeeds leaves alone
  const QXHFILEOP op = Form<Ch>::CreateFileOp(owner, 0);
  const HWND dialog = FindDialog([](HWND h) { return WindowText(h) == "q.x File Operation"; });
  // Paths below the scratch folder; operation 0 is a display-only step.
  const Str<Ch> label = S<Ch>("Checking...");
  const auto run = [&](UINT_PTR code, const char* from, const char* to = 0, QXDWORD flags = 0) {
    const auto at = [&](const char* rel) { return rel ? Arg<Ch>(dir.A(rel)) : Arg<Ch>(nullptr); };
    return Form<Ch>::OperateFileOp(op, code ? code : Addr(label.c_str()), at(from), at(to), flags);
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
        files.insert(file.file_size() > 8 ? rel + "#" + std::to_string(file.file_size()) + " "
                                          : rel + "=" + dir.Read(rel) + " ");
    return std::accumulate(files.begin(), files.end(), std::string());
  };
  const auto put = [&](const std::string& rel, std::string_view content, int days = 0,
                       DWORD attributes = 0) {
    dir.Write(rel, content);
    const QXFILETIME time = FileTime(kNoon + days * kDay);
    qxSetFileTimeA(dir.A(rel).c_str(), &time), SetFileAttributesA(dir.A(rel).c_str(), attributes);
  };
  const HWND abort = GetDlgItem(dialog, IDCANCEL);
  EXPECT_TRUE(op && qxGetErrCode() == QXERR_BADPARAM && GetWindow(dialog, GW_OWNER) == owner &&
              IsWindowEnabled(abort) && IsWindowVisible(abort));
  EXPECT_EQ(lines(), "||||||||||---");  // every line there, the bars off
  put("a", std::string(5000, 'q'), 0, FILE_ATTRIBUTE_READONLY);
  put("e", "", 1, FILE_ATTRIBUTE_READONLY);
  put("held", "old", 0, FILE_ATTRIBUTE_READONLY);
  put("big", std::string(4 << 20, 'b'));
  fs::create_directories(dir.Fs("folder"));
  fs::create_directories(dir.Fs("held(1)"));  // held's unique name
  // c0-c2 overwrite, take a new name, move aside; c3-c5 keep the newer, c6-c8
  // the older file, each "in" older, newer or as old as the "x" it meets.
  const int older[] = {0, 0, 0, 1, -1, 0, -1, 1, 0};
  const QXDWORD policy[] = {QXFOF_OVERWRITE, QXFOF_NEWNAME, QXFOF_MOVEASIDE};
  for (int i = 0; i < 9; ++i) {
    const std::string c{'c', static_cast<char>('0' + i), '\\'}, in = c + "in", x = c + "x";
    put(x, "old", 0, FILE_ATTRIBUTE_READONLY);
    put(in, "in", -older[i]);
    const QXDWORD flags = i < 3 ? policy[i] : i < 6 ? QXFOF_NEWERKEEPS : QXFOF_OLDERKEEPS;
    EXPECT_EQ(run(i == 2 ? QXFOP_MOVE : QXFOP_COPY, in.c_str(), x.c_str(), flags), 1);
  }
  const std::string longer(1023 - dir.A().size(), 'n');
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
      {QXFOP_COPY, "c1\\in", "c1\\x", QXFOF_NEWNAME, 0, "|in|->|x(2)|"},
      {QXFOP_COPY, "c1\\in", "c1\\x", QXFOF_NEWNAME | QXFOF_UNIQMODE(0x0A), 0, "|x_00101|"},
      {5, "a", "b", 0, QXERR_BADPARAM, ""},
      {QXFOP_DELETE, nullptr, nullptr, 0, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", nullptr, 0, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", "a", QXFOF_OVERWRITE, QXERR_BADPARAM, ""},
      {QXFOP_COPY, "a", "held", QXFOF_FAIL, QXERR_EXISTS, ""},
      {QXFOP_COPY, "a", "folder", QXFOF_OVERWRITE, QXERR_WRITE, ""},
      {QXFOP_MOVE, "a", "held", QXFOF_NEWNAME, QXERR_WRITE, ""},
      {QXFOP_COPY, "a", longer.c_str(), 0, QXERR_BADPARAM, "|5 / 6|83 %|5,004 / 0|0 %|"}};
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
      "c8/x(1)=old c8/x=in e= held=old m=old x/d#5000 ");
  const auto time = [&](const char* rel) { return fs::last_write_time(dir.Fs(rel)); };
  EXPECT_TRUE(dir.Read("x\\d") == dir.Read("a") && time("x\\d") == time("a"));
  EXPECT_TRUE(GetFileAttributesA(dir.A("x\\d").c_str()) &
              GetFileAttributesA(dir.A("held").c_str()) & FILE_ATTRIBUTE_READONLY);
  // A long copy shows its progress as it goes (here each update is held
  // up past the engine's pace, so every block is shown) and exactly at its
  // end; the caption stays but for a flush every MiB.
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, Watch, 0, GetWindowThreadProcessId(dialog, 0));
  g_captions.clear(), g_lines.clear();
  g_cue = 'p', Sleep(50);
  EXPECT_EQ(run(QXFOP_COPY, "big", "big2"), 1);
  ASSERT_GE(g_lines.size(), 4u);
  EXPECT_EQ(std::vector(g_lines.end() - 4, g_lines.end()),
            (std::vector<std::string>{"1,048,576 / 4,194,304", "2,097,152 / 4,194,304",
                                      "3,145,728 / 4,194,304", "4,194,304 / 4,194,304"}));
  std::vector<std::string> flushes;
  for (int i = 0; i < 4; ++i)
    flushes.insert(flushes.end(), {"Cache flushing...", "Copying..."});
  EXPECT_EQ(g_captions, flushes);
  // A move that MoveFile cannot make (the test holds the source open)
  // copies, then deletes the source, read-only too, once the test lets go.
  SetFileAttributesA(dir.A("big2").c_str(), FILE_ATTRIBUTE_READONLY);
  g_held =
      CreateFileA(dir.A("big2").c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
  g_cue = 'r', Sleep(50);
  EXPECT_EQ(run(QXFOP_MOVE, "big2", "moved"), 1);
  EXPECT_TRUE(!fs::exists(dir.Fs("big2")) && fs::file_size(dir.Fs("moved")) == 4u << 20);
  EXPECT_TRUE(GetFileAttributesA(dir.A("moved").c_str()) & FILE_ATTRIBUTE_READONLY);
  // A read that fails removes the target begun. (Wine does not hold reads
  // to byte-range locks; the host's /proc/self/mem cannot be read at 0.)
  EXPECT_QXFAIL(Form<Ch>::OperateFileOp(op, QXFOP_COPY, Arg<Ch>("Z:\\proc\\self\\mem"),
                                        Arg<Ch>(dir.A("copy")), 0),
                0, QXERR_READ);
  EXPECT_FALSE(fs::exists(dir.Fs("copy")));
  // Abort pressed stops the copy within a block, and for good.
  g_captions.clear(), g_lines.clear();
  g_cue = 'a', g_target = dir.A("other\\big"), Sleep(50);
  EXPECT_QXFAIL(run(QXFOP_COPY, "big", "other\\big"), 0, QXERR_ABORTED);
  UnhookWindowsHookEx(hook);
  EXPECT_LE(Done(WindowText(GetDlgItem(dialog, 1007))), g_writtenAtAbort + (1 << 20));
  EXPECT_FALSE(fs::exists(dir.Fs("other\\big")) || IsWindowEnabled(abort) ||
               !IsWindowVisible(dialog));
  EXPECT_QXFAIL(run(QXFOP_DELETE, "a"), 0, QXERR_ABORTED);
  EXPECT_QXOK(qxSetFileOpEntry(op, 2, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(qxCloseFileOp(op), 1);
  EXPECT_TRUE(!IsWindow(dialog) && IsWindowEnabled(owner));
  DestroyWindow(owner);  // no owner, no dialog
  EXPECT_QXFAIL(Form<TypeParam>::CreateFileOp(owner, 0), nullptr, QXERR_THREAD);
}

}  // namespace
}  // namespace qxtest
