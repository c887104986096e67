// Exports of the path and URL helpers: argument checks and the error code
// around the shared A/W templates.
#include "frame/error_code.h"
#include "text/path_names.h"

namespace {

template <class Ch>
Ch* ScanFileName(Ch* path) noexcept {
  if (path == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  return qx::text::FindFileName(path);
}

template <class Ch>
Ch* ScanExtName(Ch* path) noexcept {
  if (path == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  qx::SetErrCode(QXERR_NONE);
  return qx::text::FindExtension(path);
}

template <class Ch, void (*Collapse)(Ch*) noexcept>
QXBOOL ControlRight(Ch* text) noexcept {
  if (text == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  Collapse(text);
  return 1;
}

}  // namespace

extern "C" char* QXAPI qxScanFileNameA(char* path) {
  return ScanFileName(path);
}

extern "C" QXWCHAR* QXAPI qxScanFileNameW(QXWCHAR* path) {
  return ScanFileName(path);
}

extern "C" char* QXAPI qxScanExtNameA(char* path) {
  return ScanExtName(path);
}

extern "C" QXWCHAR* QXAPI qxScanExtNameW(QXWCHAR* path) {
  return ScanExtName(path);
}

extern "C" QXBOOL QXAPI qxControlRightPathA(char* path) {
  return ControlRight<char, qx::text::CollapsePathSeparators<char>>(path);
}

extern "C" QXBOOL QXAPI qxControlRightPathW(QXWCHAR* path) {
  return ControlRight<QXWCHAR, qx::text::CollapsePathSeparators<QXWCHAR>>(path);
}

extern "C" QXBOOL QXAPI qxControlRightUrlA(char* url) {
  return ControlRight<char, qx::text::CollapseUrlSeparators<char>>(url);
}

extern "C" QXBOOL QXAPI qxControlRightUrlW(QXWCHAR* url) {
  return ControlRight<QXWCHAR, qx::text::CollapseUrlSeparators<QXWCHAR>>(url);
}
