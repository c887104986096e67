/*
 * demo: a tour of qxdll32.dll from an application's side. It links the DLL
 * through its import library and the public header, and prints what each
 * family does with a few sample inputs.
 */
#include <stdio.h>
#include <windows.h>
#include <commctrl.h>
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

/* Registry settings in one call each, then a sample class registered below
 * HKEY_CLASSES_ROOT, listed key by key, and removed again. */
static void ShowRegistry(void) {
  static const GUID sampleClass = {
      0x3D2C1B0A, 0x5F4E, 0x4A6B, {0x8C, 0x9D, 0xAE, 0xBF, 0xC0, 0xD1, 0xE2, 0xF3}};
  static const char* const classParts[] = {
      "InprocServer32",           "Programmable", "ToolboxBitmap32", "MiscStatus", "ProgID",
      "VersionIndependentProgID", "Version"};
  const char* base = "Software\\qxdll32-demo";
  const BYTE state[4] = {1, 0, 0x5C, 0xFF};
  char text[256];
  char classKey[64] = "CLSID\\";
  DWORD number = 0;
  BYTE bytes[4] = {0};
  QXBOOL result;
  size_t i;

  Section("Registry");
  qxRegDeleteKeyA(HKEY_CURRENT_USER, base); /* leftovers of an earlier run */
  qxRegSetKeyAndStrValueA(HKEY_CURRENT_USER, base, "Window", "Title", "Demo window");
  qxRegSetKeyAndDwordValueA(HKEY_CURRENT_USER, base, "Window", "Width", 640);
  qxRegSetKeyAndBinValueA(HKEY_CURRENT_USER, base, "State", "Flags", state, sizeof state);
  if (qxRegGetStrValueA(HKEY_CURRENT_USER, base, "Window", "Title", text, sizeof text))
    printf("  HKCU\\%s\\Window  Title = \"%s\"\n", base, text);
  if (qxRegGetDwordValueA(HKEY_CURRENT_USER, base, "Window", "Width", &number))
    printf("  HKCU\\%s\\Window  Width = %lu\n", base, (unsigned long)number);
  if (qxRegGetBinValueA(HKEY_CURRENT_USER, base, "State", "Flags", bytes, sizeof bytes))
    printf("  HKCU\\%s\\State   Flags = %02X %02X %02X %02X\n", base, bytes[0], bytes[1], bytes[2],
           bytes[3]);
  qxRegSetKeyAndStrValueA(HKEY_CURRENT_USER, base, "Window", "Mode", "On");
  qxRegGetDwordValueA(HKEY_CURRENT_USER, base, "Window", "Mode", &number);
  printf("  reading the string Mode as a number fails with 0x%08lX (QXERR_BADDATA)\n",
         (unsigned long)qxGetErrCode());
  result = qxRegDeleteKeyA(HKEY_CURRENT_USER, base);
  printf("  qxRegDeleteKeyA(whole tree) = %d; the key is there afterwards: %d\n", result,
         qxRegFindKeyA(HKEY_CURRENT_USER, base, NULL));

  Section("COM server registration");
  qxStringFromGuidA(&sampleClass, classKey + 6, (int)sizeof classKey - 6);
  qxRegisterServerA(&sampleClass, QXSVR_APARTMENT | QXSVR_PROGRAMMABLE | QXSVR_TOOLBOXBITMAP(3),
                    "C:\\demo\\sample.dll", "qxdll32 demo class", "QxDemo.Sample.1",
                    "QxDemo.Sample", 0x00020181, NULL, 0x00000001);
  if (qxRegGetStrValueA(HKEY_CLASSES_ROOT, classKey, NULL, NULL, text, sizeof text))
    printf("  HKCR\\%s = \"%s\"\n", classKey, text);
  for (i = 0; i < sizeof classParts / sizeof classParts[0]; ++i) {
    if (!qxRegFindKeyA(HKEY_CLASSES_ROOT, classKey, classParts[i])) continue;
    if (!qxRegGetStrValueA(HKEY_CLASSES_ROOT, classKey, classParts[i], NULL, text, sizeof text))
      text[0] = '\0';
    printf("    \\%-24s \"%s\"\n", classParts[i], text);
  }
  if (qxRegGetStrValueA(HKEY_CLASSES_ROOT, "QxDemo.Sample", "CurVer", NULL, text, sizeof text))
    printf("  HKCR\\QxDemo.Sample\\CurVer = \"%s\"\n", text);
  qxUnregisterServerA(&sampleClass, "QxDemo.Sample.1", "QxDemo.Sample");
  printf("  after qxUnregisterServerA the class key is there: %d\n",
         qxRegFindKeyA(HKEY_CLASSES_ROOT, classKey, NULL));
}

static void ShowFileHelpersAndNumbers(void) {
  char exe[MAX_PATH];
  char unique[MAX_PATH + 26];
  char temp[MAX_PATH];
  char chain[MAX_PATH + 64];
  char number[128];
  SYSTEMTIME fields;
  QXFILETIME time;
  static const long long values[] = {0, 999, 1234567, -1234567, 4294967296LL};
  size_t i;

  /* A free name beside the demo itself, dated by the program's own write time. */
  GetModuleFileNameA(NULL, exe, sizeof exe);
  if (qxMakeUniqPathA(unique, exe, NULL, QXUNIQ_DATE | QXUNIQ_TIME)) {
    printf("  unique name for %s\n    -> %s\n", qxScanFileNameA(exe), qxScanFileNameA(unique));
  }

  /* A folder chain in the temporary folder, removed again. */
  GetTempPathA(sizeof temp, temp);
  snprintf(chain, sizeof chain, "%sqxdemo\\a\\b\\file.txt", temp);
  printf("  qxMakeDirectoriesA(...\\qxdemo\\a\\b\\file.txt) = %d\n", qxMakeDirectoriesA(chain));
  snprintf(chain, sizeof chain, "%sqxdemo\\a\\b", temp);
  RemoveDirectoryA(chain);
  snprintf(chain, sizeof chain, "%sqxdemo\\a", temp);
  RemoveDirectoryA(chain);
  snprintf(chain, sizeof chain, "%sqxdemo", temp);
  RemoveDirectoryA(chain);

  /* 1972-09-04 is before FAT's range: clamped up, then rounded to 2 s. */
  time.dwHighDateTime = 0x01A0B1C2;
  time.dwLowDateTime = 0x3456789A;
  printf("  qxControlFileTimeAtFat(1972-09-04) = %d", qxControlFileTimeAtFat(&time));
  FileTimeToSystemTime(&time, &fields);
  printf(" -> %04u-%02u-%02u %02u:%02u:%02u UTC\n", fields.wYear, fields.wMonth, fields.wDay,
         fields.wHour, fields.wMinute, fields.wSecond);
  qxAddTimeToFileTime(&time, 39999999); /* 3.9999999 s on */
  qxRegulateFileTime(&time, 20000000);
  FileTimeToSystemTime(&time, &fields);
  printf("  + 3.9999999 s, rounded down to 2 s -> %02u:%02u:%02u.%03u\n", fields.wHour,
         fields.wMinute, fields.wSecond, fields.wMilliseconds);

  for (i = 0; i < sizeof values / sizeof values[0]; ++i) {
    printf("  qxFigureSepInt64A(%lld, signed) = %s\n", values[i],
           qxFigureSepInt64A(values[i], number, sizeof number, QXFIG_SIGNED));
  }
  printf("  qxFigureSepInt32A(-1, unsigned) = %s\n", qxFigureSepInt32A(-1, number, 128, 0));
  printf("  qxFigureSepInt32A(1234, signed, plus) = %s\n",
         qxFigureSepInt32A(1234, number, 128, QXFIG_SIGNED | QXFIG_SHOWPLUS));
}

static const char* CodeName(int code) {
  switch (code) {
    case QXJCODE_SJIS:
      return "Shift_JIS";
    case QXJCODE_JIS:
      return "JIS";
    case QXJCODE_EUC:
      return "EUC-JP";
    case QXJCODE_ASCII:
      return "ASCII";
    case QXJCODE_UTF8:
      return "UTF-8";
    case QXJCODE_UTF16LE:
      return "UTF-16LE";
    case QXJCODE_UTF16BE:
      return "UTF-16BE";
    default:
      return "not text";
  }
}

static void ShowHex(const char* bytes, int length) {
  int i;
  for (i = 0; i < length && i < 24; ++i)
    printf(" %02X", (unsigned char)bytes[i]);
  printf("%s\n", length > 24 ? " ..." : "");
}

static void ShowBytes(const char* label, const char* text, int length) {
  printf("  %-10s %-9s %2d bytes:", label, CodeName(qxJudgeJpnCodeType(text)), length);
  ShowHex(text, length);
}

/* The sized calls that also know UTF-8 and UTF-16: judge a UTF-8 text and
 * the EUC-JP one above over their whole length, then convert the UTF-8 text
 * to Shift_JIS (asking for the size first) and to UTF-16LE. */
static void ShowUnicodeText(const char* euc, int eucLength) {
  /* "UTF-8: 漢字とかな、①②" */
  static const char utf8[] =
      "UTF-8: \xE6\xBC\xA2\xE5\xAD\x97\xE3\x81\xA8\xE3\x81\x8B\xE3\x81\xAA"
      "\xE3\x80\x81\xE2\x91\xA0\xE2\x91\xA1";
  char sjis[sizeof utf8], wide[2 * sizeof utf8];
  int need, n;

  Section("UTF-8 and UTF-16");
  printf("  qxJudgeTextCode: the UTF-8 text is %s, the EUC-JP text %s\n",
         CodeName(qxJudgeTextCode(utf8, sizeof utf8 - 1)),
         CodeName(qxJudgeTextCode(euc, (QXDWORD)eucLength)));
  need = qxConvertTextCode(NULL, 0, QXJCODE_SJIS, utf8, sizeof utf8 - 1, QXJCODE_UTF8, 0);
  n = qxConvertTextCode(sjis, (int)sizeof sjis, QXJCODE_SJIS, utf8, sizeof utf8 - 1, QXJCODE_UTF8,
                        0);
  printf("  UTF-8 to Shift_JIS needs %d bytes, wrote %d:", need, n);
  ShowHex(sjis, n);
  n = qxConvertTextCode(wide, 2, QXJCODE_UTF16LE, utf8, sizeof utf8 - 1, QXJCODE_UTF8, 0);
  printf("  into 2 bytes: %d, error 0x%08lX (too small, nothing past them written)\n", n,
         (unsigned long)qxGetErrCode());
  n = qxConvertTextCode(wide, (int)sizeof wide, QXJCODE_UTF16LE, utf8, sizeof utf8 - 1,
                        QXJCODE_UTF8, QXCVT_BOM);
  printf("  UTF-8 to UTF-16LE with a byte order mark, %d bytes:", n);
  ShowHex(wide, n);
}

/* Judges a Shift_JIS sample, converts it through JIS and EUC-JP and back,
 * then writes a file with three kinds of line ends and reads it by line. */
static void ShowJapaneseText(void) {
  /* "日本語のテキストを変換します。" with a CR LF, in Shift_JIS */
  static const char sample[] =
      "qx: \x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xF0"
      "\x95\xCF\x8A\xB7\x82\xB5\x82\xDC\x82\xB7\x81\x42\r\n";
  static const char lines[] = "first line\r\nsecond (LF)\nthird (CR)\rlast, no line end";
  char jis[4 * sizeof sample], euc[sizeof sample], back[sizeof sample], line[64];
  char path[MAX_PATH + 32];
  int n;
  HANDLE out;
  DWORD written;
  QXHTEXTFILE file;

  Section("Japanese encodings");
  ShowBytes("sample", sample, (int)sizeof sample - 1);
  n = qxConvertJpnCode(jis, QXJCODE_JIS, sample, QXJCODE_SJIS);
  ShowBytes("to JIS", jis, n);
  n = qxConvertJpnCode(euc, QXJCODE_EUC, jis, QXJCODE_JIS);
  ShowBytes("to EUC-JP", euc, n);
  printf(
      "  (every pair above is valid in both 8-bit encodings, so nothing decides\n"
      "   and the EUC-JP text is judged Shift_JIS: the caller says what it holds)\n");
  n = qxConvertJpnCode(back, QXJCODE_SJIS, euc, QXJCODE_EUC);
  ShowBytes("back", back, n);
  printf("  round trip %s (line end now a single LF)\n",
         n == (int)sizeof sample - 2 && memcmp(back, sample, n - 1) == 0 ? "exact" : "DIFFERS");

  ShowUnicodeText(euc, (int)strlen(euc));

  Section("Text file reader");
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, "qxdll32-demo.txt");
  out = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (out == INVALID_HANDLE_VALUE) return;
  WriteFile(out, lines, sizeof lines - 1, &written, NULL);
  CloseHandle(out);
  file = qxOpenTextFileA(path);
  while (file != NULL && qxReadTextFileA(file, line, sizeof line))
    printf("  line: \"%s\"\n", line);
  printf("  then error 0x%08lX (QXERR_ENDOFFILE)\n", (unsigned long)qxGetErrCode());
  qxCloseTextFile(file);
  DeleteFileA(path);
}

/* File operations: the bundled samples folder (beside demo.exe) is copied
 * into a scratch folder under the full progress dialog, then a file is
 * copied onto its own copy under three collision policies. */
static int FileOpListSamples(const char* folder, const char* relative, char names[][MAX_PATH],
                             int count, unsigned long* bytes) {
  char pattern[MAX_PATH];
  WIN32_FIND_DATAA found;
  HANDLE find;
  wsprintfA(pattern, "%s\\%s*", folder, relative);
  find = FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return count;
  do {
    char name[MAX_PATH];
    if (found.cFileName[0] == '.') continue;
    wsprintfA(name, "%s%s", relative, found.cFileName);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      lstrcatA(name, "\\");
      count = FileOpListSamples(folder, name, names, count, bytes);
    } else if (count < 16) {
      lstrcpyA(names[count++], name);
      *bytes += found.nFileSizeLow;
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return count;
}

static void FileOpShowResult(const char* what, QXBOOL ok) {
  if (ok) {
    printf("  %-50s ok\n", what);
  } else {
    printf("  %-50s failed, error 0x%08lX\n", what, (unsigned long)qxGetErrCode());
  }
}

static void FileOperations(void) {
  char exe[MAX_PATH], samples[MAX_PATH], scratch[MAX_PATH], from[MAX_PATH], to[MAX_PATH];
  char names[16][MAX_PATH];
  char* slash;
  unsigned long bytes = 0;
  int count, i;
  QXHFILEOP op;
  INITCOMMONCONTROLSEX controls;

  Section("File operations");
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls); /* the full dialog's progress bars */
  GetModuleFileNameA(NULL, exe, MAX_PATH);
  slash = qxScanFileNameA(exe);
  if (slash) *slash = '\0';
  wsprintfA(samples, "%ssamples", exe);
  GetTempPathA(MAX_PATH, scratch);
  wsprintfA(scratch + lstrlenA(scratch), "qx-demo-%lu", (unsigned long)GetTickCount());
  count = FileOpListSamples(samples, "", names, 0, &bytes);
  printf("  %d sample files, %lu bytes, from %s\n", count, bytes, samples);

  op = qxCreateFileOpA(NULL, 0);
  if (!op) {
    printf("  qxCreateFileOpA failed, error 0x%08lX (no display for the dialog?)\n",
           (unsigned long)qxGetErrCode());
    return;
  }
  qxSetFileOpEntry(op, count, 0, bytes, 0, 0, 0);
  for (i = 0; i < count; ++i) {
    char what[MAX_PATH + 16];
    wsprintfA(from, "%s\\%s", samples, names[i]);
    wsprintfA(to, "%s\\%s", scratch, names[i]); /* missing folders are made */
    wsprintfA(what, "copy %s", names[i]);
    FileOpShowResult(what, qxOperateFileOpA(op, QXFOP_COPY, from, to, QXFOF_FAIL));
  }

  /* The same file again onto its copy: each policy settles it its own way. */
  wsprintfA(from, "%s\\readme.txt", samples);
  wsprintfA(to, "%s\\readme.txt", scratch);
  FileOpShowResult("again, QXFOF_FAIL",
                   qxOperateFileOpA(op, QXFOP_COPY, from, to, QXFOF_FAIL | QXFOF_NOCOUNT));
  FileOpShowResult("again, QXFOF_NEWNAME (readme(1).txt)",
                   qxOperateFileOpA(op, QXFOP_COPY, from, to, QXFOF_NEWNAME | QXFOF_NOCOUNT));
  FileOpShowResult("again, QXFOF_MOVEASIDE (old one to readme(2).txt)",
                   qxOperateFileOpA(op, QXFOP_COPY, from, to, QXFOF_MOVEASIDE | QXFOF_NOCOUNT));
  {
    WIN32_FIND_DATAA found;
    HANDLE find;
    wsprintfA(to, "%s\\readme*", scratch);
    find = FindFirstFileA(to, &found);
    printf("  now in the scratch folder:");
    if (find != INVALID_HANDLE_VALUE) {
      do
        printf(" %s", found.cFileName);
      while (FindNextFileA(find, &found));
      FindClose(find);
    }
    printf("\n");
  }

  /* Tidy up under the same dialog, deletions uncounted. */
  for (i = 0; i < count; ++i) {
    wsprintfA(to, "%s\\%s", scratch, names[i]);
    qxOperateFileOpA(op, QXFOP_DELETE, to, NULL, QXFOF_NOCOUNT);
  }
  wsprintfA(to, "%s\\readme(1).txt", scratch);
  qxOperateFileOpA(op, QXFOP_DELETE, to, NULL, QXFOF_NOCOUNT);
  wsprintfA(to, "%s\\readme(2).txt", scratch);
  qxOperateFileOpA(op, QXFOP_DELETE, to, NULL, QXFOF_NOCOUNT);
  wsprintfA(to, "%s\\docs", scratch);
  RemoveDirectoryA(to);
  RemoveDirectoryA(scratch);
  printf("  qxCloseFileOp: %d\n", (int)qxCloseFileOp(op));
}

/* A Japanese sample line, in Shift_JIS for the A forms and UTF-16 for W:
 * "2024年の報告書: ファイル file_01.txt と FILE_02.TXT を比較する。" */
static const char kSampleA[] =
    "2024\x94N\x82\xCC\x95\xF1\x8D\x90\x8F\x91: \x83t\x83@\x83"
    "C\x83\x8B file_01.txt \x82\xC6 FILE_02.TXT \x82\xF0\x94\xE4\x8Ar\x82\xB7\x82\xE9\x81"
    "B";
static const QXWCHAR kSampleW[] =
    L"2024\x5E74\x306E\x5831\x544A\x66F8: \x30D5\x30A1\x30A4\x30EB"
    L" file_01.txt \x3068 FILE_02.TXT \x3092\x6BD4\x8F03\x3059"
    L"\x308B\x3002";

static void ShowFound(const char* form, const char* pattern, long start, unsigned long length) {
  if (start < 0) {
    printf("  %s %-26s no match\n", form, pattern);
  } else {
    printf("  %s %-26s start %2ld, length %lu\n", form, pattern, start, length);
  }
}

static void SearchDemo(void) {
  QXDWORD length = 0;
  const char* a;
  const QXWCHAR* w;
  QXHCVT cvt;

  Section("String search");
  printf("  (A offsets count Shift_JIS bytes, W offsets UTF-16 code units)\n");
  a = qxGrepExA(kSampleA, "[0-9]+\x94N", 0, &length); /* digits + "年" */
  ShowFound("A", "[0-9]+<nen>", a ? (long)(a - kSampleA) : -1, length);
  w = qxGrepExW(kSampleW, L"[0-9]+\x5E74", 0, &length);
  ShowFound("W", "[0-9]+<nen>", w ? (long)(w - kSampleW) : -1, length);

  a = qxGrepExA(kSampleA, "file_[0-9]+\\.txt", 0, &length);
  ShowFound("A", "file_[0-9]+\\.txt", a ? (long)(a - kSampleA) : -1, length);
  w = qxGrepExW(kSampleW, L"FILE_.*TXT", 1, &length); /* folded: finds file_01... */
  ShowFound("W", "FILE_.*TXT, ignore case", w ? (long)(w - kSampleW) : -1, length);

  /* One converter, compiled once, scanned twice. */
  cvt = qxSaaCreateCvtA("\x94\xE4\x8A\x72", 0); /* literal "比較" */
  a = qxSaaScanStringA(cvt, kSampleA);
  ShowFound("A", "literal <hikaku>", a ? (long)(a - kSampleA) : -1, qxSaaGetMatchLength(cvt));
  a = qxSaaScanStringA(cvt, "no such text");
  ShowFound("A", "literal <hikaku>", a ? (long)(a - kSampleA) : -1, qxSaaGetMatchLength(cvt));
  qxSaaCloseCvt(cvt);

  /* The small matcher: '?' any character, '?*' a run. */
  a = qxGrepA(kSampleA, "F?*TXT");
  ShowFound("A", "F?*TXT (small matcher)", a ? (long)(a - kSampleA) : -1, 0);
  w = qxGrepW(kSampleW, L"[0-9][0-9]?txt");
  ShowFound("W", "[0-9][0-9]?txt (small)", w ? (long)(w - kSampleW) : -1, 0);
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
  browsed = qxBrowseFolderW(NULL, NULL, NULL, L"C:\\");
  printf("  qxBrowseFolderW without a path buffer = %d, error 0x%08lX (refused, nothing shown)\n",
         browsed, (unsigned long)qxGetErrCode());
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

  SearchDemo();
  ShowJapaneseText();
  Section("File names, file times, numbers");
  ShowFileHelpersAndNumbers();
  FileOperations();
  ShowRegistry();
  ShowWindowUtilities();

  Section("Errors");
  qxScanFileNameA(NULL);
  printf("  qxScanFileNameA(NULL) sets error 0x%08lX (QXERR_BADPARAM)\n",
         (unsigned long)qxGetErrCode());
  return qxGetVersion() == 113 ? 0 : 1;
}
