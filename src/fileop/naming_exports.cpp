// Exports of the file naming helpers: the library error code around the
// shared A/W cores.
#include "fileop/naming.h"

#include "frame/error_code.h"

namespace {

// The caller's time in the platform's record (the same two halves).
template <class Ch>
QXBOOL MakeUniqPath(Ch* out, const Ch* path, const QXFILETIME* time, QXDWORD mode) noexcept {
  FILETIME copy;
  if (time != nullptr) copy = FILETIME{time->dwLowDateTime, time->dwHighDateTime};
  const DWORD status = qx::fileop::MakeUniqPath(out, path, time ? &copy : nullptr, mode);
  // Success leaves the code cleared, as the extension scan it makes does.
  qx::SetErrCode(status);
  return status == QXERR_NONE;
}

}  // namespace

extern "C" QXBOOL QXAPI qxMakeUniqPathA(char* out, const char* path, const QXFILETIME* time,
                                        QXDWORD mode) {
  return MakeUniqPath(out, path, time, mode);
}

extern "C" QXBOOL QXAPI qxMakeUniqPathW(QXWCHAR* out, const QXWCHAR* path, const QXFILETIME* time,
                                        QXDWORD mode) {
  return MakeUniqPath(out, path, time, mode);
}

extern "C" QXBOOL QXAPI qxRenameFileA(const char* path, const char* newName) {
  return qx::Report(qx::fileop::RenameFile(path, newName));
}

extern "C" QXBOOL QXAPI qxRenameFileW(const QXWCHAR* path, const QXWCHAR* newName) {
  return qx::Report(qx::fileop::RenameFile(path, newName));
}

extern "C" QXBOOL QXAPI qxMakeDirectoriesA(const char* path) {
  return qx::Report(qx::fileop::MakeDirectories(path));
}

extern "C" QXBOOL QXAPI qxMakeDirectoriesW(const QXWCHAR* path) {
  return qx::Report(qx::fileop::MakeDirectories(path));
}
