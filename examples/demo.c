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

static const char* CodeName(int code) {
  switch (code) {
    case QXJCODE_SJIS: return "Shift_JIS";
    case QXJCODE_JIS: return "JIS";
    case QXJCODE_EUC: return "EUC-JP";
    default: return "not text";
  }
}

static void ShowBytes(const char* label, const char* text, int length) {
  int i;
  printf("  %-10s %-9s %2d bytes:", label, CodeName(qxJudgeJpnCodeType(text)), length);
  for (i = 0; i < length && i < 24; ++i)
    printf(" %02X", (unsigned char)text[i]);
  printf("%s\n", length > 24 ? " ..." : "");
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
  printf("  (every pair above is valid in both 8-bit encodings, so nothing decides\n"
         "   and the EUC-JP text is judged Shift_JIS: the caller says what it holds)\n");
  n = qxConvertJpnCode(back, QXJCODE_SJIS, euc, QXJCODE_EUC);
  ShowBytes("back", back, n);
  printf("  round trip %s (line end now a single LF)\n",
         n == (int)sizeof sample - 2 && memcmp(back, sample, n - 1) == 0 ? "exact" : "DIFFERS");

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

  ShowJapaneseText();

  Section("Errors");
  qxScanFileNameA(NULL);
  printf("  qxScanFileNameA(NULL) sets error 0x%08lX (QXERR_BADPARAM)\n",
         (unsigned long)qxGetErrCode());
  return qxGetVersion() == 113 ? 0 : 1;
}
