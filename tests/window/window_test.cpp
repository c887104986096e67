// The window utilities under Wine with a display: the splitter classes and
// their drag protocol, placement, and the folder browser, answered from
// inside its modal loop.
#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "support/modal.h"
#include "support/qxtest.h"

bool operator==(const POINT& a, const POINT& b) {  // global, for the checks' lookup
  return a.x == b.x && a.y == b.y;
}

namespace {

// This program runs once per code page, each run a fresh process: the first
// registration fixes the message, one of its own in one run and 0, which
// means WM_COMMAND, in the other.
const UINT kNotify = qxtest::Cp932() ? WM_COMMAND : WM_APP + 0x123;
std::vector<LPARAM> g_reports;  // what the parent got from splitter 7

LRESULT CALLBACK Parent(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != kNotify) return DefWindowProcA(hwnd, message, wparam, lparam);
  EXPECT_EQ(wparam, 7u);
  if (g_reports.empty() || g_reports.back() != lparam) g_reports.push_back(lparam);
  return 0;
}
// The drag, as steps "<what><x>,<y><capture>": d button down, m move, u
// button up at (x, y) in the splitter's client coordinates, by messages to
// it; c another window takes the capture. Then who has it: s the splitter,
// o the other window, - none.
TEST(Splitter, ClassesAndTheirDrag) {
  ASSERT_EQ(qxInitSplitterEx(kNotify == WM_COMMAND ? 0 : kNotify), kNotify);
  EXPECT_EQ(qxInitSplitterEx(WM_APP + 1), kNotify);
  const struct {
    const char *cls, *steps;
    std::vector<LPARAM> reports;
  } rows[] = {
      {"qxHSplitter", "m3,4- d10,2s m30,-5s m30,-32768s m30,40s u30,40- m30,50-", {-5, -32768, 40}},
      {"qxVSplitter", "d2,10s m-12,3s m250,-3s u0,0-", {-12, 250}},
      // Without the capture the drag goes on until the splitter gets a button-up.
      {"qxHSplitter", "c0,0o u5,2o d5,2s c0,0o d5,2o m5,9o u5,9- m5,12-", {9}},
  };
  for (const auto& row : rows) {
    const HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, 0, 0, 0, 0);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Parent));
    const HWND splitter = CreateWindowExA(0, row.cls, "", WS_CHILD | WS_VISIBLE, 100, 100, 80, 80,
                                          parent, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    g_reports.clear();
    WNDCLASSA wc{};  // global classes, found whichever module asks, with the cursor group
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), row.cls, &wc));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_TRUE(wc.hCursor &&
                wc.hCursor == LoadCursorA(GetModuleHandleA("qxdll32.dll"),
                                          MAKEINTRESOURCEA(row.cls[2] == 'H' ? 1001 : 1002)));
    const HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 9, 9, parent, 0, 0, 0);
    char what, capture;
    int x, y, used;
    for (const char* p = row.steps;
         std::sscanf(p, " %c%d,%d%c%n", &what, &x, &y, &capture, &used) == 4; p += used) {
      const UINT message = what == 'd' ? WM_LBUTTONDOWN : what == 'u' ? WM_LBUTTONUP : WM_MOUSEMOVE;
      if (what == 'c') SetCapture(other);
      if (what != 'c') SendMessageA(splitter, message, 0, MAKELPARAM(x, y));
      EXPECT_EQ(GetCapture(), capture == 's' ? splitter : capture == 'o' ? other : nullptr) << p;
    }
    EXPECT_EQ(g_reports, row.reports) << row.steps;
    DestroyWindow(parent);
  }
}

std::vector<LONG> Rect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

// Placement moves the restored rectangle whatever the show state, which it
// keeps; centring truncates halves toward zero and does not clip.
TEST(Placement, RestoredRectangle) {
  for (int show : {SW_SHOWNORMAL, SW_MINIMIZE, SW_MAXIMIZE}) {
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 200,
                                   100, 0, 0, 0, 0);
    ShowWindow(w, show);
    EXPECT_QXOK(qxGetWindowPosi(w), (POINT{50, 60}));
    EXPECT_QXOK(qxSetWindowPosi(w, 120, -30), TRUE);
    EXPECT_EQ(IsIconic(w) + 2 * IsZoomed(w), (show == SW_MINIMIZE) + 2 * (show == SW_MAXIMIZE));
    ShowWindow(w, SW_RESTORE);
    EXPECT_EQ(Rect(w), (std::vector<LONG>{120, -30, 320, 70})) << show;
    DestroyWindow(w);
  }
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  for (const auto& [width, height, left, top] :
       {std::tuple{cx - 399, cy - 101, 199, 50}, {cx + 201, cy + 3, -100, -1}}) {
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 7, 9, width, height, 0, 0, 0, 0);
    EXPECT_QXOK(qxCenterWindowPosi(w), TRUE);
    EXPECT_EQ(Rect(w), (std::vector<LONG>{left, top, left + width, top + height}));
    DestroyWindow(w);
  }
  for (const HWND w : {HWND{}, reinterpret_cast<HWND>(0x5A5A50)}) {  // not windows
    EXPECT_QXOK(qxGetWindowPosi(w), (POINT{0, 0}));
    EXPECT_QXOK(qxSetWindowPosi(w, 1, 2) + qxCenterWindowPosi(w), FALSE);
  }
}

// The browser opens on the tidied start folder; OK gives that folder, Cancel
// 0 with the error code cleared. Wine's browser finds the start folder by
// comparing folder items that carry each folder's access time, so the test
// folders sit at the root of the prefix's C: drive, away from the temporary
// folder that other programs keep reading, and are read once before: under
// relatime the first read after a change moves the access time, later ones
// do not.
template <class Ch>
class BrowseFolder : public ::testing::Test {};
TYPED_TEST_SUITE(BrowseFolder, qxtest::Forms, qxtest::FormName);

TYPED_TEST(BrowseFolder, OpensOnTheStartFolder) {
  using Ch = TypeParam;
  using qxtest::S;
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  const std::string dir = "C:\\qx_browse_" + std::to_string(GetCurrentProcessId()),
                    sub = dir + (qxtest::Cp932() ? "\\\x95\x5C" : "\\sub");  // trail byte 0x5C
  const auto W = [&](const std::string& a) {  // the form's text of a path under dir
    return qxtest::Cp932() ? S<Ch>(a.substr(0, a.size() - 2)) + S<Ch>({"\x95\x5C", u"\u8868"})
                           : S<Ch>(a);
  };
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA(sub.c_str(), nullptr);
  Ch path[MAX_PATH];
  WIN32_FIND_DATAA found;
  for (const std::string& folder : {dir, sub})  // see above
    FindClose(FindFirstFileA((folder + "\\*").c_str(), &found));
  const HWND owner =
      CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, 0);
  LPITEMIDLIST select = nullptr;  // selected by hand before the answer
  std::string seen;               // the owner's text and the browser's texts
  const auto browse = [&](const qxtest::Str<Ch>& start, int button) {
    seen.clear();
    qxtest::ModalWatcher watcher([&](HWND browser) {
      if (select)
        SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(select));
      seen = qxtest::WindowText(GetWindow(browser, GW_OWNER)) + "|" + qxtest::StaticTexts(browser);
      qxtest::Press(browser, button);
    });
    return qxtest::Form<Ch>::BrowseFolder(owner, qxtest::Arg<Ch>("Pick a folder"), path,
                                          start.c_str());
  };
  for (const auto& [start, chosen] : {std::pair{W(sub) + S<Ch>("\\"), W(sub)},
                                      {S<Ch>(dir + "\\\\") + W(sub).substr(dir.size()), W(sub)},
                                      {S<Ch>("C:"), S<Ch>("C:\\")}}) {
    EXPECT_QXFAIL(browse(start, IDOK), TRUE, QXERR_NONE);
    EXPECT_EQ(path, chosen);
  }
  EXPECT_QXFAIL(browse(W(sub), IDCANCEL), FALSE, QXERR_NONE);
  EXPECT_EQ(seen.find("owner|Pick a folder|"), 0u) << seen;
  EXPECT_QXFAIL(browse(S<Ch>(std::string(MAX_PATH - 2, 'a')), IDCANCEL), FALSE, QXERR_NONE);
  EXPECT_NE(seen, "") << "MAX_PATH - 2 units fit, one more does not";
  EXPECT_QXFAIL(browse(S<Ch>(std::string(MAX_PATH - 1, 'a')), IDCANCEL), FALSE, QXERR_BADPARAM);
  SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &select);  // no file-system path
  EXPECT_QXFAIL(browse(S<Ch>(dir), IDOK), FALSE, QXERR_UNAVAILABLE);
  CoTaskMemFree(select);
  // Refused before anything is shown (a browser shown here would never close).
  EXPECT_QXFAIL(qxtest::Form<Ch>::BrowseFolder(nullptr, nullptr, path, nullptr), FALSE,
                QXERR_BADPARAM);
  EXPECT_QXFAIL(qxtest::Form<Ch>::BrowseFolder(nullptr, nullptr, nullptr, path), FALSE,
                QXERR_BADPARAM);
  DestroyWindow(owner);
  RemoveDirectoryA(sub.c_str());
  RemoveDirectoryA(dir.c_str());
  CoUninitialize();
}

}  // namespace
