// Opening and closing a file operation: the dialog thread's start and end,
// and the totals.
#include <new>

#include "fileop/fileop_engine.h"
#include "fileop/progress_dialog.h"
#include "fileop/win_calls.h"
#include "qxdll32.h"

namespace qx::fileop {
namespace {

// Waits until `done()` holds while delivering the messages other threads
// send to this thread's windows: the dialog thread disables and enables the
// owner window, which belongs to the caller, while it starts and ends, so a
// plain wait could deadlock. False when the dialog thread ended first.
template <class Ch, class Done>
bool WaitForDialog(HANDLE thread, Done done) noexcept {
  for (;;) {
    if (done()) return true;
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 1, QS_SENDMESSAGE);
    MSG msg;
    Win<Ch>::Peek(&msg);
    if (woke == WAIT_OBJECT_0) return done();
  }
}

}  // namespace

template <class Ch>
FileOpRecord* Create(HWND owner, DWORD flags, DWORD& error) noexcept {
  auto* record = new (std::nothrow) FileOpRecord;
  if (record != nullptr) record->copyBlock.reset(new (std::nothrow) char[kCopyBlockBytes]);
  if (record == nullptr || record->copyBlock == nullptr) {
    delete record;
    error = QXERR_NOMEMORY;
    return nullptr;
  }
  record->ownerWindow = owner;
  record->createFlags = flags;
  record->wide = sizeof(Ch) != 1;
  record->threadHandle = CreateThread(nullptr, 0, DialogThread<Ch>, record, 0, &record->threadId);
  if (record->threadHandle == nullptr) {
    delete record;
    error = QXERR_THREAD;
    return nullptr;
  }
  // A dialog that cannot be made (no progress bar class, no template) ends
  // its thread without ever publishing a window.
  const bool started =
      WaitForDialog<Ch>(record->threadHandle,
                        [record] { return record->dialogWindow != nullptr; }) &&
      Win<Ch>::Post(record->dialogWindow, QXFOM_START, 0, reinterpret_cast<LPARAM>(record)) &&
      WaitForDialog<Ch>(record->threadHandle, [record] { return !record->startPending; });
  if (!started) {
    if (HWND dialog = record->dialogWindow) {
      SendMessageA(dialog, QXFOM_CLOSE, 0, reinterpret_cast<LPARAM>(record));
    }
    WaitForDialog<Ch>(record->threadHandle, [] { return false; });
    CloseHandle(record->threadHandle);
    delete record;
    error = QXERR_THREAD;
    return nullptr;
  }
  error = QXERR_NONE;
  return record;
}

void Close(FileOpRecord& record) noexcept {
  if (HWND dialog = record.dialogWindow) {
    SendMessageA(dialog, QXFOM_CLOSE, 0, reinterpret_cast<LPARAM>(&record));
  }
  // No thread outlives the record it reads.
  WaitForDialog<char>(record.threadHandle, [] { return false; });
  CloseHandle(record.threadHandle);
  record.signature = 0;
  delete &record;
}

DWORD SetEntry(FileOpRecord& record, std::int32_t fileCountTotal, std::int32_t fileCountDone,
               std::int64_t totalBytes, std::int64_t totalBytesDone) noexcept {
  HWND dialog = record.dialogWindow;
  if (dialog == nullptr) return QXERR_UNAVAILABLE;
  record.fileCountTotal = fileCountTotal;
  record.fileCountDone = fileCountDone;
  record.totalBytes = totalBytes;
  record.totalBytesDone = totalBytesDone;
  SendMessageA(dialog, QXFOM_SETTOTALS, 0, reinterpret_cast<LPARAM>(&record));
  return QXERR_NONE;
}

template FileOpRecord* Create<char>(HWND, DWORD, DWORD&) noexcept;
template FileOpRecord* Create<WCHAR>(HWND, DWORD, DWORD&) noexcept;

}  // namespace qx::fileop
