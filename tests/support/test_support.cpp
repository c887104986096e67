#include "support/test_support.h"

#include <cstdlib>

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/win32_api.h"
#endif

namespace qxtest {

WString Widen(const std::string& text) {
  WString out;
  for (unsigned char c : text)
    out += static_cast<QXWCHAR>(c);
  return out;
}

unsigned ActiveCodePage() {
  return GetACP();
}

unsigned ExpectedCodePage() {
  const char* value = std::getenv("QX_EXPECT_ACP");
  if (value == nullptr) value = std::getenv("QXDLL_CODEPAGE");
  return value == nullptr ? 0u : static_cast<unsigned>(std::strtoul(value, nullptr, 10));
}

void PrimeErrCode(QXDWORD code) {
  if (code == QXERR_NONE) {
    char empty[] = "";
    qxScanExtNameA(empty);
  } else {
    ASSERT_EQ(code, QXERR_BADPARAM) << "only BADPARAM and NONE can be primed";
    qxControlRightPathA(nullptr);
  }
  ASSERT_EQ(qxGetErrCode(), code);
}

}  // namespace qxtest
