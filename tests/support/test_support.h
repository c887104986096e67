// Helpers shared by the tests: UTF-16 strings for W rows, the code page the
// library runs under, and known values in the library error code.
#pragma once

#include <string>

#include "qxdll32.h"

namespace qxtest {

using WString = std::basic_string<QXWCHAR>;

// Each byte of `text` as one UTF-16 code unit (ASCII rows for W forms).
WString Widen(const std::string& text);

// The ANSI code page the library built its tables from.
unsigned ActiveCodePage();

// The code page a run set up on purpose (QX_EXPECT_ACP, or natively
// QXDLL_CODEPAGE), or 0: such runs fail if the page did not take effect.
unsigned ExpectedCodePage();

// Puts a known value in the library error code through public calls:
// QXERR_BADPARAM (a failing call) or QXERR_NONE (a clearing call).
void PrimeErrCode(QXDWORD code);

}  // namespace qxtest

// Skips a DBCS row unless the library runs on the Japanese code page.
#define QX_REQUIRE_CP932()                                              \
  do {                                                                  \
    if (qxtest::ActiveCodePage() != 932) GTEST_SKIP() << "needs cp932"; \
  } while (0)
