#include "jcode/judge_text.h"

namespace qx::jcode {

int JudgeText(const unsigned char*, std::size_t) noexcept {
  return QXJCODE_ASCII;
}

}  // namespace qx::jcode
