// Exports of the file operation engine: handle and argument checks and the
// library error code around the engine's calls.
#include "fileop/fileop_engine.h"
#include "frame/error_code.h"
#include "frame/handle_record.h"
#include "platform/halves.h"
#include "qxdll32.h"

namespace {

using qx::fileop::FileOpRecord;

template <class Ch>
QXHFILEOP CreateFileOp(QXHWND owner, QXDWORD flags) noexcept {
  DWORD error = QXERR_NONE;
  FileOpRecord* record = qx::fileop::Create<Ch>(owner, flags, error);
  if (record == nullptr) qx::SetErrCode(error);
  return reinterpret_cast<QXHFILEOP>(record);
}

template <class Ch>
QXBOOL OperateFileOp(QXHFILEOP handle, UINT_PTR operation, const Ch* source, const Ch* destination,
                     QXDWORD flags) noexcept {
  auto* record = qx::RecordOf<FileOpRecord>(handle, qx::kSigFileOperation);
  if (record == nullptr) return 0;
  // A handle is used with the operate form of its own width: the dialog
  // reads the names and captions in that width.
  if (record->wide != (sizeof(Ch) != 1)) {
    qx::SetErrCode(QXERR_BADHANDLE);
    return 0;
  }
  const auto [status, clears] = qx::fileop::Operate(*record, operation, source, destination, flags);
  if (status != QXERR_NONE || clears) qx::SetErrCode(status);
  return status == QXERR_NONE;
}

std::int64_t Join(QXDWORD low, QXDWORD high) noexcept {
  return static_cast<std::int64_t>(qx::JoinHalves(low, high));
}

}  // namespace

extern "C" QXHFILEOP QXAPI qxCreateFileOpA(QXHWND owner, QXDWORD flags) {
  return CreateFileOp<char>(owner, flags);
}

extern "C" QXHFILEOP QXAPI qxCreateFileOpW(QXHWND owner, QXDWORD flags) {
  return CreateFileOp<WCHAR>(owner, flags);
}

extern "C" QXBOOL QXAPI qxCloseFileOp(QXHFILEOP handle) {
  auto* record = qx::RecordOf<FileOpRecord>(handle, qx::kSigFileOperation);
  if (record == nullptr) return 0;
  qx::fileop::Close(*record);
  return 1;
}

extern "C" QXBOOL QXAPI qxSetFileOpEntry(QXHFILEOP handle, int fileCountTotal, int fileCountDone,
                                         QXDWORD totalBytesLow, QXDWORD totalBytesHigh,
                                         QXDWORD totalBytesDoneLow, QXDWORD totalBytesDoneHigh) {
  auto* record = qx::RecordOf<FileOpRecord>(handle, qx::kSigFileOperation);
  if (record == nullptr) return 0;
  return qx::Report(qx::fileop::SetEntry(*record, fileCountTotal, fileCountDone,
                                         Join(totalBytesLow, totalBytesHigh),
                                         Join(totalBytesDoneLow, totalBytesDoneHigh)));
}

extern "C" QXBOOL QXAPI qxOperateFileOpA(QXHFILEOP handle, UINT_PTR operation, const char* source,
                                         const char* destination, QXDWORD flags) {
  return OperateFileOp(handle, operation, source, destination, flags);
}

extern "C" QXBOOL QXAPI qxOperateFileOpW(QXHFILEOP handle, UINT_PTR operation,
                                         const QXWCHAR* source, const QXWCHAR* destination,
                                         QXDWORD flags) {
  return OperateFileOp(handle, operation, source, destination, flags);
}
