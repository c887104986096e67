// Handle records begin with a 32-bit signature whose bytes read as the
// ASCII letters shown; a function accepts a handle only when the pointer is
// non-null and the signature matches its family.
#pragma once

#include <cstdint>
#include <cstring>

namespace qx {

inline constexpr std::uint32_t kSigConverter = 0x41537871;      // "qxSA"
inline constexpr std::uint32_t kSigTextFile = 0x46547871;       // "qxTF"
inline constexpr std::uint32_t kSigFileOperation = 0x4F467871;  // "qxFO"

inline bool HasSignature(const void* handle, std::uint32_t signature) noexcept {
  if (handle == nullptr) return false;
  std::uint32_t first;
  std::memcpy(&first, handle, sizeof first);
  return first == signature;
}

}  // namespace qx
