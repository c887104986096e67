/*
 * splitter_probe STEP...: a fresh process for splitter registration tests.
 * Each step is "init" (qxInitSplitter) or a message number for
 * qxInitSplitterEx; the exit code is the last qxInitSplitterEx result.
 */
#include <stdlib.h>
#include <string.h>

#include "qxdll32.h"

int main(int argc, char** argv) {
  UINT last = 0;
  int i;
  for (i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "init") == 0) {
      qxInitSplitter();
    } else {
      last = qxInitSplitterEx((UINT)strtoul(argv[i], NULL, 0));
    }
  }
  return (int)last;
}
