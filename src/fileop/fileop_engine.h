// The file operation engine: the calls behind the qx...FileOp exports. Each
// returns QXERR_NONE or the library error code the export reports.
#pragma once

#include "fileop/fileop_record.h"

namespace qx::fileop {

// Allocates a record, starts the dialog thread and waits until the dialog
// has taken QXFOM_START. Null with QXERR_NOMEMORY or QXERR_THREAD.
template <class Ch>
FileOpRecord* Create(HWND owner, DWORD flags, DWORD& error) noexcept;

// Ends the dialog, waits for its thread and frees the record.
void Close(FileOpRecord& record) noexcept;

DWORD SetEntry(FileOpRecord& record, std::int32_t fileCountTotal, std::int32_t fileCountDone,
               std::int64_t totalBytes, std::int64_t totalBytesDone) noexcept;

// What one file came to: QXERR_NONE or the error code to report, and
// whether a success clears the library error code (a collision was settled
// with a unique name, whose helper clears it).
struct StepResult {
  DWORD status;
  bool clearsErrCode = false;
};

// One file: `code` is a QXFOP_ operation or, from 0x10000 on, a caption
// text for a display-only step; `flags` the QXFOF_ bits and unique mode.
template <class Ch>
StepResult Operate(FileOpRecord& record, UINT_PTR code, const Ch* source, const Ch* destination,
                   DWORD flags) noexcept;

}  // namespace qx::fileop
