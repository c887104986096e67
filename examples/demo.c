/*
 * demo: a tour of qxdll32.dll from an application's side. It links the DLL
 * through its import library and the public header, and prints what each
 * family does with a few sample inputs.
 */
#include <stdio.h>
#include <windows.h>
#include <commctrl.h>
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

  Section("File names, file times, numbers");
  ShowFileHelpersAndNumbers();

  Section("Errors");
  qxScanFileNameA(NULL);
  printf("  qxScanFileNameA(NULL) sets error 0x%08lX (QXERR_BADPARAM)\n",
         (unsigned long)qxGetErrCode());
  FileOperations();
  return qxGetVersion() == 113 ? 0 : 1;
}
