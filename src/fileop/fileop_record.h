// The record behind a file operation handle and the private messages the
// engine (caller's thread) sends to its progress dialog (dialog thread).
//
// Who writes which field:
//
//   field                                  written by        read by
//   signature, ownerWindow, createFlags    create            both
//   dialogThread, wide                     create            engine
//   dialogWindow                           dialog (init, close)  engine  (atomic)
//   startPending                           dialog (start)    engine   (atomic)
//   abortRequested                         dialog (start, Abort, close)  engine  (atomic)
//   opBits, caption, sourceName,           engine            dialog
//   targetName, counts, totals, sizes
//   copyBlock, shownAt                     engine            engine
//   shownCaption, the three scales,        dialog            dialog
//   fileSizeText, controls
//
// Fields the engine writes are only read by the dialog while the engine
// waits in SendMessage, which orders the two threads; the atomics are the
// fields one thread writes while the other runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "frame/signatures.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"
#include "resource.h"

namespace qx::fileop {

// Private messages, all with the record as lParam. Every one is sent (the
// engine waits until the dialog has handled it) except QXFOM_START and,
// while the queue takes them, QXFOM_CAPTION.
enum : UINT {
  // Posted by create once it has seen dialogWindow: the caller is ready;
  // the dialog clears abortRequested and startPending.
  QXFOM_START = 0x2300,
  // Sent by qxCloseFileOp: the dialog sets abortRequested, clears
  // dialogWindow and ends itself.
  QXFOM_CLOSE = 0x2301,
  // Sent by qxSetFileOpEntry: totals changed; set up the count and
  // total-size bars, then show the counts.
  QXFOM_SETTOTALS = 0x2302,
  // Sent by the engine while a step runs, at most every few tens of
  // milliseconds, and at the end of every step: wParam holds the kShow...
  // parts that changed since the last one, shown in the order below, once
  // the captions posted before it are shown.
  QXFOM_SHOW = 0x2303,
  // Posted around each periodic flush with a string id in wParam: show that
  // string in the caption line (shownCaption is left alone).
  QXFOM_CAPTION = 0x2307,
};

// Parts of a QXFOM_SHOW.
enum : WPARAM {
  // A new file, or a unique target name: caption and names; the file line
  // is cleared.
  kShowFile = 0x01,
  // The file's size is known: the file bar's range and the size text.
  kShowFileSize = 0x02,
  // The file line: bytes done of the size, percent and bar.
  kShowFileLine = 0x04,
  // Files and bytes done of the whole job.
  kShowCounts = 0x08,
};

// Operation bits: what kind of step the dialog shows and the engine runs.
enum : DWORD {
  kOpCaptionText = 0x01,  // caption is the caller's text, not a string id
  kOpAny = 0x02,          // set for every operation
  kOpTwoNames = 0x04,     // source and destination
  kOpDeleteSource = 0x08,
  kOpMove = 0x10,
  kOpCopy = 0x20,
};

// The engine's copy block.
inline constexpr DWORD kCopyBlockBytes = 1024 * 1024;

// The progress dialog's controls, from the caption line to the total bar.
inline constexpr int kFirstControl = IDC_FILEOP_CAPTION;
inline constexpr int kControlCount = IDC_FILEOP_TOTAL_BAR - IDC_FILEOP_CAPTION + 1;

// Both halves all ones: the job's byte total is unknown.
inline constexpr std::int64_t kUnknownBytes = -1;
// The job's file count is unknown.
inline constexpr std::int32_t kUnknownCount = -1;

// The dialog thread. Closing it waits until the thread has ended while
// delivering the messages other threads send to this thread's windows (the
// dialog disables and enables the owner window as it starts and ends, so a
// plain wait could deadlock), then closes the handle.
struct DialogThreadTraits {
  using type = HANDLE;
  static type Invalid() noexcept { return nullptr; }
  static void Close(type thread) noexcept;
};

// The file operation handle. Shared by the caller's thread and the dialog
// thread as the table above says; no lock guards it.
struct FileOpRecord {
  FileOpRecord() = default;
  FileOpRecord(const FileOpRecord&) = delete;
  FileOpRecord& operator=(const FileOpRecord&) = delete;
  // Ends the dialog and waits for its thread: no thread outlives the record
  // it reads.
  ~FileOpRecord();

  std::uint32_t signature = kSigFileOperation;
  HWND ownerWindow = nullptr;
  DWORD createFlags = 0;
  std::atomic<HWND> dialogWindow{nullptr};
  std::atomic<BOOL> startPending{TRUE};
  std::atomic<BOOL> abortRequested{TRUE};
  unique_handle<DialogThreadTraits> dialogThread;
  DWORD opBits = 0;
  ULONG_PTR shownCaption = 0;
  ULONG_PTR caption = 0;             // operation code, or the caller's caption text
  const void* sourceName = nullptr;  // char or WCHAR text, by `wide`
  const void* targetName = nullptr;
  std::int32_t fileCountTotal = kUnknownCount;
  std::int32_t fileCountDone = 0;
  std::int32_t fileCountScale = 1;
  std::int64_t totalBytes = kUnknownBytes;
  std::int64_t totalBytesDone = 0;
  std::int64_t totalBytesScale = 1;
  std::int64_t fileBytes = 0;
  std::int64_t fileBytesDone = 0;
  std::int64_t fileBytesScale = 1;
  union {
    char a[128];
    WCHAR w[128];
  } fileSizeText = {};
  // The dialog's controls from kFirstControl on, looked up once (null where
  // the short template lacks one).
  HWND controls[kControlCount] = {};
  // Made by qxCreateFileOpW: names and captions are UTF-16.
  bool wide = false;
  // The engine's copy buffer of kCopyBlockBytes, made with the record.
  std::unique_ptr<char[]> copyBlock;
  // When the engine last sent QXFOM_SHOW (GetTickCount64).
  ULONGLONG shownAt = 0;

  bool Aborted() const noexcept { return abortRequested.load(std::memory_order_acquire) != 0; }
};

// The size text in the record's own character width.
template <class Ch>
Ch* SizeText(FileOpRecord& record) noexcept;
template <>
inline char* SizeText<char>(FileOpRecord& record) noexcept {
  return record.fileSizeText.a;
}
template <>
inline WCHAR* SizeText<WCHAR>(FileOpRecord& record) noexcept {
  return record.fileSizeText.w;
}

}  // namespace qx::fileop
