/*
 * demo: a tour of qxdll32.dll from an application's side. It links the DLL
 * through its import library and the public header, and prints what each
 * family does with a few sample inputs.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "qxdll32.h"

static void Section(const char* title) {
  printf("\n== %s ==\n", title);
}

static void ShowScan(const char* path) {
  char buffer[128];
  const char* name;
  const char* ext;
  lstrcpynA(buffer, path, sizeof buffer);
  name = qxScanFileNameA(buffer);
  ext = qxScanExtNameA(buffer);
  printf("  %-24s name %-14s extension %s\n", path, name ? name : "(none)", ext ? ext : "(none)");
}

static void ShowTidy(const char* text, int url) {
  char buffer[128];
  lstrcpynA(buffer, text, sizeof buffer);
  if (url) {
    qxControlRightUrlA(buffer);
  } else {
    qxControlRightPathA(buffer);
  }
  printf("  %-28s -> %s\n", text, buffer);
}

/* ---- Window utilities ----------------------------------------------------
 * A small window with two panes and a qxVSplitter between them: the splitter
 * reports drags to the window, which moves the bar and lays out the panes.
 * "demo --window" keeps it open until closed ("--window 5": five seconds). */
#define DEMO_SPLITTER_ID 100
#define DEMO_BAR_WIDTH 6

static UINT g_splitterMessage;
static HWND g_leftPane, g_rightPane, g_splitter;
static int g_barX = 150;

static void LayOutPanes(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  if (g_barX < 40) g_barX = 40;
  if (g_barX > client.right - 40 - DEMO_BAR_WIDTH) g_barX = client.right - 40 - DEMO_BAR_WIDTH;
  MoveWindow(g_leftPane, 0, 0, g_barX, client.bottom, TRUE);
  MoveWindow(g_splitter, g_barX, 0, DEMO_BAR_WIDTH, client.bottom, TRUE);
  MoveWindow(g_rightPane, g_barX + DEMO_BAR_WIDTH, 0, client.right - g_barX - DEMO_BAR_WIDTH,
             client.bottom, TRUE);
}

static LRESULT CALLBACK PanesProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == g_splitterMessage && wparam == DEMO_SPLITTER_ID) {
    /* lparam: the mouse x in the splitter's own coordinates; centre the bar on it. */
    g_barX += (int)lparam - DEMO_BAR_WIDTH / 2;
    LayOutPanes(window);
    return 0;
  }
  if (message == WM_SIZE && g_splitter != NULL) LayOutPanes(window);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wparam, lparam);
}

static void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
  }
}

static HWND MakePaneWindow(void) {
  static const char* const files[] = {"report.txt", "budget.xls", "notes.md", "photo.jpg"};
  WNDCLASSA wc;
  HWND window;
  int i;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = PanesProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512)); /* IDC_ARROW */
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "qxDemoPanes";
  RegisterClassA(&wc);
  window = CreateWindowExA(0, wc.lpszClassName, "qxdll32 splitter demo",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 420, 220, NULL, NULL,
                           wc.hInstance, NULL);
  if (window == NULL) return NULL;
  g_leftPane = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                               window, NULL, wc.hInstance, NULL);
  for (i = 0; i < 4; ++i)
    SendMessageA(g_leftPane, LB_ADDSTRING, 0, (LPARAM)files[i]);
  g_rightPane = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT",
                                "Drag the bar between the panes.\r\n"
                                "The qxVSplitter reports the mouse x;\r\n"
                                "this window moves the bar and the panes.",
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                                window, NULL, wc.hInstance, NULL);
  g_splitter = CreateWindowExA(0, "qxVSplitter", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                               (HMENU)(INT_PTR)DEMO_SPLITTER_ID, wc.hInstance, NULL);
  LayOutPanes(window);
  return window;
}

static void ShowWindowUtilities(void) {
  const char* option = strstr(GetCommandLineA(), "--window");
  HWND window;
  POINT at;
  int before;
  QXBOOL browsed;

  Section("Window utilities");
  g_splitterMessage = qxInitSplitterEx(WM_APP + 1);
  printf("  qxInitSplitterEx(WM_APP + 1) = 0x%X; again with 0 = 0x%X (fixed by the first call)\n",
         g_splitterMessage, qxInitSplitterEx(0));
  browsed = qxBrowseFolderW(NULL, NULL, NULL, NULL);
  printf("  qxBrowseFolderW(...) = %d, error 0x%08lX (only the A form exists)\n", browsed,
         (unsigned long)qxGetErrCode());
  window = MakePaneWindow();
  if (window == NULL) {
    printf("  no display: the splitter window is skipped\n");
    return;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  /* A drag as the mouse would make it: press on the bar, move 60 pixels
   * left of it (a negative x while the splitter holds the capture), let go. */
  before = g_barX;
  SendMessageA(g_splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 40));
  SendMessageA(g_splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((WORD)-57, 40));
  SendMessageA(g_splitter, WM_LBUTTONUP, 0, MAKELPARAM((WORD)-57, 40));
  printf("  dragging the bar 60 pixels left moves it from x = %d to x = %d\n", before, g_barX);

  at = qxGetWindowPosi(window);
  printf("  qxGetWindowPosi      -> (%ld, %ld)\n", (long)at.x, (long)at.y);
  qxSetWindowPosi(window, 100, 80);
  at = qxGetWindowPosi(window);
  printf("  qxSetWindowPosi(100, 80) -> (%ld, %ld)\n", (long)at.x, (long)at.y);
  ShowWindow(window, SW_MAXIMIZE);
  qxSetWindowPosi(window, 60, 50);
  ShowWindow(window, SW_RESTORE);
  at = qxGetWindowPosi(window);
  printf("  moved while maximised, restored at (%ld, %ld)\n", (long)at.x, (long)at.y);
  qxCenterWindowPosi(window);
  at = qxGetWindowPosi(window);
  printf("  qxCenterWindowPosi on a %d x %d screen -> (%ld, %ld)\n", GetSystemMetrics(SM_CXSCREEN),
         GetSystemMetrics(SM_CYSCREEN), (long)at.x, (long)at.y);

  if (option != NULL) {
    const int seconds = atoi(option + strlen("--window"));
    printf("  the window stays open %s\n", seconds > 0 ? "for a few seconds" : "until closed");
    fflush(stdout);
    PumpFor(seconds > 0 ? (DWORD)seconds * 1000 : INFINITE);
  } else {
    PumpFor(300);
  }
  if (IsWindow(window)) DestroyWindow(window);
}

int main(void) {
  const unsigned char* lead = qxGetDBCSLeadTable();
  int leadCount = 0;
  int c;

  Section("Library frame");
  printf("  qxGetVersion()  = %lu (version %lu.%02lu)\n", (unsigned long)qxGetVersion(),
         (unsigned long)qxGetVersion() / 100, (unsigned long)qxGetVersion() % 100);
  printf("  qxGetErrCode()  = 0x%08lX\n", (unsigned long)qxGetErrCode());
  for (c = 0; c < 256; ++c)
    leadCount += lead[c];
  printf("  ANSI code page %u: %d DBCS lead bytes\n", GetACP(), leadCount);

  Section("Path names");
  ShowScan("C:\\work\\report.final.txt");
  ShowScan("docs/readme");
  ShowScan("C:\\dir\\");
  ShowScan("archive.tar.gz");

  Section("Separator tidying");
  ShowTidy("C:\\\\data//2024\\\\", 0);
  ShowTidy("\\\\\\server\\share", 0);
  ShowTidy("http://example.test//a///b", 1);
  ShowTidy("file:///C://x", 1);

  ShowWindowUtilities();

  Section("Errors");
  qxScanFileNameA(NULL);
  printf("  qxScanFileNameA(NULL) sets error 0x%08lX (QXERR_BADPARAM)\n",
         (unsigned long)qxGetErrCode());
  return qxGetVersion() == 113 ? 0 : 1;
}
