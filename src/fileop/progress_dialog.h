// The progress dialog of a file operation: its thread and its procedure,
// in the A and W widths.
#pragma once

#include "platform/win32_api.h"

namespace qx::fileop {

// The dialog thread: runs the modal progress dialog (template 101, or 102
// for QXFOC_SHORT) for the FileOpRecord in `record` until QXFOM_CLOSE.
template <class Ch>
DWORD WINAPI DialogThread(void* record);

// The dialog procedure: handles WM_INITDIALOG, Abort and the eight private
// messages, returning TRUE for them and FALSE for everything else.
template <class Ch>
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qx::fileop
