// Transitional: the old helper names over support/qxtest.h.
#pragma once

#include "support/qxtest.h"

namespace qxtest {
inline WString Widen(const std::string& text) {
  return S<QXWCHAR>(text);
}
inline unsigned ExpectedCodePage() {
  return 0;
}
}  // namespace qxtest

#define QX_REQUIRE_CP932()                                              \
  do {                                                                  \
    if (qxtest::ActiveCodePage() != 932) GTEST_SKIP() << "needs cp932"; \
  } while (0)
