// Exports of the sized detection and conversion that also know UTF-8 and
// UTF-16: argument checks and the library error code around the cores.
#include <climits>

#include "frame/error_code.h"
#include "jcode/judge_text.h"
#include "jcode/unicode_convert.h"
#include "qxdll32.h"

extern "C" int QXAPI qxJudgeTextCode(const void* data, QXDWORD size) {
  if (data == nullptr && size > 0) {
    qx::SetErrCode(QXERR_BADPARAM);
    return QXJCODE_NOTTEXT;
  }
  return qx::jcode::JudgeText(static_cast<const unsigned char*>(data), size);
}

extern "C" int QXAPI qxConvertTextCode(void* dst, int dstSize, int dstCode, const void* src,
                                       int srcSize, int srcCode, QXDWORD flags) {
  if (dstSize < 0 || srcSize < 0 || (dst == nullptr && dstSize > 0) ||
      (src == nullptr && srcSize > 0)) {
    qx::SetErrCode(QXERR_BADPARAM);
    return -1;
  }
  std::size_t written = 0;
  DWORD status =
      qx::jcode::ConvertText(static_cast<unsigned char*>(dst), static_cast<std::size_t>(dstSize),
                             dstCode, static_cast<const unsigned char*>(src),
                             static_cast<std::size_t>(srcSize), srcCode, flags, written);
  // A count that an int cannot return is a result too long for the caller.
  if (status == QXERR_NONE && written > INT_MAX) status = QXERR_TOOLONG;
  if (status != QXERR_NONE) {
    qx::SetErrCode(status);
    return -1;
  }
  return static_cast<int>(written);
}
