/* The public header as a C program sees it, linked against the library. */
#include <stdio.h>

#include "qxdll32.h"

int main(void) {
  char path[] = "dir\\\\name.ext";
  QXWCHAR wide[] = {'a', '/', 'b', 0};
  const unsigned char* lead = qxGetDBCSLeadTable();
  if (qxGetVersion() != 113 || lead == NULL || lead[0] != 0) return 1;
  if (!qxControlRightPathA(path) || qxScanFileNameA(path) != path + 4) return 2;
  if (qxScanExtNameA(path) != path + 9 || qxGetErrCode() != QXERR_NONE) return 3;
  if (qxScanFileNameW(wide) != wide + 2 || !qxControlRightUrlW(wide)) return 4;
  puts("qxdll32.h compiles and links as C");
  return 0;
}
