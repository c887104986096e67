// Exports of the file-time utilities. A time of 0 means no time: every
// function refuses it, and a null record or name is a bad parameter.
#include "filetime/file_time.h"
#include "frame/error_code.h"
#include "platform/halves.h"
#include "platform/system_calls.h"
#include "platform/unique_handle.h"

namespace {

using qx::Join;
using qx::Split;

// Stamps the last-write time, leaving creation and access times alone.
template <class Ch>
QXBOOL SetLastWriteTime(const Ch* fileName, const QXFILETIME* time) noexcept {
  if (fileName == nullptr || time == nullptr || Join(*time) == 0) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  const qx::unique_file file(
      qx::win::CreateFileT(fileName, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, 0));
  if (!file) {
    qx::SetErrCode(QXERR_OPEN);
    return 0;
  }
  FILETIME write;
  Split(Join(*time), write);
  if (!SetFileTime(file.get(), nullptr, nullptr, &write)) {
    qx::SetErrCode(QXERR_WRITE);
    return 0;
  }
  return 1;
}

// Applies `step` to a time that is present, else fails with BADPARAM.
template <class Step>
QXBOOL Adjust(QXFILETIME* time, Step step) noexcept {
  if (time == nullptr || Join(*time) == 0) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  Split(step(Join(*time)), *time);
  return 1;
}

}  // namespace

extern "C" QXBOOL QXAPI qxSetFileTimeA(const char* fileName, const QXFILETIME* time) {
  return SetLastWriteTime(fileName, time);
}

extern "C" QXBOOL QXAPI qxSetFileTimeW(const QXWCHAR* fileName, const QXFILETIME* time) {
  return SetLastWriteTime(fileName, time);
}

extern "C" int QXAPI qxControlFileTimeAtFat(QXFILETIME* time) {
  if (time == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  std::uint64_t ticks = Join(*time);
  const int moved = qx::filetime::ClampToFat(ticks);
  Split(ticks, *time);
  return moved;
}

extern "C" QXBOOL QXAPI qxRegulateFileTime(QXFILETIME* time, QXDWORD unit) {
  if (unit == 0) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  return Adjust(time, [unit](std::uint64_t t) { return qx::filetime::RoundDown(t, unit); });
}

// Unsigned 64-bit arithmetic: a sum past 2^64 wraps, as does a difference below 0.
extern "C" QXBOOL QXAPI qxAddTimeToFileTime(QXFILETIME* time, QXDWORD ticks) {
  return Adjust(time, [ticks](std::uint64_t t) { return t + ticks; });
}

extern "C" QXBOOL QXAPI qxSubTimeToFileTime(QXFILETIME* time, QXDWORD ticks) {
  return Adjust(time, [ticks](std::uint64_t t) { return t - ticks; });
}
