// Win32 file calls over POSIX descriptors. A HANDLE carries its descriptor
// plus a bias, so neither NULL nor INVALID_HANDLE_VALUE is ever a valid one.
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fault.h"
#include "platform/halves.h"
#include "platform/posix/file_handle.h"
#include "platform/posix/last_error.h"
#include "platform/posix/native_path.h"
#include "platform/win32_api.h"

namespace qx::platform {
namespace {

struct ArmedFault {
  std::atomic<unsigned> countdown{0};  // 0: disarmed
  std::atomic<IoFault> fault{IoFault::kFail};
};

ArmedFault g_faults[2];

// True when this call is the one the test armed; disarms it.
bool TakeFault(IoOp op, IoFault& fault) {
  ArmedFault& armed = g_faults[static_cast<int>(op)];
  unsigned left = armed.countdown.load(std::memory_order_acquire);
  while (left != 0) {
    if (armed.countdown.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel)) {
      fault = armed.fault.load(std::memory_order_relaxed);
      return left == 1;
    }
  }
  return false;
}

HANDLE OpenNative(const std::string& path, DWORD access, DWORD disposition, DWORD flags) {
  int mode = O_RDONLY;
  if ((access & GENERIC_WRITE) != 0) mode = (access & GENERIC_READ) != 0 ? O_RDWR : O_WRONLY;
  bool reportExisting = false;
  switch (disposition) {
    case CREATE_NEW:
      mode |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      mode |= O_CREAT | O_TRUNC;
      reportExisting = true;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      mode |= O_CREAT;
      reportExisting = true;
      break;
    case TRUNCATE_EXISTING:
      if ((access & GENERIC_WRITE) == 0) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
      mode |= O_TRUNC;
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  struct stat before;
  const bool existed = ::stat(path.c_str(), &before) == 0;
  // CreateFile opens no folder as a file, and writes no read-only file (the
  // mode bits stand in for FILE_ATTRIBUTE_READONLY, even for root).
  if (existed && (S_ISDIR(before.st_mode) ||
                  ((access & GENERIC_WRITE) != 0 && (before.st_mode & 0222) == 0))) {
    return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  }
  const mode_t perms = (flags & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
  const int fd = ::open(path.c_str(), mode | O_CLOEXEC, perms);
  if (fd < 0) return Fail(ErrorFromErrno(errno, path), INVALID_HANDLE_VALUE);
  SetLastError(reportExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return HandleFromFd(fd);
}

}  // namespace

void FailNthIo(IoOp op, unsigned nth, IoFault fault) {
  ArmedFault& armed = g_faults[static_cast<int>(op)];
  armed.fault.store(fault, std::memory_order_relaxed);
  armed.countdown.store(nth, std::memory_order_release);
}

void ResetIoFaults() {
  for (ArmedFault& armed : g_faults)
    armed.countdown.store(0, std::memory_order_release);
}

}  // namespace qx::platform

using qx::platform::ErrorFromErrno;
using qx::platform::Fail;
using qx::platform::FdFromHandle;
using qx::platform::IoFault;
using qx::platform::IoOp;

extern "C" HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                              DWORD disposition, DWORD flags, HANDLE) {
  if (name == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  return qx::platform::OpenNative(qx::platform::NativePath(name), access, disposition, flags);
}

extern "C" HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                              DWORD disposition, DWORD flags, HANDLE) {
  std::string path;
  if (name == nullptr || !qx::platform::NativePath(name, path))
    return Fail(name == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME,
                INVALID_HANDLE_VALUE);
  return qx::platform::OpenNative(path, access, disposition, flags);
}

extern "C" BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
  if (read != nullptr) *read = 0;
  const int fd = FdFromHandle(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  IoFault fault;
  if (qx::platform::TakeFault(IoOp::kRead, fault)) return Fail(ERROR_READ_FAULT);
  auto* out = static_cast<char*>(buffer);
  DWORD done = 0;
  while (done < toRead) {
    const ssize_t n = ::read(fd, out + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(ErrorFromErrno(errno, {}));
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (read != nullptr) *read = done;
  return TRUE;
}

extern "C" BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                          LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  const int fd = FdFromHandle(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  IoFault fault;
  if (qx::platform::TakeFault(IoOp::kWrite, fault)) {
    if (fault == IoFault::kFail) return Fail(ERROR_WRITE_FAULT);
    toWrite /= 2;
  }
  const auto* in = static_cast<const char*>(buffer);
  DWORD done = 0;
  while (done < toWrite) {
    const ssize_t n = ::write(fd, in + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (written != nullptr) *written = done;
      return Fail(errno == EIO ? ERROR_WRITE_FAULT : ErrorFromErrno(errno, {}));
    }
    done += static_cast<DWORD>(n);
  }
  if (written != nullptr) *written = done;
  return TRUE;
}

extern "C" DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method) {
  const int fd = FdFromHandle(file);
  if (fd < 0 || method > FILE_END) {
    SetLastError(fd < 0 ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the distance is a signed 32-bit value.
  std::int64_t offset = distance;
  if (distanceHigh != nullptr) {
    offset = static_cast<std::int64_t>(qx::JoinHalves(static_cast<std::uint32_t>(distance),
                                                      static_cast<std::uint32_t>(*distanceHigh)));
  }
  const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  const off_t current = ::lseek(fd, 0, SEEK_CUR);
  const off_t base = whence == SEEK_SET   ? 0
                     : whence == SEEK_CUR ? current
                                          : ::lseek(fd, 0, SEEK_END);
  if (base + offset < 0) {
    ::lseek(fd, current, SEEK_SET);
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  const off_t now = ::lseek(fd, base + offset, SEEK_SET);
  if (now < 0) {
    SetLastError(ErrorFromErrno(errno, {}));
    return INVALID_SET_FILE_POINTER;
  }
  const auto position = static_cast<std::uint64_t>(now);
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(position >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(position);
}

extern "C" DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  struct stat st;
  const int fd = FdFromHandle(file);
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

extern "C" BOOL FlushFileBuffers(HANDLE file) {
  const int fd = FdFromHandle(file);
  if (fd < 0 || ::fsync(fd) != 0) return Fail(fd < 0 ? ERROR_INVALID_HANDLE : ERROR_WRITE_FAULT);
  return TRUE;
}

extern "C" BOOL CloseHandle(HANDLE object) {
  const int fd = FdFromHandle(object);
  if (fd < 0 || ::close(fd) != 0) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

namespace {

BOOL DeleteNative(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0))
    return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) != 0) return Fail(ErrorFromErrno(errno, path));
  return TRUE;
}

}  // namespace

extern "C" BOOL DeleteFileA(LPCSTR name) {
  if (name == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return DeleteNative(qx::platform::NativePath(name));
}

extern "C" BOOL DeleteFileW(LPCWSTR name) {
  std::string path;
  if (name == nullptr || !qx::platform::NativePath(name, path))
    return Fail(name == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME);
  return DeleteNative(path);
}
