/*
 * demo: a tour of qxdll32.dll from an application's side. It links the DLL
 * through its import library and the public header, and prints what each
 * family does with a few sample inputs.
 */
#include <stdio.h>
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

  Section("Errors");
  qxScanFileNameA(NULL);
  printf("  qxScanFileNameA(NULL) sets error 0x%08lX (QXERR_BADPARAM)\n",
         (unsigned long)qxGetErrCode());
  return qxGetVersion() == 113 ? 0 : 1;
}
