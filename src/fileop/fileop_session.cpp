// Opening and closing a file operation: the dialog thread's start and end,
// and the totals.
#include <memory>
#include <new>

#include "fileop/fileop_engine.h"
#include "fileop/progress_dialog.h"
#include "fileop/window_calls.h"
#include "qxdll32.h"

namespace qx::fileop {
namespace {

// Waits until `done()` holds while delivering the messages other threads
// send to this thread's windows. False when the dialog thread ended first.
template <class Done>
bool WaitForDialog(HANDLE thread, Done done) noexcept {
  for (;;) {
    if (done()) return true;
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 1, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    if (woke == WAIT_OBJECT_0) return done();
  }
}

}  // namespace

void DialogThreadTraits::Close(HANDLE thread) noexcept {
  WaitForDialog(thread, [] { return false; });
  CloseHandle(thread);
}

FileOpRecord::~FileOpRecord() {
  if (HWND dialog = dialogWindow) {
    SendMessageA(dialog, QXFOM_CLOSE, 0, reinterpret_cast<LPARAM>(this));
  }
  dialogThread.reset();
}

template <class Ch>
FileOpRecord* Create(HWND owner, DWORD flags, DWORD& error) noexcept {
  std::unique_ptr<FileOpRecord> owned(new (std::nothrow) FileOpRecord);
  FileOpRecord* const record = owned.get();
  if (record != nullptr) record->copyBlock.reset(new (std::nothrow) char[kCopyBlockBytes]);
  if (record == nullptr || record->copyBlock == nullptr) {
    error = QXERR_NOMEMORY;
    return nullptr;
  }
  record->ownerWindow = owner;
  record->createFlags = flags;
  record->wide = sizeof(Ch) != 1;
  record->dialogThread.reset(CreateThread(nullptr, 0, DialogThread<Ch>, record, 0, nullptr));
  if (!record->dialogThread) {
    error = QXERR_THREAD;
    return nullptr;
  }
  // A dialog that cannot be made (no progress bar class, no template) ends
  // its thread without ever publishing a window.
  const HANDLE thread = record->dialogThread.get();
  const bool started =
      WaitForDialog(thread, [record] { return record->dialogWindow != nullptr; }) &&
      Win<Ch>::Post(record->dialogWindow, QXFOM_START, 0, reinterpret_cast<LPARAM>(record)) &&
      WaitForDialog(thread, [record] { return !record->startPending; });
  if (!started) {
    error = QXERR_THREAD;
    return nullptr;
  }
  error = QXERR_NONE;
  return owned.release();
}

void Close(FileOpRecord& record) noexcept {
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
