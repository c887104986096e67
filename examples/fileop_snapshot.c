/*
 * fileop_snapshot: keeps the full progress dialog busy with a long copy
 * (the third file of a three-file job), so scripts/fileop-screenshot.sh can
 * photograph it mid-copy.
 */
#include <stdio.h>
#include <windows.h>
#include <commctrl.h>

#include "qxdll32.h"

int main(void) {
  static char block[1 << 20];
  char from[MAX_PATH], to[MAX_PATH];
  const unsigned long mebibytes = 64;
  const unsigned long long done = 2u << 20, total = done + (mebibytes << 20);
  INITCOMMONCONTROLSEX controls;
  HANDLE file;
  QXHFILEOP op;
  DWORD written;
  unsigned long i;

  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
  GetTempPathA(MAX_PATH, from);
  lstrcpyA(to, from);
  lstrcatA(from, "qx-snapshot-source.bin");
  lstrcatA(to, "qx-snapshot\\backup\\photos-2024.bin");
  file = CreateFileA(from, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  for (i = 0; i < mebibytes; ++i)
    WriteFile(file, block, sizeof block, &written, NULL);
  CloseHandle(file);

  op = qxCreateFileOpA(NULL, 0);
  if (!op) return 1;
  qxSetFileOpEntry(op, 3, 2, (QXDWORD)total, (QXDWORD)(total >> 32), (QXDWORD)done,
                   (QXDWORD)(done >> 32));
  qxOperateFileOpA(op, QXFOP_COPY, from, to, QXFOF_OVERWRITE);
  qxOperateFileOpA(op, QXFOP_DELETE, to, NULL, QXFOF_NOCOUNT);
  qxCloseFileOp(op);
  DeleteFileA(from);
  return 0;
}
