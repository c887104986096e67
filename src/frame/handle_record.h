// The record behind a handle the exports were given: the one check every
// handle-taking export makes first.
#pragma once

#include <cstdint>

#include "frame/error_code.h"
#include "frame/signatures.h"

namespace qx {

// The record of the family with `signature` that `handle` points to, or
// null with QXERR_BADHANDLE set.
template <class Record>
Record* RecordOf(const void* handle, std::uint32_t signature) noexcept {
  if (!HasSignature(handle, signature)) {
    SetErrCode(QXERR_BADHANDLE);
    return nullptr;
  }
  return static_cast<Record*>(const_cast<void*>(handle));
}

}  // namespace qx
