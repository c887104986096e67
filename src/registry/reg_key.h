// An open registry key that closes itself on every path out of a scope.
#pragma once

#include "platform/win32_api.h"

namespace qx::reg {

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Close(); }

  HKEY get() const noexcept { return key_; }

  // The slot an opening call fills; whatever was open before is closed.
  HKEY* put() noexcept {
    Close();
    return &key_;
  }

  void Close() noexcept {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace qx::reg
