/* An application built from an installed qxdll32 package alone: its header
 * and its library, nothing from the build tree. The calls cover a pointer
 * result, the error code, and a 64-bit argument (a wrong stdcall argument
 * size in the import library would unbalance the stack or mangle it). */
#include <stdio.h>
#include <string.h>

#include "qxdll32.h"

int main(void) {
  char path[] = "C:\\\\data//report.txt";
  char number[64];

  if (qxGetVersion() != 113) return 1;
  if (!qxControlRightPathA(path) || strcmp(path, "C:\\data/report.txt") != 0) return 2;
  if (qxScanFileNameA(path) != path + 8 || qxScanExtNameA(path) != path + 15) return 3;
  if (qxScanFileNameA(NULL) != NULL || qxGetErrCode() == QXERR_NONE) return 4;
  if (qxJudgeJpnCodeType("\x1b$B\x30\x21\x1b(B") != QXJCODE_JIS) return 5;
  /* Both halves of the 64-bit argument count; three digits take no separator. */
  if (qxFigureSepInt64A(-123LL, number, (int)sizeof number, QXFIG_SIGNED) != number ||
      strcmp(number, "(123)") != 0)
    return 6;
  printf("qxdll32 %lu.%02lu from the package: %s, %s\n", (unsigned long)qxGetVersion() / 100,
         (unsigned long)qxGetVersion() % 100, qxScanFileNameA(path), number);
  return 0;
}
