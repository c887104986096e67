// One owner type for every kind of handle the library holds (files, find
// handles, registry keys, shell item lists, converter chains, the dialog
// thread): closes it on every path out of a scope, and keeps the thread's
// last error across the close, so a failure code read after cleanup is
// still the failing call's. Each kind is a line of traits: its type, its
// empty value and its close call.
#pragma once

#include <utility>

#include "platform/win32_api.h"

namespace qx {

template <class Traits>
class unique_handle {
 public:
  using type = typename Traits::type;

  unique_handle() noexcept : handle_(Traits::Invalid()) {}
  explicit unique_handle(type handle) noexcept : handle_(handle) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept
      : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Traits::Invalid()));
    return *this;
  }
  ~unique_handle() { reset(); }

  type get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

  // Gives the handle up to the caller, who now closes it.
  type release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  // The slot an opening call fills; whatever was held before is closed.
  type* put() noexcept {
    reset();
    return &handle_;
  }

  void reset(type handle = Traits::Invalid()) noexcept {
    if (handle_ != Traits::Invalid()) {
      const DWORD saved = GetLastError();
      Traits::Close(handle_);
      SetLastError(saved);
    }
    handle_ = handle;
  }

 private:
  type handle_;
};

struct FileHandleTraits {
  using type = HANDLE;
  static type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(type handle) noexcept { CloseHandle(handle); }
};

struct FindHandleTraits {
  using type = HANDLE;
  static type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(type handle) noexcept { FindClose(handle); }
};

using unique_file = unique_handle<FileHandleTraits>;  // CreateFile
using unique_find = unique_handle<FindHandleTraits>;  // FindFirstFile

}  // namespace qx
