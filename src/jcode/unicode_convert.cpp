#include "jcode/unicode_convert.h"

namespace qx::jcode {

DWORD ConvertText(unsigned char*, std::size_t, int, const unsigned char*, std::size_t, int, DWORD,
                  std::size_t& written) noexcept {
  written = 0;
  return QXERR_NOTSUPPORTED;
}

}  // namespace qx::jcode
