// Fuzzes conversion in every direction and the copy: the first byte picks
// the codes, the rest is the zero-terminated source in a block of exactly
// its size. The output buffer is sized at the documented bound with a
// guard region behind it that must stay untouched, the result must be the
// length written, and a text converted into Shift_JIS or EUC-JP never grows.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "qxdll32.h"

namespace {

constexpr std::size_t kGuard = 64;
constexpr unsigned char kGuardByte = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int from = data[0] % 3;
  const int to = (data[0] / 3) % 3;
  ++data;
  --size;
  auto src = std::make_unique<char[]>(size + 1);
  std::memcpy(src.get(), data, size);
  src[size] = '\0';
  const std::size_t length = std::strlen(src.get());
  const std::size_t bound = to == QXJCODE_JIS ? length * 4 + 4 : length + 1;
  auto dst = std::make_unique<unsigned char[]>(bound + kGuard);
  std::memset(dst.get(), kGuardByte, bound + kGuard);
  const int written = qxConvertJpnCode(reinterpret_cast<char*>(dst.get()), to, src.get(), from);
  if (written < 0 || static_cast<std::size_t>(written) >= bound) __builtin_trap();
  if (dst[written] != 0) __builtin_trap();
  if (std::strlen(reinterpret_cast<char*>(dst.get())) != static_cast<std::size_t>(written))
    __builtin_trap();
  if (to != QXJCODE_JIS && static_cast<std::size_t>(written) > length) __builtin_trap();
  for (std::size_t i = static_cast<std::size_t>(written) + 1; i < bound + kGuard; ++i) {
    if (dst[i] != kGuardByte) __builtin_trap();
  }
  return 0;
}
